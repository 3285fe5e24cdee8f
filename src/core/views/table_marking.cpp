#include "core/views/table_marking.h"

#include <algorithm>
#include <cstdlib>

namespace ravik {

namespace {

void ClearModeMarks(ReadingStore& store, Mode mode) {
    for (int32_t n : store.list(mode)) store.flags(n) &= ~uint32_t{Marked};
}

void SetMarked(ReadingStore& store, Mode mode, int row) {
    if (const int32_t n = ReadingAtRow(store, mode, row)) store.flags(n) |= Marked;
}

// The row the keyboard stands on in a mode's table; firstRow, made the
// selected row too, when it stands in none there.
int KeyboardRow(Mode mode, int firstRow, TableSelection& selection) {
    if (selection.selectedMode == Index(mode) && selection.currentRow >= 1) return selection.currentRow;
    selection.selectedMode = Index(mode);
    selection.selectedRow = selection.currentRow = firstRow;
    return firstRow;
}

}  // namespace

int32_t ReadingAtRow(const ReadingStore& store, Mode mode, int row) {
    const ModeList& list = store.list(mode);
    if (row < 1 || row > static_cast<int>(list.size())) return 0;
    return list[static_cast<size_t>(row - 1)];
}

int RowOfReading(const ReadingStore& store, Mode mode, int32_t n) {
    const ModeList& list = store.list(mode);
    const auto found = std::find(list.begin(), list.end(), n);
    return found == list.end() ? 0 : static_cast<int>(found - list.begin()) + 1;
}

bool FindReadingRow(const ReadingStore& store, int32_t n, Mode& mode, int& row) {
    for (Mode m : kAllModes) {
        const int found = RowOfReading(store, m, n);
        if (found == 0) continue;
        mode = m;
        row = found;
        return true;
    }
    return false;
}

void MarkRow(ReadingStore& store, Mode mode, int row) {
    const int32_t n = ReadingAtRow(store, mode, row);
    if (n == 0) return;
    uint32_t& flags = store.flags(n);
    flags = (flags & (Marked | Hidden)) == 0 ? flags | Marked : flags ^ Marked;
}

void PressRow(ReadingStore& store, Mode mode, int row, PressKind kind, bool onHeader,
              TableSelection& selection) {
    if (selection.selectedMode != Index(mode)) selection.selectedRow = -1;
    switch (kind) {
        case PressKind::Control:
            if (onHeader) break;
            selection.selectedRow = row;
            MarkRow(store, mode, row);
            selection.dragKind = PressKind::Control;
            break;
        case PressKind::Shift:
            if (onHeader) break;
            if (selection.selectedRow == -1) selection.selectedRow = row;
            for (int r = std::min(selection.selectedRow, row); r <= std::max(selection.selectedRow, row); ++r) {
                SetMarked(store, mode, r);
            }
            selection.dragKind = PressKind::Shift;
            break;
        case PressKind::Plain:
            ClearModeMarks(store, mode);
            selection.selectedRow = row;
            selection.anchorRow = row;
            // A new drag starts without a direction; a direction left over
            // from the last drag would step back over the pressed row.
            selection.dragDirection = 0;
            if (!onHeader) MarkRow(store, mode, row);
            selection.dragKind = PressKind::Plain;
            break;
    }
    selection.currentRow = onHeader ? -1 : row;
    selection.selectedMode = Index(mode);
}

void DragToRow(ReadingStore& store, Mode mode, int row, TableSelection& selection) {
    if (selection.dragKind != PressKind::Plain || row == selection.anchorRow) return;
    const int direction = row > selection.anchorRow ? 1 : -1;
    if (selection.dragDirection != 0 && direction != selection.dragDirection) {
        row -= direction;
        selection.anchorRow -= direction;
    }
    selection.dragDirection = direction;
    while (selection.anchorRow != row) {
        selection.anchorRow += direction;
        MarkRow(store, mode, selection.anchorRow);
    }
    selection.currentRow = selection.anchorRow;
    selection.selectedMode = Index(mode);
}

void ExtendMarkByKey(ReadingStore& store, Mode mode, int step, int firstRow, TableSelection& selection) {
    const int count = static_cast<int>(store.list(mode).size());
    const int current = KeyboardRow(mode, firstRow, selection);
    if (count == 0) return;
    if (selection.selectedRow < 1) selection.selectedRow = current;
    const int origin = selection.selectedRow;
    const int next = std::clamp(current + step, 1, count);
    if (std::abs(next - origin) < std::abs(current - origin)) {
        if (const int32_t n = ReadingAtRow(store, mode, current)) store.flags(n) &= ~uint32_t{Marked};
    } else {
        for (int r = std::min(origin, next); r <= std::max(origin, next); ++r) SetMarked(store, mode, r);
    }
    selection.currentRow = next;
}

void ToggleCurrentRow(ReadingStore& store, Mode mode, int firstRow, TableSelection& selection) {
    const int row = KeyboardRow(mode, firstRow, selection);
    selection.selectedRow = row;
    MarkRow(store, mode, row);
}

void DoubleClickRow(ReadingStore& store, Mode mode, int row, TableSelection& selection) {
    for (int32_t n = 1; n <= store.readingCount; ++n) store.flags(n) &= ~uint32_t{Marked};
    selection.selectedRow = selection.currentRow = row;
    selection.selectedMode = Index(mode);
}

}  // namespace ravik
