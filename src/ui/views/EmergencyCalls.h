#pragma once

#include <QObject>

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

struct FreqInfo;

// The talkgroups whose call on the channel table is flagged as emergency right now: a channel in
// a group call (not a private, data-to-unit or phone call) whose status is "Emrg". The activity
// updater feeds it with every copy of the channel table, so it follows the calls exactly as the
// activity list shows them, with no timer and no lock of its own: an emergency begins when its
// talkgroup first shows such a channel, and ends when no channel shows it any more (the call
// expired, went idle, or went on without the flag). The emergency colouring of the grant lists
// and the notice of the window read it. Main thread only.
class EmergencyCalls : public QObject {
    Q_OBJECT
public:
    struct Call {
        int32_t talkgroup = 0;
        int32_t radio = 0;  // the unit granted the call; 0 when not known
        std::string talkgroupName;
    };
    // What one look at the channel table changed.
    struct Change {
        std::vector<int32_t> begun;
        std::vector<int32_t> ended;
        bool Any() const { return !begun.empty() || !ended.empty(); }
    };

    explicit EmergencyCalls(QObject* parent = nullptr);

    // Takes the channel records just copied out; emits Began for each new emergency.
    Change Follow(std::span<const FreqInfo> channels);
    bool Active(int32_t talkgroup) const { return calls_.count(talkgroup) != 0; }
    const std::map<int32_t, Call>& Calls() const { return calls_; }

signals:
    void Began(const EmergencyCalls::Call& call);

private:
    std::map<int32_t, Call> calls_;
};
