#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "site/ChannelTable.h"
#include "site/DecoderContext.h"

class GrantLog;
class RadioTable;
class TalkgroupTable;

// Usage flags of a channel record: every kind of use ever seen on it (letters of the tower file).
constexpr uint32_t kFlagControl = 0x01;    // c
constexpr uint32_t kFlagAlternate = 0x02;  // a: alternate (secondary) control channel
constexpr uint32_t kFlagVoice = 0x04;      // v
constexpr uint32_t kFlagData = 0x08;       // d
constexpr uint32_t kFlagCwid = 0x10;       // i: CW identification
constexpr uint32_t kFlagPrivate = 0x20;    // p: unit to unit
constexpr uint32_t kFlagPhone = 0x40;      // t: telephone interconnect

// Grant tracking: turns grants, grant updates and control channel announcements into the activity
// of the channel table's lines, and logs new calls in the grant log.
//
// Each Record operation holds "FREQUENCY" for its whole run (talkgroup and radio lookups take
// "TGLOCK"/"RADIDLOCK" inside it) and returns true when it changed the channel's line; false also
// when the table is full and the channel new. A logged operation makes its grant log entry, only
// when the line changed, after "FREQUENCY" is released.
//
// Owned by P25Class and constructed after the tables it works on:
//   ChannelActivity activity(channels, talkgroups, radios, grantLog, ctx);
class ChannelActivity {
public:
    ChannelActivity(ChannelTable& channels, TalkgroupTable& talkgroups, RadioTable& radios, GrantLog& grantLog,
                    DecoderContext& ctx);
    ChannelActivity(const ChannelActivity&) = delete;
    ChannelActivity& operator=(const ChannelActivity&) = delete;

    bool RecordGroupGrant(int32_t channel, int32_t talkgroup, std::string_view status, int32_t source);
    bool RecordGroupGrantUpdate(int32_t channel, int32_t talkgroup);
    bool RecordGroupUpdateWithStatus(int32_t channel, int32_t talkgroup, std::string_view status);
    bool RecordPrivateGrant(int32_t channel, int32_t target, std::string_view status, int32_t source);
    bool RecordPrivateGrantUpdate(int32_t channel, int32_t target, int32_t source);
    bool RecordPhoneGrant(int32_t channel, int32_t radio, std::string_view status);
    bool RecordPhoneGrantUpdate(int32_t channel, int32_t radio);
    bool RecordGroupDataGrant(int32_t channel, int32_t talkgroup /*-1 none*/, std::string_view status, int32_t source);
    bool RecordDataGrantUpdate(int32_t channel, int32_t talkgroup /*-1 private data*/);
    bool RecordPrivateDataGrant(int32_t channel, int32_t target /*-1 none*/, std::string_view status, int32_t source);
    bool RecordCwid(int32_t channel, std::string_view identification);
    // txChannel 0: transmit frequency from the identifier table.
    bool RecordControlChannel(int32_t channel, int32_t txChannel);
    bool RecordAlternateControl(int32_t channelA, int32_t channelB);
    // Logs a queued response, at most once per second for the same target and source.
    bool RecordQueued(int32_t target, int32_t source);

    // Refresh thread: returns lines silent for more than ctx.tgTimeOut ticks to idle; true if any.
    bool ExpireChannelActivity();
    // Whether any channel line is in use (something the expiry may end).
    bool AnyActive();
    // The earliest tick of last activity of the lines that have a call, or nullopt while none
    // has: no line returns to idle before that tick plus the time-out has passed.
    std::optional<int32_t> EarliestCallActivity();
    // The first tick at which a line last active at `lastActivity` is expired: the time-out has
    // passed. The one rule for the expiry and for those who wait for it.
    int64_t ExpiryTick(int32_t lastActivity) const { return int64_t{lastActivity} + ctx_.tgTimeOut.load() + 1; }

private:
    // What of a line makes a call, for the event feed: the line before a Record operation's steps.
    struct CallState {
        std::string usage;
        int32_t target = 0;
        int32_t source = 0;
        std::string status;
        int32_t hits = 0;
    };
    static CallState CallStateOf(const FreqInfo& rec)
    {
        return {rec.usage, rec.target, rec.source, rec.status, rec.hits};
    }
    // Reports the start, update or end of a call on the line (FREQUENCY held).
    void ReportCall(const CallState& before, const FreqInfo& after);

    // What of a line decides whether a talkgroup call goes on, taken before a Record operation's
    // steps (cheap: no text is copied).
    struct UseState {
        bool groupCall = false;
        int32_t target = 0;
        int32_t hits = 0;
    };
    UseState UseStateOf(const FreqInfo& rec) const;
    // Counts a talkgroup call that the steps started on the line, or adds the airtime heard of the
    // one that goes on (FREQUENCY held; takes TGLOCK inside it).
    void AccountTalkgroupUse(const UseState& before, FreqInfo& rec);

    // The line a Record operation works on, and whether its steps changed it.
    struct Line {
        int index;
        FreqInfo& rec;
        bool changed = false;
    };

    // Takes "FREQUENCY", finds or adds the channel's line, runs the steps on it and marks the table
    // changed when they changed anything. False when the line cannot be added or nothing changed.
    template <class Steps>
    bool OnLine(int32_t channel, int32_t txChannel, Steps&& steps);

    // The steps of the grant operations, one helper per step.
    void TouchTalkgroup(int32_t talkgroup);
    void TouchRadio(int32_t radio);
    void Tick(Line& line) { line.rec.lastActivity = ctx_.time.Tick(); }
    void Usage(Line& line, std::string_view usage) { line.rec.usage.assign(usage); }  // not a change by itself
    void GroupTarget(Line& line, int32_t talkgroup, bool withHit);
    void RadioTarget(Line& line, int32_t radio, bool withHit);
    // Target 0 and an empty description; not a change by itself.
    void NoTarget(Line& line)
    {
        line.rec.target = 0;
        line.rec.targetDescription.clear();
    }
    void Source(Line& line, int32_t radio);
    void Flag(Line& line, uint32_t bits);
    void Status(Line& line, std::string_view status);
    void ReleaseTargetElsewhere(Line& line, int32_t target);
    void EmptyOtherControlLines(Line& line);

    ChannelTable& channels_;
    TalkgroupTable& talkgroups_;
    RadioTable& radios_;
    GrantLog& grantLog_;
    DecoderContext& ctx_;

    // Last queued response, kept for the whole run (a decoder reset does not forget it).
    int64_t queuedTime_ = 0;
    int32_t queuedTarget_ = 0;
    int32_t queuedSource_ = 0;
};
