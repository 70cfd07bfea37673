#include "service/EventFeed.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <utility>

namespace {

using json = nlohmann::ordered_json;
using SysClock = std::chrono::system_clock;

std::string Hex(uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// Frequencies in MHz to the hertz; unknown ones (0 or -1) as null.
json Mhz(double mhz)
{
    if (!(mhz > 0.0) || !std::isfinite(mhz))
        return nullptr;
    return std::round(mhz * 1e6) / 1e6;
}

// The call kinds of the feed from the channel line's usage.
const char* CallKind(const std::string& usage)
{
    if (usage == "Group")
        return "group";
    if (usage == "Private")
        return "private";
    if (usage == "Phone")
        return "telephone";
    return "data";
}

bool IsGroupUsage(const std::string& usage)
{
    return usage == "Group" || usage == "GrpData";
}

json Name(const std::string& text)
{
    return text.empty() ? json(nullptr) : json(text);
}

}  // namespace

EventFeed::EventFeed(std::string instance, WallClock clock) : instance_(std::move(instance)), clock_(std::move(clock))
{
    if (!clock_)
        clock_ = [] { return SysClock::now(); };
}

void EventFeed::AddOutput(FeedOutput* output)
{
    std::lock_guard<std::mutex> g(mutex_);
    outputs_.push_back(output);
}

void EventFeed::SetDropCounter(std::function<uint64_t()> dropped)
{
    std::lock_guard<std::mutex> g(mutex_);
    dropped_ = std::move(dropped);
}

std::string EventFeed::IsoTime(SysClock::time_point t)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    const int millis = static_cast<int>(ms - static_cast<long long>(seconds) * 1000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millis);
    return text;
}

std::string EventFeed::SiteKeyOf(uint32_t systemId, uint32_t rfss, uint32_t site)
{
    return Hex(systemId, 3) + "/" + std::to_string(rfss) + "-" + std::to_string(site);
}

std::string EventFeed::SiteKey() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return site_.identified ? SiteKeyOf(site_.systemId, site_.rfss, site_.site) : "unidentified/" + instance_;
}

uint64_t EventFeed::EventCount() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return events_;
}

json EventFeed::Head(const char* event, SysClock::time_point now) const
{
    json j;
    j["schema"] = kSchemaVersion;
    j["event"] = event;
    j["time"] = IsoTime(now);
    j["instance"] = instance_;
    if (site_.identified) {
        j["sysid"] = Hex(site_.systemId, 3);
        j["wacn"] = site_.wacn != 0 ? json(Hex(site_.wacn, 5)) : json(nullptr);
        j["rfss"] = site_.rfss;
        j["site"] = site_.site;
    } else {
        j["sysid"] = nullptr;
        j["wacn"] = nullptr;
        j["rfss"] = nullptr;
        j["site"] = nullptr;
    }
    return j;
}

// Adds the message head in front of the body's fields and hands the message to every output.
void EventFeed::Emit(const char* event, json&& body)
{
    json j = Head(event, clock_());
    for (auto& [key, value] : body.items())
        j[key] = std::move(value);
    FeedMessage m;
    m.event = event;
    m.siteKey = site_.identified ? SiteKeyOf(site_.systemId, site_.rfss, site_.site) : "unidentified/" + instance_;
    m.json = j.dump(-1, ' ', false, json::error_handler_t::replace);
    ++events_;
    for (FeedOutput* out : outputs_)
        out->Publish(m);
}

void EventFeed::EmitStatusLocked()
{
    json j = Head("status", clock_());
    j["state"] = "online";
    j["link"] = link_;
    j["control_channel"] = site_.identified && site_.controlChannel >= 0 ? json(site_.controlChannel) : json(nullptr);
    j["frequency_mhz"] = site_.identified ? Mhz(site_.controlFrequency) : json(nullptr);
    j["active_calls"] = calls_.size();
    j["events"] = events_;
    j["dropped"] = dropped_ ? dropped_() : 0;
    FeedMessage m;
    m.event = "status";
    m.siteKey = site_.identified ? SiteKeyOf(site_.systemId, site_.rfss, site_.site) : "unidentified/" + instance_;
    m.json = j.dump(-1, ' ', false, json::error_handler_t::replace);
    for (FeedOutput* out : outputs_)
        out->PublishStatus(m);
}

void EventFeed::PublishStatus()
{
    std::lock_guard<std::mutex> g(mutex_);
    EmitStatusLocked();
}

