#include <gtest/gtest.h>

#include <optional>

#include "core/maintenance/column_title_edit.h"
#include "core/maintenance/sorting.h"
#include "unit/readings/reading_files.h"

namespace ravik {
namespace {

using sample::RecordSpec;
using test::PaintRooms;
using enum SortDirection;
using enum SortComparison;

constexpr int kPaintRoomCell = 6;  // text field 5 (index 4) in the non-Sign layout
constexpr int kPaintFirstElement = 18;

using Order = std::vector<int32_t>;

// The mode's list after sorting it, or nothing when the sort was refused.
std::optional<Order> Sorted(test::LoadedStore& loaded, Mode mode, int column, SortDirection direction,
                            SortComparison comparison) {
    if (!SortModeList(loaded.store, loaded.settings, mode, column, SortChoices{direction, comparison},
                      loaded.prompter)) {
        return std::nullopt;
    }
    return loaded.store.list(mode);
}

TEST(SortModeList, TextSortIsCaseSensitiveAndStableBothWays) {
    test::LoadedStore loaded(PaintRooms({"kitchen", "Bath", "Zebra", "Bath", "attic"}));
    // Upper-case initials come before every lower-case one; the two Baths keep their order.
    EXPECT_EQ(Sorted(loaded, Mode::Paint, kPaintRoomCell, Ascending, Text), (Order{2, 4, 3, 5, 1}));
    EXPECT_EQ(Sorted(loaded, Mode::Paint, kPaintRoomCell, Descending, Text), (Order{1, 5, 3, 2, 4}));
    EXPECT_TRUE(loaded.prompter.boxes().empty());
}

TEST(SortModeList, TextKeysCompareOnlyTheirFirst23Characters) {
    const std::string common = "ABCDEFGHIJKLMNOPQRSTUVW";  // 23 characters
    test::LoadedStore loaded(PaintRooms({common + "Z", common + "A", "AAA"}, "R"));  // room for 26
    EXPECT_EQ(Sorted(loaded, Mode::Paint, kPaintRoomCell, Ascending, Text), (Order{3, 1, 2}));
}

TEST(SortModeList, NumericFixedColumnsReadIntegersAndWordsAsZero) {
    test::TestFile file;
    for (uint16_t number : {10, 9, 100, 9}) file.add(test::PlainReading(6.0f, 6, number));
    test::LoadedStore loaded(file);
    // Room holds no number: every key is 0 and the order stays.
    EXPECT_EQ(Sorted(loaded, Mode::Bulk, 2, Ascending, Numeric), (Order{1, 2, 3, 4}));
    // QVNo as numbers, not as texts ("10" < "100" < "9").
    EXPECT_EQ(Sorted(loaded, Mode::Bulk, 1, Ascending, Numeric), (Order{2, 4, 1, 3}));
    EXPECT_EQ(Sorted(loaded, Mode::Bulk, 1, Ascending, Text), (Order{1, 3, 2, 4}));
}

// One element of these values in every reading of the code.
test::TestFile ElementValues(int code, const char* name, std::initializer_list<double> values) {
    test::TestFile file;
    for (double value : values) {
        RecordSpec recordSpec = test::PlainReading(6.0f, code, 1);
        recordSpec.elements = {test::Element(name, value, 0.1)};
        file.add(recordSpec);
    }
    return file;
}

TEST(SortModeList, ElementValuesDescendingAndPaintValuesAboveRangeAsFive) {
    test::LoadedStore bulk(ElementValues(6, "Zn", {1.5, 32.25, 2.0, 0.0}));
    EXPECT_EQ(Sorted(bulk, Mode::Bulk, 16, Descending, Numeric), (Order{2, 3, 1, 4}));

    // Paint values are the packed number / 1000: 6.0 shows ">>5.0", 4.9984 shows 5.00,
    // and the two have the same key: they keep their order.
    test::LoadedStore paint(ElementValues(0, "Pbl", {6000.0, 4998.4, 1000.0, 4990.0}));
    EXPECT_EQ(Sorted(paint, Mode::Paint, kPaintFirstElement, Ascending, Numeric), (Order{3, 4, 1, 2}));
}

TEST(SortModeList, ColumnZeroAndColumnsPastTheTitlesAreNotSorted) {
    test::LoadedStore loaded(PaintRooms({"b", "a"}));
    for (int column : {0, -1, 22}) {
        EXPECT_EQ(Sorted(loaded, Mode::Paint, column, Ascending, Text), std::nullopt) << column;
    }
    EXPECT_EQ(loaded.store.list(Mode::Paint), (Order{1, 2}));
    EXPECT_EQ(Sorted(loaded, Mode::Bulk, 48, Ascending, Text), std::nullopt);
    EXPECT_EQ(Sorted(loaded, Mode::Bulk, 47, Ascending, Text), Order{});  // empty list
}

Order Numbers(const std::vector<SortEntry>& entries) {
    Order numbers;
    for (const SortEntry& entry : entries) numbers.push_back(entry.readingNumber);
    return numbers;
}

TEST(ExchangeSort, KeysWithinOneAreEqualEvenWhereThatIsNotTransitive) {
    // 2.0 and 0.8 differ by more than 1, but each is "equal" to 1.5 between
    // them, so no neighbours are out of order and nothing moves.
    std::vector<SortEntry> entries = {{2.0f, 1}, {1.5f, 2}, {0.8f, 3}};
    EXPECT_EQ(ExchangeSort(entries, Ascending), 1);
    EXPECT_EQ(Numbers(entries), (Order{1, 2, 3}));

    // 1.234 and 1.239 (x 100) are equal; 125 is one more than 123.9 and moves.
    entries = {{123.9f, 1}, {123.4f, 2}, {125.0f, 3}, {122.0f, 4}};
    ExchangeSort(entries, Ascending);
    EXPECT_EQ(Numbers(entries), (Order{4, 1, 2, 3}));
    ExchangeSort(entries, Descending);
    EXPECT_EQ(Numbers(entries), (Order{3, 1, 2, 4}));
}

TEST(ExchangeSort, ReversedInputTakesOnePassPerEntryAndOneReadingOnePass) {
    std::vector<SortEntry> entries;
    for (int i = 0; i < 6; ++i) entries.push_back({static_cast<float>(6 - i), i + 1});
    std::vector<int> reported;
    EXPECT_EQ(ExchangeSort(entries, Ascending, [&](int done) { reported.push_back(done); }), 6);
    EXPECT_EQ(reported, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Numbers(entries), (Order{6, 5, 4, 3, 2, 1}));

    test::LoadedStore loaded(PaintRooms({"Hall"}));
    int passes = 0;
    ASSERT_TRUE(SortModeList(loaded.store, loaded.settings, Mode::Paint, kPaintRoomCell, {}, loaded.prompter,
                             [&](int done) { passes = done; }));
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(loaded.store.list(Mode::Paint), Order{1});
}

TEST(StoreColumnTitle, KeepsEighteenCharactersOfFixedColumnsOfUnlockedFiles) {
    ReadingStore store;
    EXPECT_TRUE(StoreColumnTitle(store, Mode::Bulk, 6, "Orientation of the wall"));
    EXPECT_EQ(store.titles[Mode::Bulk][6].view(), "Orientation of the");
    EXPECT_TRUE(StoreColumnTitle(store, Mode::Sign, 15, "Batch"));
    EXPECT_EQ(store.titles[Mode::Sign][15].view(), "Batch");
    EXPECT_FALSE(StoreColumnTitle(store, Mode::Bulk, 0, "No"));
    EXPECT_FALSE(StoreColumnTitle(store, Mode::Bulk, 16, "Zn"));
    store.locked = true;
    EXPECT_FALSE(StoreColumnTitle(store, Mode::Bulk, 6, "Side"));
}

}  // namespace
}  // namespace ravik
