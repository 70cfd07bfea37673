#include <gtest/gtest.h>

#include <vector>

#include "persist/LogFormat.h"
#include "site/PacketDump.h"

namespace {

TEST(LogFormat, DumpRowHasPacketDataTimeAndDescription)
{
    setenv("TZ", "UTC", 1);
    tzset();
    BlockLogEntry e;
    e.time = 1240322820;  // 21 Apr 2009 14:07:00 UTC
    e.block = Tsbk{0x3A, 0x00, 0x00, 0x11, 0x23, 0x01, 0x05, 0x10, 0x01, 0x70, 0xAB, 0x0C};
    e.text = "RFSS Status Broadcast";
    EXPECT_EQ(DumpRowText(e), "  3A 00 00 11 23 01 05 10 01 70 AB 0C  04/21 14:07:00 RFSS Status Broadcast");
    EXPECT_EQ(TimeStampText(1240322820 + 86400 * 200 + 5), "11/07 14:07:05");
}

TEST(PacketDumpSink, TakesEveryEntryDirectlyWithoutFillingThePendingSlots)
{
    ManualClock clock;
    DecoderContext ctx;
    ctx.time.SetClock(clock);
    PacketDump dump(ctx);
    std::vector<std::string> seen;
    dump.SetDirectSink([&](const ALLPKT& e) {
        EXPECT_EQ(e.time, clock.Now());
        seen.push_back(e.text);
    });
    for (int i = 0; i < 3 * PacketDump::kCapacity; ++i)
        EXPECT_TRUE(dump.AddPacketDumpEntry(Tsbk{}, std::to_string(i)));
    ASSERT_EQ(seen.size(), 3u * PacketDump::kCapacity);
    EXPECT_EQ(seen.back(), std::to_string(3 * PacketDump::kCapacity - 1));
    EXPECT_EQ(dump.Pending(), 0);
}

}  // namespace
