#pragma once

// Unit control of the demo control channel (standard messages): registrations, affiliations,
// acknowledgements, queued and deny responses, radio checks and inhibits, status, monitoring,
// call alerts, protection parameters.

#include <cstdint>

#include "DemoBlock.h"

namespace demo {

// Results of registrations and affiliations.
enum class Result : uint8_t { kAccept = 0, kFail = 1, kDeny = 2, kRefuse = 3 };

// Service types named by acknowledgements, queued and deny responses.
inline constexpr uint8_t kServiceGroupVoice = 0x00;
inline constexpr uint8_t kServiceUnitToUnitVoice = 0x04;
inline constexpr uint8_t kServiceUnitToUnitAnswer = 0x05;
inline constexpr uint8_t kServiceTelephone = 0x08;
inline constexpr uint8_t kServiceCallAlert = 0x1F;
inline constexpr uint8_t kServiceExtendedFunction = 0x24;
inline constexpr uint8_t kServiceGroupAffiliation = 0x28;
inline constexpr uint8_t kServiceUnitRegistration = 0x2C;

// Reason codes of queued and deny responses.
inline constexpr uint8_t kReasonRequesterNotValid = 0x10;
inline constexpr uint8_t kReasonTargetNotValid = 0x20;
inline constexpr uint8_t kReasonGroupNotAuthorized = 0x31;
inline constexpr uint8_t kReasonPhoneNotAuthorized = 0x41;
inline constexpr uint8_t kReasonChannelsBusy = 0x40;  // queued: no channel free
inline constexpr uint8_t kReasonSiteAccessDenied = 0x60;

// Extended functions.
inline constexpr uint8_t kFunctionRadioCheck = 0x00;
inline constexpr uint8_t kFunctionInhibit = 0x7F;
inline constexpr uint8_t kFunctionUninhibit = 0x7E;

Message GroupAffiliationResponse(Result result, uint16_t group, uint32_t unit);
Message LocationRegistrationResponse(Result result, uint16_t group, uint8_t rfss, uint8_t site, uint32_t unit);
Message UnitRegistrationResponse(Result result, uint32_t systemId, uint32_t unit);
Message DeRegistrationAck(uint32_t wacn, uint32_t systemId, uint32_t unit);
Message GroupAffiliationQuery(uint32_t unit);
Message UnitRegistrationCommand(uint32_t unit);
Message AuthenticationCommand(uint32_t wacn, uint32_t systemId, uint32_t unit);

// An acknowledgement to `unit`; `from` names the radio that acknowledged, kSystemAddress the
// system, 0 none.
Message AcknowledgeResponse(uint8_t service, uint32_t from, uint32_t unit);
Message QueuedResponse(uint8_t service, uint8_t reason, uint32_t target, uint32_t source);
// `target` is what the radio asked for (a radio, or a talkgroup), `unit` the radio told.
Message DenyResponse(uint8_t service, uint8_t reason, uint32_t target, uint32_t unit);
Message ExtendedFunctionCommand(uint8_t function, uint32_t unit);

Message UnitStatusUpdate(uint8_t userStatus, uint8_t unitStatus, uint32_t source, uint32_t target);
Message RadioUnitMonitorCommand(uint32_t monitoring, uint32_t monitored);
Message CallAlert(uint32_t source, uint32_t target);
Message ProtectionParameterUpdate(uint8_t algorithm, uint16_t key, uint32_t unit);
// A status query: sent by real systems, not decoded by this program (shown as unknown).
Message StatusQuery(uint32_t source, uint32_t target);

}  // namespace demo
