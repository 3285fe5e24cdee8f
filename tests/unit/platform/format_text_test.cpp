#include "core/platform/format_text.h"

#include <gtest/gtest.h>

namespace ravik {

// Texts are whole whatever their length: short ones come from the small
// buffer, longer ones are formatted again at their full length.
TEST(FormatText, KeepsEveryCharacterOfShortAndLongTexts) {
    EXPECT_EQ(FormatText("Truncate at Reading #%d", 42), "Truncate at Reading #42");
    EXPECT_EQ(FormatText("%s", ""), "");
    for (const size_t length : {255u, 256u, 257u, 5000u}) {
        const std::string longText(length, 'x');
        EXPECT_EQ(FormatText("%s!", longText.c_str()), longText + "!") << length;
    }
}

}  // namespace ravik
