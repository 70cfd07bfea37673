#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <map>
#include <regex>
#include <set>

#include "ServiceRig.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "support/BlockBuilder.h"

// The live headless service against real parts: the scanner simulator on a pseudo-terminal, the
// varnel binary, a Mosquitto broker started here, subscribers.

using namespace servicerig;
using nlohmann::json;

namespace {

constexpr int kScannerType = 1;

// The fields of every event as docs/events.md shows them: the schema the feed must keep to.
std::map<std::string, std::set<std::string>> DocumentedFields()
{
    std::map<std::string, std::set<std::string>> fields;
    std::ifstream in(std::string(VARNEL_SOURCE_DIR) + "/docs/events.md");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("{\"schema\"", 0) != 0)
            continue;
        const json j = json::parse(line);
        std::set<std::string> keys;
        for (auto it = j.begin(); it != j.end(); ++it)
            keys.insert(it.key());
        const std::string event = j["event"];
        if (event == "status" && j["state"] == "offline")
            continue;  // the short offline form
        fields[event] = keys;
    }
    return fields;
}

// Checks one message against the documented schema; empty when it fits.
std::string SchemaFault(const std::string& text, const std::map<std::string, std::set<std::string>>& schema)
{
    static const std::regex kTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)");
    json j;
    try {
        j = json::parse(text);
    } catch (const std::exception& e) {
        return std::string("not JSON: ") + e.what();
    }
    if (!j.is_object() || j.value("schema", 0) != 1 || !j["event"].is_string())
        return "no schema 1 head";
    const auto known = schema.find(j["event"].get<std::string>());
    if (known == schema.end())
        return "undocumented event " + j["event"].get<std::string>();
    std::set<std::string> keys;
    for (auto it = j.begin(); it != j.end(); ++it)
        keys.insert(it.key());
    if (keys != known->second)
        return "fields differ from the documented example";
    if (!std::regex_match(j["time"].get<std::string>(), kTime))
        return "time not ISO 8601 UTC with milliseconds";
    return {};
}

// The first blocks of the demo capture (a site identifies itself within its first few dozen).
std::vector<SimItem> DemoItems(size_t count)
{
    std::vector<SimItem> items;
    std::string error;
    SimCapture::Load(VARNEL_DEMO_CAPTURE, kScannerType, items, error);
    if (items.size() > count)
        items.resize(count);
    return items;
}

// The demo capture moved to another site: its RFSS status broadcasts name system 2B4, RFSS 2,
// site 7; multi-block packets (which would name the demo's site again) are left out.
std::vector<SimItem> OtherSiteItems(size_t count)
{
    std::vector<SimItem> out;
    for (SimItem item : DemoItems(count * 2)) {
        if (item.kind == SimItem::Kind::kBlock) {
            Tsbk& b = item.block;
            const uint8_t opcode = b[0] & kOpcodeMask;
            if (opcode == kMultiBlockHeaderOpcode)
                continue;
            if (opcode == 0x3A) {
                b[3] = static_cast<uint8_t>((b[3] & 0xF0) | 0x02);
                b[4] = 0xB4;
                b[5] = 2;
                b[6] = 7;
                b = testsupport::WithCrc16(b);
            }
        }
        out.push_back(item);
        if (out.size() == count)
            break;
    }
    return out;
}

std::unique_ptr<ScannerSimulator> StartSimulator(std::vector<SimItem> items, double rate, bool loop = false)
{
    SimulatorOptions options;
    options.scannerType = kScannerType;
    options.blocksPerSecond = rate;
    options.loop = loop;
    options.startDelay = std::chrono::milliseconds(300);
    auto sim = std::make_unique<ScannerSimulator>(options);
    if (!sim->Open())
        return nullptr;
    sim->SetCapture(std::move(items));
    sim->Start();
    return sim;
}

class LiveService : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("varnel-live-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "broker");
    }
    void TearDown() override { fs::remove_all(folder); }

    // A data folder of its own for each instance.
    fs::path DataDir(const std::string& name)
    {
        const fs::path dir = folder / name;
        fs::create_directories(dir);
        return dir;
    }

    Child Varnel(const std::string& name, const std::string& port, const std::vector<std::string>& extra,
                 const std::vector<std::string>& env = {})
    {
        std::vector<std::string> argv = {VARNEL_BINARY, "--headless", "--data-dir",     DataDir(name).string(),
                                         "--port",      port,         "--scanner-type", std::to_string(kScannerType),
                                         "--instance",  name};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return Child(argv, folder / (name + ".err"), env);
    }
    std::string Log(const std::string& name) { return FileText(folder / (name + ".err")); }

    fs::path folder;
};

