#pragma once

#include "site/SiteEvent.h"

// Receives the decoder's events. Called on the decoder's threads (the processing thread, and
// the refresh thread for expiries), sometimes while one of the areas' locks is held: an
// implementation only records the event and returns, it never calls back into the decoder.
class SiteEventSink {
public:
    virtual void OnSiteEvent(const SiteEvent& event) = 0;

protected:
    ~SiteEventSink() = default;
};
