#pragma once

// The demo's only source of chance: a Mersenne Twister with a fixed seed, used through integer
// arithmetic only, so the capture is the same on every machine and every run.

#include <cstdint>
#include <random>
#include <vector>

#include "ControlChannel.h"
#include "DemoSite.h"

namespace demo {

class DemoRandom {
public:
    explicit DemoRandom(uint32_t seed) : engine_(seed) { }

    // lo .. hi inclusive.
    int Between(int lo, int hi) { return lo + static_cast<int>(engine_() % static_cast<uint32_t>(hi - lo + 1)); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    // A length of time lo .. hi seconds, in slots, to a millisecond.
    int Slots(double lo, double hi)
    {
        return ControlChannel::Slot((lo * 1000 + Between(0, static_cast<int>((hi - lo) * 1000))) / 1000.0);
    }

    template <class T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[Between(0, static_cast<int>(items.size()) - 1)];
    }

    // A radio of the agency that talks (not one of its shift radios).
    uint32_t Radio(int agency)
    {
        const Agency& a = kAgencies[agency];
        return a.firstRadio + Between(0, a.radios - kShiftRadios - 1);
    }

    // A talkgroup chosen by how busy talkgroups are.
    const Talkgroup& BusyTalkgroup()
    {
        int total = 0;
        for (const Talkgroup& t : kTalkgroups)
            total += t.weight;
        int pick = Between(1, total);
        for (const Talkgroup& t : kTalkgroups) {
            pick -= t.weight;
            if (pick <= 0)
                return t;
        }
        return kTalkgroups.front();
    }

private:
    std::mt19937 engine_;
};

// The k-th radio of an agency that powers up or down during the capture.
inline uint32_t ShiftRadio(int agency, int k)
{
    const Agency& a = kAgencies[agency];
    return a.firstRadio + a.radios - kShiftRadios + k % kShiftRadios;
}

// The k-th radio of an agency that usually works at other sites and roams in during the capture.
inline uint32_t VisitingRadio(int agency, int k)
{
    const Agency& a = kAgencies[agency];
    return a.firstRadio + a.radios + k;
}

}  // namespace demo
