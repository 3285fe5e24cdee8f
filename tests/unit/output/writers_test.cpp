#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "output_store.h"
#include "support/export_blocks.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::Day;
using test::Element;
using test::PaintReading;
using test::Reading;

constexpr ReadingSelection kEverything =
    SelectAll | SelectPositive | SelectNegative | SelectIncomplete | SelectSubResults;

// Two shown Bulk readings (one without Zn) and a hidden one.
ReadingStore BulkStore() {
    sample::RecordSpec first = Reading(test::kBulkCode, 41);
    first.textFields[1] = "Insp:Ann, B";
    first.elements = {Element("Fe", 10.0, 0.5), Element("Zn", 1.0, 0.7)};
    sample::RecordSpec hidden = first;
    hidden.instrumentNumber = 99;
    sample::RecordSpec second = Reading(test::kBulkCode, 42);
    second.textFields[0] = "Site:Shed";
    second.elements = {Element("Fe", 10.0, 0.5)};
    ReadingStore store = test::StoreWith({first, hidden, second});
    store.flags(2) = Hidden;
    return store;
}

TEST(ExportTable, BulkHeaderAndRowsInTheTabForm) {
    const ReadingStore store = BulkStore();
    Settings settings;
    settings.enabledColumns[1] = 0xF;  // No, QVNo, Site, Insp
    settings.enabledColumns[2] = 0x3;  // the element slots of Fe and Zn
    settings.reportHeader = "Acme Lead\r\n\r\nSecond line\n";
    EXPECT_EQ(test::TableBlocks({store, settings, kEverything}, Mode::Bulk),
              "Test survey\r\n"
              "BULK\r\nHeader:\r\n"
              "Acme Lead\r\nSecond line\r\n"
              "Site: Mill Road\r\n"
              "No\tQVNo\tSite\tInsp\tFe \tFe  Error\tZn \tZn  Error\t\r\n\r\n"
              "1\t41\tYard\tAnn, B\t 10.00\t  0.50\t<LOD\t  1.05\t\r\n"
              "3\t42\tShed\t\t 10.00\t  0.50\tNA\t\t\r\n");
    // Bulk rows need Negative.
    EXPECT_EQ(test::RowsBlock({store, settings, SelectAll | SelectPositive | SelectIncomplete}, Mode::Bulk), "");
}

TEST(ExportTable, CommaFormsQuoteCellsThatHoldCommasQuotesOrLineBreaks) {
    sample::RecordSpec reading = Reading(test::kBulkCode, 41);
    reading.textFields[1] = "Insp:Ann, B";
    reading.textFields[2] = "Elv:say \"hi\"";
    reading.textFields[3] = "Cor1:a\r\nb";
    const ReadingStore store = test::StoreWith({reading});
    Settings settings;
    settings.enabledColumns[1] = 0x3E;  // QVNo, Site, Insp, Elv, Cor1
    settings.enabledColumns[2] = 0;
    for (int form : {1, 3}) {
        settings.exportForm = form;
        EXPECT_EQ(test::RowsBlock({store, settings, kEverything}, Mode::Bulk),
                  "41,Yard,\"Ann, B\",\"say \"\"hi\"\"\",\"a\r\nb\",\r\n") << form;
    }
    settings.exportForm = 2;
    EXPECT_EQ(test::RowsBlock({store, settings, kEverything}, Mode::Bulk), "41\tYard\tAnn, B\tsay \"hi\"\ta  b\t\r\n");
}

// Paint readings on several days; the hidden one and the one the selection
// leaves out must not widen the date range, and readings of one day are
// ordered by their time, whichever comes first in the list.
TEST(ExportTable, PaintSectionDatesAndRanges) {
    test::TestFile file;
    const std::pair<uint32_t, int> readings[] = {{Day(272) + 7200, 1}, {Day(5), 2},   {Day(1), 1},
                                                 {Day(273), 3},        {Day(600), 2}, {Day(400), 5},
                                                 {Day(400) + 3600, 1}, {Day(272), 3}};
    uint16_t number = 1;
    for (const auto& [time, nibble] : readings) {
        sample::RecordSpec recordSpec = PaintReading(number++, nibble);
        recordSpec.timeStamp = time;
        file.add(recordSpec);
    }
    ReadingStore store = test::LoadStore(file);
    store.flags(3) = Hidden;  // day 1
    Settings settings;
    settings.enabledColumns[0] = (1 << 0) | (1 << 17) | (1 << 18);
    // Without Negative the day-600 reading is left out; with Incomplete the
    // "NotDone" reading of day 400 counts (as incomplete). The range shows the
    // readings' whole Date/Time texts.
    EXPECT_EQ(test::HeaderBlock({store, settings, SelectAll | SelectPositive | SelectIncomplete | SelectSubResults},
                                Index(Mode::Paint)),
              "Test survey\r\n"
              "PAINT\r\nHeader:\r\n"
              "Site: Mill Road\r\n"
              "Date: 9/30/1994 01:00:00 to 2/5/1995 02:00:00\r\n"
              "Ranges (NEG<INC<POS): Device PCS\r\n\r\n"
              "No\tResult\tPbl \tPbl  Error\t\r\n\r\n");

    settings.pcs = kPcsUser;
    settings.neg = 0.7f;
    settings.pos = 1.25f;
    settings.minLtime = 15;
    settings.minKtime = 90;
    // Lead 1.20 lies between the ranges: every reading is INC, none passes.
    const std::string user =
        test::HeaderBlock({store, settings, SelectAll | SelectNegative | SelectSubResults}, Index(Mode::Paint));
    EXPECT_NE(user.find("Date: 99/99/99 to 1/1/00\r\n"
                        "Ranges (NEG<INC<POS): 0.0<0.70<1.25  Times: minL = 15 Ssec  minK = 90 Ssec\r\n\r\n"),
              std::string::npos)
        << user;
    const std::string inc =
        test::HeaderBlock({store, settings, SelectAll | SelectIncomplete | SelectSubResults}, Index(Mode::Paint));
    EXPECT_NE(inc.find("Date: 1/6/1994 01:00:00 to 8/24/1995 01:00:00\r\n"), std::string::npos) << inc;
}

