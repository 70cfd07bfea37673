#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <vector>

#include "decoder/P25Class.h"
#include "service/EventFeed.h"
#include "support/DecoderFixture.h"

// The feed's own knowledge: calls numbered and timed from start to end, a new call on a busy
// channel ending the old one, repeats of the site and its identifiers dropped, the time format.

namespace {

using nlohmann::json;
using namespace std::chrono;

class Collect final : public FeedOutput {
public:
    void Publish(const FeedMessage& m) override { messages.push_back(m); }
    void PublishStatus(const FeedMessage& m) override { statuses.push_back(m); }
    std::vector<json> Events() const
    {
        std::vector<json> out;
        for (const FeedMessage& m : messages)
            out.push_back(json::parse(m.json));
        return out;
    }
    std::vector<FeedMessage> messages;
    std::vector<FeedMessage> statuses;
};

class EventFeedTest : public ::testing::Test {
protected:
    EventFeedTest() : feed("box", [this] { return now; }) { feed.AddOutput(&out); }

    SiteEvent Site(int32_t control, uint32_t wacn = 0)
    {
        SiteEvent e;
        e.kind = SiteEventKind::kSiteUpdate;
        e.systemId = 0x1A3;
        e.rfss = 1;
        e.site = 5;
        e.wacn = wacn;
        e.channel = control;
        e.frequency = 851.0125;
        return e;
    }
    SiteEvent Call(SiteEventKind kind, int32_t channel, int32_t talkgroup, const char* reason = "")
    {
        SiteEvent e;
        e.kind = kind;
        e.systemId = 0x1A3;
        e.rfss = 1;
        e.site = 5;
        e.channel = channel;
        e.usage = "Group";
        e.talkgroup = talkgroup;
        e.result = reason;
        return e;
    }

    system_clock::time_point now = system_clock::time_point(milliseconds(1714566896789));
    Collect out;
    EventFeed feed;
};

TEST_F(EventFeedTest, CallsAreNumberedTimedAndEndedByTheNextCallOnTheirChannel)
{
    feed.OnSiteEvent(Site(0x10BE));
    feed.OnSiteEvent(Call(SiteEventKind::kCallStart, 0x1010, 100));
    now += milliseconds(1500);
    feed.OnSiteEvent(Call(SiteEventKind::kCallStart, 0x1010, 200));  // replaces the call of 100
    now += milliseconds(250);
    feed.OnSiteEvent(Call(SiteEventKind::kCallEnd, 0x1010, 200, "expired"));
    feed.OnSiteEvent(Call(SiteEventKind::kCallEnd, 0x1010, 200, "expired"));  // no call open: nothing

    const std::vector<json> e = out.Events();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0]["event"], "site_identified");
    EXPECT_EQ(e[0]["time"], "2024-05-01T12:34:56.789Z");
    EXPECT_EQ(e[1]["event"], "call_start");
    EXPECT_EQ(e[1]["call_id"], 1);
    EXPECT_EQ(e[2]["event"], "call_end");
    EXPECT_EQ(e[2]["call_id"], 1);
    EXPECT_EQ(e[2]["reason"], "replaced");
    EXPECT_DOUBLE_EQ(e[2]["duration_s"].get<double>(), 1.5);
    EXPECT_EQ(e[3]["call_id"], 2);
    EXPECT_EQ(e[4]["reason"], "expired");
    EXPECT_DOUBLE_EQ(e[4]["duration_s"].get<double>(), 0.25);
    for (const FeedMessage& m : out.messages)
        EXPECT_EQ(m.siteKey, "1A3/1-5");
}

TEST_F(EventFeedTest, SiteRepeatsAreDroppedAndChangesCarryThePrevious)
{
    feed.OnSiteEvent(Site(0x10BE));
    feed.OnSiteEvent(Site(0x10BE));
    feed.OnSiteEvent(Site(0x10BE, 0x92A5C));
    SiteEvent identifier;
    identifier.kind = SiteEventKind::kIdentifierUpdate;
    identifier.identifier = 1;
    identifier.base = 851.00625;
    feed.OnSiteEvent(identifier);
    feed.OnSiteEvent(identifier);
    const std::vector<json> e = out.Events();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[1]["event"], "site_changed");
    EXPECT_EQ(e[1]["wacn"], "92A5C");
    EXPECT_TRUE(e[1]["previous"]["wacn"].is_null());
    EXPECT_EQ(e[2]["event"], "identifier_update");
    // The retained status follows the site.
    ASSERT_FALSE(out.statuses.empty());
    EXPECT_EQ(json::parse(out.statuses.back().json)["wacn"], "92A5C");
}

TEST_F(EventFeedTest, BeforeTheSiteIsKnownMessagesGoUnderTheInstance)
{
    feed.LinkState("no_data", "no block received", 10);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_EQ(out.messages[0].siteKey, "unidentified/box");
    EXPECT_TRUE(json::parse(out.messages[0].json)["sysid"].is_null());
}

// Through the decoder: a group voice grant, then the talkgroup moving to another channel, then
// the second channel expiring.
class DecoderEvents : public testsupport::DecoderFixture { };

TEST_F(DecoderEvents, GrantsReleasesAndExpiriesBecomeCallEvents)
{
    Collect collected;
    EventFeed feed("box");
    feed.AddOutput(&collected);
    decoder->SetEventSink(&feed);
    Decode({0x3A, 0x00, 0x00, 0x11, 0xA3, 0x01, 0x05, 0x10, 0x01, 0x70});  // RFSS status: 1A3, 1-5
    Decode({0x00, 0x00, 0x00, 0x10, 0x10, 0x00, 0x64, 0x00, 0x00, 0x2A});  // TG 100 on 1-0016
    Decode({0x00, 0x00, 0x00, 0x10, 0x20, 0x00, 0x64, 0x00, 0x00, 0x2B});  // TG 100 moves to 1-0032
    for (int i = 0; i < 40; ++i)
        decoder->AdvanceTick();
    decoder->Activity().ExpireChannelActivity();
    decoder->SetEventSink(nullptr);

    std::vector<std::string> names;
    for (const json& j : collected.Events())
        names.push_back(j["event"]);
    const std::vector<std::string> expected = {"site_identified", "call_start", "call_end", "call_start", "call_end"};
    ASSERT_EQ(names, expected);
    const std::vector<json> e = collected.Events();
    EXPECT_EQ(e[1]["talkgroup"], 100);
    EXPECT_EQ(e[1]["source"], 42);
    EXPECT_EQ(e[2]["reason"], "released");
    EXPECT_EQ(e[3]["channel"], 0x1020);
    EXPECT_EQ(e[4]["reason"], "expired");
}

}  // namespace
