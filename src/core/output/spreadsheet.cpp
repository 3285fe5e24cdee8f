#include "core/output/spreadsheet.h"

#include <strings.h>

#include <cstdio>

#include "core/output/export_sink.h"
#include "core/platform/file_chooser.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"
#include "core/readings/column_titles.h"
#include "core/readings/field_formatter.h"
#include "core/readings/record.h"
#include "core/readings/time_stamp.h"
#include "core/settings/column_masks.h"

namespace ravik {

namespace {

constexpr int kDateTimeCell = 14;

// The fixed cells that hold numbers: No, the instrument's number, the
// measuring seconds and, for Paint, DI.
SheetColumnKind FixedKind(Mode mode, int cell) {
    if (cell == kDateTimeCell) return SheetColumnKind::DateTime;
    if (cell == 0 || cell == 1 || cell == 13 || (mode == Mode::Paint && cell == 16)) return SheetColumnKind::Number;
    return SheetColumnKind::Text;
}

// A number as the formatter writes them: an optional minus, digits and at
// most one point, at least one digit. A plain scan: reading the value itself
// costs far more and only the workbook needs it.
bool ReadsAsNumber(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    bool digit = false;
    bool point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// A shown text as a cell: blank or "NA" is empty, a whole number text is a
// number, anything else ("<LOD", ">>5.0", a site name) is text.
void SetCell(SheetCell& cell, std::string_view shown, bool numbersAllowed = true) {
    const std::string_view text = TrimBlanks(shown);
    cell.text.assign(text);
    if (text.empty() || text == "NA") {
        cell.kind = SheetCellKind::Empty;
        cell.text.clear();
        return;
    }
    if (numbersAllowed && ReadsAsNumber(text)) {
        cell.kind = SheetCellKind::Number;
        return;
    }
    cell.kind = SheetCellKind::Text;
}

}  // namespace

std::optional<SheetFormat> SheetFormatOf(std::string_view path) {
    const std::string extension(path.substr(ExtensionStart(path)));
    if (strcasecmp(extension.c_str(), ".csv") == 0) return SheetFormat::Csv;
    if (strcasecmp(extension.c_str(), ".xlsx") == 0) return SheetFormat::Xlsx;
    return std::nullopt;
}

std::string IsoDateTime(uint32_t instrumentSeconds) {
    // The shown hour is the calendar hour plus one: an hour later, the shown
    // date is the calendar date and the shown hour less one the calendar hour.
    const ShownTime later = ShownTimeOf(static_cast<int64_t>(instrumentSeconds) + 3600);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d", static_cast<long long>(later.year),
                  later.month, later.day, later.hour - 1, later.minute, later.second);
    return text;
}

std::vector<SheetColumn> SheetColumns(const SheetSource& source) {
    const ModeTitles& titles = source.store.titles[source.mode];
    const int fixed = FixedColumns(source.mode);
    std::vector<SheetColumn> columns;
    for (int j = 0; j < fixed; ++j) {
        if (FixedColumnShown(source.settings, source.mode, j)) {
            columns.push_back({std::string(titles[static_cast<size_t>(j)].view()), FixedKind(source.mode, j)});
        }
    }
    for (int k = 0; k < ElementColumns(source.mode); ++k) {
        if (!ElementColumnShown(source.settings, source.mode, k)) continue;
        const std::string_view title = titles[static_cast<size_t>(fixed + k)].view();
        const std::string name(TrimBlanks(title.substr(0, title.find(kPlusMinus))));
        columns.push_back({name, SheetColumnKind::Number});
        columns.push_back({name + " Prec", SheetColumnKind::Number});
    }
    return columns;
}

namespace sheet_detail {

RowMaker::RowMaker(const SheetSource& source) : source_(source) {
    for (int j = 0; j < FixedColumns(source.mode); ++j) {
        if (FixedColumnShown(source.settings, source.mode, j)) fixed_.push_back(j);
    }
    for (int k = 0; k < ElementColumns(source.mode); ++k) {
        if (ElementColumnShown(source.settings, source.mode, k)) elements_.push_back(k);
    }
}

bool RowMaker::make(int position, int32_t readingNumber, std::vector<SheetCell>& cells) {
    const ReadingStore& store = source_.store;
    const uint32_t flags = store.flags(readingNumber);
    if ((flags & Hidden) != 0) return false;
    ReadingFields& fields = fields_;  // reused from row to row, as the export does
    const Bytes record = store.record(readingNumber);
    FormatReadingFields(store, source_.settings, position, record, fields);
    if (!FieldsPassSelection(fields, flags, source_.selection, source_.mode, source_.settings)) return false;

    cells.resize(fixed_.size() + 2 * elements_.size());
    size_t at = 0;
    for (int j : fixed_) {
        SheetCell& cell = cells[at++];
        const SheetColumnKind kind = FixedKind(source_.mode, j);
        if (kind != SheetColumnKind::DateTime) {
            SetCell(cell, fields.text[static_cast<size_t>(j)].view(), kind == SheetColumnKind::Number);
            continue;
        }
        const RecordView view(record);
        if (view.measurementBlock()) {
            cell.kind = SheetCellKind::DateTime;
            cell.text = IsoDateTime(view.timeStamp());
        } else {
            cell.kind = SheetCellKind::Empty;
            cell.text.clear();
        }
    }
    for (int k : elements_) {
        const std::string_view value = fields.value[static_cast<size_t>(k)].view();
        const std::string_view precision = fields.precision[static_cast<size_t>(k)].view();
        SheetCell& valueCell = cells[at++];
        SheetCell& precisionCell = cells[at++];
        if (value == "NA") {
            // Not analysed: both cells stay empty.
            SetCell(valueCell, {});
            SetCell(precisionCell, {});
        } else if (source_.mode == Mode::Alloy && !precision.empty() && precision.front() == '-') {
            // A grade range, shown "min to max": the two cells hold its ends.
            SetCell(valueCell, value);
            SetCell(precisionCell, precision.substr(1));
        } else {
            // "<LOD" stays text beside the detection limit the table shows.
            SetCell(valueCell, value);
            SetCell(precisionCell, precision);
        }
    }
    return true;
}

}  // namespace sheet_detail

namespace {

// One CSV field, UTF-8, quoted when RFC 4180 asks for it.
void AppendCsvField(ExportSink& out, const SheetCell& cell, std::string& scratch) {
    if (cell.kind != SheetCellKind::Text) {
        out += cell.text;  // numbers and ISO dates need no quotes
        return;
    }
    const char first = cell.text.empty() ? '\0' : cell.text.front();
    const bool formula = (first == '=' || first == '+' || first == '-' || first == '@') && !ReadsAsNumber(cell.text);
    bool plain = !formula;  // plain ASCII that needs no quotes: written as it is
    for (char c : cell.text) plain = plain && static_cast<unsigned char>(c) < 0x80 && c != ',' && c != '"' && c != '\r' && c != '\n';
    if (plain) {
        out += cell.text;
        return;
    }
    scratch = formula ? "'" : "";
    scratch += Cp1252ToUtf8(cell.text);
    if (scratch.find_first_of(",\"\r\n") == std::string::npos) {
        out += scratch;
        return;
    }
    out += '"';
    for (char c : scratch) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvLine(ExportSink& out, const std::vector<SheetCell>& cells, std::string& scratch) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += ',';
        AppendCsvField(out, cells[i], scratch);
    }
    out += "\r\n";
}

}  // namespace

