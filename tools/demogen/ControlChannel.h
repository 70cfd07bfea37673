#pragma once

// The output of the demo control channel, slot by slot at 40 blocks a second. Messages due at a
// time go out first, in the order they were given; in the slots between them the channel repeats
// its site broadcasts and announces the calls in progress with grant updates, as a real one does.

#include <map>
#include <string>
#include <vector>

#include "CallMessages.h"
#include "DemoBlock.h"

namespace demo {

// A call the channel keeps announcing while it lasts.
struct Transmission {
    enum class Kind { kGroup, kPatchedGroup, kUnitToUnit, kTelephone, kGroupData };
    Kind kind = Kind::kGroup;
    CallFields call;
    int start = 0;       // slot its grant is due
    int end = 0;         // slot it is over
    uint16_t timer = 0;  // telephone calls: the call timer
};

// A site broadcast of the rotation, sent in every `period`-th round of it.
struct Broadcast {
    Message message;
    int period = 1;
};

class ControlChannel {
public:
    static constexpr int kBlocksPerSecond = 40;

    explicit ControlChannel(int seconds);

    int Slots() const { return slots_; }
    static int Slot(double seconds);

    // The rotation of site broadcasts; at least one of them with period 1.
    void SetBroadcasts(std::vector<Broadcast> rotation);
    // Sent in the first free slot at or after `slot`.
    void Send(int slot, Message message);
    // The grant goes out at the call's start and `repeats` more times shortly after; from its
    // first sending until the call's end the call is announced by grant updates.
    void Call(const Transmission& call, const Message& grant, int repeats = 1);

    // The capture's lines, with a comment line at every minute. Counts() then tells the number
    // of messages of each kind.
    std::vector<std::string> Play();
    const std::map<std::string, int>& Counts() const { return counts_; }

private:
    struct Pending {
        Message message;
        int call = -1;  // the call this grant starts, or -1
    };
    struct Active {
        int call;
        int updates = 0;
        int lastUpdate = -1;  // slot of its last update
    };

    void Activate(int call, int slot);
    void Retire(int slot);
    Message Filler(int slot);
    Message NextBroadcast();
    // The next call in turn that has not been announced for a while; false when there is none.
    bool NextUpdate(int slot, Message& update);
    Message UpdateOf(size_t index);
    // Another call of the same kind in progress, to share an update block with; or itself.
    const Transmission& Partner(size_t index) const;

    int slots_;
    std::multimap<int, Pending> pending_;
    std::vector<Transmission> calls_;
    std::vector<bool> activated_;
    std::vector<Active> active_;
    std::vector<Broadcast> rotation_;
    size_t rotationPos_ = 0;
    int round_ = 0;
    size_t updateCursor_ = 0;
    int fillers_ = 0;
    std::map<std::string, int> counts_;
};

}  // namespace demo