TEST(ExportTable, HeaderSectionsOfAnEmptySite) {
    test::TestFile file;
    file.site = "";
    file.add(Reading(test::kAlloyCode, 7));
    const ReadingStore store = test::LoadStore(file);
    Settings settings;
    settings.enabledColumns = {(1 << 1) | (1 << 17) | (1 << 18), 1, 0, 2, 1, 0x9, 0x200, 0, 0};
    // All header modes: PAINT, BULK and THIN whatever the store holds.
    EXPECT_EQ(test::HeaderBlock({store, settings, kEverything}, kAllHeaderModes),
              "Test survey\r\n"
              "PAINT\r\nHeader:\r\nSite: \r\n"
              "Date: 99/99/99 to 1/1/00\r\nRanges (NEG<INC<POS): Device PCS\r\n\r\n"
              "QVNo\tResult\tPbl \tPbl  Error\t\r\n\r\n"
              "BULK\r\nHeader:\r\nSite: <none>\r\n"
              "No\t\r\n\r\n"
              "THIN\r\nHeader:\r\nSite: \r\n"
              "QVNo\t#1 \t#1  Error\t\r\n\r\n");
    // Alloy columns No, 2nd and slot 9, titled "#7\xB1 Prec" without its blank.
    EXPECT_EQ(test::HeaderBlock({store, settings, kEverything}, Index(Mode::Alloy)),
              "Test survey\r\nALLOY\r\nHeader:\r\nSite: <none>\r\nNo\t2nd\t#7\t#7 Error\t\r\n\r\n");
    EXPECT_EQ(test::HeaderBlock({store, settings, kEverything}, Index(Mode::Sign)),
              "Test survey\r\nSIGN\r\nHeader:\r\nSite: <none>\r\n\r\n\r\n");
}

sample::RecordSpec WithSpectrum(sample::RecordSpec recordSpec, uint16_t low, uint16_t high,
                                std::vector<double> channels) {
    recordSpec.spectrum.lowChannels = low;
    recordSpec.spectrum.highChannels = high;
    for (double value : channels) recordSpec.spectrum.channelWords.push_back(sample::PackMilli(value));
    return recordSpec;
}

TEST(ExportSpectra, ColumnsOfUnequalLengthEndAfterTheFirstEmptyRow) {
    ReadingStore store = test::StoreWith({WithSpectrum(Reading(test::kBulkCode, 41), 3, 0, {1.5, 2.25, 0.0}),
                                          WithSpectrum(Reading(test::kBulkCode, 99), 5, 0, {9, 9, 9, 9, 9}),
                                          WithSpectrum(Reading(test::kBulkCode, 42), 1, 1, {7.0, -0.125}),
                                          Reading(test::kBulkCode, 43)});  // the last without channels
    store.flags(2) = Hidden;
    Settings settings;
    settings.reportHeader = "Acme\n";
    int rows = 0;
    std::string out;
    ExportSink sink(out);
    ExportSpectra(sink, {store, settings, kEverything}, Mode::Bulk, [&] { ++rows; });
    EXPECT_EQ(out,
              "SPECTRA: Bulk\r\nHeader:\r\nAcme\r\n\r\n\r\n\r\n\r\n"
              "Channel\t41\t42\t43\t\r\n"
              "0\t1.500\t7.000\t\t\r\n"
              "1\t2.250\t-0.125\t\t\r\n"
              "2\t0.000\t\t\t\r\n"
              "3\t\t\t\t\r\n"
              "\r\n\r\n");
    EXPECT_EQ(rows, 4);

    settings.exportForm = 3;
    const std::string comma = test::SpectraBlock({store, settings, SelectAll | SelectNegative}, Mode::Bulk);
    EXPECT_NE(comma.find("Channel,41,42,43,\r\n0,1.500,7.000,,\r\n"), std::string::npos) << comma;

    // No reading passing: still the label and one row.
    EXPECT_EQ(test::SpectraBlock({store, Settings{}, SelectAll | SelectPositive}, Mode::Bulk),
              "SPECTRA: Bulk\r\nHeader:\r\n\r\n\r\n\r\n\r\nChannel\t\r\n0\t\r\n\r\n\r\n");
}

