#include "core/views/table_copy.h"

#include "core/readings/field_formatter.h"
#include "core/views/table_cells.h"
#include "core/views/table_layout.h"

namespace ravik {

namespace {

std::string_view WithoutBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string CellText(Mode mode, int column, const ReadingFields& fields) {
    if (!IsValueColumn(mode, column)) return std::string(WithoutBlanks(fields.text[static_cast<size_t>(column)].view()));
    const size_t k = static_cast<size_t>(column - FixedColumns(mode));
    return ValueCellTexts(mode, WithoutBlanks(fields.value[k].view()), WithoutBlanks(fields.precision[k].view()))
        .drawn;
}

// Joins the cells of one line with TABs and ends it.
template <typename CellOf>
void AppendLine(std::string& text, const std::vector<int>& columns, CellOf cellOf) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) text += '\t';
        text += cellOf(columns[i]);
    }
    text += '\n';
}

}  // namespace

std::string MarkedReadingsText(const ReadingStore& store, const Settings& settings, Mode mode) {
    const std::vector<int> columns = ShownColumns(mode, settings);
    std::string rows;
    ReadingFields fields;
    const ModeList& list = store.list(mode);
    for (size_t i = 0; i < list.size(); ++i) {
        if (!(store.flags(list[i]) & Marked)) continue;
        const int row = static_cast<int>(i) + 1;
        FormatReadingFields(store, settings, row, store.record(list[i]), fields);
        AppendLine(rows, columns, [&](int column) { return CellText(mode, column, fields); });
    }
    if (rows.empty()) return rows;
    std::string text;
    AppendLine(text, columns, [&](int column) {
        return std::string(WithoutBlanks(store.titles[mode][static_cast<size_t>(column)].view()));
    });
    return text + rows;
}

}  // namespace ravik
