#include <gtest/gtest.h>

#include <cstdio>

#include "output/export_writers.h"
#include "output_store.h"

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
    test::TestFile file;
    sample::RecordSpec first = Reading(test::kBulkCode, 41);
    first.textFields[1] = "Insp:Ann, B";
    first.elements = {Element("Fe", 10.0, 0.5), Element("Zn", 1.0, 0.7)};
    file.add(first);
    sample::RecordSpec hidden = first;
    hidden.instrumentNumber = 99;
    file.add(hidden);
    sample::RecordSpec second = Reading(test::kBulkCode, 42);
    second.textFields[0] = "Site:Shed";
    second.elements = {Element("Fe", 10.0, 0.5)};
    file.add(second);
    ReadingStore store = test::LoadStore(file);
    store.flags(2) = Hidden;
    return store;
}

// Bulk columns No, QVNo, Site, Insp and the element slots of Fe and Zn.
Settings BulkColumns(int form) {
    Settings settings;
    settings.exportForm = form;
    settings.enabledColumns[1] = 0xF;
    settings.enabledColumns[2] = 0x3;
    settings.reportHeader = "Acme Lead\r\n\r\nSecond line\n";
    return settings;
}

TEST(ExportTable, BulkHeaderAndRowsInTheTabForm) {
    const ReadingStore store = BulkStore();
    const Settings settings = BulkColumns(0);
    std::string out;
    ExportTableHeader(out, {store, settings, kEverything}, Index(Mode::Bulk));
    ExportTableRows(out, {store, settings, kEverything}, Mode::Bulk);
    EXPECT_EQ(out,
              "Test survey\r\n"
              "BULK\r\nHeader:\r\n"
              "Acme Lead\r\nSecond line\r\n"
              "Site: Mill Road\r\n"
              "No\tQVNo\tSite\tInsp\tFe \tFe  Error\tZn \tZn  Error\t\r\n\r\n"
              "1\t41\tYard\tAnn, B\t 10.00\t  0.50\t<LOD\t  1.05\t\r\n"
              "3\t42\tShed\t\t 10.00\t  0.50\tNA\t\t\r\n");
}

TEST(ExportTable, CommaFormsQuoteCellsThatHoldCommasQuotesOrLineBreaks) {
    test::TestFile file;
    sample::RecordSpec reading = Reading(test::kBulkCode, 41);
    reading.textFields[1] = "Insp:Ann, B";
    reading.textFields[2] = "Elv:say \"hi\"";
    reading.textFields[3] = "Cor1:a\r\nb";
    file.add(reading);
    ReadingStore store = test::LoadStore(file);
    Settings settings;
    settings.enabledColumns[1] = 0x3E;  // QVNo, Site, Insp, Elv, Cor1
    settings.enabledColumns[2] = 0;
    for (int form : {1, 3}) {
        settings.exportForm = form;
        std::string out;
        ExportTableRows(out, {store, settings, kEverything}, Mode::Bulk);
        EXPECT_EQ(out, "41,Yard,\"Ann, B\",\"say \"\"hi\"\"\",\"a\r\nb\",\r\n") << form;
    }
    settings.exportForm = 2;
    std::string tab;
    ExportTableRows(tab, {store, settings, kEverything}, Mode::Bulk);
    EXPECT_EQ(tab, "41\tYard\tAnn, B\tsay \"hi\"\ta  b\t\r\n");
}

TEST(ExportTable, RowsFollowTheSelection) {
    const ReadingStore store = BulkStore();
    const Settings settings = BulkColumns(0);
    std::string out;
    ExportTableRows(out, {store, settings, SelectAll | SelectPositive | SelectIncomplete}, Mode::Bulk);
    EXPECT_EQ(out, "");  // Bulk rows need Negative
}

// Paint readings on several days; the hidden one and the one the selection
// leaves out must not widen the date range.
ReadingStore PaintDaysStore() {
    test::TestFile file;
    const std::pair<int, int> readings[] = {{272, 1}, {5, 2}, {1, 1}, {273, 3}, {600, 2}, {400, 5}};
    uint16_t number = 1;
    for (const auto& [day, nibble] : readings) {
        sample::RecordSpec recordSpec = PaintReading(number++, nibble);
        recordSpec.timeStamp = Day(day);
        file.add(recordSpec);
    }
    ReadingStore store = test::LoadStore(file);
    store.flags(3) = Hidden;  // day 1
    return store;
}

