#include "web/UpdateCheck.h"

#include <QDesktopServices>
#include <QMessageBox>

#include <cstdlib>

#include "persist/Settings.h"
#include "web/FileVersion.h"
#include "web/HttpExchange.h"
#include "web/ProxySetting.h"
#include "web/VersionPage.h"

namespace {
constexpr char kTitle[] = "Update Check";
constexpr int kFirstErrorStatus = 400;
}  // namespace

UpdateCheck::UpdateCheck(QWidget* parent, const Settings& settings) : parent_(parent), settings_(settings)
{ }

QUrl UpdateCheck::VersionPageUrl()
{
    const char* overridden = std::getenv(kUrlVariable);
    return QUrl(overridden && *overridden ? QString::fromLocal8Bit(overridden) : QString(kVersionPage));
}

UpdateCheck::Result UpdateCheck::Check()
{
    const std::optional<FileVersion> own = ProgramFileVersion();
    HttpExchange http;
    http.SetCancel(cancel_);
    http.SetAgent(AgentText(kProgramName, own));
    http.SetTimeoutMs(kTimeoutMs);
    const QNetworkProxy proxy = ProxyFromSettings(settings_, true);
    if (proxy.type() == QNetworkProxy::DefaultProxy)
        http.ClearProxy();
    else
        http.SetProxy(proxy);

    const HttpAnswer answer = http.Get(VersionPageUrl());
    if (requestEnded_)
        requestEnded_();
    if (answer.cancelled)
        return Cancelled;
    if (!answer.answered) {
        QMessageBox box(QMessageBox::Critical, "Update Check Error",
                        "There was an error getting the current version information from the web site.\n"
                        "The error message received was:\n\n" +
                            answer.errorText,
                        QMessageBox::Ok, parent_);
        box.exec();
        return ErrorReported;
    }
    if (answer.status >= kFirstErrorStatus) {
        QMessageBox box(QMessageBox::Critical, "Web Error", answer.reason, QMessageBox::Ok, parent_);
        box.exec();
        return ErrorReported;
    }
    return VersionPageListsNewer(answer.body, kProgramName, own.value_or(FileVersion{})) ? NewerVersion : UpToDate;
}

void UpdateCheck::Run()
{
    switch (Check()) {
    case UpToDate: {
        QMessageBox box(QMessageBox::Information, kTitle, "You already have the latest version!", QMessageBox::Ok,
                        parent_);
        box.exec();
        break;
    }
    case NewerVersion: {
        QMessageBox box(QMessageBox::Question, kTitle,
                        "There is a newer version of this software available!\n"
                        "Would you like to visit the web site to download the update?",
                        QMessageBox::Yes | QMessageBox::No, parent_);
        if (box.exec() == QMessageBox::Yes)
            QDesktopServices::openUrl(QUrl(kDownloadPage));
        break;
    }
    case ErrorReported:
    case Cancelled: break;
    }
}
