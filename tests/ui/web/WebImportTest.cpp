// "Import System Information from Radio Reference" against a fake directory on 127.0.0.1.
#include <gtest/gtest.h>

#include "web/TestCertificate.h"
#include "web/UrlCatcher.h"
#include "web/WebImportFixture.h"

namespace {

using namespace webtest;

const QString kCdromUnreachable = "Varnel was unable to connect to the local web server on\n"
                                  "the RadioReference CD-ROM. Please ensure that the CD-ROM\n"
                                  "has been placed in the CD-ROM drive on your computer, and the\n"
                                  "local web server has been started.\n";

class WebImportTest : public WebImportFixture { };

TEST_F(WebImportTest, PreconditionsStopTheCommandWithTheirMessage)
{
    struct Case {
        const char* what;
        std::function<void(Settings&)> configure;
        bool decoding;
        QString title;
        QString text;
    };
    const std::vector<Case> cases = {
        {"disabled", [](Settings& s) { s.webEnabled = false; }, true, "RR Service not enabled",
         "The RadioReference Web Service must be configured and enabled in the configuration menu"},
        {"no user", [](Settings& s) { s.webUserName.clear(); }, true, "RR Service not configured",
         "The RadioReference Web Service User Name and Password must be configured in the configuration menu"},
        {"no password", [](Settings& s) { s.webPassword.clear(); }, true, "RR Service not configured",
         "The RadioReference Web Service User Name and Password must be configured in the configuration menu"},
        {"not decoding", [](Settings&) {}, false, "No Decode in Progress",
         "Varnel must be actively decoding a control channel to use this function."},
    };
    MakeDecodingWindow();
    for (const Case& c : cases) {
        window->AppSettings() = settings;
        c.configure(window->AppSettings());
        window->State().DecodeRunning = c.decoding;
        answerer.seen.clear();
        RunImport();
        ASSERT_EQ(answerer.seen.size(), 1u) << c.what;
        EXPECT_EQ(answerer.seen[0].title, c.title) << c.what;
        EXPECT_EQ(answerer.seen[0].text, c.text) << c.what;
    }
    EXPECT_FALSE(optionsSeen);
    EXPECT_TRUE(directory.server.seen.empty());
}

TEST_F(WebImportTest, DecodingWithoutASystemIdIsNoDecode)
{
    MakeWindow();
    window->State().DecodeRunning = true;
    RunImport();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "No Decode in Progress");
    EXPECT_TRUE(directory.server.seen.empty());
}

TEST_F(WebImportTest, OneSystemBringsItsNameSitesAndTalkgroups)
{
    MakeDecodingWindow();
    Decoder().Towers().SetTowerName(3, 1, "Our Name");
    Decoder().Talkgroups().SetTalkgroup(1001, "Known", 255, 0);
    directory.Answer("getTrsBySysid", SystemsAnswer({{6673, "SARA Network", "Various"}}));
    directory.Answer(
        "getTrsSites",
        SitesAnswer(
            {{105, "North Tower", 0}, {7, "East Zone Seven", 2}, {301, "Their Name", 0}, {9, QString(250, 'x'), 4}}));
    directory.Answer("getTrsTalkgroups", TalkgroupsAnswer({{1001, "Fire", "FD"},
                                                           {1002, "Police Dispatch", "PD Disp"},
                                                           {1003, "Only a description", ""},
                                                           {1004, "", ""}}));
    RunImport();

    EXPECT_EQ(directory.Calls(), (QStringList{"getTrsBySysid", "getTrsSites", "getTrsTalkgroups"}));
    EXPECT_TRUE(directory.LastCall("getTrsBySysid")->body.contains(">3DC</sysid>"));
    EXPECT_TRUE(directory.LastCall("getTrsSites")->body.contains(">6673</sid>"));
    EXPECT_EQ(SystemName(), "SARA Network");
    EXPECT_EQ(Tower(1, 5), "North Tower");  // zone 0: site number 105 is RFSS 1, site 5
    EXPECT_EQ(Tower(2, 7), "East Zone Seven");
    EXPECT_EQ(Tower(3, 1), "Our Name");
    EXPECT_EQ(Tower(4, 9), std::string(199, 'x'));
    EXPECT_EQ(Decoder().Talkgroups().GetTalkgroupText(1001), "Known");
    EXPECT_EQ(Decoder().Talkgroups().GetTalkgroupText(1002), "PD Disp");
    EXPECT_EQ(Decoder().Talkgroups().GetTalkgroupText(1003), "Only a description");
    EXPECT_FALSE(Decoder().Talkgroups().IsTalkgroupKnown(1004));
    // The current site (RFSS 1, site 5) takes its imported name.
    SystemInfo info;
    Decoder().CopySystemInfo(info);
    EXPECT_EQ(info.siteName, "North Tower");
    EXPECT_TRUE(answerer.seen.size() == 1u && optionsSeen);  // the options dialog only
    EXPECT_TRUE(Showed("*Import Complete*"));
    EXPECT_FALSE(Label()->isVisible());
}

