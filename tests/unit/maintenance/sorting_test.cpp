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

// Bulk readings of these QV numbers.
test::TestFile QvNumbers(std::initializer_list<uint16_t> numbers) {
    test::TestFile file;
    for (uint16_t number : numbers) file.add(test::PlainReading(6.0f, 6, number));
    return file;
}

TEST(SortModeList, KeysByColumnKindDirectionAndComparison) {
    const std::string common = "ABCDEFGHIJKLMNOPQRSTUVW";  // 23 characters
    struct Case {
        const char* name;
        test::TestFile file;
        Mode mode;
        int column;
        SortDirection direction;
        SortComparison comparison;
        std::optional<Order> sorted;  // nothing: refused
    };
    const test::TestFile rooms = PaintRooms({"kitchen", "Bath", "Zebra", "Bath", "attic"});
    const test::TestFile numbers = QvNumbers({10, 9, 100, 9});
    const Case cases[] = {
        // Upper-case initials come before every lower-case one; the two Baths keep their order.
        {"text up", rooms, Mode::Paint, kPaintRoomCell, Ascending, Text, Order{2, 4, 3, 5, 1}},
        {"text down", rooms, Mode::Paint, kPaintRoomCell, Descending, Text, Order{1, 5, 3, 2, 4}},
        {"first 23 characters", PaintRooms({common + "Z", common + "A", "AAA"}, "R"), Mode::Paint, kPaintRoomCell,
         Ascending, Text, Order{3, 1, 2}},
        {"words as 0: order stays", numbers, Mode::Bulk, 2, Ascending, Numeric, Order{1, 2, 3, 4}},
        {"QVNo as numbers", numbers, Mode::Bulk, 1, Ascending, Numeric, Order{2, 4, 1, 3}},
        {"QVNo as texts", numbers, Mode::Bulk, 1, Ascending, Text, Order{1, 3, 2, 4}},
        {"element values", ElementValues(6, "Zn", {1.5, 32.25, 2.0, 0.0}), Mode::Bulk, 16, Descending, Numeric,
         Order{2, 3, 1, 4}},
        // Paint values are the packed number / 1000: 6.0 shows ">>5.0", 4.9984 shows 5.00,
        // and the two have the same key: they keep their order.
        {"paint above range as 5", ElementValues(0, "Pbl", {6000.0, 4998.4, 1000.0, 4990.0}), Mode::Paint,
         kPaintFirstElement, Ascending, Numeric, Order{3, 4, 1, 2}},
        {"column 0", rooms, Mode::Paint, 0, Ascending, Text, std::nullopt},
        {"column -1", rooms, Mode::Paint, -1, Ascending, Text, std::nullopt},
        {"past Paint's titles", rooms, Mode::Paint, 22, Ascending, Text, std::nullopt},
        {"past Bulk's titles", rooms, Mode::Bulk, 48, Ascending, Text, std::nullopt},
        {"an empty list", rooms, Mode::Bulk, 47, Ascending, Text, Order{}},
    };
    for (const Case& c : cases) {
        test::LoadedStore loaded(c.file);
        const bool sorted = SortModeList(loaded.store, loaded.settings, c.mode, c.column,
                                         SortChoices{c.direction, c.comparison}, loaded.prompter);
        EXPECT_EQ(sorted ? std::optional(loaded.store.list(c.mode)) : std::nullopt, c.sorted) << c.name;
    }
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
