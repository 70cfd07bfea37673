#pragma once

#include <vector>

#include "site/AffiliationFilter.h"
#include "site/AffiliationLog.h"
#include "site/ChannelTable.h"
#include "site/EventLog.h"
#include "site/GrantLog.h"
#include "site/IdentifierTable.h"
#include "site/NeighborTable.h"
#include "site/PacketDump.h"
#include "site/PatchList.h"
#include "site/PatchLog.h"
#include "site/UnknownPackets.h"

// Buffers the view updaters copy the decoder's areas into, sized by the areas' capacities so one
// copy-out never needs more. Owned by the running refresh thread (allocated when it starts); the
// updaters fill them on the main thread, one at a time. Two copies are kept between passes: the
// patch list (the follow decision honours a held talkgroup's patches) and the filter ranges (the
// affiliation log filter).
struct ScreenScratch {
    std::vector<NeighborSite> neighbors = std::vector<NeighborSite>(NeighborTable::kCapacity);
    std::vector<IdentifierEntry> identifiers = std::vector<IdentifierEntry>(IdentifierTable::kCount);
    std::vector<FreqInfo> channels = std::vector<FreqInfo>(ChannelTable::kCapacity);
    std::vector<FILTERRANGE> filterRanges = std::vector<FILTERRANGE>(AffiliationFilter::kCapacity);
    int filterRangeCount = 0;
    std::vector<AFFLOG> affiliationLog = std::vector<AFFLOG>(AffiliationLog::kCapacity);
    std::vector<PATCHENTRY> patches = std::vector<PATCHENTRY>(PatchList::kCapacity);
    int patchCount = 0;
    std::vector<UNKTSBK> unknowns = std::vector<UNKTSBK>(UnknownPackets::kCapacity);
    std::vector<GRANTLOG> grants = std::vector<GRANTLOG>(GrantLog::kCapacity);
    std::vector<EVENTLOG> events = std::vector<EVENTLOG>(EventLog::kCapacity);
    std::vector<PATCHLOGENTRY> patchLog = std::vector<PATCHLOGENTRY>(PatchLog::kCapacity);
    std::vector<ALLPKT> packetDump = std::vector<ALLPKT>(PacketDump::kCapacity);
};