TEST_F(WebImportTest, TalkgroupOptionsDecideWhichNamesAreWritten)
{
    struct Case {
        int button;
        std::vector<std::string> expected;  // talkgroups 100..103 afterwards
    };
    const std::vector<Case> cases = {
        {4, {"Named", "", "T: ", "RR 103"}},  // [1] keeps the table's own name (checked below)
        {5, {"Named", "RR 101", "T: ", "RR 103"}},
        {6, {"RR 100", "RR 101", "RR 102", "RR 103"}},
        {7, {"Named", "", "T: ", ""}},
    };
    directory.Answer("getTrsBySysid", SystemsAnswer({{1, "S", "C"}}));
    directory.Answer(
        "getTrsTalkgroups",
        TalkgroupsAnswer({{100, "", "RR 100"}, {101, "", "RR 101"}, {102, "", "RR 102"}, {103, "", "RR 103"}}));
    MakeDecodingWindow();
    for (const Case& c : cases) {
        TalkgroupTable& table = Decoder().Talkgroups();
        table.ClearTalkgroups();
        table.SetTalkgroup(100, "Named", 255, 0);
        table.NoteTalkgroup(101);  // the table names it "T: " with the site and date
        const std::string generated = table.GetTalkgroupText(101);
        ASSERT_EQ(generated.rfind("T: ", 0), 0u);
        ASSERT_GT(generated.size(), 3u);
        table.SetTalkgroup(102, "T: ", 255, 0);
        directory.server.seen.clear();
        RunImport(1, c.button);
        std::vector<std::string> got;
        for (int id = 100; id <= 103; ++id)
            got.push_back(table.GetTalkgroupText(id));
        std::vector<std::string> expected = c.expected;
        if (expected[1].empty())
            expected[1] = generated;
        EXPECT_EQ(got, expected) << "RadioButton" << c.button;
        EXPECT_EQ(directory.Calls().contains("getTrsTalkgroups"), c.button != 7) << c.button;
    }
}

TEST_F(WebImportTest, SiteOptionsKeepExistingNamesOrSkipTheSites)
{
    directory.Answer("getTrsBySysid", SystemsAnswer({{1, "S", "C"}}));
    directory.Answer("getTrsSites", SitesAnswer({{105, "Theirs", 0}, {106, "New", 0}}));
    MakeDecodingWindow();
    for (int button : {1, 2}) {
        Decoder().Towers().ClearTowerNames();
        Decoder().Towers().SetTowerName(1, 5, "Ours");
        RunImport(button, 7);
        EXPECT_EQ(Tower(1, 5), "Ours") << button;
        EXPECT_EQ(Tower(1, 6), "New") << button;
    }
    Decoder().Towers().ClearTowerNames();
    directory.server.seen.clear();
    RunImport(3, 4);
    EXPECT_EQ(directory.Calls(), (QStringList{"getTrsBySysid", "getTrsTalkgroups"}));
    EXPECT_EQ(Tower(1, 6), "");
}

