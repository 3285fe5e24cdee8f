#include "core/output/print_layout.h"

#include <algorithm>
#include <cstdio>

#include "core/output/export_writers.h"
#include "core/platform/text1252.h"
#include "core/views/spectrum_plot.h"
#include "core/views/table_cells.h"
#include "core/views/table_layout.h"

namespace ravik {

namespace {

constexpr int kStartPoints = 14;
constexpr double kWidthMargin = 1.05;
constexpr int kDateTimeCell = 14;
constexpr int kGradeCell = 2;  // the "1st" match of an Alloy reading

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

int GradeIndex(const AlloySpecTable& specs, std::string_view name) {
    const std::string_view wanted = TrimBlanks(name);
    if (wanted.empty()) return -1;
    for (int r = 0; r < std::min(specs.count, kAlloySpecRecords); ++r) {
        if (TrimBlanks(specs.records[static_cast<size_t>(r)].name) == wanted) return r;
    }
    return -1;
}

}  // namespace

std::vector<PrintRequest> RequestsFor(const OutputChoices& choices, const Settings& settings) {
    using Kind = PrintRequest::Kind;
    std::vector<PrintRequest> requests;
    if (choices.status && settings.download == kDownloadDone) requests.push_back({Kind::Table, kStatusTableSelector});
    if (!choices.mode) return requests;
    const Mode mode = *choices.mode;
    if (choices.table) requests.push_back({Kind::Table, Index(mode)});
    if (choices.lowSpectrum) requests.push_back({Kind::Spectra, LowKind(mode)});
    if (choices.highSpectrum && HighKind(mode)) requests.push_back({Kind::Spectra, *HighKind(mode)});
    return requests;
}

int ChooseTableFontHeight(int pixelsPerInch, int pageWidth, const std::function<double(int)>& lastCentre) {
    const double pixelsPerPoint = pixelsPerInch / 72.0;
    const auto fits = [&](int height) { return kWidthMargin * lastCentre(height) <= pageWidth; };
    const auto pointsHeight = [&](int points) { return std::max(1, static_cast<int>(points * pixelsPerPoint)); };
    int points = kStartPoints;
    if (fits(pointsHeight(points))) return pointsHeight(points);
    while (points > 1 && !fits(pointsHeight(points))) --points;
    int height = pointsHeight(std::min(points + 1, kStartPoints));
    while (height > 1 && !fits(height)) --height;
    return height;
}

int ChooseStatusFontHeight(int pixelsPerInch, int pageWidth, const std::function<double(int)>& columnsWidth) {
    const double pixelsPerPoint = pixelsPerInch / 72.0;
    int points = kStartPoints;
    const auto height = [&] { return std::max(1, static_cast<int>(points * pixelsPerPoint)); };
    while (points > 1 && columnsWidth(height()) > pageWidth) --points;
    return height();
}

std::vector<int32_t> PrintedReadings(const PrintSource& source, int selector) {
    std::vector<int32_t> readings;
    ReadingFields fields;
    const bool status = selector == kStatusTableSelector;
    // The status table tests every reading as a mode other than Paint and
    // Alloy does: class 2, final results only without Sub-Results.
    const Mode mode = status ? Mode::Bulk : static_cast<Mode>(selector);
    const auto consider = [&](int32_t n) {
        const uint32_t flags = source.store.flags(n);
        if ((flags & Hidden) != 0) return;
        FormatReadingFields(source.store, source.settings, n, source.store.record(n), fields);
        if (FieldsPassSelection(fields, flags, source.selection, mode, source.settings)) readings.push_back(n);
    };
    if (status) {
        for (int32_t n = 1; n <= source.store.readingCount; ++n) consider(n);
    } else {
        for (int32_t n : source.store.list(mode)) consider(n);
    }
    return readings;
}

PrintDates PrintDateRange(const PrintSource& source, const std::vector<int32_t>& readings) {
    PrintDates dates;
    CalendarDate earliest;
    CalendarDate latest;
    ReadingFields fields;
    for (size_t i = 0; i < readings.size(); ++i) {
        FormatReadingFields(source.store, source.settings, 0, source.store.record(readings[i]), fields);
        const std::string_view date = DatePart(fields.text[kDateTimeCell].view());
        const CalendarDate day = DateOf(date);
        if (i == 0 || day < earliest) {
            earliest = day;
            dates.earliest = date;
        }
        if (i == 0 || day > latest) {
            latest = day;
            dates.latest = date;
        }
    }
    return dates;
}

std::string SiteLine(const PrintSource& source, const PrintDates& dates, bool firstPage) {
    std::string line = firstPage ? source.store.fileTitle + " " : std::string();
    line += "Site: " + source.store.site + "  Date: " + dates.earliest;
    if (dates.latest != dates.earliest) line += " to " + dates.latest;
    return line;
}

std::string RangesLine(const Settings& settings) {
    if (settings.pcs != kPcsUser) return "Ranges (NEG<INC<POS): Device PCS";
    return Format("Ranges (NEG<INC<POS): 0.0<%2.2f<%2.2f  Times: minL = %d Ssec  minK = %d Ssec",
                  static_cast<double>(settings.neg), static_cast<double>(settings.pos), settings.minLtime,
                  settings.minKtime);
}

std::string PageLabel(int selector, int page) {
    constexpr const char* kLabels[kModeCount] = {"Paint", "Bulk", "Thin", "Alloy", "Sign."};
    const char* name = selector == kStatusTableSelector ? "Status" : kLabels[selector];
    return Format("%s Page %d", name, page);
}

std::string TableJobText(int selector, const std::string& fileName) {
    const char* name = selector == kStatusTableSelector ? "Status" : WindowText(static_cast<Mode>(selector));
    return Format("%s Table\nof\n%s", name, fileName.c_str());
}

std::string SpectraJobText(int kind, const std::string& fileName) {
    return Format("%s %s Spectra\nof\n%s", WindowText(ModeOfKind(kind).value_or(Mode::Paint)),
                  IsHighKind(kind) ? "K" : "L", fileName.c_str());
}

std::string JobText(const PrintRequest& request, const std::string& fileName) {
    if (request.kind == PrintRequest::Kind::Spectra) return SpectraJobText(request.param, fileName);
    return TableJobText(request.param, fileName);
}

std::string PrintedElementCell(Mode mode, std::string_view value, std::string_view precision) {
    return ValueCellTexts(mode, value, precision).drawn;
}

AlloyRunAverager::AlloyRunAverager(const ReadingStore& store, const Settings& settings, std::vector<int> shownColumns)
    : store_(store), settings_(settings), columns_(std::move(shownColumns)), sums_(kValueCellCount, 0.0) {}

std::optional<AverageLine> AlloyRunAverager::closeRun(int minimumCount) const {
    if (grade_ < 0 || count_ < minimumCount || count_ == 0) return std::nullopt;
    const AlloySpecRecord& record = settings_.alloySpecs.records[static_cast<size_t>(grade_)];
    AverageLine line{record.name, {}};
    for (int column : columns_) {
        if (!IsValueColumn(Mode::Alloy, column)) continue;
        const size_t k = static_cast<size_t>(column - FixedColumns(Mode::Alloy));
        AverageCell cell{column, Format("%6.2f", sums_[k] / count_), false};
        cell.outOfRange = AlloyValueOutOfRange(settings_.alloySpecs, record.name,
                                               store_.titles[Mode::Alloy][static_cast<size_t>(column)].view(), cell.text);
        line.cells.push_back(std::move(cell));
    }
    return line;
}

std::optional<AverageLine> AlloyRunAverager::add(const ReadingFields& fields) {
    std::optional<AverageLine> due;
    const int grade = GradeIndex(settings_.alloySpecs, fields.text[kGradeCell].view());
    if (grade != grade_ || count_ == 0) {
        due = closeRun(2);
        grade_ = grade;
        std::fill(sums_.begin(), sums_.end(), 0.0);
        count_ = 0;
    }
    for (size_t k = 0; k < sums_.size(); ++k) sums_[k] += ReadNumber(fields.value[k].view());
    ++count_;
    return due;
}

std::optional<AverageLine> AlloyRunAverager::finish() {
    std::optional<AverageLine> due = closeRun(1);
    count_ = 0;
    return due;
}

std::string SpectraHeaderLine(const Settings& settings, const ReadingStore& store, int kind) {
    const std::string site = "Site: " + store.site;
    if (ModeOfKind(kind) != Mode::Paint) return site;
    return site + "    " + RangesLine(settings);
}

int SpectrumPageCount(int readings, const Settings& settings) {
    const int perPage = std::max(1, settings.xSpect) * std::max(1, settings.ySpect);
    return (readings + perPage - 1) / perPage;
}

size_t LineClearOf(const std::vector<TextSpan>& lines, TextSpan label, double gap) {
    size_t line = 0;
    while (line < lines.size() && lines[line].right + gap > label.left && label.right + gap > lines[line].left) ++line;
    return line;
}

CellRect SpectrumCell(const Settings& settings, int c, int r, int pageWidth, int pageHeight, int lineHeight,
                      int headerLines) {
    const int columns = std::max(1, settings.xSpect);
    const int rows = std::max(1, settings.ySpect);
    const int width = pageWidth - 20;
    const int below = std::max(0, headerLines - 1) * lineHeight;
    const int height = pageHeight - 6 * lineHeight - below;
    const int top = 5 * lineHeight + below;
    return {c * width / columns, r * height / rows + top + 40, (c + 1) * width / columns, (r + 1) * height / rows + top};
}

std::string SpectraPageLine(std::string_view dateTime, Mode mode, int page) {
    return "Date: " + std::string(DatePart(dateTime)) + "    " + WindowText(mode) + Format(" Page %d", page);
}

}  // namespace ravik
