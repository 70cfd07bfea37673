#include "site/ChannelActivity.h"

#include "site/GrantLog.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr bool kWithHit = true;
constexpr bool kWithoutHit = false;
constexpr int32_t kNoTalkgroup = -1;  // data grants without a talkgroup (or private data)
constexpr int32_t kNoRadio = -1;
constexpr int32_t kNoChannel = -1;
constexpr int32_t kUnknownTalkgroupPriority = 50;
constexpr int32_t kIndividualPriority = 1;  // private, phone, data, CW ID and queued entries

constexpr std::string_view kControl = "Control";
constexpr std::string_view kGroupVoice = "Group";
constexpr std::string_view kCwid = "CWID";

}  // namespace

ChannelActivity::ChannelActivity(ChannelTable& channels, TalkgroupTable& talkgroups, RadioTable& radios,
                                 GrantLog& grantLog, DecoderContext& ctx)
    : channels_(channels), talkgroups_(talkgroups), radios_(radios), grantLog_(grantLog), ctx_(ctx)
{ }

template <class Steps>
bool ChannelActivity::OnLine(int32_t channel, int32_t txChannel, Steps&& steps)
{
    LockGuard g(channels_.Lock());
    const int index = channels_.FindOrAddChannel(channel, txChannel);
    if (index < 0)
        return false;
    Line line{index, channels_.Record(index)};
    const UseState use = UseStateOf(line.rec);
    if (!ctx_.EventsWanted()) {
        steps(line);
    } else {
        const CallState before = CallStateOf(line.rec);
        steps(line);
        ReportCall(before, line.rec);
    }
    AccountTalkgroupUse(use, line.rec);
    if (line.changed)
        channels_.MarkChanged();
    return line.changed;
}

void ChannelActivity::ReportCall(const CallState& before, const FreqInfo& after)
{
    const bool wasCall = IsCallUsage(before.usage);
    if (!IsCallUsage(after.usage)) {
        if (wasCall)
            ReportCallEnd(ctx_, before.usage, before.target, after, kEndReleased);
        return;
    }
    SiteEvent e;
    // A new hit, another call type or another target is a new call; a phone call's new calling
    // radio counts a hit.
    if (!wasCall || before.usage != after.usage || before.target != after.target || after.hits != before.hits)
        e.kind = SiteEventKind::kCallStart;
    else if (before.source != after.source || before.status != after.status)
        e.kind = SiteEventKind::kCallUpdate;
    else
        return;
    e.channel = after.channel;
    e.frequency = after.rxFrequency;
    e.usage = after.usage;
    e.status = after.status;
    e.unit = after.source;
    if (after.usage == "Group" || after.usage == "GrpData") {
        e.talkgroup = after.target;
        e.talkgroupName = after.targetDescription;
        if (after.target > 0)
            e.priority = talkgroups_.GetTalkgroupPriority(after.target);
    } else {
        e.target = after.target;
    }
    if (after.source > 0)
        e.unitName = radios_.PeekRadioText(after.source);  // RADIDLOCK inside FREQUENCY, as the steps do
    ctx_.Emit(e);
}

ChannelActivity::UseState ChannelActivity::UseStateOf(const FreqInfo& rec) const
{
    return {rec.usage == kGroupVoice, rec.target, rec.hits};
}

// A voice call on a talkgroup starts where the event feed sees a call start (another target, a new
// hit, or the line coming to group voice from another use or from idle); repeated grants and
// updates of it are the same call. Its airtime grows with every message about it, in whole seconds
// from its start to the latest message: a save in the middle of a call keeps what was heard so
// far, and the rest is added later, never twice. An expiry adds nothing, since nothing was heard
// of the call after its last message.
void ChannelActivity::AccountTalkgroupUse(const UseState& before, FreqInfo& rec)
{
    if (rec.usage != kGroupVoice || rec.target <= 0)
        return;
    if (!before.groupCall || before.target != rec.target || before.hits != rec.hits) {
        rec.callStart = rec.lastActivity;
        rec.callSeconds = 0;
        talkgroups_.CountTalkgroupCall(rec.target);
        return;
    }
    const int32_t seconds = (rec.lastActivity - rec.callStart) / TimeBase::kTicksPerSecond;
    if (seconds > rec.callSeconds) {
        talkgroups_.AddTalkgroupAirtime(rec.target, seconds - rec.callSeconds);
        rec.callSeconds = seconds;
    }
}

