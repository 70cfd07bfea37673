#pragma once

// What radios do on the demo site besides talking: power up and down, roam in, change
// talkgroups, answer queries, get call alerts, radio checks, inhibits and regroups, send status
// and data.

#include <cstdint>

#include "ChannelPool.h"
#include "ControlChannel.h"
#include "DemoRandom.h"

namespace demo {

class UnitTraffic {
public:
    UnitTraffic(ControlChannel& channel, ChannelPool& pool, DemoRandom& random);

    // Authentication, registration and the first affiliation.
    void PowerUp(uint32_t unit, uint16_t group, int slot);
    void PowerDown(uint32_t unit, int slot);
    // A radio arriving from a neighbouring site.
    void RoamIn(uint32_t unit, uint16_t group, int slot);
    void ChangeGroup(uint32_t unit, uint16_t group, int slot);
    // A radio trying a talkgroup it may not use: the affiliation, and a call on it, are denied.
    void GroupNotAllowed(uint32_t unit, uint16_t group, int slot);
    // The system asks a radio for its talkgroup, or tells it to register again.
    void AffiliationQuery(uint32_t unit, uint16_t group, int slot);
    void RegistrationCommand(uint32_t unit, uint16_t group, int slot);

    void CallAlertAnswered(uint32_t source, uint32_t target, int slot);
    void RadioCheck(uint32_t console, uint32_t unit, int slot);
    void Inhibit(uint32_t console, uint32_t unit, bool inhibit, int slot);
    void StatusUpdate(uint32_t unit, uint32_t console, uint8_t status, int slot);
    void Monitor(uint32_t console, uint32_t unit, int slot);
    // A radio moved into a talkgroup and locked there, or let go again.
    void Regroup(uint32_t unit, uint16_t group, int slot);
    void EndRegroup(uint32_t unit, uint16_t group, int slot);

    // Vehicle locations sent to the location talkgroup on the data channel.
    void LocationData(uint32_t unit, int slot);
    // A radio's data to the data host: granted at once, granted explicitly, or queued first.
    void IndividualData(uint32_t unit, int slot);
    void ExplicitIndividualData(uint32_t unit, int slot);
    void QueuedIndividualData(uint32_t unit, int slot);
    // The station identification on an idle voice channel.
    void StationIdentification(int slot);

private:
    ControlChannel& channel_;
    ChannelPool& pool_;
    DemoRandom& random_;
};

}  // namespace demo
