#pragma once
// What a table row draws: the text of its value cells with the part they are
// aligned on, and the colour and weight of each cell.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/readings/field_formatter.h"
#include "core/settings/settings.h"

namespace ravik {

// A value cell's drawn text and its anchor: the text is drawn so that the
// anchor ends on the column's centre line, which lines up the "±", "=" or
// "to" of every row.
struct ValueCellText {
    std::string drawn;
    std::string anchor;
};
ValueCellText ValueCellTexts(Mode mode, std::string_view value, std::string_view precision);

// Colour role and weight of a cell.
struct CellStyle {
    ColorRole color = ColorRole::Normal;
    bool bold = false;
    bool operator==(const CellStyle&) const = default;
};

// The style of a row's cells: a Paint reading classed "POS" is bold in the
// Positive colour; Marked and then Hidden colours win over both.
CellStyle RowStyle(Mode mode, const ReadingFields& fields, uint32_t flags, const Settings& settings);

// The style of an Alloy value cell: bold in the Positive colour when its
// value lies outside its grade's range, else plain; Marked and Hidden
// colours win as for rows.
CellStyle AlloyValueStyle(bool outOfRange, uint32_t flags);

// Looks the grade (the reading's first-match name) up in the alloy
// grade table; the first of the grade's first 13 element ranges
// whose element name occurs in the column title decides whether the value
// lies outside it. No grade, no such element, an empty table or a value of
// "NA" (not analysed) is never out of range.
bool AlloyValueOutOfRange(const AlloySpecTable& specs, std::string_view grade,
                          std::string_view columnTitle, std::string_view value);

}  // namespace ravik
