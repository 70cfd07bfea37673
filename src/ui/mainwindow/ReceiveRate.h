#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>

// What Timer1 shows once a second from the reader's two counters: the share of good blocks among
// the blocks expected, rounded half up, as text (unclamped) and on the bar (at most 100).
struct ReceiveRate {
    int percent = 0;
    int bar = 0;
    QString rateText;    // "Receive Rate (%):"  e.g. " 98% (39 out of 40)"
    QString decodeText;  // status line "Decode:" e.g. " 98%"

    static ReceiveRate From(int32_t good, int32_t expected)
    {
        constexpr int64_t kPercent = 100;
        constexpr int kFull = 100;
        ReceiveRate r;
        // good / expected * 100 + 0.5, truncated; in whole numbers so that a half (41 of 40 is
        // 102.5) rounds up exactly instead of falling a hair short in binary fractions.
        if (expected > 0 && good >= 0)
            r.percent = static_cast<int>((2 * kPercent * good + expected) / (2 * static_cast<int64_t>(expected)));
        r.bar = std::clamp(r.percent, 0, kFull);
        r.rateText = QString::asprintf("%3d%% (%ld out of %ld)", r.percent, static_cast<long>(good),
                                       static_cast<long>(expected));
        r.decodeText = QString::asprintf("%3d%%", r.percent);
        return r;
    }
};
