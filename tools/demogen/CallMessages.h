#pragma once

// Channel grants and grant updates of the demo control channel: group, patched group,
// unit-to-unit, telephone and data calls, in their single-block and multi-block forms.

#include <cstdint>
#include <string>

#include "DemoBlock.h"

namespace demo {

// A call on one channel: a talkgroup (group calls) or a target radio (individual calls).
struct CallFields {
    uint8_t options = kOptionsNormal;  // service options
    uint16_t channel = 0;
    uint16_t uplink = 0;  // the channel's inbound side, for the explicit forms
    uint16_t talkgroup = 0;
    uint32_t source = 0;  // the radio that asked for the call
    uint32_t target = 0;  // individual calls: the radio called
};

Message GroupVoiceGrant(const CallFields& call);
// One or two calls in progress; a single call is announced as both pairs.
Message GroupVoiceGrantUpdate(const CallFields& a, const CallFields& b);
Message ExplicitGroupVoiceGrantUpdate(const CallFields& call);
Message PatchedGroupVoiceGrant(const CallFields& call);
Message PatchedGroupVoiceGrantUpdate(const CallFields& a, const CallFields& b);

Message UnitToUnitAnswerRequest(const CallFields& call);
Message UnitToUnitVoiceGrant(const CallFields& call);
Message UnitToUnitVoiceGrantUpdate(const CallFields& call);

// Telephone calls carry a call timer in 100 ms units.
Message TelephoneVoiceGrant(const CallFields& call, uint16_t timer);
Message TelephoneVoiceGrantUpdate(const CallFields& call, uint16_t timer);
// Ten dialled digits and the radio called.
Message TelephoneAnswerRequest(const std::string& digits, uint32_t unit);

Message GroupDataGrant(const CallFields& call);
Message GroupDataGrantUpdate(const CallFields& a, const CallFields& b);
Message IndividualDataGrant(const CallFields& call);
Message ExplicitIndividualDataGrant(const CallFields& call);
Message QueuedIndividualDataGrant(uint32_t unit);
// A data channel announced with its outbound and inbound sides.
Message DataChannelAnnouncement(uint8_t status, uint16_t channel, uint16_t uplink);
// The station identification sent on a channel (up to eight characters A-Z and 0-9).
Message CwidGrantUpdate(const std::string& callSign, uint16_t channel);

// Multi-block grants.
Message ExtendedGroupVoiceGrant(const CallFields& call);
Message PatchedExtendedGroupVoiceGrant(const CallFields& call);
Message ExtendedUnitToUnitVoiceGrant(const CallFields& call, uint32_t wacn, uint32_t systemId);
Message ExtendedTelephoneVoiceGrant(const CallFields& call, uint16_t timer);

}  // namespace demo