TEST(ExportTable, PaintSectionDatesAndRanges) {
    const ReadingStore store = PaintDaysStore();
    Settings settings;
    settings.enabledColumns[0] = (1 << 0) | (1 << 17) | (1 << 18);
    // Without Negative the day-600 reading is left out; with Incomplete the
    // "NotDone" reading of day 400 counts (as incomplete). The range shows the
    // readings' whole Date/Time texts.
    const ReadingSelection selection = SelectAll | SelectPositive | SelectIncomplete | SelectSubResults;
    std::string device;
    ExportTableHeader(device, {store, settings, selection}, Index(Mode::Paint));
    EXPECT_EQ(device,
              "Test survey\r\n"
              "PAINT\r\nHeader:\r\n"
              "Site: Mill Road\r\n"
              "Date: 9/30/1994 01:00:00 to 2/5/1995 01:00:00\r\n"
              "Ranges (NEG<INC<POS): Device PCS\r\n\r\n"
              "No\tResult\tPbl \tPbl  Error\t\r\n\r\n");

    settings.pcs = kPcsUser;
    settings.neg = 0.7f;
    settings.pos = 1.25f;
    settings.minLtime = 15;
    settings.minKtime = 90;
    std::string user;
    ExportTableHeader(user, {store, settings, SelectAll | SelectNegative | SelectSubResults}, Index(Mode::Paint));
    // Lead 1.20 lies between the ranges: every reading is INC, none passes.
    EXPECT_NE(user.find("Date: 99/99/99 to 1/1/00\r\n"
                        "Ranges (NEG<INC<POS): 0.0<0.70<1.25  Times: minL = 15 Ssec  minK = 90 Ssec\r\n\r\n"),
              std::string::npos)
        << user;
    std::string inc;
    ExportTableHeader(inc, {store, settings, SelectAll | SelectIncomplete | SelectSubResults}, Index(Mode::Paint));
    EXPECT_NE(inc.find("Date: 1/6/1994 01:00:00 to 8/24/1995 01:00:00\r\n"), std::string::npos) << inc;
}

TEST(ExportTable, AllHeaderModesWritesPaintBulkAndThinWhateverTheStoreHolds) {
    test::TestFile file;
    file.site = "";
    file.add(Reading(test::kAlloyCode, 7));
    const ReadingStore store = test::LoadStore(file);
    Settings settings;
    settings.enabledColumns[0] = (1 << 1) | (1 << 17) | (1 << 18);
    settings.enabledColumns[1] = 1;
    settings.enabledColumns[2] = 0;
    settings.enabledColumns[3] = 2;
    settings.enabledColumns[4] = 1;
    std::string out;
    ExportTableHeader(out, {store, settings, kEverything}, kAllHeaderModes);
    EXPECT_EQ(out,
              "Test survey\r\n"
              "PAINT\r\nHeader:\r\nSite: \r\n"
              "Date: 99/99/99 to 1/1/00\r\nRanges (NEG<INC<POS): Device PCS\r\n\r\n"
              "QVNo\tResult\tPbl \tPbl  Error\t\r\n\r\n"
              "BULK\r\nHeader:\r\nSite: <none>\r\n"
              "No\t\r\n\r\n"
              "THIN\r\nHeader:\r\nSite: \r\n"
              "QVNo\t#1 \t#1  Error\t\r\n\r\n");

    std::string alloy;
    settings.enabledColumns[5] = 0x9;    // No, 2nd
    settings.enabledColumns[6] = 0x200;  // slot 9, "#7\xB1 Prec" without its blank
    ExportTableHeader(alloy, {store, settings, kEverything}, Index(Mode::Alloy));
    EXPECT_EQ(alloy, "Test survey\r\nALLOY\r\nHeader:\r\nSite: <none>\r\nNo\t2nd\t#7\t#7 Error\t\r\n\r\n");
}

TEST(ExportTable, SignSectionSaysNoneForAnEmptySite) {
    test::TestFile file;
    file.site = "";
    file.add(Reading(test::kSignCode, 7));
    const ReadingStore store = test::LoadStore(file);
    Settings settings;
    settings.enabledColumns[7] = 0;
    settings.enabledColumns[8] = 0;
    std::string out;
    ExportTableHeader(out, {store, settings, kEverything}, Index(Mode::Sign));
    EXPECT_EQ(out, "Test survey\r\nSIGN\r\nHeader:\r\nSite: <none>\r\n\r\n\r\n");
}

sample::RecordSpec WithSpectrum(sample::RecordSpec recordSpec, uint16_t low, uint16_t high,
                                std::vector<double> channels) {
    recordSpec.spectrum.lowChannels = low;
    recordSpec.spectrum.highChannels = high;
    for (double value : channels) recordSpec.spectrum.channelWords.push_back(sample::PackMilli(value));
    return recordSpec;
}

