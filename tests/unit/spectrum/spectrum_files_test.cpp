#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>

#include "core/output/spectrum_files.h"
#include "unit/spectrum/spectrum_reading.h"

namespace ravik {
namespace {

// What a strict reader of the EMSA/MAS format takes from a file: every line
// printable ASCII of at most 80 characters ended by CR LF; the thirteen
// required keywords first and in order, each "#KEYWORD", blanks, ": value";
// #SPECTRUM, NPOINTS data lines "x, y", #ENDOFDATA last.
struct EmsaFile {
    std::map<std::string, std::string> keywords;
    std::vector<std::pair<double, double>> points;
};

EmsaFile ReadStrictly(const std::string& text) {
    static const char* kRequired[] = {"FORMAT",   "VERSION", "TITLE",  "DATE",     "TIME",     "OWNER", "NPOINTS",
                                      "NCOLUMNS", "XUNITS",  "YUNITS", "DATATYPE", "XPERCHAN", "OFFSET"};
    static const std::regex kKeyword(R"(#([A-Z]+) {0,11}: ?([ -~]*))"), kPoint(R"((-?[0-9.]+), (-?[0-9.e+-]+))");
    EXPECT_TRUE(text.ends_with("\r\n"));
    EmsaFile file;
    std::smatch match;
    size_t index = 0, at = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos && !file.keywords.count("ENDOFDATA");
         at = end + 2, ++index) {
        const std::string line = text.substr(at, end - at);
        EXPECT_LE(line.size(), 80u) << line;
        if (file.keywords.count("SPECTRUM") && std::regex_match(line, match, kPoint)) {
            file.points.push_back({std::stod(match[1]), std::stod(match[2])});
            continue;
        }
        EXPECT_TRUE(std::regex_match(line, match, kKeyword) && line.find(':') == 13) << line;
        if (index < std::size(kRequired)) EXPECT_EQ(match[1], kRequired[index]);
        file.keywords[match[1]] = match[2];
    }
    EXPECT_EQ(at, text.size()) << "#ENDOFDATA is the last line";
    EXPECT_EQ(std::atof(file.keywords["NPOINTS"].c_str()), static_cast<double>(file.points.size()));
    return file;
}

// 150 low channels, 160 high ones counting 150 % 7, 151 % 7, ...
ComparedReading Reading() {
    std::vector<double> high;
    for (int i = 150; i < 310; ++i) high.push_back(i % 7);
    ComparedReading reading = test::SpectrumReading(5, std::vector<double>(150, 1.0), 12345, high);
    reading.qvNo = 417;
    reading.timeStamp = 86400 * 365 + 3600 * 5 + 60 * 7;  // 1995-01-01 04:07 UTC, shown (as the table does) 05:07
    reading.fields = {"Room: Kitchen \xB1 hall", std::string(100, 'x')};
    return reading;
}

TEST(SpectrumFiles, EmsaFileReadsBackStrictly) {
    EmsaSpectrum spectrum;
    ASSERT_TRUE(EmsaSpectrumOf(Reading(), SpectrumBand::High, spectrum));
    const EmsaFile file = ReadStrictly(EmsaText(spectrum));
    const std::map<std::string, std::string> expected = {
        {"FORMAT", "EMSA/MAS Spectral Data File"}, {"VERSION", "1.0"}, {"TITLE", "wall.qvr No 5 QVNo 417 High"},
        {"DATE", "01-JAN-1995"}, {"TIME", "05:07"}, {"NPOINTS", "160."}, {"NCOLUMNS", "1."}, {"XUNITS", "keV"},
        {"DATATYPE", "XY"}, {"XPERCHAN", "0.1000"}, {"OFFSET", "45.0000"}, {"SIGNALTYPE", "XRF"},
        {"LIVETIME", "12.345"}, {"COMMENT", std::string(65, 'x')},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(file.keywords.at(key), value) << key;
    ASSERT_EQ(file.points.size(), 160u);
    EXPECT_DOUBLE_EQ(file.points[0].first, 45.0);
    EXPECT_DOUBLE_EQ(file.points[0].second, 150 % 7);  // the first K channel
    EXPECT_DOUBLE_EQ(file.points[159].first, 60.9);

}

TEST(SpectrumFiles, CsvHasAColumnPerReadingOnTheEnergyAxis) {
    SpectrumOverlay overlay;
    overlay.curves = {{1, 0, {1, 2.5, 3}}, {2, 0, {4, 1e-7}}};
    overlay.lastKeV = 0.2;
    EXPECT_EQ(SpectrumCsvText(overlay, {"wall.qvr No 1", "say \"hi\", then"}),
              "keV,wall.qvr No 1,\"say \"\"hi\"\", then\"\r\n0.0,1,4\r\n0.1,2.5,1e-07\r\n0.2,3,\r\n");
    EXPECT_EQ(SpectrumCsvText(overlay, {"a", "b"}, 0.05, 0.1), "keV,a,b\r\n0.1,2.5,1e-07\r\n");
    EXPECT_EQ(EmsaFileName("/data/east wing.qvr", 12), "east wing-12.msa");
}

}  // namespace
}  // namespace ravik
