#include <gtest/gtest.h>

#include "make-sample/record_builder.h"
#include "core/readings/mode_codes.h"
#include "core/readings/record.h"
#include "core/readings/spectrum_decoder.h"
#include "core/readings/time_stamp.h"

namespace ravik {
namespace {

TEST(NumberCodecs, PackedWordsAndFloats) {
    // 0x1234: mantissa 0x123 = 291, exponent 4 -> 4656.
    EXPECT_DOUBLE_EQ(PackedMilli(0x1234), 4.656);
    EXPECT_DOUBLE_EQ(PackedTenth(0x1234), 465.6);
    EXPECT_DOUBLE_EQ(PackedTenth(0x9234), -465.6);  // sign bit
    EXPECT_DOUBLE_EQ(PackedTenth(0x001F), 3276.8);  // mantissa 1, exponent 15
    EXPECT_DOUBLE_EQ(PackedTenth(0x7FF0), 204.7);   // largest mantissa, exponent 0
    EXPECT_DOUBLE_EQ(PackedTenth(0x8000), 0.0);     // negative zero reads as 0
    // The test files' encoder and the decoder agree.
    for (double value : {0.7, 12.5, -3.2}) EXPECT_DOUBLE_EQ(PackedTenth(sample::PackTenth(value)), value);

    // Floats below 1e-5, negative ones and NaN read as 0.
    const uint8_t floats[][4] = {{0x3F, 0x80, 0, 0}, {0xBF, 0x80, 0, 0}, {0x36, 0x27, 0xC5, 0xAC}, {0x7F, 0xC0, 0, 0}};
    EXPECT_EQ(ReadF32(floats[0]), 1.0f);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(ReadF32(floats[i]), 0.0f) << i;
}

std::vector<int64_t> Shown(int64_t stamp) {
    const ShownTime t = ShownTimeOf(stamp);
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

TEST(TimeStamps, ShowTheCalendarHourPlusOne) {
    // Stamp 0 is 1993-12-31 23:00:00 universal time: hour 24 of that day.
    EXPECT_EQ(Shown(0), (std::vector<int64_t>{1993, 12, 31, 24, 0, 0}));
    // An hour later it is 1994-01-01 00:00 on the calendar: hour 1 of the new day.
    EXPECT_EQ(Shown(3600 + 61), (std::vector<int64_t>{1994, 1, 1, 1, 1, 1}));
    EXPECT_EQ(Shown(int64_t{951782400} - kInstrumentEpoch),  // 2000-02-29 00:00 UTC
              (std::vector<int64_t>{2000, 2, 29, 1, 0, 0}));
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
    EXPECT_TRUE(v55.is(5, CodeEntry::SignCode3));  // 5.x shares the Sign codes
    EXPECT_FALSE(v55.groupOf(15).has_value());      // BulkCode2 does not exist before 6.0
    EXPECT_FALSE(v55.isAlloyLike(-1));

    const ModeCodeTable v60 = ModeCodeTableFor(6.0f);
    EXPECT_EQ(v60.groupOf(15), Mode::Bulk);
    EXPECT_TRUE(v60.isAlloyLike(15));
    EXPECT_EQ(v60.groupOf(21), Mode::Sign);

    // "5.1" itself counts as 5.1 and below, where the code is the mode.
    EXPECT_FALSE(VersionAbove51(5.1f));
    EXPECT_TRUE(VersionAbove51(5.2f));
    EXPECT_EQ(ListModeOfCode(v55, 5.1f, 3), Mode::Alloy);
    EXPECT_EQ(ListModeOfCode(v55, 5.0f, 9), Mode::Paint);
}

// A layout announcing more channels than the record holds: a spectrum that
// reaches past the record is absent, and the export lowers the counts to
// what is there instead of reading past the record.
TEST(SpectrumDecoder, ChannelsAnnouncedPastTheRecordAreNeverRead) {
    sample::RecordSpec recordSpec;
    recordSpec.spectrum.lowChannels = 200;
    recordSpec.spectrum.highChannels = 200;
    recordSpec.spectrum.region3Channels = 50;
    recordSpec.spectrum.channelWords.assign(300, 0x1A13);
    const std::vector<uint8_t> record = sample::BuildRecord(recordSpec);
    EXPECT_EQ(DecodeSpectrum(record, SpectrumKind::Low).size(), 200u);
    EXPECT_TRUE(DecodeSpectrum(record, SpectrumKind::High).empty());
    const std::vector<float> exported = DecodeSpectraForExport(record);
    ASSERT_EQ(exported.size(), 13u + 300u);
    EXPECT_EQ(std::vector<float>(exported.begin() + 1, exported.begin() + 5), (std::vector<float>{200, 100, 0, 0}));
}

}  // namespace
}  // namespace ravik
