#pragma once

#include "service/FeedMessage.h"

// Where the event feed's messages go (a JSON Lines file, an MQTT broker). Publish is called with
// the feed's lock held, in the order of the events; it must not block (it queues or writes a line).
class FeedOutput {
public:
    virtual void Publish(const FeedMessage& message) = 0;
    // The site's current state, as the retained status message; `siteKey` names its topic.
    virtual void PublishStatus(const FeedMessage& status) { }

protected:
    ~FeedOutput() = default;
};