void ChannelActivity::TouchTalkgroup(int32_t talkgroup)
{
    talkgroups_.TouchTalkgroup(talkgroup);
}

void ChannelActivity::TouchRadio(int32_t radio)
{
    radios_.TouchRadio(radio);
}

void ChannelActivity::GroupTarget(Line& line, int32_t talkgroup, bool withHit)
{
    if (line.rec.target == talkgroup)
        return;  // the same call again: no new hit
    line.rec.target = talkgroup;
    line.rec.targetDescription = talkgroups_.GetTalkgroupText(talkgroup);
    if (withHit)
        ++line.rec.hits;
    line.changed = true;
}

void ChannelActivity::RadioTarget(Line& line, int32_t radio, bool withHit)
{
    if (line.rec.target == radio)
        return;
    line.rec.target = radio;
    line.rec.targetDescription = radios_.GetRadioText(radio);  // also refreshes the radio's last seen
    if (withHit)
        ++line.rec.hits;
    line.changed = true;
}

void ChannelActivity::Source(Line& line, int32_t radio)
{
    if (line.rec.source == radio)
        return;
    line.rec.source = radio;
    line.changed = true;
}

void ChannelActivity::Flag(Line& line, uint32_t bits)
{
    if ((line.rec.usageFlags & bits) == bits)
        return;
    line.rec.usageFlags |= bits;
    line.changed = true;
}

void ChannelActivity::Status(Line& line, std::string_view status)
{
    if (line.rec.status == status)
        return;
    line.rec.status.assign(status);
    line.changed = true;
}

// A talkgroup or radio that moves to this channel leaves the one it was shown on. The released
// lines change the table but not the granted line.
void ChannelActivity::ReleaseTargetElsewhere(Line& line, int32_t target)
{
    channels_.ReleaseTarget(line.index, target);
}

// Only one line is the control channel at a time; the others keep their flag c.
void ChannelActivity::EmptyOtherControlLines(Line& line)
{
    const int32_t tick = ctx_.time.Tick();
    bool emptied = false;
    for (int i = 0; i < channels_.Count(); ++i) {
        FreqInfo& rec = channels_.Record(i);
        if (i == line.index || rec.usage != kControl)
            continue;
        ClearActivity(rec);
        rec.lastActivity = tick;
        emptied = true;
    }
    if (emptied)
        channels_.MarkChanged();
}

bool ChannelActivity::RecordGroupGrant(int32_t channel, int32_t talkgroup, std::string_view status, int32_t source)
{
    const bool changed = OnLine(channel, 0, [&](Line& line) {
        TouchTalkgroup(talkgroup);
        TouchRadio(source);
        Tick(line);
        Usage(line, "Group");
        GroupTarget(line, talkgroup, kWithHit);
        Source(line, source);
        Flag(line, kFlagVoice);
        Status(line, status);
        ReleaseTargetElsewhere(line, talkgroup);
    });
    if (changed)
        grantLog_.AddGrantLogEntry("Group", channel, talkgroups_.GetTalkgroupPriority(talkgroup), status, source,
                                   talkgroup);
    return changed;
}

bool ChannelActivity::RecordGroupGrantUpdate(int32_t channel, int32_t talkgroup)
{
    return OnLine(channel, 0, [&](Line& line) {
        TouchTalkgroup(talkgroup);
        Tick(line);
        Usage(line, "Group");
        GroupTarget(line, talkgroup, kWithHit);
        Flag(line, kFlagVoice);
        ReleaseTargetElsewhere(line, talkgroup);
    });
}

bool ChannelActivity::RecordGroupUpdateWithStatus(int32_t channel, int32_t talkgroup, std::string_view status)
{
    return OnLine(channel, 0, [&](Line& line) {
        TouchTalkgroup(talkgroup);
        Tick(line);
        Usage(line, "Group");
        GroupTarget(line, talkgroup, kWithHit);
        Flag(line, kFlagVoice);
        Status(line, status);
        ReleaseTargetElsewhere(line, talkgroup);
    });
}