std::string Url(int port)
{
    return "mqtt://127.0.0.1:" + std::to_string(port) + "/scanners";
}

std::vector<Received> EventsOnly(const std::vector<Received>& all)
{
    std::vector<Received> out;
    for (const Received& r : all)
        if (r.topic.size() < 7 || r.topic.substr(r.topic.size() - 7) != "/status")
            out.push_back(r);
    return out;
}

}  // namespace

// The demo capture through the simulator into a live run: a subscriber gets every event of the
// feed file, in order, under the site's topics, each valid and of the documented form; the status
// is retained and goes offline at the stop; SIGTERM writes the system files and exits 0.
TEST_F(LiveService, EveryEventArrivesInOrderWithRetainedStatusAndFilesOnSigterm)
{
    Broker broker(folder / "broker");
    ASSERT_TRUE(broker.Start());
    Subscriber sub(broker.Port(), "scanners/#", "test-sub");
    ASSERT_TRUE(sub.WaitSubscribed());
    const std::vector<SimItem> items = DemoItems(1200);
    auto sim = StartSimulator(items, 600);
    ASSERT_NE(sim, nullptr);

    const fs::path events = folder / "events.jsonl";
    Child varnel = Varnel("siteA", sim->SlavePath(), {"--mqtt", Url(broker.Port()), "--events", events.string()});
    ASSERT_TRUE(sim->WaitForItemsSent(items.size(), std::chrono::seconds(10)));
    std::this_thread::sleep_for(500ms);
    // Online while it runs, retained for whoever subscribes later.
    {
        Subscriber late(broker.Port(), "scanners/1A3/1-5/status", "test-late");
        ASSERT_TRUE(WaitFor([&] { return late.Count() > 0; }, 3s));
        const Received status = late.Messages().front();
        EXPECT_TRUE(status.retained);
        EXPECT_EQ(json::parse(status.payload)["state"], "online");
        EXPECT_EQ(json::parse(status.payload)["link"], "receiving");
    }
    varnel.Signal(SIGTERM);
    EXPECT_EQ(varnel.Wait(), 0) << Log("siteA");

    const fs::path system = folder / "siteA" / "System1A3";
    EXPECT_TRUE(fs::exists(system / "System.ini"));
    EXPECT_TRUE(fs::exists(system / "TalkGroups.txt"));
    EXPECT_NE(Log("siteA").find("saved the system files (stop)"), std::string::npos) << Log("siteA");

    const std::vector<std::string> lines = FileLines(events);
    ASSERT_GT(lines.size(), 50u);
    ASSERT_TRUE(WaitFor([&] { return EventsOnly(sub.Messages()).size() >= lines.size(); }, 5s));
    const std::vector<Received> received = EventsOnly(sub.Messages());
    ASSERT_EQ(received.size(), lines.size());
    const auto schema = DocumentedFields();
    std::set<std::string> kinds;
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(received[i].payload, lines[i]) << "message " << i;
        const json j = json::parse(lines[i]);
        const std::string event = j["event"];
        kinds.insert(event);
        ASSERT_EQ(SchemaFault(lines[i], schema), "") << lines[i];
        const std::string site = j["sysid"].is_null() ? "unidentified/siteA" : "1A3/1-5";
        EXPECT_EQ(received[i].topic, "scanners/" + site + "/" + event);
        EXPECT_FALSE(received[i].retained);
    }
    for (const char* kind : {"site_identified", "call_start", "call_end", "affiliation", "service", "save"})
        EXPECT_TRUE(kinds.count(kind)) << kind;
    // The last word on the status topic: offline, retained.
    Subscriber after(broker.Port(), "scanners/1A3/1-5/status", "test-after");
    ASSERT_TRUE(WaitFor([&] { return after.Count() > 0; }, 3s));
    EXPECT_EQ(json::parse(after.Messages().front().payload)["state"], "offline");
    // Nothing is left retained under the unidentified key.
    Subscriber unidentified(broker.Port(), "scanners/unidentified/#", "test-unid");
    ASSERT_TRUE(unidentified.WaitSubscribed());
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(unidentified.Count(), 0u);
}

