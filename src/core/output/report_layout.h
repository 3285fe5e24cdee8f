#pragma once
// The client report's content and pages: which readings it takes, the
// summary (readings per mode, the Paint classes with every positive
// reading, the Alloy grades, the Bulk and Thin element statistics), the
// detail tables in the program's own field texts, the split of a table too
// wide for the page into column groups, and the flow of all of it into
// numbered pages. Every text here is UTF-8; the painter draws what this
// decides, and tests read it without a printer.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/report_template.h"
#include "core/readings/mode.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

// Readings named by their table No per mode, from "paint:1-5,9;bulk:2".
struct ReadingPicks {
    std::array<std::vector<int>, kModeCount> numbers;  // ascending, no repeats
    std::array<bool, kModeCount> named{};              // the mode appears in the list
};
// Nothing, with error set, for a malformed list: an unknown or repeated
// mode, an empty part, a number that is not 1..5100, a range whose end is
// below its start.
std::optional<ReadingPicks> ParseReadingList(std::string_view list, std::string& error);

struct ReportRequest {
    std::array<bool, kModeCount> modes{true, true, true, true, true};
    std::optional<ReadingPicks> picks;  // none: every reading that is not hidden
    bool markedOnly = false;
};

// A table of the report: titles, rows, rows drawn in bold, and how many
// leading columns identify a reading (repeated in every column group).
struct ReportTable {
    std::string caption;
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> bold;
    int identifying = 0;
    std::string legend;  // under the table's first rows, when not empty
};

struct ReportContent {
    std::array<std::vector<int32_t>, kModeCount> readings;  // reading numbers, in table order
    std::array<std::vector<int>, kModeCount> tableNumbers;  // their No
    std::vector<std::string> instrumentLines;  // the file's serial and software lines
    std::string firstDateTime;
    std::string lastDateTime;
    std::string ruleLine;  // the paint classification in force
    std::array<int, 5> paintClasses{};  // by class index: 1 POS, 2 NEG, 3 INC, 4 not classified
    std::vector<ReportTable> summaryTables;  // counts, positives, grades, element statistics
    std::vector<ReportTable> detailTables;   // one per reported mode
    int readingCount() const;
};

// The content of a report on the store; nothing, with error set, when a
// picked No names no reading of its mode or nothing is left to report.
std::optional<ReportContent> BuildReportContent(const ReadingStore& store, const Settings& settings,
                                                const ReportRequest& request, std::string& error);

// The report's pages. All lengths are in the painter's units; every line of
// the content area is lineHeight high.
using MeasureText = std::function<double(std::string_view text, bool bold)>;

struct ReportMetrics {
    double width = 0;       // of the content area
    int linesPerPage = 0;   // content lines between the page's header and footer
    double cellGap = 0;     // between two columns
    double logoWidth = 0;   // of the first page's logo (0: none), with its gap
    int logoLines = 0;      // lines the logo takes at the top of the first page
};

struct ColumnGroup {
    std::vector<int> columns;  // indexes into the table's titles
    std::vector<double> left;  // x of each column
    std::vector<double> width;
};

// Splits a table into column groups that each fit width: every group starts
// with the identifying columns and takes the following columns while they
// fit (always at least one). A table that fits is one group.
std::vector<ColumnGroup> SplitColumnGroups(const ReportTable& table, double width, double gap,
                                           const MeasureText& measure);

struct PageLine {
    enum class Kind { Blank, Title, Heading, Text, Label, TableHeader, TableRow, Legend, Signature };
    Kind kind = Kind::Blank;
    std::string text;   // Title, Heading, Text, Legend; Label: the label
    std::string value;  // Label: its value; Signature: the certification
    int table = -1;     // into ReportPlan::tables
    int group = 0;
    int row = -1;
};

struct ReportPlan {
    std::vector<ReportTable> tables;
    std::vector<std::vector<ColumnGroup>> groups;  // per table
    std::vector<std::vector<PageLine>> pages;
    std::vector<std::string> warnings;
};

// Lines a signature block takes.
inline constexpr int kSignatureLines = 4;

// Lays out the report: the first page's header (firm, client, property,
// dates, inspectors, instrument, classification rule, method) and the
// summary, then each detail table from a new page with its header row
// repeated on every page, and a signature block for each inspector on the
// last page. summaryOnly stops after the summary.
ReportPlan PlanReport(const ReportContent& content, const ReportTemplate& layoutTemplate, const ReportMetrics& metrics,
                      const MeasureText& measure, bool summaryOnly = false);

// "Page N of M".
std::string PageNumberText(int page, int pages);

}  // namespace ravik
