#pragma once

#include <memory>
#include <string>

#include "service/EventFeed.h"
#include "service/JsonLinesWriter.h"
#include "service/MqttPublisher.h"

struct HeadlessOptions;

// The event feed of a headless run and its outputs, as the command line asks: a JSON Lines file
// and an MQTT broker, either or both, or none (then no feed exists and the decoder makes no events).
class HeadlessFeed {
public:
    // False with `error` when an output cannot be set up (an unwritable file, a bad address).
    bool Start(const HeadlessOptions& options, const std::string& instance, std::string& error);
    void Stop();

    EventFeed* Feed() { return feed_.get(); }
    MqttPublisher* Mqtt() { return mqtt_.get(); }

private:
    std::unique_ptr<EventFeed> feed_;
    std::unique_ptr<JsonLinesWriter> file_;
    std::unique_ptr<MqttPublisher> mqtt_;
};
