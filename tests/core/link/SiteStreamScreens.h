#pragma once

// What the screens of a decode session receive: the decoder's pending buffers, copied out the way
// the refresh thread does and gathered over the whole session.

#include <vector>

#include "decoder/P25Class.h"

namespace sitestream {

// The pending buffers, copied out as the refresh thread does, clear markers left out.
struct Screens {
    std::vector<ALLPKT> dump;
    std::vector<EVENTLOG> events;
    std::vector<UNKTSBK> unknowns;
    std::vector<GRANTLOG> grants;
    std::vector<AFFLOG> affiliations;
    std::vector<PATCHLOGENTRY> patches;

    void Take(P25Class& d)
    {
        auto noTime = [](const auto& e) { return e.time == 0; };
        Append(
            dump, PacketDump::kCapacity, [&](auto* e, int n) { return d.Dump().CopyPacketDump(e, n); }, noTime);
        Append(
            events, EventLog::kCapacity, [&](auto* e, int n) { return d.Events().CopyEventLog(e, n); }, noTime);
        Append(
            unknowns, UnknownPackets::kCapacity, [&](auto* e, int n) { return d.Unknowns().CopyUnknownPackets(e, n); },
            noTime);
        Append(
            grants, GrantLog::kCapacity, [&](auto* e, int n) { return d.Grants().CopyGrantLog(e, n); }, noTime);
        Append(
            affiliations, AffiliationLog::kCapacity,
            [&](auto* e, int n) { return d.AffLog().CopyAffiliationLog(e, n); },
            [](const AFFLOG& e) { return e.function == 'C'; });
        Append(
            patches, PatchLog::kCapacity, [&](auto* e, int n) { return d.PatchEvents().CopyPatchLog(e, n); }, noTime);
    }

    template <class Entry, class Copy, class IsMarker>
    static void Append(std::vector<Entry>& out, int capacity, Copy copy, IsMarker isMarker)
    {
        std::vector<Entry> pending(static_cast<size_t>(capacity));
        const int n = copy(pending.data(), capacity);
        for (int i = 0; i < n; ++i)
            if (!isMarker(pending[static_cast<size_t>(i)]))
                out.push_back(pending[static_cast<size_t>(i)]);
    }
};

}  // namespace sitestream
