#pragma once

#include "decoder/P25Class.h"
#include "p25/Tsbk.h"
#include "site/SiteEvent.h"

#include <string>
#include <utility>

// Texts are built only for a screen that is switched on. An event goes to the event log too,
// which keeps it only while its own switch is on.
// The event feed gets the same text, as an event of the handler's choosing (unit control unless
// it says otherwise, with the fields it filled).
template <class MakeText>
void EventAndDump(P25Class& d, const Tsbk& b, MakeText make, SiteEvent event)
{
    const bool screens = d.PacketDumpOn() || d.EventLogOn();
    const bool feed = d.Context().EventsWanted();
    if (!screens && !feed)
        return;
    std::string text = make();
    if (screens)
        d.Describe(b, text, true);
    if (feed)
        d.Report(b, event, std::move(text));
}

template <class MakeText>
void EventAndDump(P25Class& d, const Tsbk& b, MakeText make)
{
    SiteEvent event;
    event.kind = SiteEventKind::kUnitControl;
    EventAndDump(d, b, make, std::move(event));
}

// An event of the feed for a message whose text goes to the packet dump only (or nowhere).
template <class MakeText>
void ReportOnly(P25Class& d, const Tsbk& b, MakeText make, SiteEvent event)
{
    if (d.Context().EventsWanted())
        d.Report(b, event, make());
}

template <class MakeText>
void DumpOnly(P25Class& d, const Tsbk& b, MakeText make)
{
    if (d.PacketDumpOn())
        d.Describe(b, make(), false);
}
