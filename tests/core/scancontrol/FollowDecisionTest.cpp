#include "scancontrol/FollowDecision.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>

#include "scancontrol/ScannerControl.h"
#include "scancontrol/ScannerPeer.h"
#include "support/ScratchFolder.h"

namespace {

constexpr double kA = 851.0125, kB = 852.0125, kC = 853.0125;
constexpr double kUnknown = kUnknownFrequency;

// Talkgroup priorities of the cases; any other talkgroup is not in the table (50).
const std::map<int32_t, int> kPriorities{{100, 5},  {200, 3},  {300, 3},   {400, 0},  {500, 20},
                                         {600, 99}, {700, 98}, {1001, 10}, {2002, 10}};

int PriorityOf(int32_t talkgroup)
{
    const auto it = kPriorities.find(talkgroup);
    return it == kPriorities.end() ? 50 : it->second;
}

FreqInfo Entry(double mhz, const char* usage, int32_t target, const char* status = "", int32_t channel = 0x0001)
{
    FreqInfo e;
    e.channel = channel;
    e.rxFrequency = mhz;
    e.usage = usage;
    e.target = target;
    e.status = status;
    return e;
}

FollowSettings Window(int low, int high, int privatePriority = 0, bool tuneData = false)
{
    return FollowSettings{privatePriority, tuneData, high, low};
}

struct Case {
    const char* name;
    std::vector<FreqInfo> entries;
    double expected;
    int32_t held = kNoHeldTalkgroup;
    int32_t lastFollowed = 0;
    FollowSettings settings = Window(1, 99);
    std::vector<PATCHENTRY> patches = {};
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"nothing active", {}, 0.0},
        {"idle and control channels", {Entry(kA, "", 0), Entry(kB, "Control", 0)}, 0.0},
        {"lowest priority number wins", {Entry(kA, "Group", 100), Entry(kB, "Group", 200)}, kB},
        {"first among equals", {Entry(kA, "Group", 200), Entry(kB, "Group", 300)}, kA},
        {"talkgroup not in the table counts 50", {Entry(kA, "Group", 900)}, kA},
        {"50 outside the window", {Entry(kA, "Group", 900)}, 0.0, kNoHeldTalkgroup, 0, Window(1, 40)},
        {"below the window low",
         {Entry(kA, "Group", 200), Entry(kB, "Group", 100)},
         kB,
         kNoHeldTalkgroup,
         0,
         Window(4, 99)},
        {"priority 0 never", {Entry(kA, "Group", 400)}, 0.0},
        {"group with unknown target", {Entry(kA, "Group", -1)}, 0.0},
        {"CW identification never", {Entry(kA, "CWID", 0, "WXYZ123")}, 0.0},
        {"encrypted never", {Entry(kA, "Group", 200, "Enc"), Entry(kB, "Group", 600)}, kB},
        {"emergency on an ignored talkgroup", {Entry(kA, "Group", 200), Entry(kB, "Group", 400, "Emrg")}, kB},
        {"first emergency wins", {Entry(kA, "Group", 600, "Emrg"), Entry(kB, "Group", 200, "Emrg")}, kA},
        {"emergency without a target is not one", {Entry(kA, "Private", -1, "Emrg"), Entry(kB, "Group", 600)}, kB},
        {"emergency beats the hold", {Entry(kA, "Group", 1001), Entry(kB, "Group", 600, "Emrg")}, kB, 1001},
        {"private ignored at priority 0", {Entry(kA, "Private", 12345), Entry(kB, "Phone", 0)}, 0.0},
        {"private 10 beats group 20",
         {Entry(kA, "Group", 500), Entry(kB, "Private", 12345)},
         kB,
         kNoHeldTalkgroup,
         0,
         Window(1, 99, 10)},
        {"phone call at the private priority",
         {Entry(kA, "Phone", 0), Entry(kB, "Group", 500)},
         kA,
         kNoHeldTalkgroup,
         0,
         Window(1, 99, 10)},
        {"private priority outside the window",
         {Entry(kA, "Private", 12345)},
         0.0,
         kNoHeldTalkgroup,
         0,
         Window(20, 99, 10)},
        {"data channel without TuneData", {Entry(kA, "GrpData", 100)}, 0.0},
        {"data channel with TuneData", {Entry(kA, "PvtData", 12345)}, kA, kNoHeldTalkgroup, 0, Window(1, 99, 0, true)},
        {"first data channel only",
         {Entry(kA, "GrpData", 100), Entry(kB, "PvtData", 1)},
         kA,
         kNoHeldTalkgroup,
         0,
         Window(1, 99, 0, true)},
        {"priority 99 does not displace data",
         {Entry(kA, "GrpData", 100), Entry(kB, "Group", 600)},
         kA,
         kNoHeldTalkgroup,
         0,
         Window(1, 99, 0, true)},
        {"priority 98 displaces data",
         {Entry(kA, "GrpData", 100), Entry(kB, "Group", 700)},
         kB,
         kNoHeldTalkgroup,
         0,
         Window(1, 99, 0, true)},
        {"followed 5 gives way to 3", {Entry(kA, "Group", 100), Entry(kB, "Group", 200)}, kB, kNoHeldTalkgroup, 100},
        {"followed 3 kept against 3", {Entry(kA, "Group", 200), Entry(kB, "Group", 300)}, kB, kNoHeldTalkgroup, 300},
        {"last match of the followed target",
         {Entry(kA, "Group", 300), Entry(kB, "Group", 200), Entry(kC, "Group", 300)},
         kC,
         kNoHeldTalkgroup,
         300},
        {"followed target on a data channel is no reason to stay",
         {Entry(kA, "Group", 700), Entry(kB, "GrpData", 600)},
         kA,
         kNoHeldTalkgroup,
         600,
         Window(1, 99, 0, true)},
        {"held talkgroup whatever its priority", {Entry(kA, "Group", 200), Entry(kB, "Group", 400)}, kB, 400},
        {"hold follows nothing else", {Entry(kA, "Group", 200)}, 0.0, 1001},
        {"held call encrypted", {Entry(kA, "Group", 1001, "Enc")}, 0.0, 1001},
        {"held talkgroup patched into a supergroup",
         {Entry(kA, "Group", 200), Entry(kB, "Group", 2002)},
         kB,
         1001,
         0,
         Window(1, 99),
         {{1001, 2002, 0}}},
        {"holding the supergroup ignores its members",
         {Entry(kA, "Group", 1001)},
         0.0,
         2002,
         0,
         Window(1, 99),
         {{1001, 2002, 0}}},
        {"hold ignores data channels", {Entry(kA, "GrpData", 1001)}, kA, 1001, 0, Window(1, 99, 0, false)},
        // An entry whose frequency is not known is never followed, whatever rule would choose it.
        {"unknown frequency by priority", {Entry(kUnknown, "Group", 200), Entry(kB, "Group", 100)}, kB},
        {"unknown frequency in an emergency", {Entry(kUnknown, "Group", 200, "Emrg"), Entry(kB, "Group", 600)}, kB},
        {"unknown frequency held",
         {Entry(kUnknown, "Group", 1001), Entry(kB, "Group", 2002)},
         kB,
         1001,
         0,
         Window(1, 99),
         {{1001, 2002, 0}}},
        {"unknown frequency of the followed target",
         {Entry(kA, "Group", 300), Entry(kB, "Group", 200), Entry(kUnknown, "Group", 300)},
         kA,
         kNoHeldTalkgroup,
         300},
        {"unknown frequency on a data channel",
         {Entry(kUnknown, "GrpData", 100), Entry(kB, "Group", 600)},
         kB,
         kNoHeldTalkgroup,
         0,
         Window(1, 99, 0, true)},
        // Target 0 (phone calls, CW identification) and -1 name nobody: no staying on them.
        {"CW identification after nothing was followed", {Entry(kA, "CWID", 0), Entry(kB, "Group", 600)}, kB},
        {"ignored phone call after a phone call", {Entry(kA, "Group", 600), Entry(kB, "Phone", 0)}, kA},
        {"unknown called radio", {Entry(kA, "Private", -1), Entry(kB, "Group", 600)}, kB, kNoHeldTalkgroup, -1},
    };
    return cases;
}

