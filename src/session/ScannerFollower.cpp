#include "session/ScannerFollower.h"

#include <span>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "scancontrol/ScannerControl.h"

ScannerFollower::ScannerFollower(P25Class& decoder, const Settings& settings, const std::string& programFolder)
    : decoder_(decoder), settings_(FollowSettingsFrom(settings)),
      scanner_(std::make_unique<ScannerControl>(settings, programFolder)), channels_(ChannelTable::kCapacity)
{ }

ScannerFollower::~ScannerFollower() = default;

void ScannerFollower::Begin()
{
    scanner_->SendInit();
    scanner_->TuneQuiet();
}

void ScannerFollower::Step()
{
    const int count = decoder_.Channels().CopyChannels(channels_.data(), static_cast<int>(channels_.size()));
    // The patch list as the desktop program's patch view copies it (expired pairs dropped first).
    patchCount_ = decoder_.Patches().CopyPatches(patches_.data(), static_cast<int>(patches_.size()));
    std::array<IdentifierEntry, IdentifierTable::kCount> identifiers{};
    {
        LockGuard g(decoder_.Identifiers().Lock());
        for (int i = 0; i < IdentifierTable::kCount; ++i)
            identifiers[static_cast<size_t>(i)] = decoder_.Identifiers().Entry(i);
    }
    FollowInputs in;
    in.heldTalkgroup = kNoHeldTalkgroup;
    in.lastFollowedTarget = lastFollowedTarget_;
    in.patches = std::span<const PATCHENTRY>(patches_.data(), static_cast<size_t>(patchCount_));
    in.settings = settings_;
    P25Class* decoder = &decoder_;
    in.priority = [decoder](int32_t tg) { return decoder->Talkgroups().GetTalkgroupPriority(tg); };
    const FollowMarking marking =
        DecideFollow(std::span<const FreqInfo>(channels_.data(), static_cast<size_t>(count)), in, identifiers);
    lastFollowedTarget_ = marking.lastFollowedTarget;
    TuneFollowed(marking, scanner_.get(), true, true);
}

void ScannerFollower::End()
{
    scanner_->ResumeScan();
}
