#pragma once

#include <atomic>

#include "persist/StoreNotice.h"

class P25Class;

// How a headless run reports the problems of the files it keeps: one line on standard error for
// each (the file and the reason), and a save that failed ends the run with status 2.
class StoreReport {
public:
    StoreReport() = default;
    StoreReport(const StoreReport&) = delete;
    StoreReport& operator=(const StoreReport&) = delete;

    // Reports the per-system files of the decoder's store from now on (from any thread).
    void Attach(P25Class& decoder);
    void Report(const StoreNotice& notice);

    bool SaveFailed() const { return saveFailed_.load(); }
    // `status`, or 2 when a save failed and nothing worse was reported.
    int ExitStatus(int status) const { return status == 0 && SaveFailed() ? 2 : status; }

private:
    std::atomic<bool> saveFailed_{false};
};
