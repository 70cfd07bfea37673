#include "decoder/NeighborTable.h"

#include <algorithm>

void NeighborTable::Reset()
{
    LockGuard g(lock_);
    count_ = 0;
    changed_ = true;
}

int NeighborTable::CopyNeighbors(NeighborSite* out, int n)
{
    if (n < 0)
        return 0;
    LockGuard g(lock_);
    const int copied = std::min(n, count_);
    std::copy_n(records_.begin(), copied, out);
    changed_ = false;
    return copied;
}
