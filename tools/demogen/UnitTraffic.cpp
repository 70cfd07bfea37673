#include "UnitTraffic.h"

#include "CallMessages.h"
#include "MotorolaMessages.h"
#include "UnitMessages.h"

namespace demo {

UnitTraffic::UnitTraffic(ControlChannel& channel, ChannelPool& pool, DemoRandom& random)
    : channel_(channel), pool_(pool), random_(random)
{ }

void UnitTraffic::PowerUp(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, AuthenticationCommand(kSite.wacn, kSite.systemId, unit));
    slot += random_.Slots(0.3, 0.8);
    channel_.Send(slot, UnitRegistrationResponse(Result::kAccept, kSite.systemId, unit));
    channel_.Send(slot + random_.Slots(0.5, 1.5), GroupAffiliationResponse(Result::kAccept, group, unit));
}

void UnitTraffic::PowerDown(uint32_t unit, int slot)
{
    channel_.Send(slot, DeRegistrationAck(kSite.wacn, kSite.systemId, unit));
}

void UnitTraffic::RoamIn(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, LocationRegistrationResponse(Result::kAccept, group, kSite.rfss, kSite.site, unit));
}

void UnitTraffic::ChangeGroup(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, GroupAffiliationResponse(Result::kAccept, group, unit));
}

void UnitTraffic::GroupNotAllowed(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, GroupAffiliationResponse(Result::kDeny, group, unit));
    slot += random_.Slots(3.0, 6.0);
    channel_.Send(slot, DenyResponse(kServiceGroupVoice, kReasonGroupNotAuthorized, group, unit));
}

void UnitTraffic::AffiliationQuery(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, GroupAffiliationQuery(unit));
    channel_.Send(slot + random_.Slots(0.6, 1.5), GroupAffiliationResponse(Result::kAccept, group, unit));
}

void UnitTraffic::RegistrationCommand(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, UnitRegistrationCommand(unit));
    slot += random_.Slots(1.0, 2.0);
    channel_.Send(slot, UnitRegistrationResponse(Result::kAccept, kSite.systemId, unit));
    channel_.Send(slot + random_.Slots(0.5, 1.0), GroupAffiliationResponse(Result::kAccept, group, unit));
}

void UnitTraffic::CallAlertAnswered(uint32_t source, uint32_t target, int slot)
{
    channel_.Send(slot, CallAlert(source, target));
    channel_.Send(slot + random_.Slots(0.4, 1.2), AcknowledgeResponse(kServiceCallAlert, target, source));
}

void UnitTraffic::RadioCheck(uint32_t console, uint32_t unit, int slot)
{
    channel_.Send(slot, ExtendedFunctionCommand(kFunctionRadioCheck, unit));
    channel_.Send(slot + random_.Slots(0.3, 0.9), AcknowledgeResponse(kServiceExtendedFunction, unit, console));
}

void UnitTraffic::Inhibit(uint32_t console, uint32_t unit, bool inhibit, int slot)
{
    channel_.Send(slot, ExtendedFunctionCommand(inhibit ? kFunctionInhibit : kFunctionUninhibit, unit));
    channel_.Send(slot + random_.Slots(0.3, 0.9), AcknowledgeResponse(kServiceExtendedFunction, unit, console));
}

void UnitTraffic::StatusUpdate(uint32_t unit, uint32_t console, uint8_t status, int slot)
{
    channel_.Send(slot, UnitStatusUpdate(status, 0, unit, console));
}

void UnitTraffic::Monitor(uint32_t console, uint32_t unit, int slot)
{
    channel_.Send(slot, RadioUnitMonitorCommand(console, unit));
}

void UnitTraffic::Regroup(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, demo::Regroup(RegroupCommand::kRegroup, group, unit));
    channel_.Send(slot + random_.Slots(0.5, 1.0), demo::Regroup(RegroupCommand::kLock, group, unit));
}

void UnitTraffic::EndRegroup(uint32_t unit, uint16_t group, int slot)
{
    channel_.Send(slot, demo::Regroup(RegroupCommand::kUnlock, group, unit));
    channel_.Send(slot + random_.Slots(0.5, 1.0), demo::Regroup(RegroupCommand::kCancel, group, unit));
}

void UnitTraffic::LocationData(uint32_t unit, int slot)
{
    Transmission t;
    t.kind = Transmission::Kind::kGroupData;
    t.call.channel = kDataChannel;
    t.call.uplink = Uplink(kDataChannel);
    t.call.talkgroup = kLocationDataGroup;
    t.call.source = unit;
    t.start = slot;
    t.end = slot + random_.Slots(1.5, 3.5);
    channel_.Call(t, GroupDataGrant(t.call), 0);
}

void UnitTraffic::IndividualData(uint32_t unit, int slot)
{
    CallFields call;
    call.channel = kDataChannel;
    call.source = unit;
    call.target = kDataHost;
    channel_.Send(slot, IndividualDataGrant(call));
}

void UnitTraffic::ExplicitIndividualData(uint32_t unit, int slot)
{
    CallFields call;
    call.channel = kDataChannel;
    call.uplink = Uplink(kDataChannel);
    call.source = unit;
    channel_.Send(slot, ExplicitIndividualDataGrant(call));
}

void UnitTraffic::QueuedIndividualData(uint32_t unit, int slot)
{
    channel_.Send(slot, QueuedIndividualDataGrant(unit));
    IndividualData(unit, slot + random_.Slots(2.0, 4.0));
}

void UnitTraffic::StationIdentification(int slot)
{
    const int length = ControlChannel::Slot(2.0);
    const int channel = pool_.Book(slot, slot + length);
    if (channel >= 0)
        channel_.Send(slot, CwidGrantUpdate(kStationCallSign, static_cast<uint16_t>(channel)));
}

}  // namespace demo