TEST_F(WebImportTest, NothingButTheSystemNameLeavesOnlyTheCdromImport)
{
    settings.cdromEnabled = true;
    settings.cdromWsdl = directory.DescriptionUrl().toStdString();
    directory.Answer("getTrsBySysid", SystemsAnswer({{1, "Only The Name", "C"}}));
    MakeDecodingWindow();
    RunImport(3, 7, TRROptionsForm::kImportFromCdrom);
    EXPECT_FALSE(webEnabled);
    EXPECT_TRUE(cdromEnabled);
    EXPECT_EQ(directory.Calls(), (QStringList{"getMode", "getTrsBySysid"}));
    EXPECT_EQ(SystemName(), "Only The Name");
    EXPECT_EQ(window->AppSettings().cdromTimeOut, 360);
}

TEST_F(WebImportTest, OptionsDialogStartsFreshAndOffersTheCdromOnlyWhenEnabled)
{
    MakeDecodingWindow();
    TRROptionsForm& options = *window->Dialogs().rrOptions;
    answerer.fill = [&](QDialog&) {
        EXPECT_TRUE(options.findChild<QRadioButton*>("RadioButton1")->isChecked());
        EXPECT_TRUE(options.findChild<QRadioButton*>("RadioButton4")->isChecked());
        EXPECT_TRUE(options.findChild<QPushButton*>("Button1")->isEnabled());
        EXPECT_FALSE(options.findChild<QPushButton*>("Button3")->isEnabled());
        options.findChild<QRadioButton*>("RadioButton7")->click();
        EXPECT_TRUE(options.findChild<QPushButton*>("Button1")->isEnabled());
        options.findChild<QRadioButton*>("RadioButton3")->click();
        EXPECT_FALSE(options.findChild<QPushButton*>("Button1")->isEnabled());
        EXPECT_TRUE(options.findChild<QRadioButton*>("RadioButton7")->isChecked());  // groups stay apart
        answerer.dialogResult = QDialog::Rejected;
    };
    for (int round = 0; round < 2; ++round)
        WebImport(*window).Run();
    EXPECT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(answerer.seen[0].title, "Radio Reference Import Options");
    EXPECT_TRUE(directory.server.seen.empty());  // Cancel ends the command
    EXPECT_FALSE(Label()->isVisible());
}

TEST_F(WebImportTest, SeveralSystemsLetTheUserChoose)
{
    settings.evenBackground = 0x00FFFFFF;
    settings.oddBackground = 0x00CCFFCC;
    directory.Answer("getTrsBySysid", SystemsAnswer({{6673, "SARA Network", "Various"}, {812, "County P25", "Dale"}}));
    directory.Answer("getTrsSites", SitesAnswer({{105, "Dale One", 0}}));
    MakeDecodingWindow();
    RunImport(1, 4, TRROptionsForm::kImportFromWeb, 1);
    EXPECT_EQ(systemRows,
              (std::vector<QStringList>{{"6673", "SARA Network", "Various"}, {"812", "County P25", "Dale"}}));
    EXPECT_EQ(rowBackgrounds, (std::vector<QColor>{QColor(255, 255, 255), QColor(0xCC, 0xFF, 0xCC)}));
    EXPECT_FALSE(importEnabledAtOpen);
    EXPECT_TRUE(importEnabledAfterChoice);
    EXPECT_EQ(answerer.seen[1].title, "Multiple Systems Match System ID");
    EXPECT_EQ(SystemName(), "County P25");
    EXPECT_TRUE(directory.LastCall("getTrsSites")->body.contains(">812</sid>"));
    EXPECT_EQ(Tower(1, 5), "Dale One");
}

TEST_F(WebImportTest, CancellingTheChoiceChangesNothingAndStillCompletes)
{
    directory.Answer("getTrsBySysid", SystemsAnswer({{6673, "SARA Network", "Various"}, {812, "County P25", "Dale"}}));
    MakeDecodingWindow();
    Decoder().SetSystemName("Before");
    RunImport(1, 4, TRROptionsForm::kImportFromWeb, -1);
    EXPECT_EQ(SystemName(), "Before");
    EXPECT_EQ(directory.Calls(), (QStringList{"getTrsBySysid"}));
    EXPECT_EQ(Decoder().Talkgroups().TalkgroupCount(), 0);
    EXPECT_TRUE(Showed("*Import Complete*"));
    EXPECT_FALSE(Label()->isVisible());
}

