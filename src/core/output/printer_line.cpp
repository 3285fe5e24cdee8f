#include "core/output/printer_line.h"

#include <cstdio>
#include <vector>

namespace ravik {

namespace {

constexpr int kNamesHeaderBytes = 8;

bool IsNumber(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::optional<PrinterNames> ParsePrinterLine(const std::string& line) {
    if (line.find("default") != std::string::npos) return std::nullopt;
    std::vector<std::string> fields;
    size_t start = 0;
    // The last name runs to the end of the line.
    while (fields.size() < 5) {
        const size_t comma = line.find(',', start);
        if (comma == std::string::npos) return std::nullopt;
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(line.substr(start));
    if (!IsNumber(fields[0]) || !IsNumber(fields[2]) || !IsNumber(fields[4]) || fields[3].empty()) return std::nullopt;
    return PrinterNames{fields[1], fields[3], fields[5]};
}

std::string FormatPrinterLine(const PrinterNames& names) {
    const size_t driver = kNamesHeaderBytes;
    const size_t device = driver + names.driver.size() + 1;
    const size_t output = device + names.device.size() + 1;
    char offsets[3][16];
    std::snprintf(offsets[0], sizeof offsets[0], "%zu", driver);
    std::snprintf(offsets[1], sizeof offsets[1], "%zu", device);
    std::snprintf(offsets[2], sizeof offsets[2], "%zu", output);
    return std::string(offsets[0]) + "," + names.driver + "," + offsets[1] + "," + names.device + "," + offsets[2] +
           "," + names.output;
}

}  // namespace ravik
