#pragma once
// The printer line of the settings file: "%d,%s,%d,%s,%d,%s", the offsets
// and names of the driver, the device (the printer's name) and the output
// port, or a line containing "default" for the system's default printer.
// Here the driver is "qt" and the output names the page size.

#include <optional>
#include <string>

namespace ravik {

struct PrinterNames {
    std::string driver;
    std::string device;
    std::string output;
};

// The names of a stored printer; nothing for "default" or a line that
// does not hold three names.
std::optional<PrinterNames> ParsePrinterLine(const std::string& line);

// The line of a printer, with the offsets of a printer names block (the
// names follow a header of four 16-bit words, each ended by a zero byte).
std::string FormatPrinterLine(const PrinterNames& names);

}  // namespace ravik
