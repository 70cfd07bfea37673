#pragma once

// One manufacturer's extensions (MFID 0x90) on the demo control channel: patches of talkgroups
// into supergroups, dynamic regrouping, the emergency alarm, patched queued responses, and a
// system message this program does not decode.

#include <cstdint>

#include "DemoBlock.h"

namespace demo {

enum class RegroupCommand : uint8_t { kRegroup = 0, kCancel = 1, kLock = 2, kUnlock = 3 };

// A supergroup with up to three member groups; an unused member slot repeats the supergroup.
Message PatchInformation(uint16_t supergroup, uint16_t member1, uint16_t member2, uint16_t member3);
Message PatchRelease(uint16_t supergroup, uint16_t group1, uint16_t group2, uint16_t group3);
Message Regroup(RegroupCommand command, uint16_t group, uint32_t unit);
Message EmergencyAlarm(uint16_t group, uint32_t unit);
Message PatchedQueuedResponse(uint8_t reason, uint32_t target, uint32_t source);
// Sent by real systems of this manufacturer every few minutes; shown as not understood.
Message SystemLoading(uint8_t load, uint8_t flags);

}  // namespace demo
