#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "scancontrol/FollowDecision.h"
#include "site/ChannelTable.h"
#include "site/IdentifierTable.h"
#include "site/PatchList.h"

class P25Class;
class ScannerControl;
struct Settings;

// The second scanner of a run without a window: the decision of the desktop program's activity
// view (DecideFollow, TuneFollowed), made from copies of the decoder's channel table, patches and
// identifiers whenever the owner's timer calls Step. No talkgroup is held (holding is a command of
// the window).
//
// Lifecycle as in the desktop program: Begin sends the profile's initial commands and the quiet
// frequency, End resumes scanning. All calls come from one thread.
class ScannerFollower {
public:
    ScannerFollower(P25Class& decoder, const Settings& settings, const std::string& programFolder);
    ~ScannerFollower();
    ScannerFollower(const ScannerFollower&) = delete;
    ScannerFollower& operator=(const ScannerFollower&) = delete;

    void Begin();
    // One decision: at most one tune (or the quiet frequency) sent when it differs from the last.
    void Step();
    void End();

    ScannerControl& Scanner() { return *scanner_; }
    int32_t LastFollowedTarget() const { return lastFollowedTarget_; }

private:
    P25Class& decoder_;
    FollowSettings settings_;
    std::unique_ptr<ScannerControl> scanner_;
    int32_t lastFollowedTarget_ = 0;
    std::vector<FreqInfo> channels_;
    std::array<PATCHENTRY, PatchList::kCapacity> patches_{};
    int patchCount_ = 0;
};
