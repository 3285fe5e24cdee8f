#pragma once
// Spreadsheet files of a mode's table: one header row, then one row per
// reading that passes the selection (hidden readings never do), the shown
// columns in table order, each element column as two cells (its value and
// its precision), numbers as numbers. Written as UTF-8 CSV with RFC 4180
// quoting, or as an .xlsx workbook; both go through the staged writer, so a
// failed write leaves the previous file as it was.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/reading_selection.h"
#include "core/readings/field_formatter.h"
#include "core/platform/file_io.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

class FileChooser;
class Prompter;

enum class SheetFormat { Csv, Xlsx };

// The format a path's extension names (".csv" or ".xlsx", any case).
std::optional<SheetFormat> SheetFormatOf(std::string_view path);

enum class SheetCellKind : uint8_t { Empty, Number, Text, DateTime };

// One cell as the file holds it. Number: the shown text without its padding
// ("1.05", "-3.50"); Text: the shown Windows-1252 text; DateTime: the ISO
// 8601 text "2024-03-05T14:07:09".
struct SheetCell {
    SheetCellKind kind = SheetCellKind::Empty;
    std::string text;
};

enum class SheetColumnKind : uint8_t { Text, Number, DateTime };

struct SheetColumn {
    std::string title;  // Windows-1252
    SheetColumnKind kind = SheetColumnKind::Text;
};

struct SheetSource {
    const ReadingStore& store;
    const Settings& settings;
    Mode mode;
    ReadingSelection selection;
};

// The columns of the mode's sheet: the shown fixed columns, then two for
// each shown element column ("Pbl" and "Pbl Prec" from "Pbl ± Prec").
std::vector<SheetColumn> SheetColumns(const SheetSource& source);

// Calls row(cells) for every reading of the mode's list, in list order, that
// passes the selection; cells has one entry per column of SheetColumns and
// is valid only during the call.
template <typename RowFunction>
void ForEachSheetRow(const SheetSource& source, RowFunction&& row);

// The ISO 8601 date and time of an instrument time stamp: the calendar
// time the reading shows, so that a shown hour 24 is hour 00 of the next day.
std::string IsoDateTime(uint32_t instrumentSeconds);

// The CSV file: the header row and the rows, each line ended by CR LF.
// Text is UTF-8; a cell holding a comma, a double quote, CR or LF is quoted
// with its quotes doubled. A text cell that would start with "=", "+", "-"
// or "@" and is not a number gets a leading apostrophe, so a spreadsheet
// never runs it as a formula.
FileStatus WriteSheetCsv(const SheetSource& source, StagedFile& file);

// The workbook: one sheet named after the mode, the header row bold and
// frozen, a number format per column, widths from the longest text of each
// column. It is built in a private temporary folder, which is always
// removed, and copied into file; error receives a line on failure.
FileStatus WriteSheetXlsx(const SheetSource& source, StagedFile& file, std::string& error);

// Writes path whole (the format from its extension) or leaves it as it was.
FileStatus WriteSpreadsheet(const SheetSource& source, const std::string& path, std::string& error);
// The same, telling a failure ("SAVE ERROR"); true when the file was written.
bool SaveSpreadsheet(const SheetSource& source, const std::string& path, Prompter& prompter);

// The Print dialog's Spreadsheet device: asks for the name (purpose
// kPurposeSpreadsheet, starting from the open file's name), gives a name of
// another extension ".xlsx" and then asks before replacing it, refuses the
// open readings file itself, writes, and tells a failure ("SAVE ERROR").
// beforeWriting, when given, runs after the questions. Returns the path
// written, or nothing.
std::optional<std::string> RunSpreadsheetExport(const SheetSource& source, const std::string& currentFileName,
                                                FileChooser& chooser, Prompter& prompter,
                                                const std::function<void()>& beforeWriting = {});

// ---------------------------------------------------------------------------

namespace sheet_detail {
// Fills cells from one formatted reading; record gives its time stamp.
class RowMaker {
public:
    explicit RowMaker(const SheetSource& source);
    // False when the reading does not pass the selection.
    bool make(int position, int32_t readingNumber, std::vector<SheetCell>& cells);

private:
    const SheetSource& source_;
    std::vector<int> fixed_;     // shown fixed cells
    std::vector<int> elements_;  // shown element slots
    ReadingFields fields_;
};
}  // namespace sheet_detail

template <typename RowFunction>
void ForEachSheetRow(const SheetSource& source, RowFunction&& row) {
    sheet_detail::RowMaker maker(source);
    std::vector<SheetCell> cells;
    int position = 0;
    for (int32_t n : source.store.list(source.mode)) {
        ++position;
        if (maker.make(position, n, cells)) row(static_cast<const std::vector<SheetCell>&>(cells));
    }
}

}  // namespace ravik