void EventFeed::OnSiteEvent(const SiteEvent& e)
{
    std::lock_guard<std::mutex> g(mutex_);
    // Events of a site other than the one reported (a new identity not yet broadcast) still
    // belong to the site as last identified until the status broadcast says otherwise.
    switch (e.kind) {
    case SiteEventKind::kSiteUpdate: OnSiteUpdate(e); return;
    case SiteEventKind::kCallStart: OnCallStart(e); return;
    case SiteEventKind::kCallUpdate: OnCallUpdate(e); return;
    case SiteEventKind::kCallEnd: OnCallEnd(e, e.result.c_str()); return;
    case SiteEventKind::kIdentifierUpdate: {
        // The site repeats its identifiers all the time; the feed tells only what is new.
        const std::array<double, 4> values{e.base, e.spacing, e.txOffset, e.bandwidth};
        const auto known = identifiers_.find(e.identifier);
        if (known != identifiers_.end() && known->second == values)
            return;
        identifiers_[e.identifier] = values;
        Emit("identifier_update", json{{"identifier", e.identifier},
                                       {"base_mhz", Mhz(e.base)},
                                       {"spacing_mhz", std::round(e.spacing * 1e6) / 1e6},
                                       {"tx_offset_mhz", std::round(e.txOffset * 1e6) / 1e6},
                                       {"bandwidth_mhz", std::round(e.bandwidth * 1e6) / 1e6}});
        return;
    }
    case SiteEventKind::kNeighbor:
        Emit("neighbor", json{{"neighbor",
                               {{"sysid", Hex(static_cast<uint32_t>(e.neighborSystem), 3)},
                                {"rfss", e.neighborRfss},
                                {"site", e.neighborSite},
                                {"name", Name(e.neighborName)},
                                {"control_channel", e.channel != 0xFFFF ? json(e.channel) : json(nullptr)},
                                {"frequency_mhz", Mhz(e.frequency)},
                                {"status", e.result}}}});
        return;
    case SiteEventKind::kAffiliation:
        Emit("affiliation", json{{"unit", e.unit}, {"talkgroup", e.talkgroup}, {"result", e.result}, {"text", e.text}});
        return;
    case SiteEventKind::kRegistration:
        Emit("registration", json{{"unit", e.unit},
                                  {"talkgroup", e.talkgroup != 0 ? json(e.talkgroup) : json(nullptr)},
                                  {"result", e.result},
                                  {"text", e.text}});
        return;
    case SiteEventKind::kDeregistration: Emit("deregistration", json{{"unit", e.unit}, {"text", e.text}}); return;
    case SiteEventKind::kPatchAdded:
        Emit("patch_added", json{{"talkgroup", e.talkgroup}, {"supergroup", e.supergroup}});
        return;
    case SiteEventKind::kPatchRemoved:
        Emit("patch_removed", json{{"talkgroup", e.talkgroup}, {"supergroup", e.supergroup}});
        return;
    case SiteEventKind::kEmergency:
        Emit("emergency", json{{"origin", "alarm"},
                               {"unit", e.unit},
                               {"talkgroup", e.talkgroup != 0 ? json(e.talkgroup) : json(nullptr)},
                               {"call_id", nullptr},
                               {"text", e.text}});
        return;
    case SiteEventKind::kDenial:
        Emit("denial", json{{"unit", e.unit},
                            {"talkgroup", e.talkgroup != 0 ? json(e.talkgroup) : json(nullptr)},
                            {"target", e.target != 0 ? json(e.target) : json(nullptr)},
                            {"text", e.text}});
        return;
    case SiteEventKind::kUnitControl:
        Emit("unit_control", json{{"opcode", Hex(e.opcode, 2)}, {"mfid", Hex(e.mfid, 2)}, {"text", e.text}});
        return;
    case SiteEventKind::kUnknownPacket:
        Emit("unknown_packet",
             json{{"opcode", Hex(e.opcode, 2)}, {"mfid", Hex(e.mfid, 2)}, {"block", e.blockHex}, {"text", e.text}});
        return;
    }
}

