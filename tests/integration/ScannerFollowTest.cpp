#include <gtest/gtest.h>

#include <array>
#include <span>

#include "ServiceRig.h"
#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "scancontrol/FollowDecision.h"
#include "scancontrol/ScannerControl.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "support/BlockBuilder.h"

// The second scanner followed by a live headless run: the controlled scanner (a pseudo-terminal)
// receives exactly the command bytes that the desktop program's decision sends for the same
// blocks.

using namespace servicerig;

namespace {

constexpr uint8_t kGroupVoiceGrant = 0x00;
constexpr uint8_t kEmergencyOption = 0x80;

// The site's own broadcasts from the start of the demo capture, then its first group voice grants,
// the third made an emergency (which is followed whatever else is): a capture whose decision
// changes a few times, slowly enough for a follow timer of 100 ms to see every state.
std::vector<Tsbk> FollowCapture()
{
    std::vector<SimItem> items;
    std::string error;
    SimCapture::Load(VARNEL_DEMO_CAPTURE, 1, items, error);
    std::vector<Tsbk> site, grants;
    for (const SimItem& item : items) {
        if (item.kind != SimItem::Kind::kBlock || !TsbkCrcOk(item.block))
            continue;
        const uint8_t opcode = item.block[0] & kOpcodeMask;
        if ((opcode == 0x3A || opcode == 0x3B || opcode == 0x3D || opcode == 0x34) && site.size() < 12)
            site.push_back(item.block);
        else if (opcode == kGroupVoiceGrant && item.block[1] == 0 && (item.block[2] & 0x40) == 0 && grants.size() < 6)
            grants.push_back(item.block);
    }
    grants[2][2] |= kEmergencyOption;
    grants[2] = testsupport::WithCrc16(grants[2]);
    site.insert(site.end(), grants.begin(), grants.end());
    return site;
}

void WriteSettings(const fs::path& dir, const std::string& controlPort)
{
    fs::copy_file(std::string(VARNEL_SOURCE_DIR) + "/data/profiles/Example-Text.scanner", dir / "Follow.scanner",
                  fs::copy_options::overwrite_existing);
    std::ofstream ini(dir / "varnel.INI");
    ini << "[ScanControl]\r\nEnabled=Yes\r\nPort=" << controlPort
        << "\r\nProfile=Follow.scanner\r\nQuietFrequency=866.0\r\n"
           "[Global]\r\nTGTimeOut=6000\r\n";
}

// The desktop program's steps for the same blocks: after each block the activity view's decision
// (DecideFollow on the copied channel table) and TuneFollowed, as its refresh does.
std::string DesktopCommandBytes(const std::vector<Tsbk>& blocks, const fs::path& dir)
{
    PtyCollector port;
    Settings settings;
    LoadSettings((dir / "varnel.INI").string(), settings);
    settings.scanControlPort = port.Path();
    P25Class decoder(Clock::System(), dir.string() + "/");
    ApplySettingsToDecoder(settings, decoder);
    {
        ScannerControl scanner(settings, dir);
        scanner.SendInit();
        scanner.TuneQuiet();
        int32_t lastFollowed = 0;
        std::vector<FreqInfo> channels(ChannelTable::kCapacity);
        for (const Tsbk& block : blocks) {
            decoder.DecodeTsbk(block);
            const int count = decoder.Channels().CopyChannels(channels.data(), static_cast<int>(channels.size()));
            std::array<IdentifierEntry, IdentifierTable::kCount> ids{};
            for (int i = 0; i < IdentifierTable::kCount; ++i)
                ids[static_cast<size_t>(i)] = decoder.Identifiers().Entry(i);
            FollowInputs in;
            in.lastFollowedTarget = lastFollowed;
            in.settings = FollowSettingsFrom(settings);
            in.priority = [&](int32_t tg) { return decoder.Talkgroups().GetTalkgroupPriority(tg); };
            const FollowMarking marking =
                DecideFollow(std::span<const FreqInfo>(channels.data(), static_cast<size_t>(count)), in, ids);
            lastFollowed = marking.lastFollowedTarget;
            TuneFollowed(marking, &scanner, true, true);
        }
        scanner.ResumeScan();
    }
    WaitFor([] { return false; }, 300ms);
    return port.Bytes();
}

}  // namespace

TEST(ScannerFollow, HeadlessRunSendsTheDesktopProgramsCommands)
{
    const fs::path dir = fs::temp_directory_path() / ("varnel-follow-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "expected");
    fs::create_directories(dir / "live");
    const std::vector<Tsbk> blocks = FollowCapture();
    ASSERT_EQ(blocks.size(), 18u);

    WriteSettings(dir / "expected", "unused");
    const std::string expected = DesktopCommandBytes(blocks, dir / "expected");

    PtyCollector controlled;
    WriteSettings(dir / "live", controlled.Path());
    std::vector<SimItem> items;
    for (const Tsbk& b : blocks)
        items.push_back(SimItem::Block(b));
    SimulatorOptions options;
    options.scannerType = 1;
    options.blocksPerSecond = 5;
    options.startDelay = 300ms;
    ScannerSimulator sim(options);
    ASSERT_TRUE(sim.Open());
    sim.SetCapture(items);
    sim.Start();
    Child varnel({VARNEL_BINARY, "--headless", "--data-dir", (dir / "live").string(), "--port", sim.SlavePath(),
                  "--scanner-type", "1"},
                 dir / "live.err");
    ASSERT_TRUE(sim.WaitForItemsSent(items.size(), 15s));
    std::this_thread::sleep_for(400ms);
    varnel.Signal(SIGTERM);
    EXPECT_EQ(varnel.Wait(), 0) << FileText(dir / "live.err");
    WaitFor([] { return false; }, 300ms);

    // Init, quiet, at least two different tunes (the emergency among them) and the resume.
    EXPECT_GE(std::count(expected.begin(), expected.end(), '\r'), 5) << expected;
    EXPECT_EQ(controlled.Bytes(), expected);
    fs::remove_all(dir);
}
