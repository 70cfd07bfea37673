#include "UnitMessages.h"

#include "p25/Opcodes.h"

namespace demo {

namespace {

constexpr uint8_t kAckAddressed = 0x80;  // acknowledgement names who acknowledged (bytes 4-6)

// The common layout: a byte of options in byte 2, a second address in bytes 4-6 and the radio
// the message is for in bytes 7-9.
Tsbk UnitBlock(uint8_t opcode, uint8_t byte2, uint8_t byte3, uint32_t address, uint32_t unit)
{
    Tsbk b = NewTsbk(opcode, kMfidStandard);
    b[2] = byte2;
    b[3] = byte3;
    Put24(b, 4, address);
    Put24(b, 7, unit);
    return b;
}

uint8_t ResultBits(Result result)
{
    return static_cast<uint8_t>(result);
}

}  // namespace

Message GroupAffiliationResponse(Result result, uint16_t group, uint32_t unit)
{
    Tsbk b = NewTsbk(kOpGroupAffiliationResponse, kMfidStandard);
    b[2] = ResultBits(result);
    Put16(b, 3, group);  // announcement group: the group itself
    Put16(b, 5, group);
    Put24(b, 7, unit);
    return Single(result == Result::kAccept ? "Group affiliation response" : "Group affiliation response (denied)", b);
}

Message LocationRegistrationResponse(Result result, uint16_t group, uint8_t rfss, uint8_t site, uint32_t unit)
{
    Tsbk b = NewTsbk(kOpLocationRegistrationResponse, kMfidStandard);
    b[2] = ResultBits(result);
    Put16(b, 3, group);
    b[5] = rfss;
    b[6] = site;
    Put24(b, 7, unit);
    return Single("Location registration response", b);
}

Message UnitRegistrationResponse(Result result, uint32_t systemId, uint32_t unit)
{
    Tsbk b = NewTsbk(kOpUnitRegistrationResponse, kMfidStandard);
    Put16(b, 2, (uint32_t{ResultBits(result)} << 12) | (systemId & 0x0FFF));
    Put24(b, 4, unit);  // the radio's working ID: its own
    Put24(b, 7, unit);
    return Single("Unit registration response", b);
}

Message DeRegistrationAck(uint32_t wacn, uint32_t systemId, uint32_t unit)
{
    Tsbk b = NewTsbk(kOpDeRegistrationAck, kMfidStandard);
    PutWacnAndSystem(b, 3, wacn, systemId);
    Put24(b, 7, unit);
    return Single("De-registration acknowledgement", b);
}

Message GroupAffiliationQuery(uint32_t unit)
{
    return Single("Group affiliation query", UnitBlock(kOpGroupAffiliationQuery, 0, 0, unit, kSystemAddress));
}

Message UnitRegistrationCommand(uint32_t unit)
{
    return Single("Unit registration command", UnitBlock(kOpUnitRegistrationCommand, 0, 0, unit, kSystemAddress));
}

Message AuthenticationCommand(uint32_t wacn, uint32_t systemId, uint32_t unit)
{
    Tsbk b = NewTsbk(kOpUnitAuthenticationCommand, kMfidStandard);
    PutWacnAndSystem(b, 3, wacn, systemId);
    Put24(b, 7, unit);
    return Single("Authentication command", b);
}

Message AcknowledgeResponse(uint8_t service, uint32_t from, uint32_t unit)
{
    const uint8_t options = static_cast<uint8_t>(service | (from != 0 ? kAckAddressed : 0));
    return Single("Acknowledge response", UnitBlock(kOpAckResponse, options, 0, from, unit));
}

Message QueuedResponse(uint8_t service, uint8_t reason, uint32_t target, uint32_t source)
{
    return Single("Queued response", UnitBlock(kOpQueuedResponse, service, reason, target, source));
}

Message DenyResponse(uint8_t service, uint8_t reason, uint32_t target, uint32_t unit)
{
    return Single("Deny response", UnitBlock(kOpDenyResponse, service, reason, target, unit));
}

Message ExtendedFunctionCommand(uint8_t function, uint32_t unit)
{
    const char* kind = function == kFunctionRadioCheck ? "Radio check" : "Radio inhibit / un-inhibit";
    return Single(kind, UnitBlock(kOpExtendedFunctionCommand, 0, function, kSystemAddress, unit));
}

Message UnitStatusUpdate(uint8_t userStatus, uint8_t unitStatus, uint32_t source, uint32_t target)
{
    return Single("Unit status update", UnitBlock(kOpStatusUpdate, userStatus, unitStatus, target, source));
}

Message RadioUnitMonitorCommand(uint32_t monitoring, uint32_t monitored)
{
    return Single("Radio unit monitor command", UnitBlock(kOpRadioUnitMonitorCommand, 0, 0, monitoring, monitored));
}

Message CallAlert(uint32_t source, uint32_t target)
{
    return Single("Call alert", UnitBlock(kOpCallAlert, 0, 0, target, source));
}

Message ProtectionParameterUpdate(uint8_t algorithm, uint16_t key, uint32_t unit)
{
    Tsbk b = NewTsbk(kOpProtectionParameterUpdate, kMfidStandard);
    b[4] = algorithm;
    Put16(b, 5, key);
    Put24(b, 7, unit);
    return Single("Protection parameter update", b);
}

Message StatusQuery(uint32_t source, uint32_t target)
{
    return Single("Status query (not decoded)", UnitBlock(kOpStatusQuery, 0, 0, target, source));
}

}  // namespace demo
