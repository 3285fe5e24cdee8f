#include <gtest/gtest.h>

#include "core/output/report_layout.h"
#include "core/output/report_template.h"
#include "support/temp_dir.h"
#include "unit/output/output_store.h"

namespace ravik {
namespace {

TEST(ReportReadingList, ReadsModesAndRangesAndRefusesMalformedLists) {
    std::string error;
    const std::optional<ReadingPicks> picks = ParseReadingList("paint:1-3,9,2;bulk:5100", error);
    ASSERT_TRUE(picks) << error;
    EXPECT_EQ(picks->numbers[Index(Mode::Paint)], (std::vector<int>{1, 2, 3, 9}));
    EXPECT_EQ(picks->numbers[Index(Mode::Bulk)], std::vector<int>{5100});
    EXPECT_FALSE(picks->named[Index(Mode::Thin)]);
    for (const char* bad : {"", "paint", "paint:", "paint:0", "paint:5101", "paint:3-1", "paint:1-", "paint:1;paint:2",
                            "lead:1", "paint:1,,2", "paint:1;", "paint: 1", "paint:1x"}) {
        EXPECT_FALSE(ParseReadingList(bad, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(ReportTemplateFile, LeavesOutBadValuesAndWritesWhatItReads) {
    const std::string longValue(1001, 'x');
    std::vector<std::string> warnings;
    const ReportTemplate read = ParseReportTemplate(
        "firm=Acme\\nLead\ntelephone=" + longValue + "\nclient=\xC3\xA9tude \xFF\nunits=\xC3\n" +
            "paper=Folio\ninspector=Ann\ncertification=C-1\ninspector=Bo\nlogo=/x.png\nnonsense\n",
        warnings);
    EXPECT_EQ(read.firmName, "Acme\nLead");
    EXPECT_EQ(read.telephone, "");
    EXPECT_EQ(read.clientName, "");
    EXPECT_EQ(read.units, "");
    EXPECT_EQ(read.paperSize, "Letter");
    ASSERT_EQ(read.inspectors.size(), 2u);
    EXPECT_EQ(read.inspectors[0].certification, "C-1");
    EXPECT_EQ(warnings.size(), 5u);  // telephone, client, units, paper, the line without "="

    test::TempDir dir;
    ReportTemplate first;
    warnings.clear();
    ASSERT_TRUE(LoadDataDirectoryTemplate(dir.file("home"), first, warnings));
    EXPECT_TRUE(FileExists(dir.file("home/report.ini")));
    ASSERT_EQ(WriteReportTemplate(dir.file("home/report.ini"), read), FileStatus::Ok);
    ReportTemplate again;
    ASSERT_TRUE(LoadDataDirectoryTemplate(dir.file("home"), again, warnings));
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(ReportTemplateText(again), ReportTemplateText(read));
}

ReadingStore PaintStore() {
    using test::PaintReading;
    // Instrument classes: POS, NEG, POS, INC, INCOM, "...", POS (hidden), NEG.
    ReadingStore store = test::StoreWith({PaintReading(11, 1, 2.0), PaintReading(12, 2, 0.2), PaintReading(13, 1, 1.5),
                                          PaintReading(14, 3), PaintReading(15, 4), PaintReading(16, 0),
                                          PaintReading(17, 1, 3.0), PaintReading(18, 2, 0.1)});
    store.flags(store.list(Mode::Paint)[6]) = Hidden;
    store.flags(store.list(Mode::Paint)[1]) = Marked;
    store.flags(store.list(Mode::Paint)[2]) = Marked;
    return store;
}

TEST(ReportContent, CountsClassesAndPositivesOfTheReportedReadingsOnly) {
    const ReadingStore store = PaintStore();
    const Settings settings;
    struct Case {
        const char* name;
        ReportRequest request;
        std::array<int, 5> classes;
        std::vector<int> numbers;
    };
    std::string error;
    ReportRequest marked;
    marked.markedOnly = true;
    ReportRequest picked;
    picked.picks = ParseReadingList("paint:1-3,7", error);
    for (const Case& c : {Case{"all", {}, {0, 2, 2, 1, 2}, {1, 2, 3, 4, 5, 6, 8}},
                          Case{"marked", marked, {0, 1, 1, 0, 0}, {2, 3}},
                          Case{"picked, hidden left out", picked, {0, 2, 1, 0, 0}, {1, 2, 3}}}) {
        SCOPED_TRACE(c.name);
        const std::optional<ReportContent> content = BuildReportContent(store, settings, c.request, error);
        ASSERT_TRUE(content) << error;
        EXPECT_EQ(content->paintClasses, c.classes);
        EXPECT_EQ(content->tableNumbers[Index(Mode::Paint)], c.numbers);
        const ReportTable& positives = content->summaryTables[2];
        ASSERT_EQ(positives.caption, "Positive Paint readings");
        ASSERT_EQ(static_cast<int>(positives.rows.size()), c.classes[1]);
        EXPECT_EQ(positives.rows.back()[5], "1.50 \xC2\xB1 0.10");  // reading 3, in the table's own text
        const ReportTable& detail = content->detailTables[0];
        EXPECT_EQ(detail.rows.size(), c.numbers.size());
        EXPECT_EQ(std::count(detail.bold.begin(), detail.bold.end(), true), c.classes[1]);
    }
    ReportRequest beyond;
    beyond.picks = ParseReadingList("paint:9", error);
    EXPECT_FALSE(BuildReportContent(store, settings, beyond, error));
    EXPECT_EQ(error, "paint:9 names no reading (the file has 8 Paint readings)");
    ReportRequest none;
    none.picks = ParseReadingList("paint:7", error);
    EXPECT_FALSE(BuildReportContent(store, settings, none, error));
}

TEST(ReportPages, WideTablesSplitIntoGroupsAndEveryTablePageStartsWithItsHeader) {
    ReportTable table{"Wide", {"No", "QVNo", "A", "B", "C", "D"}, {}, {}, 2, {}};
    for (int r = 0; r < 50; ++r) table.rows.push_back({std::to_string(r + 1), "9", "aaaa", "bbbbbb", "cc", "dddddddd"});
    table.bold.assign(table.rows.size(), false);
    const MeasureText measure = [](std::string_view text, bool) { return static_cast<double>(text.size()); };
    const std::vector<ColumnGroup> groups = SplitColumnGroups(table, 18, 1, measure);
    ASSERT_EQ(groups.size(), 3u);
    for (const ColumnGroup& group : groups) {
        EXPECT_EQ(std::vector<int>(group.columns.begin(), group.columns.begin() + 2), (std::vector<int>{0, 1}));
        EXPECT_LE(group.left.back() + group.width.back(), 18);
    }
    EXPECT_EQ(groups[2].columns, (std::vector<int>{0, 1, 5}));

    ReportContent content;
    content.detailTables = {table};
    ReportTemplate people;
    people.inspectors = {{"Ann", "C-1"}, {"Bo", ""}};
    const ReportPlan plan = PlanReport(content, people, {18, 20, 1}, measure);
    int rows = 0;
    for (size_t page = 1; page < plan.pages.size(); ++page) {
        const auto& lines = plan.pages[page];
        ASSERT_LE(lines.size(), 20u);
        const auto header = std::find_if(lines.begin(), lines.end(),
                                         [](const PageLine& l) { return l.kind == PageLine::Kind::TableHeader; });
        const auto row = std::find_if(lines.begin(), lines.end(),
                                      [](const PageLine& l) { return l.kind == PageLine::Kind::TableRow; });
        if (row != lines.end()) EXPECT_LT(header, row) << "page " << page + 1;
        rows += static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                               [](const PageLine& l) { return l.kind == PageLine::Kind::TableRow; }));
    }
    EXPECT_EQ(rows, 50 * 3);  // every row in each group
    const auto& last = plan.pages.back();
    EXPECT_EQ(std::count_if(last.begin(), last.end(), [](const PageLine& l) { return l.kind == PageLine::Kind::Signature; }),
              2);
}

}  // namespace
}  // namespace ravik
