#include "site/IdentifierTable.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Band plans used until the site sends its own identifier updates, so that 800 MHz (identifier 0)
// and 700 MHz (identifier 1) channels show sensible frequencies from the first grant on.
constexpr IdentifierEntry kBand800{851.00625, -45.0, 0.00625, 0.0125, true};
constexpr IdentifierEntry kBand700{764.0, 30.0, 0.00625, 0.0125, true};

bool SameEntry(const IdentifierEntry& a, const IdentifierEntry& b)
{
    return a.base == b.base && a.txOffset == b.txOffset && a.spacing == b.spacing && a.bandwidth == b.bandwidth &&
           a.assumed == b.assumed;
}

// Channel texts with their frequency kept per thread, and the mark of an unused slot.
constexpr uint32_t kPrintedSlots = 256;
constexpr int32_t kNoEntry = INT32_MIN;

bool InChannelRange(int32_t channel)
{
    return channel >= 0 && channel <= 0xFFFF;
}

}  // namespace

IdentifierTable::IdentifierTable()
{
    Reset();
}

void IdentifierTable::Reset()
{
    LockGuard g(lock_);
    entries_.fill(IdentifierEntry{});
    entries_[0] = kBand800;
    entries_[1] = kBand700;
    changed_ = true;
}

bool IdentifierTable::StoreIdentifier(int identifier, const IdentifierEntry& entry)
{
    if (identifier < 0 || identifier >= kCount)
        return false;
    LockGuard g(lock_);

    // The built-in plans give way to the site's own table as soon as any of it arrives. Clearing a
    // plan alters frequencies, so it counts as a change: otherwise the screens and the channel
    // records would keep showing the old plan's frequencies.
    for (IdentifierEntry& e : entries_) {
        if (e.assumed && (e.base != 0.0 || e.txOffset != 0.0 || e.spacing != 0.0 || e.bandwidth != 0.0)) {
            e = IdentifierEntry{};
            changed_ = true;
        }
    }

    IdentifierEntry& stored = entries_[identifier];
    if (!SameEntry(stored, entry)) {
        stored = entry;
        stored.assumed = false;
        changed_ = true;
    }

    if (changed_ && listener_ != nullptr)
        listener_->IdentifiersChanged();  // takes "FREQUENCY" inside "BSOLOCK"
    return changed_;
}

bool IdentifierTable::CopyIdentifiers(IdentifierEntry* out, int n)
{
    if (n < 1 || out == nullptr)
        return false;
    LockGuard g(lock_);
    const int copied = n < kCount ? n : kCount;
    for (int i = 0; i < copied; ++i)
        out[i] = entries_[i];
    changed_ = false;
    return true;
}

double IdentifierTable::ChannelRxFrequency(int32_t channel) const
{
    if (!InChannelRange(channel))
        return 0.0;
    const IdentifierEntry& e = entries_[channel >> 12];
    return e.base + (channel & 0xFFF) * e.spacing;
}

double IdentifierTable::ChannelTxFrequency(int32_t channel) const
{
    if (!InChannelRange(channel))
        return 0.0;
    return ChannelRxFrequency(channel) + entries_[channel >> 12].txOffset;
}

std::string IdentifierTable::ChannelText(int32_t channel, bool withFrequency, bool transmitSide) const
{
    // Arithmetic on the signed value keeps an out-of-range number printable ("-1-4095").
    const int identifier = channel >> 12;
    const int number = channel & 0xFFF;
    char text[64];
    if (!withFrequency) {
        std::snprintf(text, sizeof text, "%d-%04d", identifier, number);
    } else {
        const double mhz =
            (transmitSide && channel != kNoChannel) ? ChannelTxFrequency(channel) : ChannelRxFrequency(channel);
        // Nearly every grant and broadcast names a channel, and a site uses few of them: printing
        // the frequency is the costly part, so the last texts are kept per thread, found by the
        // channel and the exact frequency they were printed from.
        struct Printed {
            int32_t channel = kNoEntry;
            double mhz = 0.0;
            std::string text;
        };
        thread_local std::array<Printed, kPrintedSlots> printed;
        Printed& slot = printed[static_cast<uint32_t>(channel ^ (channel >> 8)) % kPrintedSlots];
        if (slot.channel != channel || std::memcmp(&slot.mhz, &mhz, sizeof mhz) != 0) {
            std::snprintf(text, sizeof text, "%d-%04d(%3.05f)", identifier, number, mhz);
            slot.channel = channel;
            slot.mhz = mhz;
            slot.text = text;
        }
        return slot.text;
    }
    return text;
}
