#include <gtest/gtest.h>

#include "core/output/print_layout.h"
#include "core/output/printer_line.h"
#include "core/views/spectrum_plot.h"
#include "output_store.h"

namespace ravik {
namespace {

TEST(PrintLayout, TableFontStepsDownByPointsThenPixels) {
    struct Case {
        const char* name;
        double centrePerPixel;  // the last column's centre per pixel of font height
        int expected;
    };
    // 144 pixels per inch: 2 pixels per point, 14 points = 28 pixels.
    for (const Case& c : {Case{"fits at 14 points", 50, 28}, Case{"points, then pixels", 100, 19},
                          Case{"never fits", 1e9, 1}}) {
        SCOPED_TRACE(c.name);
        std::vector<int> tried;
        const int height = ChooseTableFontHeight(144, 2000, [&](int pixels) {
            tried.push_back(pixels);
            return c.centrePerPixel * pixels;
        });
        EXPECT_EQ(height, c.expected);
        EXPECT_EQ(tried.front(), 28);
        for (int pixels : tried) EXPECT_GE(pixels, 1);
    }
}

TEST(PrintLayout, HeaderLines) {
    ReadingStore store;
    store.fileTitle = "Lead survey";
    store.site = "Elm St";
    Settings settings;
    const PrintSource source{store, settings, SelectAll, ""};
    EXPECT_EQ(SiteLine(source, {"3/4/2024", "3/4/2024"}, true), "Lead survey Site: Elm St  Date: 3/4/2024");
    // The range runs from the earliest day to the latest, whatever their order.
    sample::RecordSpec later = test::Reading(test::kBulkCode, 1);
    later.timeStamp = test::Day(40);
    sample::RecordSpec earlier = later;
    earlier.timeStamp = test::Day(5);
    const ReadingStore dated = test::StoreWith({later, earlier});
    EXPECT_EQ(SiteLine({dated, settings, SelectAll, ""}, PrintDateRange({dated, settings, SelectAll, ""}, {1, 2}), false),
              "Site: Mill Road  Date: 1/6/1994 to 2/10/1994");
    EXPECT_EQ(SiteLine(source, {"3/4/2024", "3/9/2024"}, false), "Site: Elm St  Date: 3/4/2024 to 3/9/2024");
    EXPECT_EQ(RangesLine(settings), "Ranges (NEG<INC<POS): Device PCS");
    settings.pcs = kPcsUser;
    settings.neg = 0.5f;
    EXPECT_EQ(SpectraHeaderLine(settings, store, kPaintLowKind),
              "Site: Elm St    Ranges (NEG<INC<POS): 0.0<0.50<1.00  Times: minL = 20 Ssec  minK = 120 Ssec");
    EXPECT_EQ(SpectraHeaderLine(settings, store, kAlloyLowKind), "Site: Elm St");
    EXPECT_EQ(PageLabel(4, 3), "Sign. Page 3");
    EXPECT_EQ(SpectraJobText(kThinHighKind, "a.qvr"), "Thin K Spectra\nof\na.qvr");
    EXPECT_EQ(SpectraPageLine("3/4/2024 10:00:00", Mode::Bulk, 2), "Date: 3/4/2024    Bulk Page 2");
}

// Alloy readings of the grades A, B and C, Cu in element column 0.
class AlloyAverages : public ::testing::Test {
protected:
    AlloyAverages() {
        store.titles[Mode::Alloy][16] = Title("Cu");
        for (const char* name : {"A", "B", "C"}) {
            AlloySpecRecord& record = settings.alloySpecs.records[static_cast<size_t>(settings.alloySpecs.count++)];
            record.name = name;
            record.ranges[0] = {"Cu", 0.0f, 12.0f};
            record.rangeCount = 1;
        }
    }
    std::vector<std::string> run(const std::vector<std::pair<const char*, const char*>>& readings) {
        AlloyRunAverager averager(store, settings, {2, 16});
        std::vector<std::string> printed;
        const auto note = [&](const std::optional<AverageLine>& line) {
            if (!line) return;
            printed.push_back("avg " + line->grade + ":" + line->cells.at(0).text + (line->cells[0].outOfRange ? "!" : ""));
        };
        for (const auto& [grade, cu] : readings) {
            ReadingFields fields;
            fields.text[2].set(grade);
            fields.value[0].set(cu);
            note(averager.add(fields));
            printed.push_back(grade);
        }
        note(averager.finish());
        return printed;
    }
    ReadingStore store;
    Settings settings;
};

// Runs of two or more get their average before the next grade; the last run at the end.
TEST_F(AlloyAverages, EachRunGetsItsAverageBeforeTheNextGrade) {
    EXPECT_EQ(run({{"A", "10"}, {"A", "20"}, {"B", "1"}, {"B", "2"}, {"B", "3"}, {"C", "4"}}),
              (std::vector<std::string>{"A", "A", "avg A: 15.00!", "B", "B", "B", "avg B:  2.00", "C", "avg C:  4.00"}));
    EXPECT_EQ(run({{"A", "1"}, {"B", "2"}, {"X", "3"}}), (std::vector<std::string>{"A", "B", "X"}));
}

TEST(PrintLayout, SpectrumPagesAndCells) {
    Settings settings;  // 2 x 2
    EXPECT_EQ(SpectrumPageCount(0, settings), 0);
    EXPECT_EQ(SpectrumPageCount(4, settings), 1);
    EXPECT_EQ(SpectrumPageCount(5, settings), 2);
    settings.xSpect = 0;  // a damaged setting counts as 1
    EXPECT_EQ(SpectrumPageCount(5, settings), 3);
    settings.xSpect = 2;
    const CellRect cell = SpectrumCell(settings, 1, 1, 1020, 1060, 10);
    EXPECT_EQ((std::vector<int>{cell.left, cell.top, cell.right, cell.bottom}),
              (std::vector<int>{500, 500 + 50 + 40, 1000, 1000 + 50}));
}

TEST(PrintLayout, RequestsComeInTheirOrder) {
    using Kind = PrintRequest::Kind;
    Settings settings;
    settings.download = kDownloadDone;
    OutputChoices choices;
    choices.table = choices.lowSpectrum = choices.highSpectrum = choices.status = true;
    choices.mode = Mode::Thin;
    EXPECT_EQ(RequestsFor(choices, settings),
              (std::vector<PrintRequest>{{Kind::Table, 10}, {Kind::Table, 2}, {Kind::Spectra, kThinLowKind},
                                         {Kind::Spectra, kThinHighKind}}));
    choices.mode = Mode::Sign;
    settings.download = kDownloadNone;
    EXPECT_EQ(RequestsFor(choices, settings),
              (std::vector<PrintRequest>{{Kind::Table, 4}, {Kind::Spectra, kSignLowKind}}));
    choices.mode.reset();
    EXPECT_TRUE(RequestsFor(choices, settings).empty());
}

TEST(PrinterLine, KeepsThePrinterAndReadsOtherSystemsLines) {
    const auto parsed = [](const std::string& line) {
        const std::optional<PrinterNames> names = ParsePrinterLine(line);
        return names ? names->device + "|" + names->output : "none";
    };
    const std::string line = FormatPrinterLine({"qt", "Office_Laser", "A4"});
    EXPECT_EQ(line, "8,qt,11,Office_Laser,24,A4");
    EXPECT_EQ(parsed(line), "Office_Laser|A4");
    EXPECT_EQ(parsed("8,winspool,17,HP LaserJet 4,30,LPT1:"), "HP LaserJet 4|LPT1:");
    EXPECT_EQ(parsed("default"), "none");
    EXPECT_EQ(parsed("garbage"), "none");
}

}  // namespace
}  // namespace ravik
