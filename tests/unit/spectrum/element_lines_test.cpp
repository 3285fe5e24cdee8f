#include <gtest/gtest.h>
#include <xraylib.h>

#include <algorithm>
#include <cmath>

#include "core/views/element_lines.h"

namespace ravik {
namespace {

double Energy(int z, int line) { return LineEnergy(z, line, nullptr); }

const ElementCandidate* Find(const std::vector<ElementCandidate>& found, int z) {
    const auto at = std::ranges::find(found, z, &ElementCandidate::z);
    return at == found.end() ? nullptr : &*at;
}

bool HasLine(const std::vector<XrayLine>& lines, double keV) {
    return std::ranges::any_of(lines, [keV](const XrayLine& line) { return line.keV == keV; });
}

// Each click lists the element by its line at the library's energy, among
// the candidates ranked by weight, with the other lines inside the range
// as confirmation.
TEST(ElementLines, CandidatesByTheLibrarysLines) {
    struct Case {
        const char* name;
        double click;
        int z;
        int line;
        int confirming;  // a line expected among the confirming ones
        size_t maxRank;  // where the element stands at worst (a beta line among the first ten)
    } cases[] = {
        {"Pb by L-alpha", 10.55, 82, LA1_LINE, LB1_LINE, 1},
        {"As by K-alpha", 10.55, 33, KL3_LINE, KM3_LINE, 0},
        {"Pb by L-beta", 12.61, 82, LB1_LINE, LA1_LINE, 9},
        {"Cu by K-alpha", 8.04, 29, KL3_LINE, KM3_LINE, 0},
        {"Zn by K-alpha", 8.63, 30, KL3_LINE, KM3_LINE, 0},
        {"Zn by K-beta", 9.57, 30, KM3_LINE, KL3_LINE, 9},
    };
    const XrayLineTable& table = XrayLineTable::Instance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ElementCandidate> found = table.candidates(c.click, 0, 25);
        const ElementCandidate* candidate = Find(found, c.z);
        ASSERT_NE(candidate, nullptr);
        EXPECT_LE(static_cast<size_t>(candidate - found.data()), c.maxRank);
        EXPECT_DOUBLE_EQ(candidate->matched.keV, Energy(c.z, c.line));
        EXPECT_LE(candidate->distanceKeV, kLineMatchToleranceKeV);
        EXPECT_TRUE(HasLine(candidate->confirming, Energy(c.z, c.confirming)));
        for (size_t i = 1; i < found.size(); ++i) EXPECT_GE(found[i - 1].matched.weight, found[i].matched.weight);
    }
    // Confirming lines stay inside the asked range.
    const ElementCandidate* pb = Find(table.candidates(10.55, 10, 13), 82);
    ASSERT_NE(pb, nullptr);
    EXPECT_FALSE(HasLine(pb->confirming, Energy(82, LG1_LINE)));  // 14.76 keV
}

// Bad questions give empty answers, and building the table (which asks the
// library for lines some elements lack) prints nothing.
TEST(ElementLines, BadQuestionsAndSymbols) {
    testing::internal::CaptureStderr();
    const XrayLineTable table;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(table.candidates(NAN, 0, 25).empty());
    EXPECT_TRUE(table.linesOf(200, 0, 100).empty());
    EXPECT_EQ(ParseElementList(" pb, CU ,Pb"), (std::vector<int>{82, 29}));
    std::string unknown;
    for (const char* list : {"Pb,Xx", "", "Pb,", "Lead"}) EXPECT_FALSE(ParseElementList(list, &unknown)) << list;
    EXPECT_EQ(unknown, "Lead");
}

}  // namespace
}  // namespace ravik
