#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "core/output/export_writers.h"
#include "core/platform/number_text.h"
#include "core/platform/text1252.h"
#include "core/readings/record.h"

namespace ravik {
namespace {

// The fast texts must equal printf's to the byte, including halfway cases,
// negative zero, huge values and the left-aligned form.
TEST(NumberText, FixedTextEqualsPrintf) {
    std::mt19937_64 random(7);
    std::vector<double> values = {0.0, -0.0, 0.005, 0.015, 0.025, 1.005, 2.675, -0.125, 0.125,
                                  1e300, -1e-300, 4656.0, 6707609.6, 0.7 * 1.5, 1.05};
    for (int i = 0; i < 200000; ++i) {
        const uint64_t bits = random();
        double value;
        if (i % 2 == 0) {
            value = static_cast<double>(static_cast<float>(static_cast<int>(bits % 2000000) - 1000000) / 1000.0f);
        } else {
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value)) continue;
        }
        values.push_back(value);
    }
    const struct { int width, precision; const char* format; } forms[] = {
        {5, 2, "%5.2f"}, {6, 2, "%6.2f"}, {-5, 2, "%-5.2f"}, {5, 0, "%5.0f"}, {6, 0, "%6.0f"},
        {4, 1, "%4.1f"}, {2, 1, "%2.1f"}, {4, 3, "%4.3f"}};
    char fast[kNumberTextBuffer];
    char slow[512];
    for (double value : values) {
        for (const auto& form : forms) {
            std::snprintf(slow, sizeof slow, form.format, value);
            ASSERT_EQ(FixedText(fast, value, form.width, form.precision),
                      std::string_view(slow).substr(0, kNumberTextBuffer))
                << form.format << " " << value;
        }
    }
}

TEST(Text1252, RoundTripsEveryDefinedByteThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("\xB1"), "\xC2\xB1");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
}

TEST(Text1252, UnmappableAndBrokenUtf8BecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK character
    EXPECT_EQ(Utf8ToCp1252("x\xC3"), "x?");               // cut sequence
    EXPECT_EQ(Utf8ToCp1252("\xFF"), "?");
}

std::string Printf(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%4.3f", static_cast<double>(value));
    return text;
}

std::string Fast(float value) {
    char text[kFixed3MaxLength + 1];
    return std::string(text, PutFixed3(text, value));
}

TEST(PutFixed3, MatchesPrintfForEveryChannelValueAndAnyFloat) {
    // Channel values are PackedMilli words made single precision.
    for (uint32_t word = 0; word <= 0xFFFF; ++word) {
        const auto value = static_cast<float>(PackedMilli(static_cast<uint16_t>(word)));
        ASSERT_EQ(Fast(value), Printf(value)) << "word " << word;
    }
    const float special[] = {0.0f, -0.0f, 0.0005f, 0.0015f, 0.0025f, -0.0005f, 1e-40f, 2.5e9f, 1e30f,
                             -3.4e38f, std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    for (float value : special) EXPECT_EQ(Fast(value), Printf(value)) << value;
    std::mt19937 random(20240517);
    for (int i = 0; i < 200000; ++i) {
        const auto value = std::bit_cast<float>(static_cast<uint32_t>(random()));
        ASSERT_EQ(Fast(value), Printf(value)) << std::bit_cast<uint32_t>(value);
    }
}

}  // namespace
}  // namespace ravik
