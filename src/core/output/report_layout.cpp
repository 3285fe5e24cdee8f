#include "core/output/report_layout.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <tuple>
#include <unordered_map>

#include "core/output/print_layout.h"
#include "core/platform/text1252.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/views/table_layout.h"

namespace ravik {

namespace {

constexpr const char* kModeNames[kModeCount] = {"paint", "bulk", "thin", "alloy", "sign"};

// Fixed cells of a Paint reading the positive table shows: room, side,
// component (feature) and substrate, in the analyzer's text layout.
constexpr int kRoomCell = 6;
constexpr int kSideCell = 5;
constexpr int kComponentCell = 9;
constexpr int kSubstrateCell = 8;
constexpr int kDateTimeCell = 14;
constexpr int kAlloyGradeCell = 2;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string Utf8(std::string_view bytes) { return Cp1252ToUtf8(Trim(bytes)); }

std::optional<int> ReadWhole(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// "m/d/yyyy hh:mm:ss" as a number that orders by time; 0 for another text.
long long DateTimeKey(std::string_view text) {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    const std::string copy(Trim(text));
    if (std::sscanf(copy.c_str(), "%d/%d/%d %d:%d:%d", &month, &day, &year, &hour, &minute, &second) < 3) return 0;
    return ((((static_cast<long long>(year) * 13 + month) * 32 + day) * 25 + hour) * 60 + minute) * 60 + second;
}

bool FreeSlot(std::string_view title) { return title.find('#') != std::string_view::npos; }

struct Measured {
    double number;
    std::string text;
};

ReportTable ElementStatistics(const ReadingStore& store, Mode mode, const std::vector<ReadingFields>& fields) {
    ReportTable table{std::string(WindowText(mode)) + " elements above the detection limit",
                      {"Element", "Readings", "Minimum", "Median", "Maximum"}, {}, {}, 1, {}};
    const int fixed = FixedColumns(mode);
    for (int slot = 0; slot < ElementColumns(mode); ++slot) {
        const std::string_view title = store.titles[mode][static_cast<size_t>(fixed + slot)].view();
        if (FreeSlot(title) || Trim(title).empty()) continue;
        std::vector<Measured> values;
        for (const ReadingFields& reading : fields) {
            const std::string_view value = Trim(reading.value[static_cast<size_t>(slot)].view());
            if (value.empty() || value == "NA" || value.front() == '<' || value.front() == '>') continue;
            values.push_back({ReadNumber(value), std::string(value)});
        }
        if (values.empty()) continue;
        std::stable_sort(values.begin(), values.end(),
                         [](const Measured& a, const Measured& b) { return a.number < b.number; });
        std::string element(Trim(title.substr(0, title.find(' '))));
        // The median of an even count is the lower middle value: a text some reading shows.
        table.rows.push_back({Utf8(element), std::to_string(values.size()), values.front().text,
                              values[(values.size() - 1) / 2].text, values.back().text});
    }
    table.bold.assign(table.rows.size(), false);
    return table;
}

}  // namespace

std::optional<ReadingPicks> ParseReadingList(std::string_view list, std::string& error) {
    ReadingPicks picks;
    if (list.empty()) {
        error = "empty reading list";
        return std::nullopt;
    }
    for (std::string_view part : Split(list, ';')) {
        const size_t colon = part.find(':');
        if (colon == std::string_view::npos) {
            error = "\"" + std::string(part) + "\" has no \"mode:\"";
            return std::nullopt;
        }
        const std::string_view name = part.substr(0, colon);
        const auto found = std::find(std::begin(kModeNames), std::end(kModeNames), name);
        if (found == std::end(kModeNames)) {
            error = "unknown mode \"" + std::string(name) + "\"";
            return std::nullopt;
        }
        const size_t mode = static_cast<size_t>(found - std::begin(kModeNames));
        if (picks.named[mode]) {
            error = "mode \"" + std::string(name) + "\" named twice";
            return std::nullopt;
        }
        picks.named[mode] = true;
        std::vector<int>& numbers = picks.numbers[mode];
        for (std::string_view range : Split(part.substr(colon + 1), ',')) {
            const size_t dash = range.find('-');
            const std::optional<int> first = ReadWhole(range.substr(0, dash));
            const std::optional<int> last =
                dash == std::string_view::npos ? first : ReadWhole(range.substr(dash + 1));
            if (!first || !last || *first < 1 || *last > kMaxReadings || *last < *first) {
                error = "\"" + std::string(range) + "\" is no reading number or range 1.." + std::to_string(kMaxReadings);
                return std::nullopt;
            }
            for (int number = *first; number <= *last; ++number) numbers.push_back(number);
        }
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    }
    return picks;
}

int ReportContent::readingCount() const {
    int count = 0;
    for (const auto& list : readings) count += static_cast<int>(list.size());
    return count;
}

std::optional<ReportContent> BuildReportContent(const ReadingStore& store, const Settings& settings,
                                                const ReportRequest& request, std::string& error) {
    ReportContent content;
    const std::vector<std::string> header = HeaderLines(store.fileHeader.data());
    for (size_t line : {size_t{1}, size_t{3}}) {
        if (line < header.size() && !Trim(header[line]).empty()) content.instrumentLines.push_back(Utf8(header[line]));
    }
    content.ruleLine = settings.pcs == kPcsUser ? "User: " + RangesLine(settings) : "Device PCS";
    long long firstKey = 0, lastKey = 0;
    ReportTable counts{"Readings per mode", {"Mode", "Readings"}, {}, {}, 1, {}};
    ReportTable positives{"Positive Paint readings", {}, {}, {}, 1, {}};
    std::map<std::string, int> grades;
    std::vector<ReportTable> statistics;

    for (Mode mode : kAllModes) {
        const size_t m = static_cast<size_t>(Index(mode));
        const ModeList& list = store.list(mode);
        const bool named = request.picks && request.picks->named[m];
        if (!request.modes[m] || (request.picks && !named)) continue;
        if (named) {
            for (int number : request.picks->numbers[m]) {
                if (number > static_cast<int>(list.size())) {
                    error = std::string(kModeNames[m]) + ":" + std::to_string(number) + " names no reading (the file has " +
                            std::to_string(list.size()) + " " + WindowText(mode) + " readings)";
                    return std::nullopt;
                }
            }
        }
        std::vector<int> wanted;
        if (named) {
            wanted = request.picks->numbers[m];
        } else {
            for (size_t i = 0; i < list.size(); ++i) wanted.push_back(static_cast<int>(i) + 1);
        }
        std::vector<int> columns;
        for (int column : ShownColumns(mode, settings)) {
            if (!FreeSlot(store.titles[mode][static_cast<size_t>(column)].view())) columns.push_back(column);
        }
        ReportTable detail{std::string(WindowText(mode)) + " readings", {}, {}, {}, 0, {}};
        for (int column : columns) {
            detail.titles.push_back(Utf8(store.titles[mode][static_cast<size_t>(column)].view()));
            if (column <= 1) ++detail.identifying;
        }
        if (mode == Mode::Paint) detail.legend = "Rows in bold: positive (POS) readings.";
        std::vector<ReadingFields> formatted;
        for (int number : wanted) {
            const int32_t reading = list[static_cast<size_t>(number - 1)];
            const uint32_t flags = store.flags(reading);
            if ((flags & Hidden) != 0 || (request.markedOnly && (flags & Marked) == 0)) continue;
            ReadingFields fields;
            if (!FormatReadingFields(store, settings, number, store.record(reading), fields)) continue;
            content.readings[m].push_back(reading);
            content.tableNumbers[m].push_back(number);
            const long long key = DateTimeKey(fields.text[kDateTimeCell].view());
            if (key != 0 && (firstKey == 0 || key < firstKey)) {
                firstKey = key;
                content.firstDateTime = Utf8(fields.text[kDateTimeCell].view());
            }
            if (key != 0 && key > lastKey) {
                lastKey = key;
                content.lastDateTime = Utf8(fields.text[kDateTimeCell].view());
            }
            bool positive = false;
            if (mode == Mode::Paint) {
                const int paintClass = std::clamp(ClassifyPaintFields(fields, settings), 1, 4);
                ++content.paintClasses[static_cast<size_t>(paintClass)];
                positive = paintClass == 1;
                if (positive) {
                    positives.rows.push_back({std::to_string(number), Utf8(fields.text[kRoomCell].view()),
                                              Utf8(fields.text[kSideCell].view()),
                                              Utf8(fields.text[kComponentCell].view()),
                                              Utf8(fields.text[kSubstrateCell].view()),
                                              Utf8(PrintedElementCell(mode, Trim(fields.value[0].view()),
                                                                      Trim(fields.precision[0].view())))});
                }
            } else if (mode == Mode::Alloy) {
                ++grades[Utf8(fields.text[kAlloyGradeCell].view())];
            }
            std::vector<std::string> row;
            for (int column : columns) {
                if (IsValueColumn(mode, column)) {
                    const size_t k = static_cast<size_t>(column - FixedColumns(mode));
                    row.push_back(
                        Utf8(PrintedElementCell(mode, Trim(fields.value[k].view()), Trim(fields.precision[k].view()))));
                } else {
                    row.push_back(Utf8(fields.text[static_cast<size_t>(column)].view()));
                }
            }
            detail.rows.push_back(std::move(row));
            detail.bold.push_back(positive);
            if (mode == Mode::Bulk || mode == Mode::Thin) formatted.push_back(fields);
        }
        if (content.readings[m].empty()) continue;
        counts.rows.push_back({WindowText(mode), std::to_string(content.readings[m].size())});
        if (mode == Mode::Bulk || mode == Mode::Thin) statistics.push_back(ElementStatistics(store, mode, formatted));
        content.detailTables.push_back(std::move(detail));
    }
    if (content.readingCount() == 0) {
        error = "no readings to report";
        return std::nullopt;
    }
    counts.bold.assign(counts.rows.size(), false);
    content.summaryTables.push_back(std::move(counts));
    if (!content.readings[Index(Mode::Paint)].empty()) {
        ReportTable classes{"Paint results", {"Result", "Readings"}, {}, {}, 1, {}};
        constexpr const char* kClassNames[] = {"", "POS", "NEG", "INC", "Not classified (INCOM)"};
        for (size_t c = 1; c <= 4; ++c) classes.rows.push_back({kClassNames[c], std::to_string(content.paintClasses[c])});
        classes.bold = {true, false, false, false};
        content.summaryTables.push_back(std::move(classes));
        const auto& titles = store.titles[Mode::Paint];
        positives.titles = {"No", Utf8(titles[kRoomCell].view()), Utf8(titles[kSideCell].view()),
                            Utf8(titles[kComponentCell].view()), Utf8(titles[kSubstrateCell].view()),
                            Utf8(titles[static_cast<size_t>(FixedColumns(Mode::Paint))].view())};
        positives.bold.assign(positives.rows.size(), true);
        content.summaryTables.push_back(std::move(positives));
    }
    if (!grades.empty()) {
        ReportTable table{"Alloy grades", {"Grade", "Readings"}, {}, {}, 1, {}};
        std::vector<std::pair<std::string, int>> sorted(grades.begin(), grades.end());
        std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
        for (const auto& [grade, count] : sorted) table.rows.push_back({grade, std::to_string(count)});
        table.bold.assign(table.rows.size(), false);
        content.summaryTables.push_back(std::move(table));
    }
    for (ReportTable& table : statistics) content.summaryTables.push_back(std::move(table));
    return content;
}

std::vector<ColumnGroup> SplitColumnGroups(const ReportTable& table, double width, double gap,
                                           const MeasureText& measure) {
    const size_t count = table.titles.size();
    std::vector<double> widths(count, 0.0);
    // Many cells repeat ("NA", "POS", a room name): each text is measured once.
    std::unordered_map<std::string, double> known;
    const auto measured = [&](const std::string& text, bool bold) {
        const std::string key = (bold ? "1" : "0") + text;
        const auto found = known.find(key);
        if (found != known.end()) return found->second;
        return known.emplace(key, measure(text, bold)).first->second;
    };
    for (size_t c = 0; c < count; ++c) widths[c] = measured(table.titles[c], true);
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const bool bold = r < table.bold.size() && table.bold[r];
        for (size_t c = 0; c < count && c < table.rows[r].size(); ++c) {
            widths[c] = std::max(widths[c], measured(table.rows[r][c], bold));
        }
    }
    const size_t identifying = std::min(count, static_cast<size_t>(std::max(table.identifying, 0)));
    std::vector<ColumnGroup> groups;
    size_t next = identifying;
    do {
        ColumnGroup group;
        double x = 0;
        const auto take = [&](size_t c) {
            group.columns.push_back(static_cast<int>(c));
            group.left.push_back(x);
            group.width.push_back(widths[c]);
            x += widths[c] + gap;
        };
        for (size_t c = 0; c < identifying; ++c) take(c);
        const size_t before = group.columns.size();
        while (next < count && (group.columns.size() == before || x + widths[next] <= width)) take(next++);
        groups.push_back(std::move(group));
    } while (next < count);
    return groups;
}

namespace {

// Splits text into lines no wider than width, at blanks where it can and
// inside a word that alone is too wide; line breaks in the text are kept.
std::vector<std::string> Wrap(const std::string& text, double width, const MeasureText& measure) {
    std::vector<std::string> lines;
    for (std::string_view paragraph : Split(text, '\n')) {
        std::string line;
        for (std::string_view word : Split(paragraph, ' ')) {
            std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
            if (line.empty() || measure(candidate, false) <= width) {
                line = std::move(candidate);
            } else {
                lines.push_back(std::move(line));
                line = std::string(word);
            }
            // A word wider than the line is cut where it fills it (never inside a UTF-8 character).
            while (measure(line, false) > width && line.size() > 1) {
                size_t cut = line.size() - 1;
                while (cut > 1 && (measure(line.substr(0, cut), false) > width ||
                                   (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)) {
                    --cut;
                }
                lines.push_back(line.substr(0, cut));
                line.erase(0, cut);
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

PageLine Line(PageLine::Kind kind, std::string text = {}, std::string value = {}) {
    PageLine line;
    line.kind = kind;
    line.text = std::move(text);
    line.value = std::move(value);
    return line;
}

PageLine TableLine(PageLine::Kind kind, int table, int group, int row) {
    PageLine line;
    line.kind = kind;
    line.table = table;
    line.group = group;
    line.row = row;
    return line;
}

class PageFlow {
public:
    PageFlow(ReportPlan& plan, int linesPerPage) : plan_(plan), linesPerPage_(std::max(linesPerPage, 8)) {
        plan_.pages.emplace_back();
    }
    int left() const { return linesPerPage_ - static_cast<int>(plan_.pages.back().size()); }
    void newPage() {
        if (!plan_.pages.back().empty()) plan_.pages.emplace_back();
    }
    // Starts a new page unless lines more lines fit on this one.
    void keep(int lines) {
        if (left() < lines) newPage();
    }
    void add(PageLine line) {
        if (left() <= 0) newPage();
        // A page never starts with an empty line.
        if (line.kind == PageLine::Kind::Blank && line.text.empty() && plan_.pages.back().empty()) return;
        plan_.pages.back().push_back(std::move(line));
    }
    void table(int index, const std::string& caption) {
        const ReportTable& table = plan_.tables[static_cast<size_t>(index)];
        const auto& groups = plan_.groups[static_cast<size_t>(index)];
        for (size_t g = 0; g < groups.size(); ++g) {
            std::string heading = caption;
            if (groups.size() > 1) {
                heading += " (columns " + std::to_string(g + 1) + " of " + std::to_string(groups.size()) + ")";
            }
            keep(table.rows.empty() ? 2 : 3 + (table.legend.empty() ? 0 : 1));
            add(Line(PageLine::Kind::Heading, heading));
            if (table.rows.empty()) {
                add(Line(PageLine::Kind::Text, "None."));
                continue;
            }
            if (!table.legend.empty()) add(Line(PageLine::Kind::Legend, table.legend));
            const PageLine header = TableLine(PageLine::Kind::TableHeader, index, static_cast<int>(g), -1);
            add(header);
            for (size_t r = 0; r < table.rows.size(); ++r) {
                // The header row is repeated at the top of every page of the table.
                if (left() <= 0) {
                    newPage();
                    add(header);
                }
                add(TableLine(PageLine::Kind::TableRow, index, static_cast<int>(g), static_cast<int>(r)));
            }
        }
    }

private:
    ReportPlan& plan_;
    int linesPerPage_;
};

}  // namespace

ReportPlan PlanReport(const ReportContent& content, const ReportTemplate& layoutTemplate, const ReportMetrics& metrics,
                      const MeasureText& measure, bool summaryOnly) {
    ReportPlan plan;
    const auto addTable = [&](const ReportTable& table, double width) {
        plan.tables.push_back(table);
        plan.groups.push_back(SplitColumnGroups(table, width, metrics.cellGap, measure));
        return static_cast<int>(plan.tables.size()) - 1;
    };
    PageFlow flow(plan, metrics.linesPerPage);
    using K = PageLine::Kind;

    // The firm's block stays left of the logo, which takes the top right corner.
    const ReportTemplate& t = layoutTemplate;
    const double firmWidth = std::max(metrics.width - metrics.logoWidth, metrics.width / 2);
    for (std::string& text : Wrap(t.firmName, firmWidth, measure)) {
        if (!text.empty()) flow.add(Line(K::Title, std::move(text)));
    }
    for (const std::string* line : {&t.firmAddress, &t.telephone, &t.licence}) {
        for (std::string& text : Wrap(*line, firmWidth, measure)) {
            if (!text.empty()) flow.add(Line(K::Text, std::move(text)));
        }
    }
    while (static_cast<int>(plan.pages.back().size()) < metrics.logoLines) flow.add(Line(K::Blank, " "));
    flow.add(Line(K::Blank));
    flow.add(Line(K::Title, "Inspection Report"));
    const double labelWidth = metrics.width * 0.28;
    const double valueWidth = metrics.width - labelWidth;
    const auto label = [&](const std::string& name, const std::string& value) {
        bool first = true;
        for (std::string& text : Wrap(value, valueWidth, measure)) {
            flow.add(Line(K::Label, first ? name : std::string(), std::move(text)));
            first = false;
        }
    };
    label("Client", t.clientName);
    if (!t.clientAddress.empty()) label("Client address", t.clientAddress);
    label("Property", t.propertyAddress);
    if (!t.units.empty()) label("Units", t.units);
    if (!t.constructionDate.empty()) label("Date of construction", t.constructionDate);
    std::string dates = content.firstDateTime;
    if (content.lastDateTime != content.firstDateTime) dates += " to " + content.lastDateTime;
    label("Inspection dates", dates);
    for (size_t i = 0; i < t.inspectors.size(); ++i) {
        const ReportInspector& inspector = t.inspectors[i];
        std::string text = inspector.name;
        if (!inspector.certification.empty()) text += ", certification " + inspector.certification;
        label(i == 0 ? (t.inspectors.size() > 1 ? "Inspectors" : "Inspector") : std::string(), text);
    }
    std::string instrument;
    for (const std::string& line : content.instrumentLines) instrument += (instrument.empty() ? "" : "\n") + line;
    label("Instrument", instrument);
    label("Classification", content.ruleLine);
    if (!t.method.empty()) label("Method", t.method);
    flow.add(Line(K::Blank));
    flow.add(Line(K::Title, "Summary"));
    for (const ReportTable& table : content.summaryTables) {
        flow.add(Line(K::Blank));
        flow.table(addTable(table, metrics.width), table.caption);
    }
    if (summaryOnly) return plan;

    for (const ReportTable& table : content.detailTables) {
        flow.newPage();
        flow.table(addTable(table, metrics.width), table.caption);
    }
    // The signature blocks, together on the last page.
    const int signers = std::max<int>(1, static_cast<int>(t.inspectors.size()));
    flow.keep(2 + signers * kSignatureLines);
    flow.add(Line(K::Blank));
    flow.add(Line(K::Heading, "Signatures"));
    for (int i = 0; i < signers; ++i) {
        const bool named = i < static_cast<int>(t.inspectors.size());
        for (int blank = 0; blank < kSignatureLines - 1; ++blank) flow.add(Line(K::Blank));
        flow.add(Line(K::Signature, named ? t.inspectors[static_cast<size_t>(i)].name : std::string("Inspector"),
                  named ? t.inspectors[static_cast<size_t>(i)].certification : std::string()));
    }
    return plan;
}

std::string PageNumberText(int page, int pages) {
    return "Page " + std::to_string(page) + " of " + std::to_string(pages);
}

}  // namespace ravik