// A run that dies leaves its will: the retained status turns offline.
TEST_F(LiveService, LastWillMarksAKilledRunOffline)
{
    Broker broker(folder / "broker");
    ASSERT_TRUE(broker.Start());
    auto sim = StartSimulator(DemoItems(400), 400, true);
    ASSERT_NE(sim, nullptr);
    Child varnel = Varnel("siteA", sim->SlavePath(), {"--mqtt", Url(broker.Port())});
    Subscriber status(broker.Port(), "scanners/1A3/1-5/status", "test-status");
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto m = status.Messages();
            return !m.empty() && json::parse(m.back().payload)["state"] == "online";
        },
        5s));
    varnel.Kill();
    // The broker notices the dead connection at once (the socket closes) and publishes the will.
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto m = status.Messages();
            return json::parse(m.back().payload)["state"] == "offline";
        },
        5s));
    EXPECT_EQ(json::parse(status.Messages().back().payload)["instance"], "siteA");
}

// A broker killed and started again: the run says so, reconnects, counts what its small queue
// dropped, and decoding never waits for the broker (the feed file keeps its pace meanwhile).
TEST_F(LiveService, BrokerKilledAndRestartedReconnectsAndCountsDrops)
{
    Broker broker(folder / "broker");
    ASSERT_TRUE(broker.Start());
    auto sim = StartSimulator(DemoItems(2000), 400, true);
    ASSERT_NE(sim, nullptr);
    const fs::path events = folder / "events.jsonl";
    Child varnel = Varnel("siteA", sim->SlavePath(),
                          {"--mqtt", Url(broker.Port()), "--mqtt-queue", "20", "--events", events.string()});
    Subscriber sub(broker.Port(), "scanners/#", "test-sub");
    ASSERT_TRUE(WaitFor([&] { return EventsOnly(sub.Messages()).size() > 20; }, 5s));

    broker.Kill();
    const size_t linesAtKill = FileLines(events).size();
    std::this_thread::sleep_for(2500ms);
    const size_t linesDuringOutage = FileLines(events).size() - linesAtKill;
    EXPECT_GT(linesDuringOutage, 40u) << "decoding stalled while the broker was away";

    ASSERT_TRUE(broker.Start());
    Subscriber again(broker.Port(), "scanners/#", "test-again");
    ASSERT_TRUE(again.WaitSubscribed());
    // Events flow again within the reconnection pause (at most a few seconds here).
    ASSERT_TRUE(WaitFor([&] { return EventsOnly(again.Messages()).size() > 20; }, 8s)) << Log("siteA");
    varnel.Signal(SIGTERM);
    EXPECT_EQ(varnel.Wait(), 0);
    const std::string log = Log("siteA");
    EXPECT_NE(log.find("MQTT connection to 127.0.0.1:" + std::to_string(broker.Port()) + " lost"), std::string::npos)
        << log;
    EXPECT_GE(std::count(log.begin(), log.end(), '\n'), 3);
    EXPECT_NE(log.find("events dropped"), std::string::npos) << log;
    // The status after the reconnection counts the drops.
    bool countedDrops = false;
    for (const Received& r : again.Messages())
        if (r.topic == "scanners/1A3/1-5/status" && json::parse(r.payload).value("dropped", 0) > 0)
            countedDrops = true;
    EXPECT_TRUE(countedDrops);
}

// Two scanners of two sites into one broker: both streams arrive, each under its own site and
// instance, nothing mixed.
TEST_F(LiveService, TwoInstancesOfTwoSitesStayApart)
{
    Broker broker(folder / "broker");
    ASSERT_TRUE(broker.Start());
    Subscriber sub(broker.Port(), "scanners/#", "test-sub");
    ASSERT_TRUE(sub.WaitSubscribed());
    auto simA = StartSimulator(DemoItems(800), 400, true);
    auto simB = StartSimulator(OtherSiteItems(800), 400, true);
    ASSERT_TRUE(simA && simB);
    Child a = Varnel("siteA", simA->SlavePath(), {"--mqtt", Url(broker.Port())});
    Child b = Varnel("siteB", simB->SlavePath(), {"--mqtt", Url(broker.Port())});
    ASSERT_TRUE(WaitFor(
        [&] {
            size_t fromA = 0, fromB = 0;
            for (const Received& r : sub.Messages()) {
                fromA += r.topic.rfind("scanners/1A3/1-5/call_start", 0) == 0;
                fromB += r.topic.rfind("scanners/2B4/2-7/call_start", 0) == 0;
            }
            return fromA > 3 && fromB > 3;
        },
        8s));
    a.Signal(SIGTERM);
    b.Signal(SIGTERM);
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
    for (const Received& r : sub.Messages()) {
        if (r.payload.empty())
            continue;  // a retained status cleared
        const json j = json::parse(r.payload);
        const std::string instance = j["instance"];
        const bool underA =
            r.topic.rfind("scanners/1A3/1-5/", 0) == 0 || r.topic.rfind("scanners/unidentified/siteA/", 0) == 0;
        const bool underB =
            r.topic.rfind("scanners/2B4/2-7/", 0) == 0 || r.topic.rfind("scanners/unidentified/siteB/", 0) == 0;
        EXPECT_TRUE(instance == "siteA" ? underA : underB) << r.topic << " " << r.payload;
        if (!j["sysid"].is_null() && j["event"] != "status") {
            EXPECT_EQ(j["sysid"], instance == "siteA" ? "1A3" : "2B4") << r.payload;
        }
    }
}