FileStatus WriteSheetCsv(const SheetSource& source, StagedFile& file) {
    ExportSink out(file);
    std::string scratch;
    std::vector<SheetCell> titles;
    for (const SheetColumn& column : SheetColumns(source)) titles.push_back({SheetCellKind::Text, column.title});
    AppendCsvLine(out, titles, scratch);
    ForEachSheetRow(source, [&](const std::vector<SheetCell>& cells) { AppendCsvLine(out, cells, scratch); });
    return out.finish();
}

FileStatus WriteSpreadsheet(const SheetSource& source, const std::string& path, std::string& error) {
    const std::optional<SheetFormat> format = SheetFormatOf(path);
    if (!format) {
        error = "Spreadsheet files end in .csv or .xlsx";
        return FileStatus::CannotCreate;
    }
    std::vector<StagedFile> files;
    StagedFile& file = files.emplace_back(path);
    FileStatus status = *format == SheetFormat::Csv ? WriteSheetCsv(source, file) : WriteSheetXlsx(source, file, error);
    if (status == FileStatus::Ok) status = CommitStagedFiles(files);
    return status;
}

namespace {

void TellSheetFailure(FileStatus status, const std::string& path, const std::string& error, Prompter& prompter) {
    std::string text = status == FileStatus::WriteFailed ? "Error Writing File\n" : "Cannot Create File\n";
    text += path;
    if (!error.empty()) text += "\n" + error;
    prompter.error(text + "\nSpreadsheet Not Written", "SAVE ERROR");
}

}  // namespace

bool SaveSpreadsheet(const SheetSource& source, const std::string& path, Prompter& prompter) {
    std::string error;
    const FileStatus status = WriteSpreadsheet(source, path, error);
    if (status != FileStatus::Ok) TellSheetFailure(status, path, error, prompter);
    return status == FileStatus::Ok;
}

std::optional<std::string> RunSpreadsheetExport(const SheetSource& source, const std::string& currentFileName,
                                                FileChooser& chooser, Prompter& prompter,
                                                const std::function<void()>& beforeWriting) {
    std::string path = currentFileName;
    if (!chooser.askFileName(path, kPurposeSpreadsheet)) return std::nullopt;
    if (!SheetFormatOf(path)) {
        // The dialog asked about the name typed; the file written is another.
        path += ".xlsx";
        if (!ConfirmOverwrite(prompter, path)) return std::nullopt;
    }
    // The readings are in memory, but their file would be gone.
    if (!currentFileName.empty() && SameFile(path, currentFileName)) {
        prompter.error("Cannot Write Over the Input File\n" + path, "SAVE ERROR");
        return std::nullopt;
    }
    if (IsSpecialFile(path)) {
        prompter.error(ReadProblemText(FileStatus::NotRegularFile, path, ""), "SAVE ERROR");
        return std::nullopt;
    }
    if (beforeWriting) beforeWriting();
    if (!SaveSpreadsheet(source, path, prompter)) return std::nullopt;
    return path;
}

}  // namespace ravik