TEST_F(WebImportTest, CompleteStaysUpForASecondAndRefreshesTheScreens)
{
    directory.Answer("getTrsBySysid", SystemsAnswer({}));
    MakeDecodingWindow();
    window->State().FullRefreshRequested = false;
    QElapsedTimer clock;
    QTimer watch;
    qint64 completeSince = -1;
    qint64 hiddenAt = -1;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (completeSince < 0 && Label()->isVisible() && Label()->text() == "*Import Complete*")
            completeSince = clock.elapsed();
        if (completeSince >= 0 && hiddenAt < 0 && !Label()->isVisible())
            hiddenAt = clock.elapsed();
    });
    watch.start(5);
    clock.start();
    RunImport();
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(answerer.seen[1].title, "No Systems");
    EXPECT_EQ(answerer.seen[1].text, "There are no systems in the RadioReference database with this SysID!");
    ASSERT_GE(completeSince, 0);
    EXPECT_GE((hiddenAt < 0 ? clock.elapsed() : hiddenAt) - completeSince, 900);
    EXPECT_EQ(Label()->alignment(), Qt::AlignCenter);
    EXPECT_TRUE(Label()->font().bold());
}

struct RequestError {
    const char* what;
    CannedAnswer answer;
    QString title;
    QString text;  // "" = checked by prefix below
    QString textPrefix;
};

TEST_F(WebImportTest, RequestErrorsAreToldByKindAndTheImportCompletes)
{
    const QString webPrefix = "An error has occured while attempting to import data from \n"
                              "the RadioReference web service.  The error message provided is:\n\n";
    const QString cdromPrefix = "An error has occured while attempting to import data from \n"
                                "the RadioReference CD-ROM.  The error message provided is:\n\n";
    const QString longLogin =
        "Invalid Username or Password.  Make sure you are logging in with your username and not your email address.";
    const std::vector<RequestError> cases = {
        {"bad key", Fault("Invalid or empty application key specified"), "Invalid or empty application key specified",
         "Varnel provided an invalid application key to the Radio Reference\n"
         "web service and was denied access to the service.\n\n"
         "Please report this error to the software author as soon as possible.\n",
         ""},
        {"bad login", Fault(longLogin), longLogin,
         "The User name or Password set in the configuration screen\n"
         "is invalid.  Please check these settings and try the import\n"
         "from the Radio Reference Web Service again.\n\n"
         "Note: A premium subscription from the RadioReference web site\n"
         "is required to use this feature.\n",
         ""},
        {"other fault", Fault("Database offline"), "RadioReference Web Service Error",
         "An error has occured while attempting to import this system's\n"
         "data from the RadioReference web service.  The error message provided is:\n\nDatabase offline",
         ""},
        {"parse",
         {200, "OK", "text/xml", "<SOAP-ENV:Envelope><broken>"},
         "RadioReference Web Service Error",
         "",
         webPrefix},
        {"conversion",
         {200, "OK", "text/xml", SitesAnswer({{1, "x", 0}}).replace(">1</siteNumber>", ">one</siteNumber>")},
         "RadioReference Web Service Error",
         webPrefix + "'one' is not a valid integer value for siteNumber",
         ""},
        {"transport",
         {500, "Internal Server Error", "text/html", ""},
         "RadioReference CD-ROM Import Error",
         "",
         cdromPrefix},
    };
    directory.Answer("getTrsBySysid", SystemsAnswer({{6673, "SARA Network", "Various"}}));
    MakeDecodingWindow();
    for (const RequestError& c : cases) {
        directory.answers["getTrsSites"] = c.answer;
        directory.server.seen.clear();
        answerer.seen.clear();
        labelAtBox.clear();
        labels.clear();
        Decoder().SetSystemName("Before");
        RunImport();
        ASSERT_EQ(answerer.seen.size(), 2u) << c.what;
        EXPECT_EQ(answerer.seen[1].title, c.title) << c.what;
        if (c.text.isEmpty())
            EXPECT_TRUE(answerer.seen[1].text.startsWith(c.textPrefix)) << c.what;
        else
            EXPECT_EQ(answerer.seen[1].text, c.text) << c.what;
        EXPECT_EQ(labelAtBox.back(), "**Error!**") << c.what;
        // What came before stays; the talkgroups are not asked for; the import completes.
        EXPECT_EQ(SystemName(), "SARA Network") << c.what;
        EXPECT_EQ(directory.Calls(), (QStringList{"getTrsBySysid", "getTrsSites"})) << c.what;
        EXPECT_TRUE(Showed("*Import Complete*")) << c.what;
    }
}

