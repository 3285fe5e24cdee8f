#include <gtest/gtest.h>

#include "make-sample/record_builder.h"
#include "readings/mode_codes.h"
#include "readings/record.h"
#include "readings/time_stamp.h"

namespace ravik {
namespace {

TEST(NumberCodecs, PackedWordsDecodeMantissaExponentAndSign) {
    // 0x1234: mantissa 0x123 = 291, exponent 4 -> 4656.
    EXPECT_DOUBLE_EQ(PackedMilli(0x1234), 4.656);
    EXPECT_DOUBLE_EQ(PackedTenth(0x1234), 465.6);
    EXPECT_DOUBLE_EQ(PackedTenth(0x9234), -465.6);  // sign bit
    EXPECT_DOUBLE_EQ(PackedTenth(0x0010), 0.1);     // mantissa 1, exponent 0
    EXPECT_DOUBLE_EQ(PackedTenth(0x001F), 3276.8);  // mantissa 1, exponent 15
    EXPECT_DOUBLE_EQ(PackedTenth(0x7FF0), 204.7);   // largest mantissa
    EXPECT_DOUBLE_EQ(PackedTenth(0x8000), 0.0);     // negative zero reads as 0
}

TEST(NumberCodecs, EncoderFindsTheWordTheDecoderReadsBack) {
    // Exact where the value has a whole number of tenths within the mantissa,
    // otherwise within the word's resolution.
    for (double value : {0.0, 0.7, 1.0, 12.5, 204.7, -3.2}) {
        EXPECT_DOUBLE_EQ(PackedTenth(sample::PackTenth(value)), value) << value;
    }
    EXPECT_NEAR(PackedTenth(sample::PackTenth(1234.0)), 1234.0, 0.8);
    EXPECT_DOUBLE_EQ(PackedMilli(sample::PackMilli(4.656)), 4.656);
}

TEST(NumberCodecs, FloatsBelowOneHundredThousandthReadAsZero) {
    const uint8_t one[4] = {0x3F, 0x80, 0x00, 0x00};
    const uint8_t negative[4] = {0xBF, 0x80, 0x00, 0x00};
    const uint8_t tiny[4] = {0x36, 0x27, 0xC5, 0xAC};  // 2.5e-6
    const uint8_t nan[4] = {0x7F, 0xC0, 0x00, 0x00};
    EXPECT_EQ(ReadF32(one), 1.0f);
    EXPECT_EQ(ReadF32(negative), 0.0f);
    EXPECT_EQ(ReadF32(tiny), 0.0f);
    EXPECT_EQ(ReadF32(nan), 0.0f);
}

TEST(TimeStamps, ShowTheCalendarHourPlusOne) {
    // Stamp 0 is 1993-12-31 23:00:00 universal time: shown as hour 24.
    ShownTime zero = ShownTimeOf(0);
    EXPECT_EQ(zero.year, 1993);
    EXPECT_EQ(zero.month, 12);
    EXPECT_EQ(zero.day, 31);
    EXPECT_EQ(zero.hour, 24);
    // One hour later is 1994-01-01 00:00 on the calendar: hour 1 of the new day.
    ShownTime later = ShownTimeOf(3600 + 61);
    EXPECT_EQ(later.year, 1994);
    EXPECT_EQ(later.month, 1);
    EXPECT_EQ(later.day, 1);
    EXPECT_EQ(later.hour, 1);
    EXPECT_EQ(later.minute, 1);
    EXPECT_EQ(later.second, 1);
    // A leap day and the largest stamp.
    ShownTime leap = ShownTimeOf(int64_t{951782400} - kInstrumentEpoch);  // 2000-02-29 00:00 UTC
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
    EXPECT_EQ(ShownTimeOf(0xFFFFFFFF).year, 2130);
}

TEST(ModeWords, LayoutAndCodeTableFollowTheVersion) {
    // Word 0x2200 read with 5.5: code 512, source bits 1; with 5.2: code 512, bits 2.
    EXPECT_EQ(ModeWordLayoutFor(5.5f).code(0x2200), 512);
    EXPECT_EQ(ModeWordLayoutFor(5.5f).sourceBits(0x2200), 1);
    EXPECT_EQ(ModeWordLayoutFor(5.2f).code(0x2200), 512);
    EXPECT_EQ(ModeWordLayoutFor(5.2f).sourceBits(0x2200), 2);

    const ModeCodeTable v55 = ModeCodeTableFor(5.5f);
    EXPECT_EQ(v55.groupOf(512), Mode::Alloy);
    EXPECT_EQ(v55.groupOf(8), Mode::Bulk);
    EXPECT_EQ(v55.groupOf(5), Mode::Sign);
    EXPECT_TRUE(v55.is(5, CodeEntry::SignCode3));  // 5.x shares the Sign codes
    EXPECT_FALSE(v55.groupOf(15).has_value());      // BulkCode2 does not exist before 6.0
    EXPECT_FALSE(v55.isAlloyLike(-1));

    const ModeCodeTable v60 = ModeCodeTableFor(6.0f);
    EXPECT_EQ(v60.groupOf(15), Mode::Bulk);
    EXPECT_TRUE(v60.isAlloyLike(15));
    EXPECT_FALSE(v60.groupOf(17).has_value());  // SpareCode1
    EXPECT_EQ(v60.groupOf(21), Mode::Sign);
    EXPECT_EQ(ListModeOfCode(v60, 6.0f, 17), Mode::Paint);

    // "5.1" itself counts as 5.1 and below, where the code is the mode.
    EXPECT_FALSE(VersionAbove51(5.1f));
    EXPECT_TRUE(VersionAbove51(5.2f));
    EXPECT_EQ(ListModeOfCode(v55, 5.1f, 3), Mode::Alloy);
    EXPECT_EQ(ListModeOfCode(v55, 5.0f, 9), Mode::Paint);
}

}  // namespace
}  // namespace ravik
