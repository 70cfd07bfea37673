#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "service/FeedMessage.h"
#include "service/FeedOutput.h"
#include "site/SiteEventSink.h"

// The event feed: turns the decoder's events and the service's own (link state, saves) into the
// messages of the documented schema (docs/events.md) and hands each, in order, to every output.
// Keeps what the messages need beyond one event: the site as last reported (to tell an
// identified site from a changed one and to drop repeats), and the calls open on each channel (to
// give each call an id and its duration at the end).
//
// Thread-safe: the decoder's threads and the service's thread all report here; one lock orders
// them, and the outputs only queue or write a line under it.
class EventFeed final : public SiteEventSink {
public:
    static constexpr int kSchemaVersion = 1;
    using WallClock = std::function<std::chrono::system_clock::time_point()>;

    // `instance` names this program run in every message (unique per broker: host and device).
    explicit EventFeed(std::string instance, WallClock clock = {});

    void AddOutput(FeedOutput* output);
    // Messages dropped by the outputs, shown in the status (a function of the MQTT publisher).
    void SetDropCounter(std::function<uint64_t()> dropped);

    void OnSiteEvent(const SiteEvent& event) override;

    // The service's own events. Link states: "receiving", "no_data", "lost", "back".
    void LinkState(const std::string& state, const std::string& text, int seconds = 0);
    void SaveDone(bool ok, const std::string& folder);
    void ServiceState(const std::string& state);  // "started", "stopping"
    // The retained status again (its counters change between events).
    void PublishStatus();

    uint64_t EventCount() const;
    // The site key of messages now: "<sysid>/<rfss>-<site>" or "unidentified/<instance>".
    std::string SiteKey() const;
    const std::string& Instance() const { return instance_; }

    // ISO 8601 UTC with milliseconds: 2024-05-01T12:34:56.789Z
    static std::string IsoTime(std::chrono::system_clock::time_point t);
    // The topic level of a site: "1A3/1-5".
    static std::string SiteKeyOf(uint32_t systemId, uint32_t rfss, uint32_t site);

private:
    struct OpenCall {
        uint64_t id = 0;
        std::chrono::system_clock::time_point start;
        std::string kind;
    };
    struct SiteState {
        uint32_t systemId = 0, wacn = 0, rfss = 0, site = 0;
        int32_t controlChannel = -1;
        double controlFrequency = 0.0;
        bool identified = false;
    };

    nlohmann::ordered_json Head(const char* event, std::chrono::system_clock::time_point now) const;
    void Emit(const char* event, nlohmann::ordered_json&& body);
    void EmitStatusLocked();
    void OnSiteUpdate(const SiteEvent& e);
    void OnCallStart(const SiteEvent& e);
    void OnCallUpdate(const SiteEvent& e);
    void OnCallEnd(const SiteEvent& e, const char* reason);

    std::string instance_;
    WallClock clock_;
    mutable std::mutex mutex_;
    std::vector<FeedOutput*> outputs_;
    std::function<uint64_t()> dropped_;
    SiteState site_;
    std::string link_ = "starting";
    std::map<int32_t, OpenCall> calls_;                 // by channel
    std::map<int, std::array<double, 4>> identifiers_;  // as last reported: base, spacing, offset, bandwidth
    uint64_t nextCallId_ = 1;
    uint64_t events_ = 0;
};