TEST(ExportSpectra, ColumnsOfUnequalLengthEndAfterTheFirstEmptyRow) {
    test::TestFile file;
    file.add(WithSpectrum(Reading(test::kBulkCode, 41), 3, 0, {1.5, 2.25, 0.0}));
    file.add(WithSpectrum(Reading(test::kBulkCode, 99), 5, 0, {9, 9, 9, 9, 9}));
    file.add(WithSpectrum(Reading(test::kBulkCode, 42), 1, 1, {7.0, -0.125}));
    file.add(Reading(test::kBulkCode, 43));  // no channels at all
    ReadingStore store = test::LoadStore(file);
    store.flags(2) = Hidden;
    Settings settings;
    settings.reportHeader = "Acme\n";
    int rows = 0;
    std::string out;
    ExportSpectra(out, {store, settings, kEverything}, Mode::Bulk, [&] { ++rows; });
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
    std::string comma;
    ExportSpectra(comma, {store, settings, SelectAll | SelectNegative}, Mode::Bulk);
    EXPECT_NE(comma.find("Channel,41,42,43,\r\n0,1.500,7.000,,\r\n"), std::string::npos) << comma;
}

TEST(ExportSpectra, CellsEqualPrintfForEveryPackedValue) {
    // Every 16-bit channel word once over the first three readings, and the
    // first reading's words again, backwards, in the fourth.
    constexpr uint32_t kPerReading = 21846;
    std::vector<std::vector<uint16_t>> words(4);
    for (uint32_t word = 0; word <= 0xFFFF; ++word) words[word / kPerReading].push_back(static_cast<uint16_t>(word));
    words[3].assign(words[0].rbegin(), words[0].rend());
    test::TestFile file;
    for (size_t r = 0; r < words.size(); ++r) {
        sample::RecordSpec recordSpec = Reading(test::kBulkCode, static_cast<uint16_t>(r + 1));
        recordSpec.spectrum.lowChannels = static_cast<uint16_t>(words[r].size());
        recordSpec.spectrum.channelWords = words[r];
        file.add(recordSpec);
    }
    const ReadingStore store = test::LoadStore(file);
    std::string out;
    ExportSpectra(out, {store, Settings{}, kEverything}, Mode::Bulk);

    std::string expected = "SPECTRA: Bulk\r\nHeader:\r\n\r\n\r\n\r\n\r\nChannel\t1\t2\t3\t4\t\r\n";
    for (size_t channel = 0; channel <= kPerReading; ++channel) {
        expected += std::to_string(channel) + "\t";
        for (const std::vector<uint16_t>& column : words) {
            if (channel < column.size()) {
                char text[64];
                std::snprintf(text, sizeof text, "%4.3f", static_cast<double>(static_cast<float>(PackedMilli(column[channel]))));
                expected += text;
            }
            expected += "\t";
        }
        expected += "\r\n";
    }
    expected += "\r\n\r\n";
    EXPECT_TRUE(out == expected);  // megabytes: no dump on failure
}

TEST(ExportSpectra, NoReadingPassingStillWritesTheLabelAndOneRow) {
    test::TestFile file;
    file.add(WithSpectrum(Reading(test::kThinCode, 41), 2, 0, {1, 2}));
    const ReadingStore store = test::LoadStore(file);
    std::string out;
    ExportSpectra(out, {store, Settings{}, SelectAll | SelectPositive}, Mode::Thin);
    EXPECT_EQ(out, "SPECTRA: Thin\r\nHeader:\r\n\r\n\r\n\r\n\r\nChannel\t\r\n0\t\r\n\r\n\r\n");
}

TEST(ExportStatus, StorageOrderPaintSelectionAndAlwaysTab) {
    test::TestFile file;
    sample::RecordSpec bulk = Reading(test::kBulkCode, 41);
    bulk.timeStamp = Day(5);
    bulk.statusWords[0] = sample::PackMilli(0.25);
    bulk.statusWords[7] = sample::PackMilli(16.384);
    file.add(bulk);
    sample::RecordSpec paint = PaintReading(11, 1);
    paint.timeStamp = Day(40);
    file.add(paint);
    file.add(PaintReading(12, 1));  // hidden below
    ReadingStore store = test::LoadStore(file);
    store.flags(3) = Hidden;
    Settings settings;
    settings.exportForm = 1;
    settings.reportHeader = "Line one\r\nLine two";
    std::string out;
    ExportStatus(out, {store, settings, kEverything});
    EXPECT_EQ(out,
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
    std::string positiveOnly;
    ExportStatus(positiveOnly, {store, settings, SelectAll | SelectPositive | SelectSubResults});
    EXPECT_EQ(positiveOnly.find("\r\n41\t"), std::string::npos);
    EXPECT_NE(positiveOnly.find("\r\n11\t"), std::string::npos);
}

}  // namespace
}  // namespace ravik
