#include "core/shell/reading_tally.h"

namespace ravik {

std::string ReadingTallyText(const ReadingStore& store) {
    if (!store.hasReadings()) return "No readings";
    std::string text;
    int marked = 0;
    int hidden = 0;
    for (Mode mode : kAllModes) {
        const ModeList& list = store.list(mode);
        if (list.empty()) continue;
        text += std::string(WindowText(mode)) + ' ' + std::to_string(list.size()) + "   ";
        for (int32_t reading : list) {
            if (store.flags(reading) & Marked) ++marked;
            if (store.flags(reading) & Hidden) ++hidden;
        }
    }
    return text + "Marked " + std::to_string(marked) + "   Hidden " + std::to_string(hidden);
}

}  // namespace ravik
