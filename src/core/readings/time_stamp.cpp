#include "core/readings/time_stamp.h"

namespace ravik {

ShownTime ShownTimeOf(int64_t instrumentSeconds) {
    const int64_t unixSeconds = instrumentSeconds + kInstrumentEpoch;
    int64_t days = unixSeconds / 86400;
    int64_t secondOfDay = unixSeconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    // Days since 1970-01-01 to a proleptic Gregorian date.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    ShownTime shown;
    shown.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    shown.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    shown.year = yearOfEra + era * 400 + (shown.month <= 2 ? 1 : 0);
    shown.hour = static_cast<int>(secondOfDay / 3600) + 1;
    shown.minute = static_cast<int>(secondOfDay / 60 % 60);
    shown.second = static_cast<int>(secondOfDay % 60);
    return shown;
}

}  // namespace ravik
