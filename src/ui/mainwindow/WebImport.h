#pragma once

#include <QString>
#include <QUrl>

#include <memory>

#include "ui/dialogs/Rroptions.h"
#include "web/RRWsdlPortType.h"

class P25Class;
class QLabel;
class TForm1;
class WebRequestProgress;

// "Import System Information from Radio Reference": asks the web directory (or its local CD-ROM
// server) for the systems with the decoded system ID and copies the system, site and talkgroup
// names into the decoder's tables under the options the user picks. Runs on the main thread from
// start to end; its progress shows in the main window's ImportLabel and in a progress window
// whose "Cancel" ends the import at once. The main window stays usable meanwhile.
class WebImport {
public:
    // The environment variable that replaces the service description's address of the web mode.
    static constexpr char kServiceUrlVariable[] = "VARNEL_WEBSERVICE_URL";
    // The CD-ROM server's second description location, on the same server as the first.
    static constexpr char kSecondCdromPath[] = "/soap2/index.php";

    explicit WebImport(TForm1& window);

    // Replaces the settings' receive time-out (milliseconds; tests).
    void SetTimeoutOverrideMs(int ms) { timeoutOverrideMs_ = ms; }

    void Run();

    // The second location of the CD-ROM server's description: `first` with the fixed path.
    static QUrl SecondCdromLocation(const QUrl& first);

private:
    using Mode = rr::RRWsdlPortType::Mode;

    bool CheckPreconditions();
    std::unique_ptr<rr::RRWsdlPortType> Connect(Mode mode);
    bool TestCdromServer(rr::RRWsdlPortType& client);
    // Steps from the system request to the talkgroups; false when the import must end at once.
    bool ImportNames(rr::RRWsdlPortType& client);
    void ImportSites(rr::RRWsdlPortType& client, int sid);
    void ImportTalkgroups(rr::RRWsdlPortType& client, int sid);
    void Complete();

    void ShowProgress(const QString& text);
    void HideProgress();
    void Pause(int ms);
    // The decoder; throws Abandoned when the window has closed meanwhile.
    struct Abandoned { };
    P25Class& Decoder();

    TForm1& window_;
    QLabel* label_ = nullptr;
    WebRequestProgress* progress_ = nullptr;  // while the requests run
    QString sysid_;
    TRROptionsForm::SiteOption sites_ = TRROptionsForm::SiteOption::NewOnly;
    TRROptionsForm::TalkgroupOption talkgroups_ = TRROptionsForm::TalkgroupOption::NewOnly;
    int timeoutOverrideMs_ = 0;
};
