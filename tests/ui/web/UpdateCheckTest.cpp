// "Check for Updates": the version page's entries, the three outcomes and both error paths.
#include <gtest/gtest.h>

#include <cstdlib>

#include "MainWindowFixture.h"
#include "Version.h"
#include "persist/Settings.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "web/LocalHttpServer.h"
#include "web/UpdateCheck.h"
#include "web/UrlCatcher.h"
#include "web/VersionPage.h"

namespace {

using namespace webtest;

TEST(VersionPageTest, OnlyANewerEntryOfThisProgramCounts)
{
    const FileVersion own{1, 9, 0, 142};
    struct Case {
        const char* page;
        bool newer;
    };
    const std::vector<Case> cases = {
        {"varnel 1.9.0.143 current\n", true},                  // names compare without case
        {"Varnel 1.9.0.142 current\n", false},                 // equal
        {"Varnel\t1.10.0.0\tcurrent\r\n", true},               // minor 10 above 9; tabs; CR LF
        {"Varnel 1.9.0.141 old\nVarnel 2.0.0.0 new\n", true},  // an older entry does not stop the scan
        {"Varnel 1.9.0.143\n", false},                         // two fields
        {"Varnel 1.9.0.143 a b\n", false},                     // four fields
        {" Varnel 1.9.0.143 x\n", false},                      // a blank before the first field
        {"Varnel 1.9.0.143 x", false},                         // no final line feed
        {"Varnelx 1.9.0.143 x\nOther 9.9.9.9 x\n", false},     // other programs
        {"Varnel 1.9.x.143 x\n", false},                       // not a version
        {"Varnel 1.8.9.999 x\nVarnel   1.9.1.0   x\n", true},  // runs of blanks; release above
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionPageListsNewer(c.page, "Varnel", own), c.newer) << c.page;
    const std::string longLine = "Varnel 9.9.9.9 " + std::string(1100, 'x') + "\n";
    EXPECT_FALSE(VersionPageListsNewer(QByteArray::fromStdString(longLine), "Varnel", own));
}

class UpdateCheckTest : public uitest::MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        server.SetHandler([this](const SeenRequest& r) {
            if (r.target.endsWith("/CurrentVersions.txt"))
                return CannedAnswer{200, "OK", "text/plain", page};
            return CannedAnswer{404, "Not Found", "text/html", "<html></html>"};
        });
        PointAt(server.Url("/CurrentVersions.txt"));
    }

    void TearDown() override
    {
        unsetenv(UpdateCheck::kUrlVariable);
        MainWindowFixture::TearDown();
    }

    static void PointAt(const QString& url) { setenv(UpdateCheck::kUrlVariable, url.toUtf8().constData(), 1); }

    // Runs the menu command, answering its boxes with `answer`.
    void Run(QMessageBox::StandardButton answer = QMessageBox::No)
    {
        if (!window)
            MakeWindow();
        answerer.SetAnswer(answer);
        answerer.seen.clear();
        Action(ui_names::kActCheckUpdates)->trigger();
    }

    static QByteArray Line(int major, int minor, int release, int build)
    {
        return QString("Varnel %1.%2.%3.%4 setup.exe\n").arg(major).arg(minor).arg(release).arg(build).toUtf8();
    }

    LocalHttpServer server;
    QByteArray page;
    uitest::ModalAnswerer answerer;
};

TEST_F(UpdateCheckTest, ANewerVersionOffersTheDownloadPage)
{
    page = "Other 9.9.9.9 x\n" +
           Line(VARNEL_VERSION_MAJOR, VARNEL_VERSION_MINOR, VARNEL_VERSION_RELEASE, VARNEL_VERSION_BUILD + 1);
    UrlCatcher browser;
    Run(QMessageBox::No);
    Run(QMessageBox::Yes);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "Update Check");
    EXPECT_EQ(answerer.seen[0].text, "There is a newer version of this software available!\n"
                                     "Would you like to visit the web site to download the update?");
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl(UpdateCheck::kDownloadPage));
    // The request names the program and its version.
    ASSERT_EQ(server.seen.size(), 2u);
    EXPECT_EQ(server.seen[0].method, "GET");
    EXPECT_EQ(server.seen[0].headers.value("user-agent"), QString("Varnel/%1.%2.%3B%4")
                                                              .arg(VARNEL_VERSION_MAJOR)
                                                              .arg(VARNEL_VERSION_MINOR & 0xFF)
                                                              .arg(VARNEL_VERSION_RELEASE)
                                                              .arg(VARNEL_VERSION_BUILD & 0xFF)
                                                              .toUtf8());
}

TEST_F(UpdateCheckTest, EqualOlderOrMissingEntriesAreUpToDate)
{
    const QByteArray own =
        Line(VARNEL_VERSION_MAJOR, VARNEL_VERSION_MINOR, VARNEL_VERSION_RELEASE, VARNEL_VERSION_BUILD);
    for (const QByteArray& p : {own, QByteArray("Varnel 0.0.0.0 old\n"), QByteArray("Unrelated 1.2.3.4 x\n"),
                                QByteArray("Varnel 99.0.0.0\n")}) {
        page = p;
        Run();
        ASSERT_EQ(answerer.seen.size(), 1u) << p.toStdString();
        EXPECT_EQ(answerer.seen[0].title, "Update Check");
        EXPECT_EQ(answerer.seen[0].text, "You already have the latest version!") << p.toStdString();
    }
}

TEST_F(UpdateCheckTest, AnErrorStatusShowsTheServersStatusText)
{
    PointAt(server.Url("/elsewhere/CurrentVersions.txt.missing"));
    Run();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "Web Error");
    EXPECT_EQ(answerer.seen[0].text, "Not Found");
}

TEST_F(UpdateCheckTest, NoServerShowsTheClientsError)
{
    PointAt(QString("http://127.0.0.1:%1/CurrentVersions.txt").arg(ClosedPort()));
    Run();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "Update Check Error");
    EXPECT_TRUE(answerer.seen[0].text.startsWith(
        "There was an error getting the current version information from the web site.\n"
        "The error message received was:\n\n"));
    EXPECT_GT(answerer.seen[0].text.size(), 110);  // followed by the error's own text
}

TEST_F(UpdateCheckTest, AManualProxyCarriesTheRequestAndOtherTypesDoNot)
{
    page = "Varnel 0.0.0.0 x\n";
    PointAt("http://updates.invalid/CurrentVersions.txt");
    settings.proxyType = 1;
    settings.proxyAddress = "127.0.0.1";
    settings.proxyPort = server.serverPort();
    settings.proxyUserName = "proxyuser";
    Run();
    ASSERT_EQ(server.seen.size(), 1u);
    EXPECT_EQ(server.seen[0].target, "http://updates.invalid/CurrentVersions.txt");
    EXPECT_EQ(answerer.seen.at(0).text, "You already have the latest version!");

    window->AppSettings().proxyType = 2;  // "No Proxy": straight to the (unknown) host
    Run();
    EXPECT_EQ(server.seen.size(), 1u);
    EXPECT_EQ(answerer.seen.at(0).title, "Update Check Error");
}

}  // namespace
