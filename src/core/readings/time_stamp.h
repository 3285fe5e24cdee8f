#pragma once
// Instrument time stamps: seconds since 1993-12-31 23:00:00 on the
// universal-time calendar. The hour shown is the calendar hour plus one, so
// the first hour after midnight of a day shows as hour 24 of the day before.

#include <cstdint>

namespace ravik {

inline constexpr int64_t kInstrumentEpoch = 757378800;  // seconds since 1970-01-01

struct ShownTime {
    int64_t year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;   // 1..24
    int minute = 0;
    int second = 0;
};

ShownTime ShownTimeOf(int64_t instrumentSeconds);

}  // namespace ravik
