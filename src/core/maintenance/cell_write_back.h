#pragma once
// Writing an edited text cell back into the reading's record, so that
// FormatReadingFields shows the new value in the same cell.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/readings/record.h"

namespace ravik {

struct ReadingStore;

// True when the reading's text cells are laid out as a Sign reading's: its
// code is a Sign code of the store's ModeCodeTable, or, in files of version
// 5.1 and below where the code is the mode itself, the code is 4. This is the
// layout FormatReadingFields shows the reading in.
bool UsesSignLayout(const ReadingStore& store, Bytes record);

// The record text field (0..10) whose value a text cell shows; nothing for
// cells that show no field (Sign cell 12 and the cells outside 2..12).
std::optional<int> RecordFieldOfCell(bool signLayout, int cell);

// How many characters of a value the cell's record field has room for: the
// field width minus its label and colon (a field without a colon is all
// label, the colon then taking one more byte). Nothing when the cell has no
// field, the record has no text block, or the label leaves no byte for a
// colon. Editors hold their boxes to this room, so that what is typed is
// what gets stored.
std::optional<size_t> CellValueRoom(Bytes record, bool signLayout, int cell);

// Puts value after the first ':' of the cell's record field, cut to the room
// left there (field width minus label length minus one), and zero-fills the
// rest of the field. A field without a colon is taken as all label: the colon
// is added behind it. The value ends at a NUL byte if it holds one. Returns
// false, changing nothing, when the cell has no field, the record has no text
// block, or the label fills the field so that no colon fits.
bool WriteCellIntoRecord(std::span<uint8_t> record, bool signLayout, int cell,
                         std::string_view value);

}  // namespace ravik