// Faults at the start: a broker refusing the login is said once and retried while decoding goes
// on; an unwritable feed file and a bad address end the run with status 2 and one line.
TEST_F(LiveService, RefusedLoginAndBadSettings)
{
    Broker broker(folder / "broker", "monitor", "right");
    ASSERT_TRUE(broker.Start());
    auto sim = StartSimulator(DemoItems(400), 400, true);
    ASSERT_NE(sim, nullptr);
    const fs::path events = folder / "events.jsonl";
    Child varnel = Varnel("siteA", sim->SlavePath(),
                          {"--mqtt", "mqtt://monitor@127.0.0.1:" + std::to_string(broker.Port()) + "/scanners",
                           "--events", events.string()},
                          {"VARNEL_MQTT_PASSWORD=wrong"});
    ASSERT_TRUE(WaitFor([&] { return FileLines(events).size() > 20; }, 5s));
    std::this_thread::sleep_for(1500ms);
    varnel.Signal(SIGTERM);
    EXPECT_EQ(varnel.Wait(), 0);
    const std::string log = Log("siteA");
    const std::string refusal = "refused the connection";
    ASSERT_NE(log.find(refusal), std::string::npos) << log;
    EXPECT_EQ(log.find(refusal), log.rfind(refusal)) << "said once: " << log;

    // The right password from the environment is accepted.
    Subscriber none(broker.Port(), "#", "test-none");  // anonymous: refused, receives nothing
    Child good = Varnel("siteB", sim->SlavePath(),
                        {"--mqtt", "mqtt://monitor@127.0.0.1:" + std::to_string(broker.Port()) + "/scanners"},
                        {"VARNEL_MQTT_PASSWORD=right"});
    ASSERT_TRUE(WaitFor([&] { return Log("siteB").find("MQTT connected") != std::string::npos; }, 5s)) << Log("siteB");
    good.Signal(SIGTERM);
    EXPECT_EQ(good.Wait(), 0);

    // A feed whose disk is full: one error line, the feed stops, decoding and saving go on.
    Child full = Varnel("siteC", sim->SlavePath(), {"--events", "/dev/full"});
    ASSERT_TRUE(WaitFor([&] { return Log("siteC").find("event feed /dev/full") != std::string::npos; }, 5s));
    std::this_thread::sleep_for(1s);
    full.Signal(SIGTERM);
    EXPECT_EQ(full.Wait(), 0);
    const std::string fullLog = Log("siteC");
    EXPECT_EQ(fullLog.find("event feed /dev/full"), fullLog.rfind("event feed /dev/full")) << fullLog;
    EXPECT_NE(fullLog.find("saved the system files (stop)"), std::string::npos) << fullLog;

    struct Bad {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Bad> cases = {
        {{"--events", "/nonexistent-folder/events.jsonl"}, "cannot write the event feed"},
        {{"--mqtt", "http://127.0.0.1/x"}, "must start with mqtt://"},
        {{"--mqtt", "mqtt://127.0.0.1"}, "needs a topic prefix"},
        {{"--mqtt", "mqtts://127.0.0.1/x", "--mqtt-ca", "/nonexistent/ca.pem"}, "cannot read the MQTT CA file"},
    };
    for (const Bad& c : cases) {
        Child bad = Varnel("bad", sim->SlavePath(), c.args);
        EXPECT_EQ(bad.Wait(), 2);
        const std::string err = Log("bad");
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}
