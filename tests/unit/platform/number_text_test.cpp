#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "core/output/export_writers.h"
#include "core/platform/number_text.h"
#include "core/platform/text1252.h"
#include "core/readings/record.h"

namespace ravik {
namespace {

std::string Printf(const char* format, double value) {
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The fast texts must equal printf's to the byte, including halfway cases,
// negative zero, huge values and the left-aligned form.
TEST(NumberText, FixedTextEqualsPrintf) {
    std::mt19937_64 random(7);
    std::vector<double> values = {0.0, -0.0, 0.005, 0.015, 0.025, 1.005, 2.675, -0.125, 0.125,
                                  1e300, -1e-300, 4656.0, 6707609.6, 0.7 * 1.5, 1.05};
    for (int i = 0; i < 200000; ++i) {
        const uint64_t bits = random();
        const double value = i % 2 == 0 ? static_cast<float>(static_cast<int>(bits % 2000000) - 1000000) / 1000.0f
                                        : std::bit_cast<double>(bits);
        if (std::isfinite(value)) values.push_back(value);
    }
    const struct { int width, precision; const char* format; } forms[] = {
        {5, 2, "%5.2f"}, {6, 2, "%6.2f"}, {-5, 2, "%-5.2f"}, {5, 0, "%5.0f"}, {6, 0, "%6.0f"},
        {4, 1, "%4.1f"}, {2, 1, "%2.1f"}, {4, 3, "%4.3f"}};
    char fast[kNumberTextBuffer];
    for (double value : values) {
        for (const auto& form : forms) {
            ASSERT_EQ(FixedText(fast, value, form.width, form.precision),
                      Printf(form.format, value).substr(0, kNumberTextBuffer))
                << form.format << " " << value;
        }
    }
}

// Every channel value (PackedMilli words made single precision), the
// special floats and random bit patterns.
TEST(PutFixed3, MatchesPrintfForEveryChannelValueAndAnyFloat) {
    std::vector<float> values = {0.0f, -0.0f, 0.0005f, 0.0015f, 0.0025f, -0.0005f, 1e-40f, 2.5e9f, 1e30f,
                                 -3.4e38f, std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    for (uint32_t word = 0; word <= 0xFFFF; ++word) {
        values.push_back(static_cast<float>(PackedMilli(static_cast<uint16_t>(word))));
    }
    std::mt19937 random(20240517);
    for (int i = 0; i < 200000; ++i) values.push_back(std::bit_cast<float>(static_cast<uint32_t>(random())));
    char text[kFixed3MaxLength + 1];
    for (float value : values) {
        ASSERT_EQ(std::string(text, PutFixed3(text, value)), Printf("%4.3f", value)) << std::bit_cast<uint32_t>(value);
    }
}

TEST(Text1252, RoundTripsEveryDefinedByteAndMarksWhatItCannotMap) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("\xB1\x80"), "\xC2\xB1\xE2\x82\xAC");
    // A CJK character, a cut sequence and a byte that is no UTF-8 become "?".
    EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b" "x\xC3"), "a?bx?");
    EXPECT_EQ(Utf8ToCp1252("\xFF"), "?");
}

}  // namespace
}  // namespace ravik