TEST_F(WebImportTest, NotAPremiumSubscriberOffersTheSubscriptionPage)
{
    directory.answers["getTrsBySysid"] = Fault("Error: Not a premium subscriber.");
    MakeDecodingWindow();
    UrlCatcher browser;
    for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        answerer.SetAnswer(answer);
        answerer.seen.clear();
        RunImport();
        ASSERT_EQ(answerer.seen.size(), 2u);
        EXPECT_EQ(answerer.seen[1].title, "Not a premium subscriber.");
        EXPECT_TRUE(answerer.seen[1].text.endsWith(
            "\nWould you like to visit the subscription page on the RadioReference web site?\n"));
    }
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0].path(), "/apps/subscription");
}

TEST_F(WebImportTest, TransportFailuresUseTheCdromTextsInWebModeToo)
{
    struct Case {
        const char* what;
        std::function<void(FakeDirectory&, LocalTlsServer&)> arrange;
        QString textStart;
        QString contains;
    };
    const QString cdromPrefix = "An error has occured while attempting to import data from \n"
                                "the RadioReference CD-ROM.  The error message provided is:\n\n";
    LocalTlsServer tls(kSelfSignedCertificate, kSelfSignedKey);
    const std::vector<Case> cases = {
        {"refused",
         [](FakeDirectory& d, LocalTlsServer&) {
             d.serviceAddress = QString("http://127.0.0.1:%1/soap2/index.php").arg(ClosedPort());
         },
         kCdromUnreachable, ""},
        {"no answer", [](FakeDirectory& d, LocalTlsServer&) { d.answers["getTrsBySysid"] = Silent(); }, cdromPrefix,
         "The operation timed out"},
        {"untrusted certificate",
         [](FakeDirectory& d, LocalTlsServer& t) { d.serviceAddress = t.Url("/soap2/index.php"); }, cdromPrefix, "SSL"},
    };
    MakeDecodingWindow();
    for (const Case& c : cases) {
        FakeDirectory fresh;
        window->AppSettings().webWsdl = fresh.DescriptionUrl().toStdString();
        c.arrange(fresh, tls);
        answerer.seen.clear();
        labelAtBox.clear();
        RunImport(1, 4, TRROptionsForm::kImportFromWeb, 0, 300);
        ASSERT_EQ(answerer.seen.size(), 2u) << c.what;
        EXPECT_EQ(answerer.seen[1].title, "RadioReference CD-ROM Import Error") << c.what;
        EXPECT_TRUE(answerer.seen[1].text.startsWith(c.textStart)) << c.what << answerer.seen[1].text.toStdString();
        EXPECT_TRUE(answerer.seen[1].text.contains(c.contains, Qt::CaseInsensitive)) << c.what;
        EXPECT_EQ(labelAtBox.back(), "**Error!**") << c.what;
    }
    EXPECT_TRUE(tls.seen.empty());
}

TEST_F(WebImportTest, AnUnreadableDescriptionGoesToTheGeneralReportWithoutCompletion)
{
    settings.webWsdl = directory.server.Url("/nothing-here?wsdl").toStdString();
    MakeDecodingWindow();
    RunImport();
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(answerer.seen[1].title, QApplication::applicationDisplayName());
    EXPECT_TRUE(answerer.seen[1].text.startsWith("Unable to load WSDL File/Location: "));
    EXPECT_FALSE(Showed("*Import Complete*"));
    EXPECT_FALSE(Label()->isVisible());
}

