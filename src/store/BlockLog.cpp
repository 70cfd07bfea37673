#include "store/BlockLog.h"

#include <algorithm>
#include <mutex>

namespace {
// Most descriptions fit, so filling a slot does not allocate; longer ones grow the slot once.
constexpr size_t kReservedText = 160;
}  // namespace

BlockLog::BlockLog(DecoderContext& ctx, const Options& options)
    : ctx_(ctx), options_(options), lock_(options.lockName),
      slots_(static_cast<size_t>(std::max(options.slotCount, 1)))
{
    for (BlockLogEntry& e : slots_)
        e.text.reserve(kReservedText);
}

bool BlockLog::Add(const Tsbk& block, std::string_view text)
{
    if (Gated())
        return false;
    LockGuard g(lock_);
    const int n = count_.load(std::memory_order_relaxed);
    if (n >= options_.slotCount)
        return false;
    if (options_.dropRepeats) {
        if (block == lastBlock_)
            return false;
        lastBlock_ = block;
    }
    BlockLogEntry& slot = slots_[static_cast<size_t>(n)];
    slot.time = ctx_.time.Now();
    slot.block = block;
    slot.text.assign(text);
    count_.store(n + 1);
    changed_.store(true);
    return true;
}

void BlockLog::Clear()
{
    LockGuard g(lock_);
    BlockLogEntry& marker = slots_[0];
    marker.time = 0;
    marker.block.fill(0);
    marker.text.clear();
    count_.store(1);
    changed_.store(true);
}

int BlockLog::Copy(BlockLogEntry* out, int capacity, bool tryOnce)
{
    if (count_.load() == 0 || Gated() || capacity <= 0)
        return 0;
    if (tryOnce) {
        std::unique_lock<NamedLock> g(lock_, std::try_to_lock);
        return g.owns_lock() ? CopyLocked(out, capacity) : 0;
    }
    LockGuard g(lock_);
    return CopyLocked(out, capacity);
}

int BlockLog::CopyLocked(BlockLogEntry* out, int capacity)
{
    const int count = count_.load(std::memory_order_relaxed);
    const int n = std::min(capacity, count);
    for (int i = 0; i < n; ++i)
        out[i] = slots_[static_cast<size_t>(i)];  // copy-assignment reuses the destination's text
    // Rotating keeps every slot's string buffer in the pool.
    std::rotate(slots_.begin(), slots_.begin() + n, slots_.begin() + count);
    count_.store(count - n);
    changed_.store(count - n > 0);
    return n;
}

bool BlockLog::Changed() const
{
    return !Gated() && changed_.load();
}

bool BlockLog::SetEnabled(bool on)
{
    enabled_.store(on);
    return on;
}
