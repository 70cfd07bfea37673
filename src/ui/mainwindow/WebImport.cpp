#include "ui/mainwindow/WebImport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "ui/dialogs/Multsysselect.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/mainwindow/WebRequestProgress.h"
#include "web/ImportMessages.h"
#include "web/WebServiceError.h"

namespace {

using rr::WebServiceError;

constexpr int kInitialPauseMs = 100;
constexpr int kCompletePauseMs = 1000;
constexpr int kMaxNameLength = 199;
constexpr int kSitesPerRfss = 100;  // a site number without zone is RFSS * 100 + site
constexpr int kKeepPriority = 255;  // SetTalkgroup keeps the talkgroup's priority
constexpr int kMaxTalkgroup = 0xFFFF;
constexpr char kGeneratedPrefix[] = "T: ";  // start of the names the talkgroup table makes itself

void Tell(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

// Shows an error of a request; the subscription question may open the subscription page.
void TellError(QWidget* parent, const ImportMessage& m)
{
    if (!m.offerSubscription) {
        Tell(parent, m.title, m.text, QMessageBox::Critical);
        return;
    }
    QMessageBox box(QMessageBox::Question, m.title, m.text, QMessageBox::Yes | QMessageBox::No, parent);
    if (box.exec() == QMessageBox::Yes)
        QDesktopServices::openUrl(QUrl(kSubscriptionPage));
}

QString SystemIdText(uint32_t id)
{
    return QString("%1").arg(id, 3, 16, QChar('0')).toUpper();
}

}  // namespace

WebImport::WebImport(TForm1& window) : window_(window), label_(window.Widgets().importLabel)
{
    if (label_)
        label_->setAlignment(Qt::AlignCenter);  // the progress texts stand centred in the notice
}

QUrl WebImport::SecondCdromLocation(const QUrl& first)
{
    QUrl second = first.isValid() && !first.host().isEmpty() ? first : QUrl(kDefaultCdromWsdl);
    second.setPath(kSecondCdromPath);
    second.setQuery("wsdl");
    return second;
}

void WebImport::Run()
{
    if (!CheckPreconditions())
        return;
    TRROptionsForm* options = window_.Dialogs().rrOptions;
    if (!options)
        return;
    options->SetCdromEnabled(window_.AppSettings().cdromEnabled);
    const int choice = options->exec();
    if (choice != TRROptionsForm::kImportFromWeb && choice != TRROptionsForm::kImportFromCdrom)
        return;
    sites_ = options->Sites();
    talkgroups_ = options->Talkgroups();
    WebRequestProgress progress(window_, "Import System Information", "*Initializing*");
    progress_ = &progress;
    try {
        ShowProgress("*Initializing*");
        Pause(kInitialPauseMs);
        auto client = Connect(choice == TRROptionsForm::kImportFromCdrom ? Mode::CdRom : Mode::Web);
        if (!client) {
            HideProgress();
            return;
        }
        if (!ImportNames(*client))
            return;
        progress_ = nullptr;
        progress.Finish();
        Complete();
    } catch (const Abandoned&) {
        HideProgress();
    } catch (const WebServiceError& e) {
        // Only a cancel leaves the steps with an error: the import ends without a word.
        if (e.kind() != WebServiceError::Kind::Cancelled)
            throw;
        HideProgress();
    }
}

bool WebImport::CheckPreconditions()
{
    const Settings& s = window_.AppSettings();
    if (!s.webEnabled) {
        Tell(&window_, "RR Service not enabled",
             "The RadioReference Web Service must be configured and enabled in the configuration menu",
             QMessageBox::Warning);
        return false;
    }
    if (s.webUserName.empty() || s.webPassword.empty()) {
        Tell(&window_, "RR Service not configured",
             "The RadioReference Web Service User Name and Password must be configured in the configuration menu",
             QMessageBox::Warning);
        return false;
    }
    const P25Class* decoder = window_.Decoder();
    const uint32_t id = decoder ? decoder->GetSystemId() : 0;
    if (!window_.State().DecodeRunning || id == 0) {
        Tell(&window_, "No Decode in Progress",
             "Varnel must be actively decoding a control channel to use this function.", QMessageBox::Warning);
        return false;
    }
    sysid_ = SystemIdText(id);
    return true;
}

std::unique_ptr<rr::RRWsdlPortType> WebImport::Connect(Mode mode)
{
    Settings& s = window_.AppSettings();
    auto client = std::make_unique<rr::RRWsdlPortType>(s, mode);
    client->SetTimeoutOverrideMs(timeoutOverrideMs_);
    if (progress_)
        client->SetCancel(&progress_->Cancel());
    if (mode == Mode::CdRom)
        return TestCdromServer(*client) ? std::move(client) : nullptr;

    const char* overridden = std::getenv(kServiceUrlVariable);
    const QUrl location(overridden && *overridden ? QString::fromLocal8Bit(overridden)
                                                  : QString::fromStdString(s.webWsdl));
    const QString scheme = location.scheme().toLower();
    if (!location.isValid() || location.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        Tell(&window_, "Error", "Failed to initialize the RR Web Service Handler", QMessageBox::Critical);
        return nullptr;
    }
    // The description is read with the first request.
    client->SetDescriptionLocation(location);
    return client;
}

bool WebImport::TestCdromServer(rr::RRWsdlPortType& client)
{
    const Settings& s = window_.AppSettings();
    const QUrl first(QString::fromStdString(s.cdromWsdl.empty() ? std::string(kDefaultCdromWsdl) : s.cdromWsdl));
    try {
        client.LoadDescription(first);
        client.getMode(0);
        return true;
    } catch (const WebServiceError& e) {
        // Older CD-ROM servers answer at their second location; only its errors are reported.
        if (e.kind() == WebServiceError::Kind::Cancelled)
            throw;
    }
    try {
        client.LoadDescription(SecondCdromLocation(first));
        client.getMode(0);
        return true;
    } catch (const WebServiceError& e) {
        if (e.kind() == WebServiceError::Kind::Cancelled)
            throw;
        const ImportMessage m = ConnectionTestMessage(e);
        Tell(&window_, m.title, m.text, QMessageBox::Critical);
    }
    return false;
}

bool WebImport::ImportNames(rr::RRWsdlPortType& client)
{
    try {
        ShowProgress("*Requesting System Info*");
        const QList<rr::TrsListDef> systems = client.getTrsBySysid(sysid_);
        if (systems.isEmpty()) {
            Tell(&window_, "No Systems", "There are no systems in the RadioReference database with this SysID!",
                 QMessageBox::Information);
            return true;
        }
        int chosen = 0;
        if (systems.size() > 1) {
            ShowProgress("*Multiple Systems*");
            TMultSysForm* dialog = window_.Dialogs().multSys;
            if (!dialog)
                return true;
            dialog->Fill(systems, window_.AppSettings());
            ShowProgress("*Select System*");
            if (dialog->exec() != QDialog::Accepted || dialog->SelectedRow() < 0)
                return true;
            chosen = dialog->SelectedRow();
        }
        const rr::TrsListDef& system = systems[chosen];
        ShowProgress("*Processing System Info*");
        Decoder().SetSystemName(system.sName.left(kMaxNameLength).toStdString());
        if (sites_ != TRROptionsForm::SiteOption::None)
            ImportSites(client, system.sid);
        if (talkgroups_ != TRROptionsForm::TalkgroupOption::None)
            ImportTalkgroups(client, system.sid);
    } catch (const WebServiceError& e) {
        if (e.kind() == WebServiceError::Kind::Cancelled)
            throw;
        const std::optional<ImportMessage> m = RequestErrorMessage(e);
        if (!m) {
            // Not a failure the import knows: the general error report, and no completion.
            HideProgress();
            Tell(&window_, QApplication::applicationDisplayName(), e.message(), QMessageBox::Critical);
            return false;
        }
        ShowProgress("**Error!**");
        TellError(&window_, *m);
    }
    return true;
}

void WebImport::ImportSites(rr::RRWsdlPortType& client, int sid)
{
    ShowProgress("*Requesting Site Info*");
    const QList<rr::TrsSite> sites = client.getTrsSites(sid);
    ShowProgress("*Processing Site Info*");
    P25Class& decoder = Decoder();
    for (const rr::TrsSite& site : sites) {
        if (site.siteNumber < 0 || site.zoneNumber < 0)
            continue;  // no such site on the air
        const bool zoned = site.zoneNumber != 0;
        const auto rfss = static_cast<uint32_t>(zoned ? site.zoneNumber : site.siteNumber / kSitesPerRfss);
        const auto number = static_cast<uint32_t>(zoned ? site.siteNumber : site.siteNumber % kSitesPerRfss);
        // A name the user or an earlier import gave stays.
        if (decoder.Towers().GetTowerName(rfss, number).empty())
            decoder.Towers().SetTowerName(rfss, number, site.siteDescr.left(kMaxNameLength).toStdString());
    }
}

void WebImport::ImportTalkgroups(rr::RRWsdlPortType& client, int sid)
{
    ShowProgress("*Requesting TG Info*");
    const QList<rr::Talkgroup> talkgroups = client.getTrsTalkgroups(sid, 0, 0, 0);
    ShowProgress("*Processing TG Info*");
    TalkgroupTable& table = Decoder().Talkgroups();
    for (const rr::Talkgroup& tg : talkgroups) {
        if (tg.tgDec <= 0 || tg.tgDec > kMaxTalkgroup)
            continue;  // not a talkgroup number of the air interface
        const QString name = tg.tgAlpha.isEmpty() ? tg.tgDescr : tg.tgAlpha;
        bool write = true;
        if (talkgroups_ == TRROptionsForm::TalkgroupOption::NewOnly) {
            write = !table.IsTalkgroupKnown(tg.tgDec);
        } else if (talkgroups_ == TRROptionsForm::TalkgroupOption::NewAndDefault) {
            const std::string current = table.GetTalkgroupText(tg.tgDec);
            write = current.empty() || (current.size() > 3 && current.rfind(kGeneratedPrefix, 0) == 0);
        }
        if (write && !name.isEmpty())
            table.SetTalkgroup(tg.tgDec, name.toStdString(), kKeepPriority, 0);
    }
}

void WebImport::Complete()
{
    ShowProgress("*Import Complete*");
    Pause(kCompletePauseMs);
    HideProgress();
    P25Class& decoder = Decoder();
    SystemInfo info;
    decoder.CopySystemInfo(info);
    decoder.SetSiteName(decoder.Towers().GetTowerName(info.rfssId, info.siteId));
    // The "Site Affiliations" list and the grant trace read the names that may just have changed.
    for (QPushButton* button : {window_.Widgets().affiliationListRefresh, window_.Widgets().grantTraceRefresh})
        if (button)
            button->click();
    window_.State().FullRefreshRequested = true;
}

void WebImport::ShowProgress(const QString& text)
{
    if (progress_)
        progress_->SetText(text);
    if (label_) {
        label_->setText(text);
        label_->show();
        label_->repaint();
    }
    // Lets the screens repaint between the requests; user input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WebImport::HideProgress()
{
    if (label_)
        label_->hide();
}

void WebImport::Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

P25Class& WebImport::Decoder()
{
    P25Class* decoder = window_.Decoder();
    if (!decoder || window_.Closed())
        throw Abandoned{};
    return *decoder;
}