TEST(ChooseFollowFrequency, TableOfCases)
{
    for (const Case& c : Cases()) {
        FollowInputs in;
        in.heldTalkgroup = c.held;
        in.lastFollowedTarget = c.lastFollowed;
        in.patches = c.patches;
        in.settings = c.settings;
        in.priority = PriorityOf;
        EXPECT_EQ(ChooseFollowFrequency(c.entries, in), c.expected) << c.name;
    }
}

std::array<IdentifierEntry, IdentifierTable::kCount> Identifiers()
{
    std::array<IdentifierEntry, IdentifierTable::kCount> ids{};
    ids[0].spacing = 0.00625;
    ids[1].spacing = 0.0125;
    ids[2].spacing = 0.025;
    return ids;
}

TEST(MarkFollowedRows, EveryRowOnTheFrequencyTheLastSetsTheTarget)
{
    const std::vector<FreqInfo> rows{Entry(kA, "Group", 200, "", 0x1001), Entry(kB, "Group", 300),
                                     Entry(kA, "Group", 201, "", 0x2005), Entry(kUnknown, "Group", 400)};
    const auto ids = Identifiers();
    const FollowMarking m = MarkFollowedRows(rows, kA, 77, ids);
    EXPECT_EQ(m.marked, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(m.lastFollowedTarget, 201);
    ASSERT_EQ(m.tunes.size(), 2u);
    EXPECT_EQ(m.tunes[0].spacing, 0.0125);
    EXPECT_EQ(m.tunes[1].spacing, 0.025);
    EXPECT_EQ(m.tunes[1].frequency, kA);
    EXPECT_FALSE(m.tuneQuiet);

    for (double none : {0.0, kUnknown}) {
        const FollowMarking q = MarkFollowedRows(rows, none, 77, ids);
        EXPECT_EQ(q.marked, std::vector<bool>(4, false)) << none;
        EXPECT_EQ(q.lastFollowedTarget, 77) << none;
        EXPECT_TRUE(q.tunes.empty() && q.tuneQuiet) << none;
    }
}

// Successive refreshes of the activity view driving a scanner on a pseudo-terminal.
class FollowRefresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(peer.Path().empty());
        ScratchFolder::Write(folder.Path() / "follow.scanner", "[Commands]\nActive=F$STANDARDFREQ$/$SP-KHZ$;\n"
                                                               "Quiet=Q;\n");
        scanner = std::make_unique<ScannerControl>(peer.Path(), "follow.scanner", 866.0, 9600, folder.Path());
        ASSERT_TRUE(scanner->PortOpen());
    }
    // One refresh: decide, mark, tune; returns the marking.
    FollowMarking Refresh(const std::vector<FreqInfo>& rows, int32_t held, bool controlEnabled = true)
    {
        FollowInputs in;
        in.heldTalkgroup = held;
        in.lastFollowedTarget = lastFollowed;
        in.priority = PriorityOf;
        const FollowMarking m = MarkFollowedRows(rows, ChooseFollowFrequency(rows, in), lastFollowed, ids);
        lastFollowed = m.lastFollowedTarget;
        TuneFollowed(m, scanner.get(), controlEnabled, true);
        return m;
    }

    ScratchFolder folder;
    ScannerPeer peer;
    std::unique_ptr<ScannerControl> scanner;
    std::array<IdentifierEntry, IdentifierTable::kCount> ids = Identifiers();
    int32_t lastFollowed = 0;
};

