#include "ControlChannel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace demo {

namespace {

// A burst of due messages yields every fourth slot to the broadcasts and updates, and one slot
// in three of those goes to the site broadcasts: the site keeps identifying itself even while
// it is busy.
constexpr int kMaxDueInARow = 3;
constexpr int kBroadcastEvery = 3;
constexpr int kRepeatGapSlots = 6;   // a grant is sent again about 150 ms later
constexpr int kUpdateGapSlots = 12;  // a call is announced again after 300 ms at the soonest

bool ShowsStatus(const CallFields& call)
{
    return (call.options & (kOptionEmergency | kOptionProtected)) != 0;
}

std::string MinuteMark(int minute)
{
    char text[32];
    std::snprintf(text, sizeof text, "# %02d:00", minute);
    return text;
}

}  // namespace

ControlChannel::ControlChannel(int seconds) : slots_(seconds * kBlocksPerSecond)
{ }

int ControlChannel::Slot(double seconds)
{
    return static_cast<int>(std::lround(seconds * kBlocksPerSecond));
}

void ControlChannel::SetBroadcasts(std::vector<Broadcast> rotation)
{
    rotation_ = std::move(rotation);
}

void ControlChannel::Send(int slot, Message message)
{
    pending_.emplace(slot, Pending{std::move(message), -1});
}

void ControlChannel::Call(const Transmission& call, const Message& grant, int repeats)
{
    const int index = static_cast<int>(calls_.size());
    calls_.push_back(call);
    activated_.push_back(false);
    pending_.emplace(call.start, Pending{grant, index});
    for (int i = 1; i <= repeats; ++i)
        pending_.emplace(call.start + i * kRepeatGapSlots, Pending{grant, index});
}

std::vector<std::string> ControlChannel::Play()
{
    std::vector<std::string> lines;
    int slot = 0;
    int dueInARow = 0;
    int minute = -1;
    while (slot < slots_) {
        if (slot / (60 * kBlocksPerSecond) != minute) {
            minute = slot / (60 * kBlocksPerSecond);
            lines.push_back(MinuteMark(minute));
        }
        Retire(slot);
        Message message;
        auto due = pending_.begin();
        if (due != pending_.end() && due->first <= slot && dueInARow < kMaxDueInARow) {
            message = std::move(due->second.message);
            Activate(due->second.call, slot);
            pending_.erase(due);
            ++dueInARow;
        } else {
            message = Filler(slot);
            dueInARow = 0;
        }
        ++counts_[message.kind];
        lines.insert(lines.end(), message.lines.begin(), message.lines.end());
        slot += std::max<int>(1, static_cast<int>(message.lines.size()));
    }
    return lines;
}

void ControlChannel::Activate(int call, int slot)
{
    if (call < 0 || activated_[call] || calls_[call].end <= slot)
        return;
    activated_[call] = true;
    active_.push_back({call});
}

void ControlChannel::Retire(int slot)
{
    std::erase_if(active_, [&](const Active& a) { return calls_[a.call].end <= slot; });
}

Message ControlChannel::Filler(int slot)
{
    Message update;
    if (fillers_++ % kBroadcastEvery != 0 && NextUpdate(slot, update))
        return update;
    return NextBroadcast();
}

Message ControlChannel::NextBroadcast()
{
    for (;;) {
        if (rotationPos_ == rotation_.size()) {
            rotationPos_ = 0;
            ++round_;
        }
        const Broadcast& b = rotation_[rotationPos_++];
        if (round_ % b.period == 0)
            return b.message;
    }
}

const Transmission& ControlChannel::Partner(size_t index) const
{
    const Transmission& self = calls_[active_[index].call];
    for (size_t step = 1; step < active_.size(); ++step) {
        const Transmission& other = calls_[active_[(index + step) % active_.size()].call];
        if (other.kind == self.kind && other.call.channel != self.call.channel)
            return other;
    }
    return self;
}

bool ControlChannel::NextUpdate(int slot, Message& update)
{
    for (size_t tried = 0; tried < active_.size(); ++tried) {
        const size_t index = updateCursor_++ % active_.size();
        Active& a = active_[index];
        if (a.lastUpdate >= 0 && slot - a.lastUpdate < kUpdateGapSlots)
            continue;
        a.lastUpdate = slot;
        update = UpdateOf(index);
        return true;
    }
    return false;
}

// Calls with a status (emergency, encrypted) are announced in the explicit form every other
// time, which carries it.
Message ControlChannel::UpdateOf(size_t index)
{
    Active& a = active_[index];
    const Transmission& t = calls_[a.call];
    const bool explicitForm = ShowsStatus(t.call) && a.updates++ % 2 == 1;
    switch (t.kind) {
    case Transmission::Kind::kGroup:
        if (explicitForm)
            return ExplicitGroupVoiceGrantUpdate(t.call);
        return GroupVoiceGrantUpdate(t.call, Partner(index).call);
    case Transmission::Kind::kPatchedGroup: return PatchedGroupVoiceGrantUpdate(t.call, Partner(index).call);
    case Transmission::Kind::kUnitToUnit: return UnitToUnitVoiceGrantUpdate(t.call);
    case Transmission::Kind::kTelephone: return TelephoneVoiceGrantUpdate(t.call, t.timer);
    case Transmission::Kind::kGroupData: break;
    }
    return GroupDataGrantUpdate(t.call, Partner(index).call);
}

}  // namespace demo
