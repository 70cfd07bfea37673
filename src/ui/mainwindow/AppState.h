#pragma once

#include <atomic>
#include <cstdint>

// Program-wide values of the desktop program, one instance owned by the main window
// (TForm1::State()). Values that the refresh thread or other threads read are atomics; the
// main thread is the only writer of DecodeRunning, ShuttingDown and PendingThreadEnds.
// The decoder's tick counter is not here: it lives in the decoder (P25Class::Tick), advanced by
// the main window's Timer4.
struct AppState {
    // A decode session runs (between "Read Data From Radio" and "Stop Data Decode").
    std::atomic<bool> DecodeRunning{false};
    // The program is closing: an ended refresh thread is no longer replaced.
    std::atomic<bool> ShuttingDown{false};
    // Thread-end notices the main thread still waits for (main thread only).
    int32_t PendingThreadEnds = 0;

    // The talkgroup the user holds; -1 when nothing is held.
    std::atomic<int32_t> HeldTalkgroup{-1};
    // The target of the activity row last marked as followed; 0 until something is followed (the
    // hold dialog then offers 0), -1 for a followed private call whose called radio is unknown.
    std::atomic<int64_t> LastFollowedTarget{0};

    // Unix seconds of the last periodic or requested write of the per-system files.
    std::atomic<int64_t> LastSystemSave{0};

    // Sort columns of the sortable lists (column index, 0 first).
    std::atomic<int32_t> ActivitySortColumn{0};
    std::atomic<int32_t> AffiliationListSortColumn{0};
    std::atomic<int32_t> AffiliationLogSortColumn{0};
    std::atomic<int32_t> GrantTraceSortColumn{0};

    // Anybody may ask the refresh thread to redraw every view; the thread takes and clears it.
    std::atomic<bool> FullRefreshRequested{false};
};
