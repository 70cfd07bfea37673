#include <gtest/gtest.h>

#include <string>

#include "platform/NamedLock.h"
#include "site/ChannelTable.h"
#include "site/DecoderContext.h"
#include "site/IdentifierTable.h"
#include "site/TalkgroupTable.h"

namespace {

// An identifier update as the site sends it: 900 MHz band, 12.5 kHz steps.
constexpr IdentifierEntry kBand900{935.0125, -39.0, 0.0125, 0.0125, false};

struct ConversionCase {
    int32_t channel;
    double rx;
    double tx;
    const char* text;          // without frequency
    const char* receiveText;   // with frequency, receive side
    const char* transmitText;  // with frequency, transmit side
};

TEST(IdentifierTable, BuiltInBandPlansConvertChannelsBeforeTheSiteSendsAny)
{
    const IdentifierTable ids;
    const ConversionCase cases[] = {
        {0x0010, 851.10625, 806.10625, "0-0016", "0-0016(851.10625)", "0-0016(806.10625)"},
        {0x1010, 764.10000, 794.10000, "1-0016", "1-0016(764.10000)", "1-0016(794.10000)"},
        {0x1005, 764.03125, 794.03125, "1-0005", "1-0005(764.03125)", "1-0005(794.03125)"},
        {0x2010, 0.0, 0.0, "2-0016", "2-0016(0.00000)", "2-0016(0.00000)"},
        // 0xFFFF means no channel: the transmit side falls back to the receive frequency.
        {0xFFFF, 0.0, 0.0, "15-4095", "15-4095(0.00000)", "15-4095(0.00000)"},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_NEAR(ids.ChannelRxFrequency(c.channel), c.rx, 1e-9);
        EXPECT_NEAR(ids.ChannelTxFrequency(c.channel), c.tx, 1e-9);
        EXPECT_EQ(ids.ChannelText(c.channel, false, false), c.text);
        EXPECT_EQ(ids.ChannelText(c.channel, true, false), c.receiveText);
        EXPECT_EQ(ids.ChannelText(c.channel, true, true), c.transmitText);
    }
}

TEST(IdentifierTable, ChannelsOutsideSixteenBitsConvertToZero)
{
    const IdentifierTable ids;
    for (int32_t channel : {-1, 0x10000, 0x7FFFFFFF}) {
        EXPECT_EQ(ids.ChannelRxFrequency(channel), 0.0);
        EXPECT_EQ(ids.ChannelTxFrequency(channel), 0.0);
    }
    EXPECT_EQ(ids.ChannelText(-1, true, true), "-1-4095(0.00000)");
}

TEST(IdentifierTable, FirstStoredIdentifierClearsTheBuiltInPlans)
{
    IdentifierTable ids;
    IdentifierEntry update = kBand900;
    update.assumed = true;  // stored entries are confirmed whatever the caller says
    EXPECT_TRUE(ids.StoreIdentifier(2, update));

    EXPECT_EQ(ids.ChannelRxFrequency(0x0010), 0.0);
    EXPECT_EQ(ids.ChannelRxFrequency(0x1010), 0.0);
    EXPECT_NEAR(ids.ChannelRxFrequency(0x2010), 935.2125, 1e-9);
    EXPECT_NEAR(ids.ChannelTxFrequency(0x2010), 896.2125, 1e-9);

    IdentifierEntry out[IdentifierTable::kCount];
    ASSERT_TRUE(ids.CopyIdentifiers(out, IdentifierTable::kCount));
    EXPECT_TRUE(out[0].assumed);
    EXPECT_EQ(out[0].base, 0.0);
    EXPECT_FALSE(out[2].assumed);
    EXPECT_EQ(out[2].spacing, 0.0125);

    // Identifier 0 comes back once the site sends it.
    EXPECT_TRUE(ids.StoreIdentifier(0, IdentifierEntry{851.00625, -45.0, 0.00625, 0.0125, false}));
    EXPECT_NEAR(ids.ChannelRxFrequency(0x0010), 851.10625, 1e-9);
}

// The texts with a frequency follow the table as it changes, for the same channel numbers, in
// two tables side by side and for channels that share a place among the texts kept.
TEST(IdentifierTable, ChannelTextsFollowEveryChangeOfTheTable)
{
    IdentifierTable ids;
    IdentifierTable other;
    EXPECT_EQ(ids.ChannelText(0x0010, true, false), "0-0016(851.10625)");
    EXPECT_EQ(ids.ChannelText(0x0010, true, true), "0-0016(806.10625)");
    EXPECT_EQ(ids.ChannelText(0x0111, true, false), "0-0273(852.71250)");
    EXPECT_EQ(ids.ChannelText(0x0010, true, false), "0-0016(851.10625)");
    ASSERT_TRUE(ids.StoreIdentifier(0, kBand900));
    EXPECT_EQ(ids.ChannelText(0x0010, true, false), "0-0016(935.21250)");
    EXPECT_EQ(ids.ChannelText(0x0010, true, true), "0-0016(896.21250)");
    EXPECT_EQ(other.ChannelText(0x0010, true, false), "0-0016(851.10625)");
    EXPECT_EQ(ids.ChannelText(0x0010, true, false), "0-0016(935.21250)");
    ids.Reset();
    EXPECT_EQ(ids.ChannelText(0x0010, true, false), "0-0016(851.10625)");
}

TEST(IdentifierTable, SameEntryChangesTheTableOnlyOnce)
{
    IdentifierTable ids;
    IdentifierEntry out[IdentifierTable::kCount];
    ids.CopyIdentifiers(out, IdentifierTable::kCount);
    EXPECT_FALSE(ids.IdentifiersChanged());

    EXPECT_TRUE(ids.StoreIdentifier(3, kBand900));
    EXPECT_TRUE(ids.StoreIdentifier(3, kBand900)) << "still not copied";
    ids.CopyIdentifiers(out, IdentifierTable::kCount);
    EXPECT_FALSE(ids.StoreIdentifier(3, kBand900));
    EXPECT_FALSE(ids.IdentifiersChanged());

    IdentifierEntry wider = kBand900;
    wider.bandwidth = 0.025;
    EXPECT_TRUE(ids.StoreIdentifier(3, wider));
    EXPECT_EQ(NamedLock::HeldCount(), 0);
}

TEST(IdentifierTable, RejectsIdentifiersOutsideTheTableAndCopiesOnlyWhatFits)
{
    IdentifierTable ids;
    EXPECT_FALSE(ids.StoreIdentifier(-1, kBand900));
    EXPECT_FALSE(ids.StoreIdentifier(16, kBand900));
    EXPECT_NEAR(ids.ChannelRxFrequency(0x0010), 851.10625, 1e-9) << "a rejected store clears nothing";

    IdentifierEntry out[3];
    out[2].base = -7.0;
    EXPECT_FALSE(ids.CopyIdentifiers(out, 0));
    EXPECT_TRUE(ids.IdentifiersChanged()) << "nothing copied, flag kept";
    ASSERT_TRUE(ids.CopyIdentifiers(out, 2));
    EXPECT_EQ(out[1].base, 764.0);
    EXPECT_EQ(out[2].base, -7.0);
    EXPECT_FALSE(ids.IdentifiersChanged());
}

// An identifier update holds "BSOLOCK" and recomputes the channel table's frequencies under
// "FREQUENCY"; the lock-order checker would abort on any other nesting.
TEST(IdentifierTable, StoringAnIdentifierRecomputesChannelFrequencies)
{
    DecoderContext ctx;
    TalkgroupTable talkgroups(ctx);
    IdentifierTable ids;
    ChannelTable channels(ctx, ids, talkgroups);
    channels.SetHits(0x0010, 0);
    FreqInfo rec[1];
    channels.CopyChannels(rec, 1);
    ASSERT_NEAR(rec[0].rxFrequency, 851.10625, 1e-9);

    EXPECT_TRUE(ids.StoreIdentifier(0, IdentifierEntry{851.0125, -45.0, 0.0125, 0.0125, false}));
    EXPECT_TRUE(channels.ChannelsChanged());
    channels.CopyChannels(rec, 1);
    EXPECT_NEAR(rec[0].rxFrequency, 851.2125, 1e-9);

    // Only clearing the built-in plans still moves channel frequencies, so it is a change too.
    ids.Reset();
    IdentifierEntry copy[IdentifierTable::kCount];
    ids.CopyIdentifiers(copy, IdentifierTable::kCount);
    channels.CopyChannels(rec, 1);
    EXPECT_TRUE(ids.StoreIdentifier(5, IdentifierEntry{}));
    EXPECT_TRUE(channels.ChannelsChanged());
    channels.CopyChannels(rec, 1);
    EXPECT_EQ(rec[0].rxFrequency, 0.0);
    EXPECT_EQ(NamedLock::HeldCount(), 0);
}

}  // namespace
