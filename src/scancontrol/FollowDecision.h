#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "site/ChannelTable.h"
#include "site/IdentifierTable.h"
#include "site/PatchList.h"

class ScannerControl;
struct Settings;

// Which channel of the activity table the controlled scanner follows: an emergency first, then a
// held talkgroup (or a supergroup it is patched into), otherwise the best talkgroup priority
// inside the monitor window, staying on the talkgroup already followed when it is as good. The
// decision is recomputed from a copy of the channel table on every refresh of the activity view;
// these functions are pure apart from the priority lookup and the scanner calls of TuneFollowed.

constexpr int32_t kNoHeldTalkgroup = -1;
constexpr int32_t kUnknownTarget = -1;  // a private call whose called radio is not known
constexpr double kUnknownFrequency = -1.0;

// Settings of section ScanControl that steer the decision.
struct FollowSettings {
    int privatePriority = 0;        // PrivatePriority: of every private and phone call; 0 ignores them
    bool tuneData = false;          // TuneData: data channels may be followed (as a last resort)
    int monitorThresholdHigh = 99;  // MonitorThresholdHigh: largest priority number followed
    int monitorThresholdLow = 1;    // MonitorThresholdLow: smallest priority number followed
};

// The four values from the program settings.
FollowSettings FollowSettingsFrom(const Settings& settings);

// GetTalkgroupPriority of the talkgroup table: 1 most important .. 99 least, 0 ignored, 50 for a
// talkgroup not in the table.
using TalkgroupPriorityLookup = std::function<int(int32_t talkgroup)>;

struct FollowInputs {
    int32_t heldTalkgroup = kNoHeldTalkgroup;
    int32_t lastFollowedTarget = 0;       // target of the row last marked as followed
    std::span<const PATCHENTRY> patches;  // the patch list as last copied
    FollowSettings settings;
    TalkgroupPriorityLookup priority;
};

// Whether an activity entry's frequency names a channel (not -1 "unknown", not 0).
bool FrequencyKnown(double mhz);

// The frequency (MHz) the controlled scanner should follow, 0 for none. Entries whose frequency
// is not known are never chosen.
double ChooseFollowFrequency(std::span<const FreqInfo> entries, const FollowInputs& in);

// One TuneActive call: the channel spacing of the row's identifier and the followed frequency.
struct FollowTune {
    double spacing = 0.0;
    double frequency = 0.0;
};

// The result of applying the followed frequency to the rows of the activity view.
struct FollowMarking {
    std::vector<bool> marked;        // per entry: the "Active" column shows "<-----"
    int32_t lastFollowedTarget = 0;  // the target of the last marked row, else unchanged
    std::vector<FollowTune> tunes;   // TuneActive calls in row order (one per marked row)
    bool tuneQuiet = false;          // TuneQuiet after the rows: nothing is followed
};

// Marks every row whose frequency equals `followed`; a followed frequency of 0 (or one that is
// not known) marks nothing and asks for the quiet frequency. `identifiers` are the 16
// frequency identifiers; a row's spacing is that of the identifier in bits 15..12 of its channel
// (0 when the span does not reach it). The marking does not depend on scanner control.
FollowMarking MarkFollowedRows(std::span<const FreqInfo> entries, double followed, int32_t lastFollowedTarget,
                               std::span<const IdentifierEntry> identifiers);

// The follow decision of both programs: the frequency chosen from the entries and the rows marked
// for it. The desktop program makes it on every refresh of its activity view, a headless run on
// its follow timer; both then hand the marking to TuneFollowed.
FollowMarking DecideFollow(std::span<const FreqInfo> entries, const FollowInputs& in,
                           std::span<const IdentifierEntry> identifiers);

// Makes the scanner calls of a marking, only when scanner control is enabled, a decode runs and
// there is a scanner. TuneActive sends once per frequency, TuneQuiet only when needed.
void TuneFollowed(const FollowMarking& marking, ScannerControl* scanner, bool controlEnabled, bool decodeRunning);

// The marked row's text of the "Active" column.
inline constexpr const char* kFollowedMark = "<-----";