// Channel values of every mantissa at ten exponents, both signs: each cell is
// printf's "%.3f" of its value, however many values share a remembered text.
TEST(ExportSpectra, DistinctValuesAreWrittenAsPrintfWritesThem) {
    test::TestFile file;
    for (uint16_t exponent = 0; exponent < 10; ++exponent) {
        sample::RecordSpec recordSpec = Reading(test::kBulkCode, exponent);
        recordSpec.spectrum.lowChannels = 1024;
        for (uint16_t mantissa = 1024; mantissa < 2048; ++mantissa) {
            const auto sign = static_cast<uint16_t>((mantissa + exponent) % 2 << 15);
            recordSpec.spectrum.channelWords.push_back(static_cast<uint16_t>(sign | mantissa << 4 | exponent));
        }
        file.add(recordSpec);
    }
    const ReadingStore store = test::LoadStore(file);
    std::string expected;
    for (size_t channel = 0; channel < 1024; ++channel) {
        expected += std::to_string(channel) + "\t";
        for (int32_t n = 1; n <= 10; ++n) {
            char text[32];
            const uint16_t word = RecordView(store.record(n)).channelWord(channel);
            std::snprintf(text, sizeof text, "%.3f\t", static_cast<double>(static_cast<float>(PackedMilli(word))));
            expected += text;
        }
        expected += "\r\n";
    }
    const std::string out = test::SpectraBlock({store, Settings{}, kEverything}, Mode::Bulk);
    const std::string written = out.substr(out.find("\r\n0\t") + 2, expected.size());
    const auto at = static_cast<size_t>(
        std::mismatch(expected.begin(), expected.end(), written.begin(), written.end()).first - expected.begin());
    EXPECT_EQ(at, expected.size()) << expected.substr(expected.rfind('\n', at) + 1, 100) << "\n"
                                   << written.substr(expected.rfind('\n', at) + 1, 100);
}

TEST(ExportStatus, StorageOrderPaintSelectionAndAlwaysTab) {
    sample::RecordSpec bulk = Reading(test::kBulkCode, 41);
    bulk.timeStamp = Day(5);
    bulk.statusWords[0] = sample::PackMilli(0.25);
    bulk.statusWords[7] = sample::PackMilli(16.384);
    sample::RecordSpec paint = PaintReading(11, 1);
    paint.timeStamp = Day(40);
    ReadingStore store = test::StoreWith({bulk, paint, PaintReading(12, 1)});
    store.flags(3) = Hidden;
    Settings settings;
    settings.exportForm = 1;
    settings.reportHeader = "Line one\r\nLine two";
    EXPECT_EQ(test::StatusBlock({store, settings, kEverything}),
              "STATUS\r\nHeader:\r\nLine one\r\nLine two\r\n"
              "Meas\tDate\tTime\tDuration\tDead Time\tTemp\tDet Temp\tBat V\tCool V\tSupply V\tPower\t"
              "PCool\tBias1\tBias2\tLeak1\tLeak2\tResolution\t\r\n"
              "41\t1/6/1994\t01:00:00\t30.0\t0.250\t0.000\t0.000\t0.000\t0.000\t0.000\t0.000\t"
              "16.384\t0.000\t0.000\t0.000\t0.000\t0.0000\r\n"
              "11\t2/10/1994\t01:00:00\t30.0\t0.000\t0.000\t0.000\t0.000\t0.000\t0.000\t0.000\t"
              " 0.000\t0.000\t0.000\t0.000\t0.000\t0.0000\r\n"
              "\r\n\r\n");

    // The Bulk reading passes as a Paint reading would: its classification
    // is incomplete, so it goes with Incomplete unticked.
    const std::string positiveOnly = test::StatusBlock({store, settings, SelectAll | SelectPositive | SelectSubResults});
    EXPECT_EQ(positiveOnly.find("\r\n41\t"), std::string::npos);
    EXPECT_NE(positiveOnly.find("\r\n11\t"), std::string::npos);
}

// Text streamed into a file arrives whole and in order across the buffer's
// refills, a piece larger than the buffer included.
TEST(ExportSink, StreamsEveryByteInOrder) {
    test::TempDir dir;
    std::vector<StagedFile> files;
    files.emplace_back(dir.file("out.tab"));
    std::string expected;
    ExportSink sink(files.back());
    for (size_t size : {size_t{1000}, ExportSink::kBufferSize - 999, size_t{2}, ExportSink::kBufferSize + 5, size_t{7}}) {
        const std::string piece(size, static_cast<char>('a' + expected.size() % 26));
        sink += piece;
        expected += piece;
    }
    ASSERT_EQ(sink.finish(), FileStatus::Ok);
    ASSERT_EQ(CommitStagedFiles(files), FileStatus::Ok);
    EXPECT_EQ(test::ReadAll(dir.file("out.tab")), expected);
}

}  // namespace
}  // namespace ravik
