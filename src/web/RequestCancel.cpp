#include "web/RequestCancel.h"

#include <utility>

void RequestCancel::Cancel()
{
    cancelled_ = true;
    // The abort may end the request's wait, which clears the hook: it is taken out first.
    if (const std::function<void()> abort = std::exchange(abort_, {}))
        abort();
}
