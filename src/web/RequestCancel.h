#pragma once

#include <functional>

// The user's "Cancel" of a web job (the update check, an import with its several requests).
// The exchange running a request installs the abort of that request here; Cancel() aborts it
// at once, and every later request of the job ends at once as cancelled. Main thread only.
class RequestCancel {
public:
    void Cancel();
    bool Cancelled() const { return cancelled_; }

    // HttpExchange: the abort of the request that runs now; an empty function when none runs.
    void SetAbort(std::function<void()> abort) { abort_ = std::move(abort); }

private:
    bool cancelled_ = false;
    std::function<void()> abort_;
};
