#include "core/platform/clock.h"

#include <chrono>

namespace ravik {

int64_t SystemClock::seconds() {
    using namespace std::chrono;
    return duration_cast<std::chrono::seconds>(system_clock::now().time_since_epoch()).count();
}

int64_t SystemClock::milliseconds() {
    using namespace std::chrono;
    return duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace ravik
