#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/number_text.h"

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

}  // namespace
}  // namespace ravik
