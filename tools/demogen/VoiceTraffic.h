#pragma once

// Voice calls on the demo site: conversations on talkgroups (plain, encrypted, patched, in
// emergency), unit-to-unit and telephone calls. Each turn of a conversation books a channel,
// is queued while none is free, and is granted and then announced while it lasts.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "ChannelPool.h"
#include "ControlChannel.h"
#include "DemoRandom.h"
#include "DemoSite.h"

namespace demo {

// Talkgroups patched into a supergroup from one slot to another.
struct PatchWindow {
    uint16_t supergroup;
    std::vector<uint16_t> members;
    int from;
    int to;
};

class VoiceTraffic {
public:
    // No call lasts beyond `lastSlot`, so the capture loops without a call cut in two.
    VoiceTraffic(ControlChannel& channel, ChannelPool& pool, DemoRandom& random, int lastSlot);

    void AddPatch(const PatchWindow& patch);

    // A conversation of `turns` transmissions; on the patch's supergroup when the talkgroup is
    // patched at the time. The first turn is granted by a multi-block packet when `extended`.
    void Conversation(const Talkgroup& talkgroup, int start, int turns, bool extended = false);
    // Members of a patch talking to each other through the supergroup.
    // With `queued`, no channel is free when it begins: its first request is queued a moment.
    // False when it did not take place (its supergroup was busy).
    bool PatchedConversation(const PatchWindow& patch, int start, int turns, bool extended, bool queued = false);
    // A radio in emergency and the people answering it; all turns carry the emergency option.
    void EmergencyConversation(const Talkgroup& talkgroup, uint32_t radio, int start, int turns);

    void UnitToUnitCall(uint32_t caller, uint32_t called, int start, int length, bool extended);
    // The called radio is not on the system: the call is denied.
    void UnitToUnitCallDenied(uint32_t caller, uint32_t called, int start);
    void TelephoneCall(uint32_t unit, int start, int length, bool extended);
    void IncomingTelephoneCall(const char* digits, uint32_t unit, int start, int length);

private:
    struct Turn {
        uint16_t talkgroup = 0;
        uint32_t source = 0;
        uint8_t options = kOptionsNormal;
        int start = 0;
        int length = 0;
        bool patched = false;
        bool extended = false;
        bool queued = false;  // the request waits in the queue before it is served
        int preferred = -1;   // the conversation's last channel
    };
    struct Granted {
        int channel;  // -1 when never granted
        int end;      // the slot the turn ended, or was given up
    };

    Granted GroupTurn(Turn turn);
    // False when no turn got on the air.
    bool Talk(Turn turn, const std::vector<uint32_t>& speakers, int turns, int until, bool encrypted);
    std::vector<uint32_t> Speakers(const Talkgroup& talkgroup);
    const PatchWindow* PatchOf(uint16_t talkgroup, int slot) const;
    int Until(uint16_t talkgroup, int start) const;
    // Tells the radio its request is queued, and moves the request a moment later.
    void Queue(int& start, uint32_t source, uint32_t target, bool patched, uint8_t service);
    // Books a channel, queueing the request while none is free; -1 when it never got one.
    int BookWithQueue(int& start, int length, int preferred, uint32_t source, uint32_t target, bool patched,
                      uint8_t service);
    int ClampLength(int start, int length) const;
    // Whether another conversation holds the talkgroup during part of start .. end.
    bool OnAir(uint16_t talkgroup, int start, int end) const;

    ControlChannel& channel_;
    ChannelPool& pool_;
    DemoRandom& random_;
    int lastSlot_;
    std::vector<PatchWindow> patches_;
    std::map<uint16_t, std::vector<std::pair<int, int>>> onAir_;  // conversations per talkgroup
};

}  // namespace demo
