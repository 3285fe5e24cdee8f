#include "core/output/export_writers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <compare>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "core/platform/text1252.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/settings/column_masks.h"

namespace ravik {

std::string_view DatePart(std::string_view dateTime) { return dateTime.substr(0, dateTime.find(' ')); }

namespace {

// Reads the numbers "a<sep>b<sep>c" from the start of text; the ones missing stay 0.
void ReadNumbers(std::string_view text, char separator, long long (&parts)[3]) {
    for (long long& part : parts) {
        const char* end = std::from_chars(text.data(), text.data() + text.size(), part).ptr;
        text.remove_prefix(static_cast<size_t>(end - text.data()));
        if (text.empty() || text.front() != separator) break;
        text.remove_prefix(1);
    }
}

}  // namespace

CalendarDate DateOf(std::string_view date) {
    long long parts[3] = {0, 0, 0};  // month, day, year
    ReadNumbers(date, '/', parts);
    return {parts[2], parts[0], parts[1]};
}

namespace {

// A Date/Time text "m/d/yyyy hh:mm:ss" in time order: its calendar date,
// then the second of the day its time names.
struct Moment {
    CalendarDate date;
    long long second = 0;
    auto operator<=>(const Moment&) const = default;
};

Moment MomentOf(std::string_view dateTime) {
    const std::string_view date = DatePart(dateTime);
    std::string_view time = dateTime.substr(date.size());
    while (!time.empty() && time.front() == ' ') time.remove_prefix(1);
    long long parts[3] = {0, 0, 0};  // hours, minutes, seconds
    ReadNumbers(time, ':', parts);
    return {DateOf(date), (parts[0] * 60 + parts[1]) * 60 + parts[2]};
}

template <typename Integer>
void AppendInteger(ExportSink& out, Integer value) {
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

// Bit 1: a character that needs care in the TAB forms; bit 2: in the comma forms.
constexpr std::array<uint8_t, 256> kCellSpecial = [] {
    std::array<uint8_t, 256> special{};
    special['\t'] = 1;
    special['\r'] = special['\n'] = 1 | 2;
    special[','] = special['"'] = 2;
    return special;
}();

// One cell and its delimiter. In the comma forms a cell holding a comma, a
// double quote or a line break is quoted with its quotes doubled, so that the
// later columns stay in place; in the TAB forms a TAB or line break inside a
// cell becomes a blank for the same reason. Other cells are written as they are.
void AppendCell(ExportSink& out, std::string_view text, char delimiter) {
    const bool comma = delimiter == ',';
    // One pass over the cell without a branch per character: most cells need no care.
    uint8_t found = 0;
    for (char c : text) found |= kCellSpecial[static_cast<uint8_t>(c)];
    if ((found & (comma ? 2 : 1)) == 0) {
        out += text;
    } else if (comma) {
        out += '"';
        for (char c : text) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    } else {
        for (char c : text) out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    out += delimiter;
}

void AppendHeaderLines(ExportSink& out, const Settings& settings) {
    for (const std::string& line : HeaderLines(settings.reportHeader.c_str())) {
        out += line;
        out += "\r\n";
    }
}

struct DateRange {
    std::string earliest = "99/99/99";
    std::string latest = "1/1/00";
};

// The Date/Time texts of the Paint readings that pass the selection with the
// earliest and the latest date and time (the first of equal ones).
DateRange PaintDateRange(const ExportSource& source) {
    DateRange range;
    Moment earliest;
    Moment latest;
    bool found = false;
    ReadingFields fields;
    for (int32_t n : source.store.list(Mode::Paint)) {
        const uint32_t flags = source.store.flags(n);
        if ((flags & Hidden) != 0) continue;
        FormatReadingFields(source.store, source.settings, n, source.store.record(n), fields);
        if (!FieldsPassSelection(fields, flags, source.selection, Mode::Paint, source.settings)) continue;
        const std::string_view text = fields.text[14].view();
        const Moment moment = MomentOf(text);
        if (!found || moment < earliest) {
            earliest = moment;
            range.earliest = text;
        }
        if (!found || moment > latest) {
            latest = moment;
            range.latest = text;
        }
        found = true;
    }
    return range;
}

void AppendPaintRanges(ExportSink& out, const ExportSource& source) {
    const DateRange dates = PaintDateRange(source);
    out += "Date: " + dates.earliest + " to " + dates.latest + "\r\n";
    const Settings& settings = source.settings;
    if (settings.pcs != kPcsUser) {
        out += "Ranges (NEG<INC<POS): Device PCS\r\n\r\n";
        return;
    }
    char line[256];
    std::snprintf(line, sizeof line,
                  "Ranges (NEG<INC<POS): 0.0<%2.2f<%2.2f  Times: minL = %d Ssec  minK = %d Ssec\r\n\r\n",
                  static_cast<double>(settings.neg), static_cast<double>(settings.pos), settings.minLtime,
                  settings.minKtime);
    out += line;
}

// An element column's title "Pbl ± Prec" heads its two cells: "Pbl " over
// the value and "Pbl  Error" over the precision.
void AppendElementTitle(ExportSink& out, std::string_view title, char delimiter) {
    const size_t plusMinus = title.find(kPlusMinus);
    if (plusMinus == std::string_view::npos) {
        AppendCell(out, title, delimiter);
        return;
    }
    const std::string_view before = title.substr(0, plusMinus);
    AppendCell(out, before, delimiter);
    AppendCell(out, std::string(before) + " Error", delimiter);
}

void AppendTitleRow(ExportSink& out, const ExportSource& source, Mode mode) {
    const char delimiter = ExportDelimiter(source.settings);
    const ModeTitles& titles = source.store.titles[mode];
    const int fixed = FixedColumns(mode);
    for (int j = 0; j < fixed; ++j) {
        if (FixedColumnShown(source.settings, mode, j)) {
            AppendCell(out, titles[static_cast<size_t>(j)].view(), delimiter);
        }
    }
    for (int k = 0; k < ElementColumns(mode); ++k) {
        if (ElementColumnShown(source.settings, mode, k)) {
            AppendElementTitle(out, titles[static_cast<size_t>(fixed + k)].view(), delimiter);
        }
    }
    out += "\r\n\r\n";
}

void AppendSection(ExportSink& out, const ExportSource& source, Mode mode) {
    out += UpperText(mode);
    out += "\r\nHeader:\r\n";
    AppendHeaderLines(out, source.settings);
    out += "Site: ";
    const bool saysNone = mode == Mode::Alloy || mode == Mode::Sign || mode == Mode::Bulk;
    out += source.store.site.empty() && saysNone ? "<none>" : source.store.site;
    out += "\r\n";
    if (mode == Mode::Paint) AppendPaintRanges(out, source);
    AppendTitleRow(out, source, mode);
}

// One reading's column of a spectra block: its label (the instrument's
// number of the reading) and its channels, read from its record as the rows
// need them (the export decoder's counts, lowered to the channels the record
// holds). A reading without a spectrum block keeps its column with its
// number and no channels.
struct SpectrumColumn {
    explicit SpectrumColumn(Bytes record) : view(record) {
        if (!view.hasHeader()) return;
        label = view.header().instrumentNumber;
        if (const std::optional<SpectrumLayout> layout = view.spectrumLayout()) {
            channels = std::min<size_t>(layout->totalChannels(), view.channelsAvailable());
        }
    }
    float value(size_t channel) const { return static_cast<float>(PackedMilli(view.channelWord(channel))); }

    RecordView view;
    long long label = 0;
    size_t channels = 0;
};

// Channel values are packed numbers of 11-bit precision, so a spectra block
// repeats a few thousand distinct values millions of times: their texts are
// remembered by the value's bits in a small direct-mapped table. A value's
// text never changes, so the table is the thread's and outlives the export
// (setting up its 128 KiB costs more than a small export); the object that
// reaches it is local, so the table's address stays in a register.
class Fixed3Texts {
    static constexpr int kIndexBits = 13;
    struct Entry {
        uint32_t bits = 0;
        uint8_t length = 0;  // 0: empty
        char text[11] = {};
    };

public:
    char* put(char* out, float value) {
        const auto bits = std::bit_cast<uint32_t>(value);
        Entry& entry = entries_[(bits * 2654435761u) >> (32 - kIndexBits)];
        if (entry.length == 0 || entry.bits != bits) {
            char text[kFixed3MaxLength + 1];
            const auto length = static_cast<size_t>(PutFixed3(text, value) - text);
            if (length > sizeof entry.text) return std::copy_n(text, length, out);
            entry.bits = bits;
            entry.length = static_cast<uint8_t>(length);
            std::copy_n(text, length, entry.text);
        }
        std::memcpy(out, entry.text, sizeof entry.text);
        return out + entry.length;
    }

private:
    static Entry* ThreadTable() {
        thread_local std::vector<Entry> table(size_t{1} << kIndexBits);
        return table.data();
    }

    Entry* const entries_ = ThreadTable();
};

// The channel rows, up to and including the first row without a value.
// Values are gathered a block of rows at a time, so that each record is
// visited once per block rather than once per row: with thousands of
// columns, a row at a time would miss the caches on every value.
class ChannelRows {
public:
    static constexpr size_t kRowBlock = 64;

    ChannelRows(const std::vector<SpectrumColumn>& columns, char delimiter)
        : columns_(columns), delimiter_(delimiter), block_(kRowBlock * columns.size()),
          row_(24 + columns.size() * (kFixed3MaxLength + 1) + 2) {}

    void write(ExportSink& out, const std::function<void()>& beforeRow) {
        for (size_t first = 0;; first += kRowBlock) {
            gather(first);
            for (size_t channel = first; channel < first + kRowBlock; ++channel) {
                if (beforeRow) beforeRow();
                const bool anyValue = writeRow(out, channel, block_.data() + (channel - first) * columns_.size());
                if (!anyValue || out.failed()) return;
            }
        }
    }

private:
    // The values of channels first .. first + kRowBlock - 1, row by row.
    void gather(size_t first) {
        const size_t count = columns_.size();
        for (size_t c = 0; c < count; ++c) {
            const SpectrumColumn& column = columns_[c];
            const size_t end = std::min(column.channels, first + kRowBlock);
            for (size_t channel = first; channel < end; ++channel) {
                block_[(channel - first) * count + c] = column.value(channel);
            }
        }
    }

    bool writeRow(ExportSink& out, size_t channel, const float* values) {
        char* end = std::to_chars(row_.data(), row_.data() + 24, channel).ptr;
        *end++ = delimiter_;
        bool anyValue = false;
        for (size_t c = 0; c < columns_.size(); ++c) {
            if (channel < columns_[c].channels) {
                end = texts_.put(end, values[c]);
                anyValue = true;
            }
            *end++ = delimiter_;
        }
        *end++ = '\r';
        *end++ = '\n';
        out.append(std::string_view(row_.data(), static_cast<size_t>(end - row_.data())));
        return anyValue;
    }

    const std::vector<SpectrumColumn>& columns_;
    const char delimiter_;
    std::vector<float> block_;
    std::vector<char> row_;
    Fixed3Texts texts_;
};

}  // namespace

char ExportDelimiter(const Settings& settings) {
    return settings.exportForm == 1 || settings.exportForm == 3 ? ',' : '\t';
}

void ExportTableHeader(ExportSink& out, const ExportSource& source, int headerModes) {
    out += source.store.fileTitle;
    out += "\r\n";
    const bool all = headerModes == kAllHeaderModes;
    for (Mode mode : {Mode::Paint, Mode::Alloy, Mode::Sign, Mode::Bulk, Mode::Thin}) {
        const bool inAll = mode == Mode::Paint || mode == Mode::Bulk || mode == Mode::Thin;
        if (headerModes == Index(mode) || (all && inAll)) AppendSection(out, source, mode);
    }
}

void ExportTableRows(ExportSink& out, const ExportSource& source, Mode mode) {
    const ReadingStore& store = source.store;
    const Settings& settings = source.settings;
    const char delimiter = ExportDelimiter(settings);
    std::vector<size_t> fixedShown;
    std::vector<size_t> elementsShown;
    for (int j = 0; j < FixedColumns(mode); ++j) {
        if (FixedColumnShown(settings, mode, j)) fixedShown.push_back(static_cast<size_t>(j));
    }
    for (int k = 0; k < ElementColumns(mode); ++k) {
        if (ElementColumnShown(settings, mode, k)) elementsShown.push_back(static_cast<size_t>(k));
    }
    ReadingFields fields;
    int position = 0;
    for (int32_t n : store.list(mode)) {
        ++position;
        const uint32_t flags = store.flags(n);
        if ((flags & Hidden) != 0) continue;
        FormatReadingFields(store, settings, position, store.record(n), fields);
        if (!FieldsPassSelection(fields, flags, source.selection, mode, settings)) continue;
        for (size_t j : fixedShown) AppendCell(out, fields.text[j].view(), delimiter);
        for (size_t k : elementsShown) {
            const std::string_view value = fields.value[k].view();
            AppendCell(out, value, delimiter);
            if (value == "NA") {
                out += delimiter;
            } else {
                AppendCell(out, fields.precision[k].view(), delimiter);
            }
        }
        out += "\r\n";
    }
}

void ExportSpectra(ExportSink& out, const ExportSource& source, Mode mode,
                   const std::function<void()>& beforeRow) {
    const char delimiter = ExportDelimiter(source.settings);
    out += "SPECTRA: ";
    out += WindowText(mode);
    out += "\r\nHeader:\r\n";
    AppendHeaderLines(out, source.settings);
    out += "\r\n\r\n\r\n\r\n";

    std::vector<SpectrumColumn> columns;
    size_t longest = 0;
    for (int32_t n : source.store.list(mode)) {
        if (!PassesSelection(source.store, source.settings, n, source.selection, mode)) continue;
        columns.emplace_back(source.store.record(n));
        longest = std::max(longest, columns.back().channels);
    }
    out += "Channel";
    out += delimiter;
    for (const SpectrumColumn& column : columns) {
        AppendInteger(out, column.label);
        out += delimiter;
    }
    out += "\r\n";
    // Room for every row up front where the text is collected (a cell and its
    // delimiter rarely take more than 16 characters): growing the text would
    // copy it and touch twice the memory, which costs more than the
    // formatting. Room not written is never touched.
    out.expect((longest + 1) * (16 * columns.size() + 16));
    ChannelRows(columns, delimiter).write(out, beforeRow);
    out += "\r\n\r\n";
}

void ExportStatus(ExportSink& out, const ExportSource& source) {
    out += "STATUS\r\nHeader:\r\n";
    AppendHeaderLines(out, source.settings);
    for (const char* title : kStatusTitles) {
        out += title;
        out += '\t';
    }
    out += "\r\n";
    const ReadingStore& store = source.store;
    StatusFields status;
    for (int32_t n = 1; n <= store.readingCount; ++n) {
        if ((store.flags(n) & Hidden) != 0) continue;
        if (!PassesSelection(store, source.settings, n, source.selection, Mode::Paint)) continue;
        FormatStatusFields(store.record(n), status);
        for (size_t cell = 0; cell < status.cells.size(); ++cell) {
            out += status.cells[cell].view();
            out += cell + 1 < status.cells.size() ? "\t" : "\r\n";
        }
    }
    out += "\r\n\r\n";
}

char* PutFixed3(char* out, float value) {
    // A float times 1000 is exact in double precision; adding and taking away
    // 2^52 then rounds it to an integer, ties to even, as printf rounds.
    const double thousandthsExact = std::fabs(static_cast<double>(value)) * 1000.0;
    if (!(thousandthsExact < 0x1p52)) {  // not finite, or too large for that
        const int length = std::snprintf(out, kFixed3MaxLength + 1, "%4.3f", static_cast<double>(value));
        return out + length;
    }
    const auto thousandths = static_cast<uint64_t>((thousandthsExact + 0x1p52) - 0x1p52);
    if (std::signbit(value)) *out++ = '-';
    out = std::to_chars(out, out + 20, thousandths / 1000).ptr;
    const auto fraction = static_cast<unsigned>(thousandths % 1000);
    out[0] = '.';
    out[1] = static_cast<char>('0' + fraction / 100);
    out[2] = static_cast<char>('0' + fraction / 10 % 10);
    out[3] = static_cast<char>('0' + fraction % 10);
    return out + 4;
}

}  // namespace ravik
