#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "link/SiteStreamBlocks.h"
#include "persist/TalkgroupFile.h"
#include "persist/TalkgroupUseFile.h"
#include "site/ChannelActivity.h"
#include "support/SystemFolderFixture.h"

namespace {

using testsupport::SystemFolderFixture;
using namespace sitestream;

constexpr int32_t kChA = 0x1001;
constexpr int32_t kChB = 0x1002;
constexpr int32_t kFire = 100;
constexpr int32_t kPolice = 200;
constexpr int32_t kRadio = 4779;

// One block of a capture, heard at a tick of 100 ms; tick -1 lets the channel lines expire first.
struct Heard {
    int32_t tick;
    Tsbk block;
};

class TalkgroupUseTest : public SystemFolderFixture {
protected:
    static void Play(P25Class& d, const std::vector<Heard>& capture)
    {
        for (const Heard& h : capture) {
            if (h.tick < 0) {
                d.Context().time.SetTick(d.Context().time.Tick() + d.Context().tgTimeOut.load() + 1);
                d.Activity().ExpireChannelActivity();
                continue;
            }
            d.Context().time.SetTick(h.tick);
            d.DecodeTsbk(h.block);
        }
    }

    static std::pair<uint32_t, int64_t> Use(P25Class& d, int32_t id)
    {
        const TGTAG t = Talkgroup(d, id);
        return {t.calls, t.airtimeSeconds};
    }
};

// Repeated grants and updates of a call are one call; its airtime runs from the grant to the last
// message heard of it (whole seconds), whatever comes after: an expiry, another talkgroup on the
// channel, or the talkgroup moving on. Data on a talkgroup is not a voice call.
TEST_F(TalkgroupUseTest, ACaptureCountsEachCallAndItsAirtimeOnce)
{
    auto d = NewDecoder();
    Identify(*d);
    const std::vector<Heard> capture = {
        {100, GroupGrant(0, kChA, kFire, kRadio)},  // call 1 of Fire
        {104, GroupGrant(0, kChA, kFire, kRadio)},  // the grant repeated
        {125, PairUpdate(kOpGroupVoiceGrantUpdate, kChA, kFire, kChA, kFire)},
        {163, PairUpdate(kOpGroupVoiceGrantUpdate, kChA, kFire, kChA, kFire)},      // 6.3 s in: 6 s
        {-1, {}},                                                                   // expires
        {500, GroupGrant(0, kChA, kFire, kRadio)},                                  // call 2 of Fire
        {529, GroupGrant(0, kChA, kFire, kRadio)},                                  // 2 s more
        {530, GroupGrant(0, kChA, kPolice, kRadio)},                                // Police takes the channel: call 1
        {560, GroupGrant(0, kChB, kPolice, kRadio)},                                // and moves: call 2
        {575, PairUpdate(kOpGroupVoiceGrantUpdate, kChB, kPolice, kChB, kPolice)},  // 1.5 s on B
        {580, ChannelGroupRadio(kOpGroupDataGrant, 0, kChA, kFire, kRadio)},        // data: no call
        {600, ChannelGroupRadio(kOpGroupDataGrant, 0, kChA, kFire, kRadio)},
    };
    Play(*d, capture);
    EXPECT_EQ(Use(*d, kFire), std::make_pair(2u, int64_t{8}));
    EXPECT_EQ(Use(*d, kPolice), std::make_pair(2u, int64_t{1}));
}

// What a save writes is what the next run starts from: a call going on at the save is neither
// lost nor counted again, and a second reading of the folder (another site of the system) adds
// nothing.
TEST_F(TalkgroupUseTest, UseSurvivesSavesAndLoadsWithoutLossOrDoubleCount)
{
    {
        auto d = NewDecoder();
        Identify(*d);
        Play(*d, {{100, GroupGrant(0, kChA, kFire, kRadio)},
                  {150, PairUpdate(kOpGroupVoiceGrantUpdate, kChA, kFire, kChA, kFire)}});
        ASSERT_TRUE(SaveSystemData(*d));  // in the middle of the call: 5 s so far
        EXPECT_EQ(ReadStored(TalkgroupUseFile::kFileName),
                  "FileVersion:1\r\n# Talkgroup use seen since this system was first stored\r\n"
                  "# Format:  Talkgroup,Calls,Airtime(seconds)\r\n100,1,5\r\n");
        Play(*d, {{220, PairUpdate(kOpGroupVoiceGrantUpdate, kChA, kFire, kChA, kFire)}});
        ASSERT_TRUE(SaveSystemData(*d));
    }
    auto d = NewDecoder();
    Identify(*d);
    EXPECT_EQ(Use(*d, kFire), std::make_pair(1u, int64_t{12}));

    d->SetRfssSite(kRfss, kSite + 1);  // the same system read again over the live tables
    EXPECT_EQ(Use(*d, kFire), std::make_pair(1u, int64_t{12}));
    Play(*d, {{900, GroupGrant(0, kChA, kFire, kRadio)}, {930, GroupGrant(0, kChA, kFire, kRadio)}});
    ASSERT_TRUE(SaveSystemData(*d));

    auto again = NewDecoder();
    Identify(*again);
    EXPECT_EQ(Use(*again, kFire), std::make_pair(2u, int64_t{15}));
}

// The use lives in its own file: TalkGroups.txt is the same with or without it.
TEST_F(TalkgroupUseTest, TalkGroupsTxtDoesNotCarryTheUse)
{
    auto d = NewDecoder();
    Identify(*d);
    d->Talkgroups().SetTalkgroup(kFire, "Fire Dispatch", 1, 0);
    const std::string without = TalkgroupFile::Format(d->Talkgroups());
    d->Talkgroups().AddTalkgroupUse(kFire, 7, 99);
    EXPECT_EQ(TalkgroupFile::Format(d->Talkgroups()), without);
}

// A slot reused after the table was emptied starts from no use; the stored use is added again
// after a reset.
TEST_F(TalkgroupUseTest, ClearingTheTableForgetsTheUse)
{
    WriteText(TalkgroupFile::kFileName, "FileVersion:5\r\n100,1,\"Fire\",1240322820,\"x\"\r\n");
    WriteText(TalkgroupUseFile::kFileName, "FileVersion:1\r\n100,4,40\r\n");
    auto d = NewDecoder();
    Identify(*d);
    EXPECT_EQ(Use(*d, kFire), std::make_pair(4u, int64_t{40}));
    d->Talkgroups().ClearTalkgroups();
    d->Talkgroups().SetTalkgroup(kFire, "Fire", 1, 0);
    EXPECT_EQ(Use(*d, kFire), std::make_pair(0u, int64_t{0}));
    Identify(*d, kRfss, kSite + 1);  // a new site identity resets the decoder and reads the folder
    EXPECT_EQ(Use(*d, kFire), std::make_pair(4u, int64_t{40}));
}

// Lines that are not use lines are skipped; the good ones still count.
TEST_F(TalkgroupUseTest, BadLinesAreSkipped)
{
    WriteText(TalkgroupFile::kFileName, "FileVersion:5\r\n100,1,\"Fire\",1240322820,\"x\"\r\n"
                                        "200,1,\"Police\",1240322820,\"x\"\r\n");
    WriteText(TalkgroupUseFile::kFileName, "FileVersion:1\r\n0,1,1\r\n65536,1,1\r\n100,-1,5\r\n100,x,5\r\n"
                                           "100,4294967296,5\r\n300,1,1\r\n200,3,\r\n200,3,30\r\n");
    auto d = NewDecoder();
    Identify(*d);
    EXPECT_EQ(Use(*d, kFire), std::make_pair(0u, int64_t{0}));
    EXPECT_EQ(Use(*d, kPolice), std::make_pair(3u, int64_t{30}));
}

// A use file the program cannot take is kept as it is, and so is the use of talkgroups whose
// TalkGroups.txt is held back; both are read and added by the load that can read them.
TEST_F(TalkgroupUseTest, AUseFileThatCannotBeReadIsHeldBack)
{
    WriteText(TalkgroupFile::kFileName, "FileVersion:5\r\n100,1,\"Fire\",1240322820,\"x\"\r\n");
    const std::string newer = "FileVersion:2\r\n100;4;40;something new\r\n";
    WriteText(TalkgroupUseFile::kFileName, newer);
    auto d = NewDecoder();
    std::vector<std::string> notices;
    SetStoreNotices(*d, [&notices](const StoreNotice& n) { notices.push_back(n.Text()); });
    Identify(*d);
    Play(*d, {{100, GroupGrant(0, kChA, kFire, kRadio)}});
    ASSERT_TRUE(SaveSystemData(*d));
    EXPECT_EQ(ReadStored(TalkgroupUseFile::kFileName), newer);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(TalkgroupUseFile::kFileName), std::string::npos) << notices[0];

    WriteText(TalkgroupUseFile::kFileName, "FileVersion:1\r\n100,4,40\r\n");  // mended by hand
    d->SetRfssSite(kRfss, kSite + 1);
    EXPECT_EQ(Use(*d, kFire), std::make_pair(5u, int64_t{40}));  // the stored use and the call heard

    // TalkGroups.txt held back: the use of its talkgroups is not written over either.
    std::filesystem::remove(Folder() + TalkgroupFile::kFileName);
    ASSERT_EQ(::mkfifo((Folder() + TalkgroupFile::kFileName).c_str(), 0644), 0);
    auto e = NewDecoder();
    Identify(*e);
    Play(*e, {{100, GroupGrant(0, kChA, kFire, kRadio)}});
    SaveSystemData(*e);
    EXPECT_EQ(ReadStored(TalkgroupUseFile::kFileName), "FileVersion:1\r\n100,4,40\r\n");
}

}  // namespace
