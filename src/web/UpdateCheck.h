#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;
class RequestCancel;
struct Settings;

// "Check for Updates": fetches the version page of the program's web site and tells the user
// whether it lists a newer version of this program, offering the download page when it does.
class UpdateCheck {
public:
    static constexpr char kVersionPage[] = "https://varnel.example.org/CurrentVersions.txt";
    static constexpr char kDownloadPage[] = "https://varnel.example.org/download.html";
    // The environment variable that replaces the version page's address.
    static constexpr char kUrlVariable[] = "VARNEL_UPDATE_URL";
    static constexpr int kTimeoutMs = 30000;

    enum Result { UpToDate = 0, NewerVersion = 1, ErrorReported = 2, Cancelled = 3 };

    UpdateCheck(QWidget* parent, const Settings& settings);

    // The user's cancel of the request (null: none); a cancelled check tells nothing.
    void SetCancel(RequestCancel* cancel) { cancel_ = cancel; }
    // Called as soon as the request is over, before anything is shown.
    void SetRequestEnded(std::function<void()> ended) { requestEnded_ = std::move(ended); }

    // The page and its verdict; an error is shown before ErrorReported is returned.
    Result Check();
    // The menu command: Check, then the verdict in a message box.
    void Run();

    static QUrl VersionPageUrl();

private:
    QWidget* parent_;
    const Settings& settings_;
    RequestCancel* cancel_ = nullptr;
    std::function<void()> requestEnded_;
};
