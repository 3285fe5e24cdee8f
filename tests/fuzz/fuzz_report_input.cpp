// Any bytes as a report's reading list ("paint:1-5,9;bulk:2") and as a
// report template file. A list read is sorted, without repeats, in 1..5100;
// a template read never holds a value the file could not hold, and writing
// it and reading it back gives the same text without a warning.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/output/report_layout.h"
#include "core/output/report_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (const std::optional<ReadingPicks> picks = ParseReadingList(text, error)) {
        for (const std::vector<int>& numbers : picks->numbers) {
            for (size_t i = 0; i < numbers.size(); ++i) {
                if (numbers[i] < 1 || numbers[i] > kMaxReadings || (i > 0 && numbers[i] <= numbers[i - 1])) {
                    __builtin_trap();
                }
            }
        }
    } else if (error.empty()) {
        __builtin_trap();
    }
    std::vector<std::string> warnings;
    const ReportTemplate read = ParseReportTemplate(text, warnings);
    const std::string written = ReportTemplateText(read);
    std::vector<std::string> again;
    if (ReportTemplateText(ParseReportTemplate(written, again)) != written || !again.empty()) __builtin_trap();
    return 0;
}
