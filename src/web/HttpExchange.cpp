#include "web/HttpExchange.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include "web/RequestCancel.h"

namespace {

// Errors that mean the server was never reached; reported with the text the caller looks for.
bool IsConnectionFailure(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError: return true;
    default: return false;
    }
}

}  // namespace

HttpExchange::HttpExchange() : manager_(std::make_unique<QNetworkAccessManager>())
{ }

HttpExchange::~HttpExchange() = default;

void HttpExchange::SetProxy(const QNetworkProxy& proxy)
{
    manager_->setProxy(proxy);
}

void HttpExchange::ClearProxy()
{
    manager_->setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
}

QNetworkProxy HttpExchange::Proxy() const
{
    return manager_->proxy();
}

QNetworkRequest HttpExchange::Request(const QUrl& url, const Headers& headers) const
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, agent_);
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    // The answer is read whole; an answer served from a cache would hide a changed page.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    return request;
}

HttpAnswer HttpExchange::Get(const QUrl& url)
{
    return Wait(manager_->get(Request(url, {})));
}

HttpAnswer HttpExchange::Post(const QUrl& url, const QByteArray& body, const Headers& headers)
{
    return Wait(manager_->post(Request(url, headers), body));
}

HttpAnswer HttpExchange::Wait(QNetworkReply* reply)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    bool cancelled = false;
    const auto cancel = [&] {
        cancelled = true;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    // Data arriving restarts the time-out: it bounds the wait for the next piece of the answer.
    QObject::connect(reply, &QNetworkReply::readyRead, &timer, [&] { timer.start(timeoutMs_); });
    timer.start(timeoutMs_);
    if (cancel_ && cancel_->Cancelled())
        cancel();  // a job cancelled before this request: it ends at once
    if (!reply->isFinished()) {
        if (cancel_)
            cancel_->SetAbort(cancel);
        loop.exec();
        if (cancel_)
            cancel_->SetAbort({});
    }
    timer.stop();

    HttpAnswer answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (cancelled) {
        answer.cancelled = true;
        answer.errorText = kCancelled;
    } else if (!timedOut && status.isValid()) {
        answer.answered = true;
        answer.status = status.toInt();
        answer.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        answer.body = reply->readAll();
    } else if (timedOut) {
        answer.errorText = kTimedOut;
    } else if (IsConnectionFailure(reply->error())) {
        answer.connectionFailed = true;
        answer.errorText = QString("%1 (%2)").arg(kCannotConnect, reply->errorString());
    } else {
        answer.errorText = reply->errorString();
    }
    reply->deleteLater();
    return answer;
}
