#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/DescriptionCases.h"

// The MFID 0x90 extensions: patches, regroups, patched responses and the emergency button.

namespace {

using testsupport::DescriptionCase;

// Radio 1234567 is 0x12D687, radio 1000 is 0x0003E8; talkgroup 300 is 0x012C, 900 is 0x0384.
const DescriptionCase kDescriptionCases[] = {
    {"PatchInformationListsMembersFromBytes8And9First",
     {0x00, 0x90, 0x03, 0x84, 0x00, 0x66, 0x03, 0x84, 0x00, 0x65},
     1,
     {"Patch Information - Mfg 90(Motorola) SuperGroup: 900 Member Groups: 101,102,900"},
     {}},
    {"PatchRelease",
     {0x01, 0x90, 0x01, 0xF4, 0x01, 0xF5, 0x01, 0xF4, 0x01, 0xF6},
     1,
     {"Patch Release - Mfg 90(Motorola) Groups: 500,501,500,502"},
     {}},
    {"Regroup",
     {0x04, 0x90, 0x02, 0x00, 0x01, 0x2C, 0, 0x12, 0xD6, 0x87},
     1,
     {"Regroup - Mfg 90(Motorola) RadioID: 1234567 Group: 300"},
     {"Regroup - Mfg 90(Motorola) RadioID: 1234567 Group: 300"}},
    {"CancelRegroup",
     {0x04, 0x90, 0x02, 0x01, 0x01, 0x2C, 0, 0x12, 0xD6, 0x87},
     1,
     {"Cancel Regroup - Mfg 90(Motorola) RadioID: 1234567"},
     {"Cancel Regroup - Mfg 90(Motorola) RadioID: 1234567"}},
    {"LockRegroup",
     {0x04, 0x90, 0x02, 0x02, 0x01, 0x2C, 0, 0x12, 0xD6, 0x87},
     1,
     {"Lock Regroup - Mfg 90(Motorola) RadioID: 1234567"},
     {"Lock Regroup - Mfg 90(Motorola) RadioID: 1234567"}},
    {"UnlockRegroup",
     {0x04, 0x90, 0x02, 0x03, 0x01, 0x2C, 0, 0x12, 0xD6, 0x87},
     1,
     {"Unlock Regroup - Mfg 90(Motorola) RadioID: 1234567"},
     {"Unlock Regroup - Mfg 90(Motorola) RadioID: 1234567"}},
    // Described as a regroup command and then also handled as an unknown block.
    {"UnknownRegroupCommand",
     {0x04, 0x90, 0x02, 0x04, 0x01, 0x2C, 0, 0x12, 0xD6, 0x87},
     0,
     {"Unknown Regroup Command - Mfg 90(Motorola) RadioID: 1234567", "Unknown Op=04 Mfg 90(Motorola)"},
     {"Unknown Regroup Command - Mfg 90(Motorola) RadioID: 1234567"}},
    {"Opcode04OfAnotherClassIsUnknown",
     {0x04, 0x90, 0x01, 0x00, 0x01, 0x2C, 0, 0x12, 0xD6, 0x87},
     0,
     {"Unknown Op=04 Mfg 90(Motorola)"},
     {}},
    {"Opcode05IsRecognised", {0x05, 0x90, 1, 2, 3, 4, 5, 6, 7, 8}, 1, {"Unknown Op=05 Mfg 90(Motorola)"}, {}},
    {"QueuedResponsePatched",
     {0x06, 0x90, 0, 0x2F, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Queued Response (Patched): 1234567 -> 1000: target unit has refused this call Mfg 90(Motorola)"},
     {"Queued Response (Patched): 1234567 -> 1000: target unit has refused this call Mfg 90(Motorola)"}},
    {"EmergencyButton",
     {0x07, 0x90, 0x80, 0, 0, 0x01, 0x2C, 0x12, 0xD6, 0x87},
     1,
     {"Emergency Button Pressed? - Mfg 90(Motorola) Group: 300 Radio ID: 1234567"},
     {"Emergency Button Pressed? - Mfg 90(Motorola) Group: 300 Radio ID: 1234567"}},
    {"Opcode07WithoutTheEmergencyBitSaysNothing", {0x07, 0x90, 0x7F, 0, 0, 0x01, 0x2C, 0x12, 0xD6, 0x87}, 1, {}, {}},
    {"PatchedAckHasNoBlankBeforeTheReason",
     {0x08, 0x90, 0x2F, 0, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87},
     1,
     {"Patched Ack? Op=08 Mfg 90(Motorola) Radio ID1 : 1234567 Radio ID2 : 1000Reason Code: target unit has refused "
      "this call"},
     {"Patched Ack? Op=08 Mfg 90(Motorola) Radio ID1 : 1234567 Radio ID2 : 1000Reason Code: target unit has refused "
      "this call"}},
    {"Opcode09ShowsTwoBytesInBinary",
     {0x09, 0x90, 0x05, 0xA0, 0, 0, 0, 0, 0, 0},
     1,
     {"Unknown Op=09 Mfg 90(Motorola) Binary Value: 00000101 10100000"},
     {}},
    {"PatchOpcodesOfTheStandardAreUnknown",
     {0x01, 0x00, 0x01, 0xF4, 0x01, 0xF5, 0x01, 0xF4, 0x01, 0xF6},
     0,
     {"Unknown Op=01 Mfg 00(Standard)"},
     {}},
};

class ManufacturerDescriptions : public testsupport::DescriptionCaseFixture { };

TEST_P(ManufacturerDescriptions, DumpsAndLogsTheEvents)
{
    EXPECT_EQ(DecodeCase(), GetParam().recognised);
    EXPECT_EQ(DumpTexts(), GetParam().dump);
    EXPECT_EQ(EventTexts(), GetParam().events);
    EXPECT_EQ(UnknownTexts().size(), GetParam().recognised ? 0u : 1u);
}

TEST_P(ManufacturerDescriptions, EventLogAloneStillGetsItsEvents)
{
    SetDumpAndEvents(false, true);
    EXPECT_EQ(DecodeCase(), GetParam().recognised);
    EXPECT_TRUE(DumpTexts().empty());
    EXPECT_EQ(EventTexts(), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(Blocks, ManufacturerDescriptions, ::testing::ValuesIn(kDescriptionCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ManufacturerTest : public testsupport::DecoderFixture {
protected:
    struct Pair {
        int32_t group;
        int32_t supergroup;
        bool operator==(const Pair&) const = default;
    };
    struct Logged {
        char action;
        int32_t group;
        int32_t supergroup;
        bool operator==(const Logged&) const = default;
    };

    std::vector<Pair> Patches()
    {
        std::vector<PATCHENTRY> e(PatchList::kCapacity);
        const int n = decoder->Patches().CopyPatches(e.data(), PatchList::kCapacity);
        std::vector<Pair> out;
        for (int i = 0; i < n; ++i)
            out.push_back({e[static_cast<size_t>(i)].group, e[static_cast<size_t>(i)].supergroup});
        return out;
    }
    std::vector<Logged> PatchLogEntries()
    {
        std::vector<PATCHLOGENTRY> e(PatchLog::kCapacity);
        const int n = decoder->PatchEvents().CopyPatchLog(e.data(), PatchLog::kCapacity);
        std::vector<Logged> out;
        for (int i = 0; i < n; ++i)
            if (e[static_cast<size_t>(i)].time != 0)  // skip the reset's clear marker
                out.push_back({e[static_cast<size_t>(i)].action, e[static_cast<size_t>(i)].group,
                               e[static_cast<size_t>(i)].supergroup});
        return out;
    }
    void SetUp() override
    {
        DecoderFixture::SetUp();
        PatchLogEntries();
    }
};

TEST_F(ManufacturerTest, PatchInformationPatchesEachOtherMemberOnce)
{
    const std::initializer_list<uint8_t> info = {0x00, 0x90, 0x03, 0x84, 0x00, 0x66, 0x03, 0x84, 0x00, 0x65};
    ASSERT_EQ(Decode(info), 1);
    EXPECT_EQ(Patches(), (std::vector<Pair>{{101, 900}, {102, 900}}));
    EXPECT_EQ(PatchLogEntries(), (std::vector<Logged>{{'A', 101, 900}, {'A', 102, 900}}));
    // Repeated announcements keep the patches alive without logging them again.
    Decode(info);
    EXPECT_EQ(Patches().size(), 2u);
    EXPECT_TRUE(PatchLogEntries().empty());
}

TEST_F(ManufacturerTest, PatchReleaseEndsTheSupergroupAndEveryOtherGroupNamed)
{
    decoder->Patches().AddPatch(10, 500);
    decoder->Patches().AddPatch(11, 501);
    decoder->Patches().AddPatch(12, 502);
    decoder->Patches().AddPatch(13, 503);
    PatchLogEntries();
    ASSERT_EQ(Decode({0x01, 0x90, 0x01, 0xF4, 0x01, 0xF5, 0x01, 0xF4, 0x01, 0xF6}), 1);
    EXPECT_EQ(Patches(), (std::vector<Pair>{{13, 503}}));
    EXPECT_EQ(PatchLogEntries(), (std::vector<Logged>{{'R', 10, 500}, {'R', 11, 501}, {'R', 12, 502}}));
}

TEST_F(ManufacturerTest, RegroupCommandsNoteTheirGroupEvenWhenNotUnderstood)
{
    Decode({0x04, 0x90, 0x02, 0x04, 0x01, 0x2C, 0, 0x12, 0xD6, 0x87});
    EXPECT_TRUE(decoder->Talkgroups().IsTalkgroupKnown(300));
    Decode({0x04, 0x90, 0x01, 0x00, 0x01, 0x2D, 0, 0x12, 0xD6, 0x87});  // not a regroup command
    EXPECT_FALSE(decoder->Talkgroups().IsTalkgroupKnown(301));
}

TEST_F(ManufacturerTest, PatchedQueuedResponseGoesToTheGrantLog)
{
    Decode({0x06, 0x90, 0, 0x2F, 0x00, 0x03, 0xE8, 0x12, 0xD6, 0x87});
    const std::vector<GRANTLOG> grants = GrantEntries();
    ASSERT_EQ(grants.size(), 1u);
    EXPECT_EQ(grants[0].type, "Queued");
    EXPECT_EQ(grants[0].target, 1000);
    EXPECT_EQ(grants[0].source, 1234567);
}

}  // namespace
