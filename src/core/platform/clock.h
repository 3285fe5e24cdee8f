#pragma once
// The wall clock and tick counts, injectable so that timed waits are tested
// without sleeping.

#include <cstdint>

namespace ravik {

class Clock {
public:
    virtual ~Clock() = default;
    // Time of day in whole seconds (what timed waits of whole seconds watch).
    virtual int64_t seconds() = 0;
    // A monotonic tick count in milliseconds.
    virtual int64_t milliseconds() = 0;
};

class SystemClock final : public Clock {
public:
    int64_t seconds() override;
    int64_t milliseconds() override;
};

}  // namespace ravik
