// Any bytes as a pick-list file: read it, write the lists back and read them
// again. Written lines always fit the reader, and writing what was read back
// gives the same text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/maintenance/pick_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<CutPickListLine> cut;
    const std::vector<WordList> lists = ParsePickLists(text, PickListLineCount(Mode::Paint), cut);
    for (const WordList& words : lists) {
        for (const std::string& word : words) {
            if (word.empty() || word.find_first_of(",\r\n") != std::string::npos) __builtin_trap();
        }
    }
    const std::string written = PickListsText(lists);
    std::vector<CutPickListLine> cutAgain;
    const std::vector<WordList> again = ParsePickLists(written, PickListLineCount(Mode::Paint), cutAgain);
    if (!cutAgain.empty() || PickListsText(again) != written) __builtin_trap();
    return 0;
}
