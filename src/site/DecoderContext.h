#pragma once

#include <atomic>
#include <cstdint>

#include "platform/ChangeNotice.h"
#include "site/SiteEventOutlet.h"
#include "site/TimeBase.h"

// Values that the decoder's state areas share and read without taking another area's lock:
// the time bases, a mirror of the current system ID, RFSS and site (for generated descriptions, which are
// made under TGLOCK or RADIDLOCK where "SYSINFOLOCK" may not be taken), the default colours of
// new list entries, the channel time-out and the outlet of the event feed. Each is one machine word written by one
// thread. Besides them the notice of changes: raised after the decoder's areas have changed (by the
// processing thread after each batch of blocks, by the reader for raw lines), slept on by the
// screen refresh.
struct DecoderContext {
    TimeBase time;
    std::atomic<uint32_t> systemId{0};
    std::atomic<uint32_t> rfss{0};
    std::atomic<uint32_t> site{0};
    std::atomic<uint32_t> defaultTextColor{0x000000};
    std::atomic<uint32_t> defaultBackColor{0xFFFFFF};
    std::atomic<int32_t> tgTimeOut{17};  // ticks of 100 ms
    SiteEventOutlet events;              // the event feed's sink, when one is attached

    bool EventsWanted() const { return events.Wanted(); }
    void Emit(SiteEvent& event) const
    {
        events.Emit(event, systemId.load(std::memory_order_relaxed), rfss.load(std::memory_order_relaxed),
                    site.load(std::memory_order_relaxed));
    }
    ChangeNotice changes;
};
