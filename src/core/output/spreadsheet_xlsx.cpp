// The .xlsx form of a spreadsheet file. The workbook library writes only to
// a named file, so the workbook is built in a folder of our own (mode 0700,
// made by mkdtemp), together with the library's own temporary files, then
// copied into the staged file; the folder is removed whatever happens.

#include <stdlib.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/output/spreadsheet.h"
#include "core/platform/text1252.h"

namespace ravik {

namespace {

class PrivateFolder {
public:
    PrivateFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/ravik-sheet-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~PrivateFolder() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

// Digits after the point of a number text ("1.05" 2, "150" 0).
size_t DecimalsOf(std::string_view text) {
    const size_t point = text.find('.');
    if (point == std::string_view::npos) return 0;
    size_t digits = 0;
    for (size_t i = point + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    return digits;
}

// Characters, not bytes, of a UTF-8 text.
size_t Utf8Length(std::string_view text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// UTF-8 text for a cell; C0 control characters, which XML cannot hold, become blanks.
std::string CellText(std::string_view windows1252) {
    std::string text = Cp1252ToUtf8(windows1252);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') c = ' ';
    }
    return text;
}

// What the first pass learns of each column.
struct ColumnMeasure {
    size_t width = 0;     // characters of the longest text
    size_t decimals = 0;  // the most digits after the point of its numbers
};

constexpr size_t kMaxDecimals = 6;
constexpr double kMinWidth = 6.0;
constexpr double kMaxWidth = 60.0;

class WorkbookWriter {
public:
    WorkbookWriter(lxw_workbook* workbook, const SheetSource& source) : workbook_(workbook), source_(source) {}

    lxw_error write() {
        const std::vector<SheetColumn> columns = SheetColumns(source_);
        std::vector<ColumnMeasure> measures(columns.size());
        for (size_t c = 0; c < columns.size(); ++c) measures[c].width = Utf8Length(CellText(columns[c].title)) + 1;
        ForEachSheetRow(source_, [&](const std::vector<SheetCell>& cells) {
            for (size_t c = 0; c < cells.size(); ++c) {
                const SheetCell& cell = cells[c];
                ColumnMeasure& measure = measures[c];
                if (cell.kind == SheetCellKind::Number) measure.decimals = std::max(measure.decimals, DecimalsOf(cell.text));
                const size_t length = cell.kind == SheetCellKind::Text ? Utf8Length(CellText(cell.text)) : cell.text.size();
                measure.width = std::max(measure.width, length);
            }
        });

        lxw_worksheet* sheet = workbook_add_worksheet(workbook_, WindowText(source_.mode));
        if (sheet == nullptr) return LXW_ERROR_MEMORY_MALLOC_FAILED;
        lxw_format* bold = workbook_add_format(workbook_);
        format_set_bold(bold);
        dateFormat_ = workbook_add_format(workbook_);
        format_set_num_format(dateFormat_, "yyyy-mm-dd hh:mm:ss");
        std::vector<lxw_format*> formats(columns.size(), nullptr);
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c].kind == SheetColumnKind::DateTime) {
                formats[c] = dateFormat_;
                measures[c].width = std::max<size_t>(measures[c].width, 19);
            } else if (columns[c].kind == SheetColumnKind::Number) {
                formats[c] = numberFormat(std::min(measures[c].decimals, kMaxDecimals));
            }
            const double width = std::clamp(static_cast<double>(measures[c].width) + 2.0, kMinWidth, kMaxWidth);
            const auto col = static_cast<lxw_col_t>(c);
            if (lxw_error error = worksheet_set_column(sheet, col, col, width, formats[c])) return error;
        }
        worksheet_freeze_panes(sheet, 1, 0);
        for (size_t c = 0; c < columns.size(); ++c) {
            const std::string title = CellText(columns[c].title);
            if (lxw_error error = worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), title.c_str(), bold)) {
                return error;
            }
        }
        lxw_error failure = LXW_NO_ERROR;
        lxw_row_t row = 0;
        ForEachSheetRow(source_, [&](const std::vector<SheetCell>& cells) {
            ++row;
            for (size_t c = 0; c < cells.size() && failure == LXW_NO_ERROR; ++c) {
                failure = writeCell(sheet, row, static_cast<lxw_col_t>(c), cells[c], formats[c]);
            }
        });
        return failure;
    }

private:
    lxw_format* numberFormat(size_t decimals) {
        lxw_format*& format = numberFormats_[decimals];
        if (format == nullptr) {
            format = workbook_add_format(workbook_);
            const std::string pattern = decimals == 0 ? "0" : "0." + std::string(decimals, '0');
            format_set_num_format(format, pattern.c_str());
        }
        return format;
    }

    lxw_error writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const SheetCell& cell, lxw_format* format) {
        switch (cell.kind) {
            case SheetCellKind::Empty:
                return LXW_NO_ERROR;
            case SheetCellKind::Number: {
                double number = 0.0;
                std::from_chars(cell.text.data(), cell.text.data() + cell.text.size(), number);
                return worksheet_write_number(sheet, row, col, number, format);
            }
            case SheetCellKind::DateTime: {
                lxw_datetime moment{};
                if (std::sscanf(cell.text.c_str(), "%d-%d-%dT%d:%d:%lf", &moment.year, &moment.month, &moment.day,
                                &moment.hour, &moment.min, &moment.sec) == 6 &&
                    moment.year >= 1900 && moment.year <= 9999) {
                    return worksheet_write_datetime(sheet, row, col, &moment, dateFormat_);
                }
                return worksheet_write_string(sheet, row, col, cell.text.c_str(), nullptr);
            }
            case SheetCellKind::Text:
                return worksheet_write_string(sheet, row, col, CellText(cell.text).c_str(), nullptr);
        }
        return LXW_NO_ERROR;
    }

    lxw_workbook* workbook_;
    const SheetSource& source_;
    lxw_format* dateFormat_ = nullptr;
    std::array<lxw_format*, kMaxDecimals + 1> numberFormats_{};
};

// Streams the finished workbook into file.
FileStatus CopyInto(const std::string& path, StagedFile& file) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in) return FileStatus::CannotCreate;
    std::vector<char> buffer(size_t{1} << 20);
    for (;;) {
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (got > 0) {
            if (const FileStatus status = file.append({buffer.data(), got}); status != FileStatus::Ok) return status;
        }
        if (got < buffer.size()) break;
    }
    if (std::ferror(in.get())) return FileStatus::WriteFailed;
    return file.finish();
}

}  // namespace

FileStatus WriteSheetXlsx(const SheetSource& source, StagedFile& file, std::string& error) {
    const PrivateFolder folder;
    if (folder.path().empty()) {
        error = "No temporary folder for the workbook";
        return FileStatus::CannotCreate;
    }
    const std::string book = folder.path() + "/book.xlsx";
    std::string tmpdir = folder.path();
    lxw_workbook_options options{};
    options.constant_memory = 1;  // rows go to the library's temporary files, not to memory
    options.tmpdir = tmpdir.data();
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new_opt(book.c_str(), &options));
    if (!workbook) {
        error = "The workbook cannot be made";
        return FileStatus::CannotCreate;
    }
    lxw_error failure = WorkbookWriter(workbook.get(), source).write();
    const lxw_error closed = workbook_close(workbook.release());
    if (failure == LXW_NO_ERROR) failure = closed;
    if (failure != LXW_NO_ERROR) {
        error = lxw_strerror(failure);
        return FileStatus::WriteFailed;
    }
    return CopyInto(book, file);
}

}  // namespace ravik
