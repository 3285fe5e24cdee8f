#pragma once
// Marking readings with the mouse in the table windows: plain, Ctrl and
// Shift presses, drag marking and the double-click that clears every mark.
// Rows are 1-based positions in a mode's list; a row without a reading is
// selected but marks nothing.

#include "core/readings/reading_store.h"

namespace ravik {

enum class PressKind { Plain = 0, Shift = 4, Control = 8 };

// The selection and drag state shared by all table windows.
struct TableSelection {
    int selectedRow = -1;   // the row last clicked, -1 for none
    int selectedMode = -1;  // the mode of the table it lies in, -1 for none
    int anchorRow = -1;     // where a drag stands
    int dragDirection = 0;  // +1, -1 or 0: the direction of the last drag step
    PressKind dragKind = PressKind::Plain;
    // Where the keyboard stands in the selected mode's table: the row last
    // pressed, dragged to or reached with Shift+Up/Down; -1 for none.
    int currentRow = -1;
};

// The reading shown in a row of a mode's table, or 0 when the row holds none.
int32_t ReadingAtRow(const ReadingStore& store, Mode mode, int row);
// The row (from 1) of reading n in a mode's table, or 0 when the mode's list lacks it.
int RowOfReading(const ReadingStore& store, Mode mode, int32_t n);
// The mode and row (from 1) of reading n; false when no list holds it.
bool FindReadingRow(const ReadingStore& store, int32_t n, Mode& mode, int& row);

// Marks a row: a reading that is neither Marked nor Hidden becomes Marked;
// otherwise its Marked bit toggles.
void MarkRow(ReadingStore& store, Mode mode, int row);

// A left press on a row of a mode's table. A press on the header band
// (onHeader) marks nothing: a plain one only clears the mode's marks and
// sets the anchor there.
void PressRow(ReadingStore& store, Mode mode, int row, PressKind kind, bool onHeader,
              TableSelection& selection);

// The pointer moved to row while the left button is held after a plain
// press: every row between the anchor and row is marked in turn. When the
// direction turns, the walk steps back one row first, so that going back
// over rows just marked unmarks them row by row.
void DragToRow(ReadingStore& store, Mode mode, int row, TableSelection& selection);

// Shift+Up (step -1) or Shift+Down (+1): the current row moves one row
// within the mode's readings and the mark follows it, as a Shift press
// there would: every row from the selected row to the new current row is
// Marked. A step back towards the selected row unmarks the row it leaves.
// Without a current row in this table, firstRow (the first row shown) is
// where the keyboard and the selection start.
void ExtendMarkByKey(ReadingStore& store, Mode mode, int step, int firstRow, TableSelection& selection);

// Space: marks the current row as a Ctrl press there would (see MarkRow)
// and makes it the selected row; firstRow as above.
void ToggleCurrentRow(ReadingStore& store, Mode mode, int firstRow, TableSelection& selection);

// A left double-click: clears Marked on every reading and selects the row.
void DoubleClickRow(ReadingStore& store, Mode mode, int row, TableSelection& selection);

}  // namespace ravik
