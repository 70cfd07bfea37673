#include "platform/Clock.h"

int64_t Clock::Now() const
{
    return static_cast<int64_t>(std::time(nullptr));
}

const Clock& Clock::System()
{
    static const Clock clock;
    return clock;
}

std::tm Clock::Local(int64_t unixTime)
{
    std::tm out{};
    const std::time_t t = static_cast<std::time_t>(unixTime);
    localtime_r(&t, &out);
    return out;
}
