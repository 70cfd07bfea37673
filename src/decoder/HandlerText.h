#pragma once

#include "decoder/P25Class.h"
#include "p25/Tsbk.h"

// Texts are built only for a screen that is switched on. An event goes to the event log too,
// which keeps it only while its own switch is on.
template <class MakeText>
void EventAndDump(P25Class& d, const Tsbk& b, MakeText make)
{
    if (d.PacketDumpOn() || d.EventLogOn())
        d.Describe(b, make(), true);
}

template <class MakeText>
void DumpOnly(P25Class& d, const Tsbk& b, MakeText make)
{
    if (d.PacketDumpOn())
        d.Describe(b, make(), false);
}
