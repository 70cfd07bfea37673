#include "MotorolaMessages.h"

#include "p25/Opcodes.h"

namespace demo {

namespace {

constexpr uint8_t kRegroupClass = 2;      // byte 2 of the regroup commands
constexpr uint8_t kEmergencyFlag = 0x80;  // byte 2 of the emergency alarm

Tsbk MotorolaBlock(uint8_t opcode)
{
    return NewTsbk(opcode, kMfidMotorola);
}

}  // namespace

Message PatchInformation(uint16_t supergroup, uint16_t member1, uint16_t member2, uint16_t member3)
{
    Tsbk b = MotorolaBlock(kOpMotPatchInformation);
    Put16(b, 2, supergroup);
    Put16(b, 8, member1);  // the first member travels last
    Put16(b, 4, member2);
    Put16(b, 6, member3);
    return Single("Patch information", b);
}

Message PatchRelease(uint16_t supergroup, uint16_t group1, uint16_t group2, uint16_t group3)
{
    Tsbk b = MotorolaBlock(kOpMotPatchRelease);
    Put16(b, 2, supergroup);
    Put16(b, 4, group1);
    Put16(b, 6, group2);
    Put16(b, 8, group3);
    return Single("Patch release", b);
}

Message Regroup(RegroupCommand command, uint16_t group, uint32_t unit)
{
    Tsbk b = MotorolaBlock(kOpMotRegroupCommand);
    b[2] = kRegroupClass;
    b[3] = static_cast<uint8_t>(command);
    Put16(b, 4, group);
    Put24(b, 7, unit);
    return Single("Dynamic regroup command", b);
}

Message EmergencyAlarm(uint16_t group, uint32_t unit)
{
    Tsbk b = MotorolaBlock(kOpMotEmergencyButton);
    b[2] = kEmergencyFlag;
    Put16(b, 5, group);
    Put24(b, 7, unit);
    return Single("Emergency alarm", b);
}

Message PatchedQueuedResponse(uint8_t reason, uint32_t target, uint32_t source)
{
    Tsbk b = MotorolaBlock(kOpMotQueuedResponsePatched);
    b[3] = reason;
    Put24(b, 4, target);
    Put24(b, 7, source);
    return Single("Queued response (patched)", b);
}

Message SystemLoading(uint8_t load, uint8_t flags)
{
    Tsbk b = MotorolaBlock(kOpMotUnknown09);
    b[2] = load;
    b[3] = flags;
    return Single("Manufacturer system message (not decoded)", b);
}

}  // namespace demo
