#include "scancontrol/FollowDecision.h"

#include <cmath>
#include <string_view>

#include "persist/Settings.h"
#include "scancontrol/ScannerControl.h"

namespace {

// Call types and status texts of the activity table.
constexpr std::string_view kControl = "Control";
constexpr std::string_view kGroup = "Group";
constexpr std::string_view kPrivate = "Private";
constexpr std::string_view kPhone = "Phone";
constexpr std::string_view kGroupData = "GrpData";
constexpr std::string_view kPrivateData = "PvtData";
constexpr std::string_view kEncrypted = "Enc";
constexpr std::string_view kEmergency = "Emrg";

// Priority numbers: lower is more important; 0 ignores a talkgroup.
constexpr int kNoCandidate = 100;
constexpr int kDataPriority = 99;
constexpr int kIgnored = 0;

constexpr int kUnlistedPriority = 50;  // the table's answer for a talkgroup it does not hold

constexpr int kIdentifierShift = 12;
constexpr int kIdentifierMask = 0xF;

bool Eligible(const FreqInfo& e)
{
    return !e.usage.empty() && e.usage != kControl && e.status != kEncrypted && FrequencyKnown(e.rxFrequency);
}

int PriorityOf(const FollowInputs& in, int32_t talkgroup)
{
    return in.priority ? in.priority(talkgroup) : kUnlistedPriority;
}

bool IsData(const FreqInfo& e)
{
    return e.usage == kGroupData || e.usage == kPrivateData;
}

// Targets that name a talkgroup or radio: 0 (phone calls, CW identification, idle) and -1
// (unknown called radio) name nothing and so never make two calls "the same".
bool NamesTarget(int32_t target)
{
    return target != 0 && target != kUnknownTarget;
}

const FreqInfo* FirstEmergency(std::span<const FreqInfo> entries)
{
    for (const FreqInfo& e : entries) {
        if (Eligible(e) && e.target != kUnknownTarget && e.status == kEmergency)
            return &e;
    }
    return nullptr;
}

bool PatchedInto(std::span<const PATCHENTRY> patches, int32_t group, int32_t supergroup)
{
    for (const PATCHENTRY& p : patches) {
        if (p.group == group && p.supergroup == supergroup)
            return true;
    }
    return false;
}

// A call on the held talkgroup, or on a supergroup that the held talkgroup is patched into.
double HeldFrequency(std::span<const FreqInfo> entries, const FollowInputs& in)
{
    for (const FreqInfo& e : entries) {
        if (!Eligible(e) || e.target == kUnknownTarget)
            continue;
        if (e.target == in.heldTalkgroup || PatchedInto(in.patches, in.heldTalkgroup, e.target))
            return e.rxFrequency;
    }
    return 0.0;
}

struct Pick {
    int best = kNoCandidate;
    double candidate = 0.0;
};

// The voice priority of an entry, or nothing for call types that are never followed by priority.
bool VoicePriority(const FreqInfo& e, const FollowInputs& in, int& priority)
{
    if (e.usage == kPrivate || e.usage == kPhone) {
        priority = in.settings.privatePriority;
        return true;
    }
    if (e.usage == kGroup && e.target != kUnknownTarget) {
        priority = PriorityOf(in, e.target);
        return true;
    }
    return false;  // "CWID" and the like
}

bool InWindow(int priority, const FollowSettings& s)
{
    return priority != kIgnored && priority <= s.monitorThresholdHigh && priority >= s.monitorThresholdLow;
}

// Lowest priority number wins, the earliest among equals; a data channel only as a fallback.
Pick BestPriority(std::span<const FreqInfo> entries, const FollowInputs& in)
{
    Pick pick;
    for (const FreqInfo& e : entries) {
        if (!Eligible(e))
            continue;
        if (IsData(e)) {
            if (in.settings.tuneData && pick.best == kNoCandidate)
                pick = Pick{kDataPriority, e.rxFrequency};
            continue;
        }
        int priority = 0;
        if (!VoicePriority(e, in, priority) || !InWindow(priority, in.settings) || priority >= pick.best)
            continue;
        pick = Pick{priority, e.rxFrequency};
    }
    return pick;
}

// Stays on the followed talkgroup while its priority is as good as the best found; the last
// matching entry wins.
void StayOnFollowed(std::span<const FreqInfo> entries, const FollowInputs& in, Pick& pick)
{
    if (!NamesTarget(in.lastFollowedTarget))
        return;
    for (const FreqInfo& e : entries) {
        if (!Eligible(e) || IsData(e) || e.target != in.lastFollowedTarget)
            continue;
        if (PriorityOf(in, e.target) <= pick.best)
            pick.candidate = e.rxFrequency;
    }
}

}  // namespace

FollowSettings FollowSettingsFrom(const Settings& settings)
{
    return FollowSettings{settings.privatePriority, settings.tuneData, settings.monitorThresholdHigh,
                          settings.monitorThresholdLow};
}

bool FrequencyKnown(double mhz)
{
    return mhz > 0.0 && std::isfinite(mhz);
}

double ChooseFollowFrequency(std::span<const FreqInfo> entries, const FollowInputs& in)
{
    if (entries.empty())
        return 0.0;
    // An emergency is followed whatever is held.
    if (const FreqInfo* e = FirstEmergency(entries))
        return e->rxFrequency;
    // With a hold, priorities, the window and data channels play no part.
    if (in.heldTalkgroup != kNoHeldTalkgroup)
        return HeldFrequency(entries, in);
    Pick pick = BestPriority(entries, in);
    StayOnFollowed(entries, in, pick);
    return pick.best == kNoCandidate ? 0.0 : pick.candidate;
}

FollowMarking MarkFollowedRows(std::span<const FreqInfo> entries, double followed, int32_t lastFollowedTarget,
                               std::span<const IdentifierEntry> identifiers)
{
    FollowMarking m;
    m.marked.assign(entries.size(), false);
    m.lastFollowedTarget = lastFollowedTarget;
    // 0 is "nothing followed"; an unknown frequency (-1) is treated alike, never as a channel.
    const bool following = FrequencyKnown(followed);
    for (size_t i = 0; i < entries.size(); ++i) {
        const FreqInfo& e = entries[i];
        if (!following || e.rxFrequency != followed)
            continue;
        m.marked[i] = true;
        m.lastFollowedTarget = e.target;
        const size_t id = static_cast<size_t>((e.channel >> kIdentifierShift) & kIdentifierMask);
        m.tunes.push_back(FollowTune{id < identifiers.size() ? identifiers[id].spacing : 0.0, followed});
    }
    m.tuneQuiet = !following;
    return m;
}

FollowMarking DecideFollow(std::span<const FreqInfo> entries, const FollowInputs& in,
                           std::span<const IdentifierEntry> identifiers)
{
    return MarkFollowedRows(entries, ChooseFollowFrequency(entries, in), in.lastFollowedTarget, identifiers);
}

void TuneFollowed(const FollowMarking& marking, ScannerControl* scanner, bool controlEnabled, bool decodeRunning)
{
    if (scanner == nullptr || !controlEnabled || !decodeRunning)
        return;
    for (const FollowTune& t : marking.tunes)
        scanner->TuneActive(t.spacing, t.frequency);
    if (marking.tuneQuiet)
        scanner->TuneQuiet();
}
