#include <gtest/gtest.h>

#include "core/views/table_marking.h"

namespace ravik {
namespace {

constexpr uint32_t M = Marked;
constexpr uint32_t H = Hidden;
using Flags = std::vector<uint32_t>;

// Paint rows 1..6 are readings 1..6, Bulk rows 1..2 readings 7..8.
class TableMarking : public ::testing::Test {
protected:
    TableMarking() {
        store.slots.resize(9);
        store.readingCount = 8;
        store.list(Mode::Paint) = {1, 2, 3, 4, 5, 6};
        store.list(Mode::Bulk) = {7, 8};
    }
    void press(int row, PressKind kind, Mode mode = Mode::Paint, bool onHeader = false) {
        PressRow(store, mode, row, kind, onHeader, selection);
    }
    void drag(int row) { DragToRow(store, Mode::Paint, row, selection); }
    // The flags of readings 1..8.
    Flags flags() const {
        Flags all;
        for (int32_t n = 1; n <= store.readingCount; ++n) all.push_back(store.flags(n));
        return all;
    }
    ReadingStore store;
    TableSelection selection;
};

TEST_F(TableMarking, PlainControlAndShiftPresses) {
    store.flags(7) = M;  // a mark in another table stays
    store.flags(2) = M;
    press(3, PressKind::Plain);
    EXPECT_EQ(flags(), (Flags{0, 0, M, 0, 0, 0, M, 0}));

    press(5, PressKind::Control);
    press(3, PressKind::Control);  // takes 3 away again
    EXPECT_EQ(flags(), (Flags{0, 0, 0, 0, M, 0, M, 0}));
    EXPECT_EQ(selection.selectedRow, 3);

    // Shift marks from the last clicked row; marks already set stay set.
    press(6, PressKind::Shift);
    EXPECT_EQ(flags(), (Flags{0, 0, M, M, M, M, M, 0}));
    EXPECT_EQ(selection.dragKind, PressKind::Shift);

    // Clicking another table forgets the selected row: Shift in the Bulk table
    // starts from its own row, not Paint's row 2.
    press(2, PressKind::Plain);
    press(2, PressKind::Shift, Mode::Bulk);
    EXPECT_EQ(flags(), (Flags{0, M, 0, 0, 0, 0, M, M}));
    EXPECT_EQ(selection.selectedMode, Index(Mode::Bulk));
}

TEST_F(TableMarking, HiddenReadingsToggleAndRowsWithoutReadingsMarkNothing) {
    store.flags(4) = H;
    press(4, PressKind::Control);
    EXPECT_EQ(store.flags(4), M | H);  // marked while hidden: Unhide can act on it
    press(4, PressKind::Control);
    EXPECT_EQ(store.flags(4), H);

    press(9, PressKind::Plain);
    EXPECT_EQ(selection.selectedRow, 9);
    press(20, PressKind::Shift);
    EXPECT_EQ(flags(), (Flags{0, 0, 0, H, 0, 0, 0, 0}));
}

TEST_F(TableMarking, DraggingBackUnmarksRowByRow) {
    press(4, PressKind::Plain);
    drag(3);
    drag(2);
    EXPECT_EQ(flags(), (Flags{0, M, M, M, 0, 0, 0, 0}));

    // Turning back: the walk steps back one row and unmarks row 2 first.
    drag(3);
    EXPECT_EQ(flags(), (Flags{0, 0, M, M, 0, 0, 0, 0}));
    drag(3);  // the pointer moves within row 3
    EXPECT_EQ(flags(), (Flags{0, 0, 0, M, 0, 0, 0, 0}));
    drag(6);  // a jump walks every row between
    EXPECT_EQ(flags(), (Flags{0, 0, 0, 0, M, M, 0, 0}));
}

// A new drag does not step back over its pressed row, and only a plain
// press starts a drag.
TEST_F(TableMarking, DragsStartAtAPlainPress) {
    press(4, PressKind::Plain);
    drag(3);  // the last drag went up
    press(2, PressKind::Plain);
    drag(3);  // the new one goes down
    EXPECT_EQ(flags(), (Flags{0, M, M, 0, 0, 0, 0, 0}));

    press(5, PressKind::Control);
    drag(6);
    EXPECT_EQ(flags(), (Flags{0, M, M, 0, M, 0, 0, 0}));
}

// Shift+Up/Down grow the mark from the current row and shrink it stepping
// back; Space toggles the current row. Without a current row in the table
// the keys start at the first shown row (here 2).
TEST_F(TableMarking, KeysExtendShrinkAndToggleFromTheCurrentRow) {
    press(1, PressKind::Plain, Mode::Bulk);
    for (int step : {1, 1, -1}) ExtendMarkByKey(store, Mode::Paint, step, 2, selection);
    ToggleCurrentRow(store, Mode::Paint, 2, selection);
    EXPECT_EQ(flags(), (Flags{0, M, 0, 0, 0, 0, M, 0}));
    for (int step = 0; step < 9; ++step) ExtendMarkByKey(store, Mode::Paint, 1, 2, selection);
    EXPECT_EQ(flags(), (Flags{0, M, M, M, M, M, M, 0}));  // stops at the last row
}

TEST_F(TableMarking, HeaderPressesMarkNothingAndDoubleClicksClearMarks) {
    store.flags(2) = M;
    // Scrolled down by two rows, the header band lies over row 2.
    press(2, PressKind::Control, Mode::Paint, true);
    EXPECT_EQ(store.flags(2), M);
    press(2, PressKind::Plain, Mode::Paint, true);
    EXPECT_EQ(flags(), Flags(8, 0));
    // A drag from the header marks the rows it reaches below it.
    drag(4);
    EXPECT_EQ(flags(), (Flags{0, 0, M, M, 0, 0, 0, 0}));

    // A double-click clears every table's marks but leaves a hidden reading hidden.
    store.flags(3) |= H;
    store.flags(8) = M;
    DoubleClickRow(store, Mode::Bulk, 1, selection);
    EXPECT_EQ(flags(), (Flags{0, 0, H, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace ravik
