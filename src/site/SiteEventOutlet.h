#pragma once

#include <atomic>
#include <cstdint>

#include "site/SiteEventSink.h"

// The sink a decoder reports to; null (the default) makes no events at all, so the decoder does
// no work for a feed nobody reads.
class SiteEventOutlet {
public:
    void Attach(SiteEventSink* sink) { sink_.store(sink); }
    bool Wanted() const { return sink_.load(std::memory_order_relaxed) != nullptr; }
    // Stamps the monitored identity on the event and hands it over.
    void Emit(SiteEvent& event, uint32_t systemId, uint32_t rfss, uint32_t site) const
    {
        SiteEventSink* sink = sink_.load(std::memory_order_acquire);
        if (sink == nullptr)
            return;
        event.systemId = systemId;
        event.rfss = rfss;
        event.site = site;
        sink->OnSiteEvent(event);
    }

private:
    std::atomic<SiteEventSink*> sink_{nullptr};
};
