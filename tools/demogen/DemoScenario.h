#pragma once

// Six minutes of the demo site: the broadcasts it repeats, and when each call, registration,
// patch, emergency and damaged line happens. Everything is drawn from one fixed seed.

#include <cstdint>

#include "ChannelPool.h"
#include "ControlChannel.h"
#include "DemoRandom.h"
#include "UnitTraffic.h"
#include "VoiceTraffic.h"

namespace demo {

class DemoScenario {
public:
    static constexpr int kSeconds = 360;
    static constexpr uint32_t kSeed = 0x1A3005;
    // Calls end this long before the capture does, so its loop does not cut one in two.
    static constexpr int kQuietEndSeconds = 6;

    explicit DemoScenario(ControlChannel& channel, uint32_t seed = kSeed);

    void Plan();

private:
    static int At(double seconds) { return ControlChannel::Slot(seconds); }

    void SiteBroadcasts();
    void StatusPackets();
    void Patches();
    void Emergency();
    void Interoperability();
    void IndividualCalls();
    void BackgroundConversations();
    void Registrations();
    void UnitControl();
    void Data();
    void NotDecoded();
    void DamagedLines();

    ControlChannel& channel_;
    DemoRandom random_;
    ChannelPool pool_;
    VoiceTraffic voice_;
    UnitTraffic units_;
};

}  // namespace demo
