#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkProxy>
#include <QPair>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class RequestCancel;
class QNetworkReply;
class QNetworkRequest;

// What came back from one request.
struct HttpAnswer {
    bool answered = false;  // the server sent a status line (any status)
    int status = 0;
    QString reason;  // the status line's text, e.g. "Not Found"
    QByteArray body;
    QString errorText;              // when not answered: why, in words for the user
    bool connectionFailed = false;  // not answered because no connection could be made
    bool cancelled = false;         // not answered because the user cancelled the request
};

// One HTTP request at a time, waited for on the calling (main) thread with a local event loop.
// The loop takes user input too, so the window stays usable while a request runs: the caller
// disables whatever would start a second request, and offers a "Cancel" through RequestCancel.
// TLS certificates are verified: a certificate that fails ends the request with its error.
class HttpExchange {
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    // The text used when a connection cannot be made (the caller looks for it).
    static constexpr char kCannotConnect[] = "A connection with the server could not be established";
    static constexpr char kTimedOut[] = "The operation timed out";
    static constexpr char kCancelled[] = "Cancelled by the user";

    HttpExchange();
    ~HttpExchange();

    void SetAgent(const QString& agent) { agent_ = agent; }
    // A manual proxy; ClearProxy returns to the program-wide (system) setting.
    void SetProxy(const QNetworkProxy& proxy);
    void ClearProxy();
    QNetworkProxy Proxy() const;
    // Receive time-out of the next requests, in milliseconds.
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }
    int TimeoutMs() const { return timeoutMs_; }
    // The user's cancel of the job these requests belong to (null: none); it must outlive them.
    void SetCancel(RequestCancel* cancel) { cancel_ = cancel; }

    HttpAnswer Get(const QUrl& url);
    HttpAnswer Post(const QUrl& url, const QByteArray& body, const Headers& headers);

private:
    QNetworkRequest Request(const QUrl& url, const Headers& headers) const;
    HttpAnswer Wait(QNetworkReply* reply);

    std::unique_ptr<QNetworkAccessManager> manager_;
    QString agent_;
    int timeoutMs_ = 45000;
    RequestCancel* cancel_ = nullptr;
};
