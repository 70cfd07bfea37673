#pragma once

#include <cstdint>
#include <string>

// One message of the event feed: the event's name, the site it belongs to, and its JSON text
// (one line, no line end).
struct FeedMessage {
    std::string event;
    std::string siteKey;  // "<sysid>/<rfss>-<site>", or "unidentified/<instance>" before the site is known
    std::string json;
};
