// What the window says when a session cannot read its scanner: no block for 10 s, a device that
// vanished (the reader retries it every 2 s), a port that cannot be opened or is held.
#include <QLabel>
#include <QTreeView>

#include <filesystem>

#include "MainWindowFixture.h"
#include "link/TCommPort.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "ui/mainwindow/MainWindowNames.h"

using namespace uitest;
using namespace ui_names;
namespace fs = std::filesystem;

namespace {

// The scanner's port is a symbolic link, as the /dev/serial/by-id names are: the device behind
// it goes away and another appears under the same name.
class SessionTroubleTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        link = dir.filePath("scanner").toStdString();
        settings.port = link;
        settings.scannerType = 1;
        scanner = NewScanner();
        ASSERT_TRUE(scanner);
        PointLinkAt(scanner->SlavePath());
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        if (scanner)
            scanner->Close();
    }

    static std::unique_ptr<ScannerSimulator> NewScanner()
    {
        std::vector<SimItem> capture;
        std::string error;
        if (!SimCapture::Load(VARNEL_DEMO_CAPTURE, 1, capture, error))
            return nullptr;
        SimulatorOptions options;
        options.scannerType = 1;
        options.blocksPerSecond = 200;
        options.loop = true;
        options.startDelay = std::chrono::milliseconds(150);
        auto sim = std::make_unique<ScannerSimulator>(options);
        if (!sim->Open())
            return nullptr;
        sim->SetCapture(std::move(capture));
        return sim;
    }

    void PointLinkAt(const std::string& target)
    {
        const fs::path fresh = link + ".new";
        fs::create_symlink(target, fresh);
        fs::rename(fresh, link);
    }

    QLabel* Notice() { return Find<QLabel>(kSessionNotice); }
    QLabel* SiteNotice() { return Find<QLabel>(kSiteNotice); }
    // The text both places show; empty when neither shows one.
    QString Trouble()
    {
        const QString bottom = Notice()->isVisibleTo(window.get()) ? Notice()->text() : QString();
        const QString site = SiteNotice()->isVisibleTo(window.get()) ? SiteNotice()->text() : QString();
        return bottom == site ? bottom : "differs: '" + bottom + "' / '" + site + "'";
    }
    QString NoData(int seconds)
    {
        return QString::fromStdString("No data from the scanner on " + link + " for ") + QString::number(seconds) +
               " s — check the port, speed and scanner type";
    }
    bool SiteStale() { return !Find<QLabel>(kSiteStatusValue)->isEnabled(); }

    std::string link;
    std::unique_ptr<ScannerSimulator> scanner;
};

TEST_F(SessionTroubleTest, NoBlockForTenSecondsIsShownCountingUpAndClearsWhenBlocksArrive)
{
    MakeWindow();
    window->ToggleSession();  // the scanner is there but says nothing
    ASSERT_NE(window->Reader(), nullptr);
    window->Timer1Tick();
    EXPECT_EQ(Trouble(), "");
    clock.Advance(9);
    window->Timer1Tick();
    EXPECT_EQ(Trouble(), "");
    clock.Advance(1);
    window->Timer1Tick();
    EXPECT_EQ(Trouble(), NoData(10));
    clock.Advance(1);
    window->Timer1Tick();
    EXPECT_EQ(Trouble(), NoData(11));

    ASSERT_TRUE(scanner->Start());
    EXPECT_TRUE(PumpUntil([&] {
        window->Timer1Tick();
        return Trouble().isEmpty();
    }));
    EXPECT_FALSE(SiteStale());

    // A stop clears it as well.
    scanner->Stop();
    PumpUntil([] { return false; }, 300);
    window->Timer1Tick();  // takes the last blocks' count
    clock.Advance(30);
    window->Timer1Tick();
    EXPECT_FALSE(Trouble().isEmpty());
    window->ToggleSession();
    EXPECT_EQ(Trouble(), "");
}

TEST_F(SessionTroubleTest, AVanishedScannerIsShownWithStaleSiteInformationUntilItIsBack)
{
    MakeWindow();
    ASSERT_TRUE(scanner->Start());
    window->ToggleSession();
    ASSERT_TRUE(PumpUntil([&] { return Find<QLabel>(kSiteStatusValue)->text() == "OK"; }, 30000));
    EXPECT_FALSE(SiteStale());

    scanner->Close();  // the adapter is unplugged
    ASSERT_TRUE(PumpUntil([&] { return !Trouble().isEmpty(); }));
    EXPECT_EQ(Trouble(), QString::fromStdString("Scanner lost: " + link + " — retrying"));
    EXPECT_TRUE(SiteStale());
    EXPECT_FALSE(Find<QTreeView>(kListSiteInfo)->isEnabled());
    // The lost scanner is what the window says, however long the silence.
    clock.Advance(60);
    window->Timer1Tick();
    EXPECT_EQ(Trouble(), QString::fromStdString("Scanner lost: " + link + " — retrying"));

    auto second = NewScanner();
    ASSERT_TRUE(second);
    ASSERT_TRUE(second->Start());
    PointLinkAt(second->SlavePath());
    EXPECT_TRUE(PumpUntil([&] { return Trouble().isEmpty(); }));
    EXPECT_FALSE(SiteStale());
    EXPECT_TRUE(Find<QTreeView>(kListSiteInfo)->isEnabled());
    window->ToggleSession();
    second->Close();
}

// The reader's own text and title stay; the message adds the device, where to choose another,
// and for a held port the usual causes.
TEST_F(SessionTroubleTest, APortHeldElsewhereNamesTheDeviceAndTheUsualCauses)
{
    TCommPort holder;
    holder.SetPortName(scanner->SlavePath());
    ASSERT_TRUE(holder.Open());
    settings.port = scanner->SlavePath();
    MakeWindow();
    ModalAnswerer answerer;
    window->ToggleSession();
    ASSERT_TRUE(PumpUntil([&] { return !window->State().DecodeRunning.load(); }));
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "Serial Port Open Error");
    const QString text = answerer.seen[0].text;
    EXPECT_TRUE(text.startsWith("Access Denied: Port is already in use!")) << text.toStdString();
    EXPECT_TRUE(text.contains("dialout")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString("Port: " + scanner->SlavePath()))) << text.toStdString();
    EXPECT_TRUE(text.endsWith("Edit → Decode Configuration.")) << text.toStdString();
}

}  // namespace