TEST_F(WebImportTest, AnUnusableServiceAddressIsAFailedInitialisation)
{
    settings.webWsdl = "not an address";
    MakeDecodingWindow();
    RunImport();
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(answerer.seen[1].title, "Error");
    EXPECT_EQ(answerer.seen[1].text, "Failed to initialize the RR Web Service Handler");
    EXPECT_FALSE(Label()->isVisible());
    EXPECT_TRUE(directory.server.seen.empty());
}

class CdromImportTest : public WebImportFixture {
protected:
    void SetUp() override
    {
        WebImportFixture::SetUp();
        settings.cdromEnabled = true;
        settings.webWsdl = "http://127.0.0.1:1/unused?wsdl";
        directory.Answer("getTrsBySysid", SystemsAnswer({{6673, "From The Disc", "Various"}}));
    }
};

TEST_F(CdromImportTest, TheSecondLocationIsTriedWithoutAMessage)
{
    // The server answers only at soap2/index.php; the first location is soap/index.php.
    settings.cdromWsdl = directory.server.Url("/soap/index.php?wsdl").toStdString();
    settings.cdromTimeOut = 100;
    MakeDecodingWindow();
    RunImport(1, 7, TRROptionsForm::kImportFromCdrom);
    EXPECT_EQ(answerer.seen.size(), 1u);  // the options dialog only
    EXPECT_EQ(SystemName(), "From The Disc");
    EXPECT_EQ(directory.Calls(), (QStringList{"getMode", "getTrsBySysid", "getTrsSites"}));
    EXPECT_EQ(window->AppSettings().cdromTimeOut, 120);
}

TEST_F(CdromImportTest, AFailedTestAtBothLocationsEndsTheCommand)
{
    struct Case {
        const char* what;
        std::function<void(FakeDirectory&)> arrange;
        QString title;
        QString textStart;
    };
    const std::vector<Case> cases = {
        {"no server", [](FakeDirectory& d) { d.server.close(); }, "RadioReference CD-ROM Import Error",
         kCdromUnreachable},
        {"fault", [](FakeDirectory& d) { d.answers["getMode"] = Fault("Bad disc"); },
         "RadioReference Web Service Error",
         "An error has occured while attempting to import data from \n"
         "the RadioReference web service.  The error message provided is:\n\nBad disc"},
        {"error status",
         [](FakeDirectory& d) {
             d.answers["getMode"] = {503, "Service Unavailable", "text/html", ""};
         },
         "RadioReference CD-ROM Import Error",
         "An error has occured while attempting to import data from \n"
         "the RadioReference CD-ROM.  The error message provided is:\n\n"},
    };
    MakeDecodingWindow();
    for (const Case& c : cases) {
        FakeDirectory disc;
        window->AppSettings().cdromWsdl = disc.server.Url("/soap/index.php?wsdl").toStdString();
        c.arrange(disc);
        answerer.seen.clear();
        labels.clear();
        RunImport(1, 4, TRROptionsForm::kImportFromCdrom);
        ASSERT_EQ(answerer.seen.size(), 2u) << c.what;
        EXPECT_EQ(answerer.seen[1].title, c.title) << c.what;
        EXPECT_TRUE(answerer.seen[1].text.startsWith(c.textStart)) << c.what << answerer.seen[1].text.toStdString();
        EXPECT_FALSE(disc.Calls().contains("getTrsBySysid")) << c.what;
        EXPECT_FALSE(Showed("*Import Complete*")) << c.what;
        EXPECT_FALSE(Label()->isVisible()) << c.what;
    }
}

TEST(CdromLocationTest, SecondLocationIsOnTheSameServer)
{
    EXPECT_EQ(WebImport::SecondCdromLocation(QUrl("http://127.0.0.1:9000/soap/index.php?wsdl")),
              QUrl("http://127.0.0.1:9000/soap2/index.php?wsdl"));
    EXPECT_EQ(WebImport::SecondCdromLocation(QUrl("")), QUrl("http://127.0.0.1:9000/soap2/index.php?wsdl"));
}

}  // namespace