bool ChannelActivity::RecordPrivateGrant(int32_t channel, int32_t target, std::string_view status, int32_t source)
{
    const bool changed = OnLine(channel, 0, [&](Line& line) {
        TouchRadio(target);
        TouchRadio(source);
        Tick(line);
        Usage(line, "Private");
        RadioTarget(line, target, kWithHit);
        Source(line, source);
        Flag(line, kFlagVoice | kFlagPrivate);
        Status(line, status);
        ReleaseTargetElsewhere(line, target);
    });
    if (changed)
        grantLog_.AddGrantLogEntry("Private", channel, kIndividualPriority, status, source, target);
    return changed;
}

bool ChannelActivity::RecordPrivateGrantUpdate(int32_t channel, int32_t target, int32_t source)
{
    return OnLine(channel, 0, [&](Line& line) {
        TouchRadio(target);
        TouchRadio(source);
        Tick(line);
        Usage(line, "Private");
        RadioTarget(line, target, kWithoutHit);
        Source(line, source);
        Flag(line, kFlagVoice | kFlagPrivate);
        ReleaseTargetElsewhere(line, target);
    });
}

bool ChannelActivity::RecordPhoneGrant(int32_t channel, int32_t radio, std::string_view status)
{
    const bool changed = OnLine(channel, 0, [&](Line& line) {
        TouchRadio(radio);
        Tick(line);
        Usage(line, "Phone");
        // A phone call has no target; a new calling radio is what makes a new call.
        if (line.rec.source != radio) {
            line.rec.source = radio;
            ++line.rec.hits;
            line.changed = true;
        }
        Flag(line, kFlagPhone);
        Status(line, status);
    });
    if (changed)
        grantLog_.AddGrantLogEntry("Phone", channel, kIndividualPriority, status, radio, 0);
    return changed;
}

bool ChannelActivity::RecordPhoneGrantUpdate(int32_t channel, int32_t radio)
{
    return OnLine(channel, 0, [&](Line& line) {
        TouchRadio(radio);
        Tick(line);
        Usage(line, "Phone");
        Flag(line, kFlagPhone);
    });
}

bool ChannelActivity::RecordGroupDataGrant(int32_t channel, int32_t talkgroup, std::string_view status, int32_t source)
{
    const bool changed = OnLine(channel, 0, [&](Line& line) {
        TouchTalkgroup(talkgroup);
        TouchRadio(source);
        Tick(line);
        Usage(line, "GrpData");
        if (talkgroup == kNoTalkgroup)
            NoTarget(line);
        else
            GroupTarget(line, talkgroup, kWithHit);
        Source(line, source);
        Flag(line, kFlagData);
        Status(line, status);
        if (talkgroup != kNoTalkgroup)
            ReleaseTargetElsewhere(line, talkgroup);
    });
    if (changed) {
        const int32_t priority =
            talkgroup == kNoTalkgroup ? kUnknownTalkgroupPriority : talkgroups_.GetTalkgroupPriority(talkgroup);
        grantLog_.AddGrantLogEntry("GrpData", channel, priority, status, source, talkgroup);
    }
    return changed;
}

bool ChannelActivity::RecordDataGrantUpdate(int32_t channel, int32_t talkgroup)
{
    return OnLine(channel, 0, [&](Line& line) {
        TouchTalkgroup(talkgroup);
        Tick(line);
        if (talkgroup == kNoTalkgroup) {
            Usage(line, "PvtData");
            NoTarget(line);
        } else {
            Usage(line, "GrpData");
            GroupTarget(line, talkgroup, kWithoutHit);
        }
        Flag(line, kFlagData);
        if (talkgroup != kNoTalkgroup)
            ReleaseTargetElsewhere(line, talkgroup);
    });
}

