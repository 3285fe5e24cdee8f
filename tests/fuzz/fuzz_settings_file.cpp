// Any bytes as "ravik56.ini", "alloy.spc" and "ports.ini". What the settings
// reader takes must write back to a file that reads back to the same text,
// and the alloy table never holds more than its 20 grades of 14 ranges.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    Settings settings;
    if (ParseSettingsFileText(text, settings)) {
        const std::string written = SettingsFileText(settings);
        Settings again;
        if (!ParseSettingsFileText(written, again) || SettingsFileText(again) != written) __builtin_trap();
    }

    const AlloySpecTable table = ParseAlloySpecTable(text);
    if (table.count < 0 || table.count > kAlloySpecRecords) __builtin_trap();
    for (const AlloySpecRecord& record : table.records) {
        if (record.name.size() > 10 || record.secondName.size() > 10) __builtin_trap();
        if (record.rangeCount < 0 || record.rangeCount > kAlloySpecRanges) __builtin_trap();
        for (const AlloySpecRange& range : record.ranges) {
            if (range.element.size() > 2) __builtin_trap();
        }
    }

    const PortPaths paths = ParsePortPaths(text);
    if (ParsePortPaths(PortPathsText(paths)) != paths) __builtin_trap();
    return 0;
}
