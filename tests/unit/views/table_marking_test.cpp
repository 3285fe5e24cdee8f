#include <gtest/gtest.h>

#include "views/table_marking.h"

namespace ravik {
namespace {

// Paint rows 1..6 are readings 1..6, Bulk rows 1..2 readings 7..8.
ReadingStore SmallStore() {
    ReadingStore store;
    store.slots.resize(9);
    store.readingCount = 8;
    store.list(Mode::Paint) = {1, 2, 3, 4, 5, 6};
    store.list(Mode::Bulk) = {7, 8};
    return store;
}

// The flags of readings 1..8.
std::vector<uint32_t> Flags(const ReadingStore& store) {
    std::vector<uint32_t> flags;
    for (int32_t n = 1; n <= store.readingCount; ++n) flags.push_back(store.flags(n));
    return flags;
}

constexpr uint32_t M = Marked;
constexpr uint32_t H = Hidden;

TEST(TableMarking, PlainControlAndShiftPresses) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    store.flags(7) = M;  // a mark in another table stays
    store.flags(2) = M;

    PressRow(store, Mode::Paint, 3, PressKind::Plain, false, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, M, 0, 0, 0, M, 0}));
    EXPECT_EQ(selection.selectedRow, 3);
    EXPECT_EQ(selection.selectedMode, Index(Mode::Paint));

    PressRow(store, Mode::Paint, 5, PressKind::Control, false, selection);
    PressRow(store, Mode::Paint, 3, PressKind::Control, false, selection);  // takes 3 away again
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, 0, 0, M, 0, M, 0}));
    EXPECT_EQ(selection.selectedRow, 3);

    // Shift marks from the last clicked row; marks already set stay set.
    PressRow(store, Mode::Paint, 6, PressKind::Shift, false, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, M, M, M, M, M, 0}));
    EXPECT_EQ(selection.selectedRow, 3);
    EXPECT_EQ(selection.dragKind, PressKind::Shift);
}

TEST(TableMarking, HiddenReadingsToggleAndRowsWithoutReadingsMarkNothing) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    store.flags(4) = H;
    PressRow(store, Mode::Paint, 4, PressKind::Control, false, selection);
    EXPECT_EQ(store.flags(4), M | H);  // marked while hidden: Unhide can act on it
    PressRow(store, Mode::Paint, 4, PressKind::Control, false, selection);
    EXPECT_EQ(store.flags(4), H);

    PressRow(store, Mode::Paint, 9, PressKind::Plain, false, selection);
    EXPECT_EQ(selection.selectedRow, 9);
    PressRow(store, Mode::Paint, 20, PressKind::Shift, false, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, 0, H, 0, 0, 0, 0}));
}

TEST(TableMarking, ClickingAnotherTableForgetsTheSelectedRow) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    PressRow(store, Mode::Paint, 2, PressKind::Plain, false, selection);
    // Shift in the Bulk table starts from its own row, not Paint's row 2.
    PressRow(store, Mode::Bulk, 2, PressKind::Shift, false, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, M, 0, 0, 0, 0, 0, M}));
    EXPECT_EQ(selection.selectedRow, 2);
    EXPECT_EQ(selection.selectedMode, Index(Mode::Bulk));
}

TEST(TableMarking, DraggingBackUnmarksRowByRow) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    PressRow(store, Mode::Paint, 4, PressKind::Plain, false, selection);
    DragToRow(store, Mode::Paint, 3, selection);
    DragToRow(store, Mode::Paint, 2, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, M, M, M, 0, 0, 0, 0}));

    // Turning back: the walk steps back one row and unmarks row 2 first.
    DragToRow(store, Mode::Paint, 3, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, M, M, 0, 0, 0, 0}));
    DragToRow(store, Mode::Paint, 3, selection);  // the pointer moves within row 3
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, 0, M, 0, 0, 0, 0}));
    DragToRow(store, Mode::Paint, 6, selection);  // a jump walks every row between
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, 0, 0, M, M, 0, 0}));
}

TEST(TableMarking, ANewDragDoesNotStepBackOverThePressedRow) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    PressRow(store, Mode::Paint, 4, PressKind::Plain, false, selection);
    DragToRow(store, Mode::Paint, 3, selection);  // the last drag went up
    PressRow(store, Mode::Paint, 2, PressKind::Plain, false, selection);
    DragToRow(store, Mode::Paint, 3, selection);  // the new one goes down
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, M, M, 0, 0, 0, 0, 0}));
}

TEST(TableMarking, OnlyAPlainPressStartsADrag) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    PressRow(store, Mode::Paint, 2, PressKind::Control, false, selection);
    DragToRow(store, Mode::Paint, 4, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, M, 0, 0, 0, 0, 0, 0}));
}

TEST(TableMarking, HeaderPressesMarkNothing) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    store.flags(2) = M;
    // Scrolled down by two rows, the header band lies over row 2.
    PressRow(store, Mode::Paint, 2, PressKind::Control, true, selection);
    EXPECT_EQ(store.flags(2), M);
    PressRow(store, Mode::Paint, 2, PressKind::Plain, true, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>(8, 0)));
    // A drag from the header marks the rows it reaches below it.
    DragToRow(store, Mode::Paint, 4, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, M, M, 0, 0, 0, 0}));
}

TEST(TableMarking, DoubleClickClearsEveryMarkAndSelectsTheRow) {
    ReadingStore store = SmallStore();
    TableSelection selection;
    store.flags(1) = M;
    store.flags(3) = M | H;
    store.flags(8) = M;
    DoubleClickRow(store, Mode::Bulk, 1, selection);
    EXPECT_EQ(Flags(store), (std::vector<uint32_t>{0, 0, H, 0, 0, 0, 0, 0}));
    EXPECT_EQ(selection.selectedRow, 1);
    EXPECT_EQ(selection.selectedMode, Index(Mode::Bulk));
}

}  // namespace
}  // namespace ravik