void EventFeed::OnSiteUpdate(const SiteEvent& e)
{
    if (e.systemId == 0 || e.rfss == 0 || e.site == 0)
        return;  // not a whole identity yet
    SiteState next;
    next.systemId = e.systemId;
    next.wacn = e.wacn;
    next.rfss = e.rfss;
    next.site = e.site;
    next.controlChannel = e.channel;
    next.controlFrequency = static_cast<double>(Mhz(e.frequency).is_null() ? 0.0 : e.frequency);
    next.identified = true;
    const bool sameIdentity =
        site_.identified && next.systemId == site_.systemId && next.rfss == site_.rfss && next.site == site_.site;
    if (sameIdentity && next.wacn == site_.wacn && next.controlChannel == site_.controlChannel &&
        next.controlFrequency == site_.controlFrequency)
        return;
    const SiteState previous = site_;
    if (!sameIdentity) {
        calls_.clear();  // the decoder starts the new site afresh
        identifiers_.clear();
    }
    site_ = next;
    json body{{"control_channel", next.controlChannel >= 0 ? json(next.controlChannel) : json(nullptr)},
              {"frequency_mhz", Mhz(next.controlFrequency)}};
    if (!previous.identified) {
        Emit("site_identified", std::move(body));
    } else {
        body["previous"] = {
            {"sysid", Hex(previous.systemId, 3)},
            {"wacn", previous.wacn != 0 ? json(Hex(previous.wacn, 5)) : json(nullptr)},
            {"rfss", previous.rfss},
            {"site", previous.site},
            {"control_channel", previous.controlChannel >= 0 ? json(previous.controlChannel) : json(nullptr)},
            {"frequency_mhz", Mhz(previous.controlFrequency)}};
        Emit("site_changed", std::move(body));
    }
    EmitStatusLocked();
}

namespace {

json CallBody(const SiteEvent& e, uint64_t id)
{
    json j{{"call_id", id},
           {"kind", CallKind(e.usage)},
           {"usage", e.usage},
           {"channel", e.channel},
           {"frequency_mhz", Mhz(e.frequency)}};
    if (IsGroupUsage(e.usage)) {
        j["talkgroup"] = e.talkgroup > 0 ? json(e.talkgroup) : json(nullptr);
        j["talkgroup_name"] = Name(e.talkgroupName);
        j["priority"] = e.priority > 0 ? json(e.priority) : json(nullptr);
        j["target"] = nullptr;
    } else {
        j["talkgroup"] = nullptr;
        j["talkgroup_name"] = nullptr;
        j["priority"] = nullptr;
        j["target"] = e.target > 0 ? json(e.target) : json(nullptr);
    }
    j["source"] = e.unit > 0 ? json(e.unit) : json(nullptr);
    j["source_name"] = Name(e.unitName);
    j["encrypted"] = e.status == "Enc";
    j["emergency"] = e.status == "Emrg";
    return j;
}

}  // namespace

void EventFeed::OnCallStart(const SiteEvent& e)
{
    if (calls_.count(e.channel) != 0) {
        SiteEvent ended = e;
        OnCallEnd(ended, "replaced");
    }
    OpenCall call{nextCallId_++, clock_(), CallKind(e.usage)};
    calls_[e.channel] = call;
    Emit("call_start", CallBody(e, call.id));
    if (e.status == "Emrg")
        Emit("emergency", json{{"origin", "call"},
                               {"unit", e.unit > 0 ? json(e.unit) : json(nullptr)},
                               {"talkgroup", e.talkgroup > 0 ? json(e.talkgroup) : json(nullptr)},
                               {"call_id", call.id},
                               {"text", "Emergency call"}});
}

void EventFeed::OnCallUpdate(const SiteEvent& e)
{
    const auto it = calls_.find(e.channel);
    if (it == calls_.end()) {
        OnCallStart(e);  // a call the feed has not seen start (attached late)
        return;
    }
    Emit("call_update", CallBody(e, it->second.id));
}

void EventFeed::OnCallEnd(const SiteEvent& e, const char* reason)
{
    const auto it = calls_.find(e.channel);
    if (it == calls_.end())
        return;
    const OpenCall call = it->second;
    calls_.erase(it);
    const double seconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - call.start).count() / 1000.0;
    Emit("call_end", json{{"call_id", call.id},
                          {"kind", call.kind},
                          {"channel", e.channel},
                          {"frequency_mhz", Mhz(e.frequency)},
                          {"reason", reason},
                          {"duration_s", seconds}});
}

void EventFeed::LinkState(const std::string& state, const std::string& text, int seconds)
{
    std::lock_guard<std::mutex> g(mutex_);
    link_ = state == "back" ? "receiving" : state;
    json body{{"state", state}, {"text", text}, {"seconds", seconds > 0 ? json(seconds) : json(nullptr)}};
    Emit("link", std::move(body));
    EmitStatusLocked();
}

void EventFeed::SaveDone(bool ok, const std::string& folder)
{
    std::lock_guard<std::mutex> g(mutex_);
    Emit("save", json{{"ok", ok}, {"folder", folder}});
}

void EventFeed::ServiceState(const std::string& state)
{
    std::lock_guard<std::mutex> g(mutex_);
    if (state == "started" && link_ == "starting")
        link_ = "receiving";
    Emit("service", json{{"state", state}});
    EmitStatusLocked();
}
