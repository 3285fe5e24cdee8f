#include "core/shell/output_arguments.h"

#include <algorithm>

#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/settings/settings_file.h"

namespace ravik {

std::optional<Mode> ModeNamed(const std::string& name) {
    constexpr const char* kNames[kModeCount] = {"paint", "bulk", "thin", "alloy", "sign"};
    for (Mode mode : kAllModes) {
        if (name == kNames[Index(mode)]) return mode;
    }
    return std::nullopt;
}

bool TakeClasses(const std::string& list, OutputChoices& choices) {
    choices.positive = choices.negative = choices.incomplete = false;
    size_t start = 0;
    while (start < list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, comma - start);
        if (name == "pos") {
            choices.positive = true;
        } else if (name == "neg") {
            choices.negative = true;
        } else if (name == "inc") {
            choices.incomplete = true;
        } else {
            return false;
        }
        start = comma + 1;
    }
    return true;
}

bool LoadSubcommandSettings(const std::string& directory, Settings& settings, Prompter& prompter) {
    if (!FileExists(DataFilePath(directory, kSettingsFileName))) return true;
    return ReadSettings(directory, settings, prompter);
}

}  // namespace ravik
