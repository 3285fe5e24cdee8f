// Spreadsheet files read back: the CSV with a strict RFC 4180 parser, the
// workbook's sheet XML out of its zip, cell by cell against the CSV.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>

#include "core/output/spreadsheet.h"
#include "support/temp_dir.h"
#include "unit/output/output_store.h"

namespace ravik::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every record ends in CR LF; a field is bare (no quote, comma, CR or LF) or
// quoted with its quotes doubled. Anything else fails the parse.
std::optional<Rows> ParseCsv(const std::string& text) {
    Rows rows(1, std::vector<std::string>(1));
    for (size_t i = 0; i < text.size(); ++i) {
        std::string& field = rows.back().back();
        if (text[i] == '"' && field.empty()) {
            for (++i; i < text.size() && (text[i] != '"' || text.compare(i, 2, "\"\"") == 0); ++i) {
                field += text[i];
                i += text[i] == '"';
            }
            if (i >= text.size() || (i + 1 < text.size() && text[i + 1] != ',' && text[i + 1] != '\r')) return {};
        } else if (text[i] == ',') {
            rows.back().emplace_back();
        } else if (text.compare(i, 2, "\r\n") == 0) {
            if (++i + 1 < text.size()) rows.emplace_back(1);
        } else if (text[i] == '"' || text[i] == '\r' || text[i] == '\n') {
            return {};
        } else {
            field += text[i];
        }
    }
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return {};
    return rows;
}

std::string Unzip(const std::string& zip, const char* member) {
    std::string out;
    std::FILE* pipe = ::popen(("unzip -p '" + zip + "' " + member).c_str(), "r");
    for (int c; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
    if (pipe != nullptr) ::pclose(pipe);
    return out;
}

TEST(SheetFile, CsvAndWorkbookHoldTheShownTableCellByCell) {
    sample::RecordSpec lod = Reading(kBulkCode, 7);
    lod.textFields[0] = "Site:Yard, \"North\"";
    lod.textFields[1] = "Inspector:=cmd";
    lod.elements = {Element("Fe", 1.0, 0.7), Element("Pb", 12.5, 0.3)};  // 0.7 x 1.5 > 1.0: below detection
    sample::RecordSpec noIron = Reading(kBulkCode, 9);
    noIron.timeStamp = 5 * 3600 + 61;
    noIron.elements = {Element("Pb", 3.0, 0.2)};
    sample::RecordSpec range = Reading(kAlloyCode, 10);
    range.elements = {Element("M1", 1, 0), Element("M2", 2, 0), Element("M3", 3, 0), Element("Cr", 18, -20)};
    ReadingStore store = StoreWith({lod, Reading(kBulkCode, 8), noIron, range});
    store.flags(2) = Hidden;
    const Settings settings;
    const TempDir dir;

    const auto csv = [&](Mode mode) {  // writes t.csv and t.xlsx, returns the CSV's rows
        std::string error;
        for (const char* name : {"t.csv", "t.xlsx"}) {
            EXPECT_EQ(WriteSpreadsheet({store, settings, mode, SelectAll | SelectNegative}, dir.file(name), error),
                      FileStatus::Ok) << error;
        }
        return ParseCsv(ReadAll(dir.file("t.csv"))).value_or(Rows{});
    };
    const Rows bulk = csv(Mode::Bulk);
    ASSERT_EQ(bulk.size(), 3u);
    std::map<std::string, size_t> at;
    for (size_t c = 0; c < bulk[0].size(); ++c) at[bulk[0][c]] = c;  // the last of equal titles
    const std::map<std::string, std::vector<std::string>> expected = {
        {"No", {"1", "3"}},        {"Site", {"Yard, \"North\"", "Yard"}},
        {"Inspector", {"'=cmd", ""}}, {"Date/Time", {"1994-01-01T00:00:00", "1994-01-01T05:01:01"}},
        {"Ssec", {"30.0", "30.0"}}, {"Fe", {"<LOD", ""}}, {"Fe Prec", {"1.05", ""}},
        {"Pb", {"12.50", "3.00"}},  {"Pb Prec", {"0.30", "0.20"}}};
    for (const auto& [title, cells] : expected) {
        for (size_t r = 0; r < cells.size(); ++r) EXPECT_EQ(bulk[r + 1].at(at.at(title)), cells[r]) << title;
    }

    // The sheet: header frozen, formats per column, every cell as the CSV has it.
    const std::string xml = Unzip(dir.file("t.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_NE(xml.find("ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\""), std::string::npos);
    EXPECT_NE(Unzip(dir.file("t.xlsx"), "xl/styles.xml").find("formatCode=\"0.00\""), std::string::npos);
    Rows sheet(bulk.size(), std::vector<std::string>(bulk[0].size()));
    const std::regex cell(R"re(<c r="([A-Z]+)(\d+)"[^>]*?( t="inlineStr")?>(?:<v>([^<]*)</v>|<is><t>([^<]*)</t></is>)</c>)re");
    for (std::sregex_iterator it(xml.begin(), xml.end(), cell), end; it != end; ++it) {
        size_t column = 0;
        for (char letter : (*it)[1].str()) column = column * 26 + static_cast<size_t>(letter - 'A' + 1);
        std::string& text = sheet.at(std::stoul((*it)[2]) - 1).at(column - 1);
        text = (*it)[3].matched ? std::regex_replace((*it)[5].str(), std::regex("&quot;"), "\"") : (*it)[4].str();
    }
    // Dates are day numbers from 1899-12-30: 1994-01-01 is day 34335.
    EXPECT_DOUBLE_EQ(std::stod(sheet[1][at["Date/Time"]]), 34335.0);
    EXPECT_DOUBLE_EQ(std::stod(sheet[2][at["Date/Time"]]), 34335.0 + (5 * 3600 + 61) / 86400.0);
    for (size_t r = 0; r < bulk.size(); ++r) {
        for (size_t c = 0; c < bulk[r].size(); ++c) {
            const std::string& want = bulk[r][c];
            if (r > 0 && c == at["Date/Time"]) continue;
            if (!want.empty() && want.find_first_not_of("0123456789.-") == std::string::npos) {
                EXPECT_DOUBLE_EQ(std::stod(sheet[r][c]), std::stod(want)) << r << "," << c;
            } else {
                EXPECT_EQ(sheet[r][c], want == "'=cmd" ? "=cmd" : std::regex_replace(want, std::regex("<"), "&lt;"));
            }
        }
    }

    // An alloy range gives its ends in the two cells.
    const Rows alloy = csv(Mode::Alloy);
    const size_t cr = static_cast<size_t>(std::find(alloy.at(0).begin(), alloy[0].end(), "Cr") - alloy[0].begin());
    EXPECT_EQ(alloy.at(1).at(cr) + " to " + alloy[1].at(cr + 1), "18.00 to 20.00");
}

}  // namespace
}  // namespace ravik::test
