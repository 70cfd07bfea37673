// The count of changes a thread sleeps on: a raise from another thread always wakes the
// sleeper, whether it comes before or while it sleeps.
#include "platform/ChangeNotice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(ChangeNotice, ARaiseIsNeverMissed)
{
    ChangeNotice notice;
    // Raised before the sleep: the wait returns at once.
    const uint64_t seen = notice.Count();
    notice.Raise();
    notice.WaitPast(seen);
    EXPECT_FALSE(notice.WaitPastFor(notice.Count(), 20ms));  // nothing new: the time runs out

    // Raised by another thread at every moment around the sleeper's look: each round ends.
    for (int round = 0; round < 2000; ++round) {
        const uint64_t before = notice.Count();
        std::thread raiser([&] { notice.Raise(); });
        EXPECT_TRUE(notice.WaitPastFor(before, 5s)) << "round " << round;
        raiser.join();
    }
}

}  // namespace
