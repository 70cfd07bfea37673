#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "site/DecoderContext.h"
#include "site/EventLog.h"
#include "site/PacketDump.h"
#include "site/UnknownPackets.h"

namespace {

Tsbk Block(uint8_t opcode, uint8_t arg = 0)
{
    Tsbk b{};
    b[0] = opcode;
    b[2] = arg;
    return b;
}

class BlockLogTest : public ::testing::Test {
protected:
    BlockLogTest() { ctx.time.SetClock(clock); }
    void TearDown() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    ManualClock clock;
    DecoderContext ctx;
};

TEST_F(BlockLogTest, EventLogDropsABlockEqualToTheLastRecorded)
{
    EventLog events(ctx);
    events.SetEventLogEnabled(true);
    EXPECT_TRUE(events.AddEventLogEntry(Block(0x28), "first"));
    EXPECT_FALSE(events.AddEventLogEntry(Block(0x28), "again"));
    EXPECT_TRUE(events.AddEventLogEntry(Block(0x29), "other"));
    EXPECT_TRUE(events.AddEventLogEntry(Block(0x28), "back"));

    std::vector<EVENTLOG> out(EventLog::kCapacity);
    ASSERT_EQ(events.CopyEventLog(out.data(), EventLog::kCapacity), 3);
    EXPECT_EQ(out[0].text, "first");
    EXPECT_EQ(out[0].time, clock.Now());
    EXPECT_EQ(out[2].text, "back");

    // Neither a copy nor a clear forgets the last block.
    events.ClearEventLog();
    EXPECT_FALSE(events.AddEventLogEntry(Block(0x28), "after clear"));
}

TEST_F(BlockLogTest, EventLogStartsWithAnAllZeroLastBlock)
{
    EventLog events(ctx);
    events.SetEventLogEnabled(true);
    EXPECT_FALSE(events.AddEventLogEntry(Tsbk{}, "zero"));
}

TEST_F(BlockLogTest, EventLogSwitchOffRefusesAndHidesPending)
{
    EventLog events(ctx);
    EXPECT_FALSE(events.AddEventLogEntry(Block(0x28), "off"));
    events.SetEventLogEnabled(true);
    ASSERT_TRUE(events.AddEventLogEntry(Block(0x28), "on"));
    events.SetEventLogEnabled(false);

    EVENTLOG out[EventLog::kCapacity];
    EXPECT_FALSE(events.EventLogChanged());
    EXPECT_EQ(events.CopyEventLog(out, EventLog::kCapacity), 0);
    events.SetEventLogEnabled(true);
    EXPECT_TRUE(events.EventLogChanged());
    EXPECT_EQ(events.CopyEventLog(out, EventLog::kCapacity), 1);
    EXPECT_FALSE(events.EventLogChanged());
}

TEST_F(BlockLogTest, UnknownPacketsDropThe21stUntilCopied)
{
    UnknownPackets unknowns(ctx);  // the switch belongs to the decoder: Add ignores it
    for (int i = 0; i < UnknownPackets::kCapacity; ++i)
        ASSERT_TRUE(unknowns.AddUnknownPacket(Block(0x13, static_cast<uint8_t>(i)), "u"));
    EXPECT_FALSE(unknowns.AddUnknownPacket(Block(0x13, 99), "dropped"));

    std::vector<UNKTSBK> out(UnknownPackets::kCapacity);
    ASSERT_EQ(unknowns.CopyUnknownPackets(out.data(), UnknownPackets::kCapacity), 20);
    EXPECT_EQ(out[19].block[2], 19);
    EXPECT_TRUE(unknowns.AddUnknownPacket(Block(0x13, 99), "room again"));
}

TEST_F(BlockLogTest, ShortCopyKeepsTheRestPendingInOrder)
{
    PacketDump dump(ctx);
    for (int i = 0; i < 5; ++i)
        dump.AddPacketDumpEntry(Block(0x00, static_cast<uint8_t>(i)), "entry " + std::to_string(i));

    ALLPKT out[PacketDump::kCapacity];
    ASSERT_EQ(dump.CopyPacketDump(out, 2), 2);
    EXPECT_TRUE(dump.PacketDumpChanged());
    ASSERT_EQ(dump.CopyPacketDump(out, PacketDump::kCapacity), 3);
    EXPECT_EQ(out[0].text, "entry 2");
    EXPECT_EQ(out[2].block[2], 4);
    EXPECT_EQ(dump.CopyPacketDump(out, PacketDump::kCapacity), 0);
}

TEST_F(BlockLogTest, ClearMarkerReplacesPendingEntries)
{
    PacketDump dump(ctx);
    dump.AddPacketDumpEntry(Block(0x00), "grant");
    dump.AddPacketDumpEntry(Block(0x02), "update");
    dump.ClearPacketDump();
    EXPECT_TRUE(dump.PacketDumpChanged());

    ALLPKT out[PacketDump::kCapacity];
    ASSERT_EQ(dump.CopyPacketDump(out, PacketDump::kCapacity), 1);
    EXPECT_EQ(out[0].time, 0);
    EXPECT_TRUE(out[0].text.empty());
    EXPECT_FALSE(dump.PacketDumpChanged());
}

}  // namespace