TEST_F(FollowRefresh, TunesOnceAndReturnsToQuietWhenAHoldIsReleased)
{
    const std::vector<FreqInfo> calls{Entry(kA, "Group", 100, "", 0x1001), Entry(kB, "Group", 1001, "", 0x2001)};
    Refresh(calls, kNoHeldTalkgroup);
    Refresh(calls, kNoHeldTalkgroup);  // the same decision sends nothing again
    EXPECT_EQ(peer.Text(), "F851.0125/12.5;");
    EXPECT_EQ(lastFollowed, 100);

    Refresh(calls, 1001);  // hold
    EXPECT_EQ(peer.Text(), "F852.0125/25;");
    EXPECT_EQ(lastFollowed, 1001);

    const std::vector<FreqInfo> idle{Entry(kA, "", 0, "", 0x1001), Entry(kB, "", 0, "", 0x2001)};
    Refresh(idle, 1001);
    Refresh(idle, kNoHeldTalkgroup);  // release with nothing active: quiet once
    EXPECT_EQ(peer.Text(), "Q;");
}

TEST_F(FollowRefresh, MarkingWithoutScannerControl)
{
    const std::vector<FreqInfo> calls{Entry(kA, "Group", 200, "", 0x1001)};
    const FollowMarking m = Refresh(calls, kNoHeldTalkgroup, false);
    EXPECT_EQ(m.marked, std::vector<bool>{true});
    EXPECT_EQ(lastFollowed, 200);
    EXPECT_EQ(peer.Text(), "");
}

}  // namespace
