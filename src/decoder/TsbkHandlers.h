#pragma once

#include "p25/Tsbk.h"

class P25Class;
class TsbkDispatcher;

// Each family of handlers registers itself in the dispatch table; P25Class calls these once when
// it is created.
void RegisterGrantHandlers(TsbkDispatcher& dispatcher);          // channel grants and updates
void RegisterSiteBroadcastHandlers(TsbkDispatcher& dispatcher);  // system and site broadcasts
void RegisterUnitControlHandlers(TsbkDispatcher& dispatcher);    // unit control, responses, other packets
void RegisterManufacturerHandlers(TsbkDispatcher& dispatcher);   // MFID 0x90 extensions but grants

// Multi-block packets: 1 when the packet type was recognised.
int DecodeMultiBlockPacket(P25Class& decoder, const MultiBlockPacket& packet);