bool ChannelActivity::RecordPrivateDataGrant(int32_t channel, int32_t target, std::string_view status, int32_t source)
{
    const bool changed = OnLine(channel, 0, [&](Line& line) {
        TouchRadio(target);
        TouchRadio(source);
        Tick(line);
        Usage(line, "PvtData");
        if (target == kNoRadio) {
            NoTarget(line);
            line.changed = true;  // a data grant without a target is always a new call
        } else {
            RadioTarget(line, target, kWithHit);
        }
        Source(line, source);
        Flag(line, kFlagData);
        Status(line, status);
    });
    if (changed)
        grantLog_.AddGrantLogEntry("PvtData", channel, kIndividualPriority, status, source, target);
    return changed;
}

bool ChannelActivity::RecordCwid(int32_t channel, std::string_view identification)
{
    const bool changed = OnLine(channel, 0, [&](Line& line) {
        Tick(line);
        if (line.rec.usage != kCwid) {
            Usage(line, kCwid);
            line.rec.status.assign(identification);
            ++line.rec.hits;
            line.changed = true;
        }
        Flag(line, kFlagCwid);
    });
    if (changed)
        grantLog_.AddGrantLogEntry("CWID", channel, kIndividualPriority, identification, 0, 0);
    return changed;
}

bool ChannelActivity::RecordControlChannel(int32_t channel, int32_t txChannel)
{
    return OnLine(channel, txChannel, [&](Line& line) {
        EmptyOtherControlLines(line);
        FreqInfo& rec = line.rec;
        if (rec.usage != kControl || rec.target != 0 || !rec.targetDescription.empty() || !rec.status.empty() ||
            rec.source != 0)
            line.changed = true;
        Usage(line, kControl);
        Flag(line, kFlagControl);
        NoTarget(line);
        rec.status.clear();
        rec.source = 0;
        Tick(line);
    });
}

bool ChannelActivity::RecordAlternateControl(int32_t channelA, int32_t channelB)
{
    LockGuard g(channels_.Lock());  // both lines in one step
    bool changed = OnLine(channelA, 0, [&](Line& line) { Flag(line, kFlagAlternate); });
    if (channelB != channelA)
        changed = OnLine(channelB, 0, [&](Line& line) { Flag(line, kFlagAlternate); }) || changed;
    return changed;
}

bool ChannelActivity::RecordQueued(int32_t target, int32_t source)
{
    const int64_t now = ctx_.time.Now();
    if (now - queuedTime_ <= 0 && target == queuedTarget_ && source == queuedSource_)
        return false;  // the same queued response is logged at most once per second
    queuedTime_ = now;
    queuedTarget_ = target;
    queuedSource_ = source;
    channels_.MarkChanged();
    grantLog_.AddGrantLogEntry("Queued", kNoChannel, kIndividualPriority, "", source, target);
    return true;
}

bool ChannelActivity::AnyActive()
{
    LockGuard g(channels_.Lock());
    for (int i = 0; i < channels_.Count(); ++i)
        if (!channels_.Record(i).usage.empty())
            return true;
    return false;
}

bool ChannelActivity::ExpireChannelActivity()
{
    LockGuard g(channels_.Lock());
    const int64_t tick = ctx_.time.Tick();
    bool expired = false;
    for (int i = 0; i < channels_.Count(); ++i) {
        FreqInfo& rec = channels_.Record(i);
        if (rec.usage.empty() || tick < ExpiryTick(rec.lastActivity))
            continue;
        if (ctx_.EventsWanted() && IsCallUsage(rec.usage))
            ReportCallEnd(ctx_, rec.usage, rec.target, rec, kEndExpired);
        ClearActivity(rec);  // flags and hits survive
        expired = true;
    }
    if (expired)
        channels_.MarkChanged();
    return expired;
}

std::optional<int32_t> ChannelActivity::EarliestCallActivity()
{
    LockGuard g(channels_.Lock());
    std::optional<int32_t> earliest;
    for (int i = 0; i < channels_.Count(); ++i) {
        const FreqInfo& rec = channels_.Record(i);
        if (!rec.usage.empty() && (!earliest || rec.lastActivity < *earliest))
            earliest = rec.lastActivity;
    }
    return earliest;
}
