#include <gtest/gtest.h>

#include "platform/text1252.h"

namespace ravik {
namespace {

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

}  // namespace
}  // namespace ravik
