#include <gtest/gtest.h>

#include "core/output/output_choices.h"
#include "output_store.h"

namespace ravik {
namespace {

using test::PaintReading;
using test::Reading;

constexpr ReadingSelection kClasses = SelectPositive | SelectNegative | SelectIncomplete;

// Reading numbers of the store below.
enum : int32_t {
    kPos = 1, kNeg, kInc, kIncom, kDots, kNotDone, kPaintCycle,
    kBulk, kThin11, kThin23, kThin03, kThin01, kAlloy23, kSign23, kBulk23, kThin00,
};

ReadingStore SelectionStore() {
    test::TestFile file;
    for (int nibble : {1, 2, 3, 4, 0, 5}) file.add(PaintReading(static_cast<uint16_t>(10 + nibble), nibble));
    sample::RecordSpec paintCycle = PaintReading(20, 1);
    paintCycle.cycleIndex = 2;
    paintCycle.cycleCount = 3;
    file.add(paintCycle);
    file.add(Reading(test::kBulkCode, 30));
    file.add(Reading(test::kThinCode, 40, 1, 1));
    file.add(Reading(test::kThinCode, 41, 2, 3));
    file.add(Reading(test::kThinCode, 42, 0, 3));
    file.add(Reading(test::kThinCode, 43, 0, 1));
    file.add(Reading(test::kAlloyCode, 50, 2, 3));
    file.add(Reading(test::kSignCode, 60, 2, 3));
    file.add(Reading(test::kBulkCode, 31, 2, 3));
    file.add(Reading(test::kThinCode, 44, 0, 0));
    return test::LoadStore(file);
}

Mode ModeOf(int32_t reading) {
    if (reading <= kPaintCycle) return Mode::Paint;
    if (reading == kBulk || reading == kBulk23) return Mode::Bulk;
    if (reading == kAlloy23) return Mode::Alloy;
    if (reading == kSign23) return Mode::Sign;
    return Mode::Thin;
}

// Whether a reading of the store above passes in its own mode's table.
class PassesSelection : public ::testing::Test {
protected:
    bool passes(int32_t reading, ReadingSelection selection, const Settings& settings = {},
                int* readingClass = nullptr) const {
        return ravik::PassesSelection(store, settings, reading, selection, ModeOf(reading), readingClass);
    }
    ReadingStore store = SelectionStore();
};

TEST_F(PassesSelection, PaintClassesPassOnlyWithTheirBox) {
    // The instrument's "..." and "NotDone" have no class of their own in the
    // classification: they count as incomplete.
    const std::pair<int32_t, int> classes[] = {{kPos, 1},   {kNeg, 2},  {kInc, 3},
                                               {kIncom, 4}, {kDots, 4}, {kNotDone, 4}};
    const std::pair<ReadingSelection, int> boxes[] = {
        {SelectPositive, 1}, {SelectNegative, 2}, {SelectIncomplete, 3}};
    for (const auto& [reading, expectedClass] : classes) {
        for (const auto& [box, boxClass] : boxes) {
            int readingClass = -1;
            const bool passed = passes(reading, SelectAll | SelectSubResults | box, {}, &readingClass);
            EXPECT_EQ(readingClass, expectedClass) << reading;
            const bool expected = expectedClass == boxClass || (boxClass == 3 && expectedClass == 4);
            EXPECT_EQ(passed, expected) << "reading " << reading << " box " << box;
        }
        EXPECT_FALSE(passes(reading, SelectAll | SelectSubResults));
    }
    // With the user's ranges lead 1.20 is INC whatever the instrument said.
    Settings user;
    user.pcs = kPcsUser;
    user.neg = 0.7f;
    user.pos = 1.25f;
    int readingClass = -1;
    EXPECT_TRUE(passes(kPos, SelectAll | SelectIncomplete, user, &readingClass));
    EXPECT_EQ(readingClass, 3);
}

TEST_F(PassesSelection, OtherModesPassOnlyWithNegative) {
    for (int32_t reading : {kBulk, kThin11, kAlloy23, kSign23}) {
        int readingClass = -1;
        EXPECT_FALSE(passes(reading, SelectAll | SelectSubResults | SelectPositive | SelectIncomplete, {},
                            &readingClass))
            << reading;
        EXPECT_EQ(readingClass, 2);
        EXPECT_TRUE(passes(reading, SelectAll | SelectSubResults | SelectNegative)) << reading;
    }
}

TEST_F(PassesSelection, FinalResultsKeepOnlyFinishedCycles) {
    const std::pair<int32_t, bool> cases[] = {
        {kThin11, true},  {kThin23, false}, {kThin03, true},      {kThin01, false}, {kThin00, true},
        {kAlloy23, true},  // Alloy is never filtered by its cycle
        {kSign23, false}, {kBulk23, false},
        {kPaintCycle, true},  // Paint counts as 1 of 1
    };
    for (const auto& [reading, passesFinal] : cases) {
        EXPECT_EQ(passes(reading, SelectAll | kClasses), passesFinal) << reading;
        ReadingFields fields;  // as printing and exporting ask, from the formatted fields
        FormatReadingFields(store, {}, reading, store.record(reading), fields);
        EXPECT_EQ(FieldsPassSelection(fields, 0, SelectAll | kClasses, ModeOf(reading), {}), passesFinal) << reading;
        EXPECT_TRUE(passes(reading, SelectAll | kClasses | SelectSubResults)) << reading;
    }
}

TEST_F(PassesSelection, HiddenNeverAndMarkedOnlyWhenAsked) {
    const ReadingSelection all = SelectAll | kClasses | SelectSubResults;
    const ReadingSelection marked = SelectMarked | kClasses | SelectSubResults;
    store.flags(kPos) = Marked;
    store.flags(kBulk) = Hidden;
    store.flags(kThin11) = Hidden | Marked;
    EXPECT_TRUE(passes(kPos, marked));
    EXPECT_FALSE(passes(kNeg, marked));
    EXPECT_TRUE(passes(kNeg, all));
    EXPECT_FALSE(passes(kBulk, all));
    EXPECT_FALSE(passes(kThin11, marked));
}

TEST(OutputChoices, SelectionBitsAndTheNothingTickedNotice) {
    OutputChoices choices;
    EXPECT_EQ(SelectionFrom(choices), SelectAll | kClasses | SelectSubResults);
    choices.markedOnly = true;
    choices.positive = false;
    choices.incomplete = false;
    choices.subResults = false;
    EXPECT_EQ(SelectionFrom(choices), SelectMarked | SelectNegative);

    test::ScriptedPrompter prompter;  // the notice's text is checked from the dialog and the command line
    EXPECT_FALSE(RequireOutputKind(choices, prompter));
    EXPECT_EQ(prompter.boxes().at(0).icon, Icon::Information);
    for (bool OutputChoices::*kind : {&OutputChoices::table, &OutputChoices::lowSpectrum,
                                      &OutputChoices::highSpectrum, &OutputChoices::status}) {
        OutputChoices one;
        one.*kind = true;
        EXPECT_TRUE(RequireOutputKind(one, prompter));
    }
    EXPECT_EQ(prompter.boxes().size(), 1u);
}

}  // namespace
}  // namespace ravik
