#include "ui/views/EmergencyCalls.h"

#include "site/ChannelTable.h"

namespace {

bool IndividualUsage(const std::string& usage)
{
    return usage == "Private" || usage == "PvtData" || usage == "Phone";
}

bool EmergencyCall(const FreqInfo& f)
{
    return !f.usage.empty() && f.target != 0 && f.status == "Emrg" && !IndividualUsage(f.usage);
}

}  // namespace

EmergencyCalls::EmergencyCalls(QObject* parent) : QObject(parent)
{ }

EmergencyCalls::Change EmergencyCalls::Follow(std::span<const FreqInfo> channels)
{
    std::map<int32_t, Call> now;
    for (const FreqInfo& f : channels) {
        if (!EmergencyCall(f))
            continue;
        Call& call = now[f.target];
        call.talkgroup = f.target;
        if (call.radio == 0)
            call.radio = f.source;
        if (call.talkgroupName.empty())
            call.talkgroupName = f.targetDescription;
    }
    Change change;
    for (const auto& [talkgroup, call] : calls_)
        if (!now.count(talkgroup))
            change.ended.push_back(talkgroup);
    std::vector<Call> begun;
    for (const auto& [talkgroup, call] : now) {
        if (!calls_.count(talkgroup)) {
            change.begun.push_back(talkgroup);
            begun.push_back(call);
        }
    }
    // The calls are current before anybody hears of the new ones.
    calls_ = std::move(now);
    for (const Call& call : begun)
        emit Began(call);
    return change;
}
