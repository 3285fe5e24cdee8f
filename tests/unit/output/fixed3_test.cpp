#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "output/export_writers.h"
#include "readings/record.h"

namespace ravik {
namespace {

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
