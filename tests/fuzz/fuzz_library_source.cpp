// Any bytes as a library file: read, check the library is consistent, write
// it back and read it again (it must come back unchanged and whole), then
// insert, copy, delete and apply on it, checking searchIndex after each step.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/library/alloy_edit.h"
#include "core/library/alloy_groups.h"
#include "core/library/library_model.h"
#include "core/library/library_source.h"
#include "core/platform/prompter.h"

namespace {

// Answers every question Yes, so re-grouping is exercised too.
class YesPrompter final : public ravik::Prompter {
public:
    ravik::Answer ask(const std::string&, const std::string&, ravik::Buttons buttons, ravik::Icon) override {
        return buttons == ravik::Buttons::Ok ? ravik::Answer::Ok : ravik::Answer::Yes;
    }
    int choose(const ravik::ChoiceDialog&) override { return ravik::kCancelId; }
};

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> notes;
    const AlloyLibrary library = ReadLibrarySourceText(text, notes);
    Check(IsConsistentLibrary(library));

    const std::string written = LibrarySourceText(library);
    std::vector<std::string> againNotes;
    Check(ReadLibrarySourceText(written, againNotes) == library);
    Check(againNotes.empty());

    YesPrompter prompter;
    EditedLibrary edited{library, false};
    for (size_t step = 0; step < size && step < 16; ++step) {
        const std::vector<LibraryLine> lines = GroupedList(edited.library);
        const LibraryLine line = lines[data[step] % lines.size()];
        switch (data[step] % 4) {
            case 0: InsertAlloy(edited, line, prompter); break;
            case 1: CopyAlloy(edited, line, prompter); break;
            case 2: DeleteAlloy(edited, line); break;
            default:
                if (!line.isHeader()) {
                    EditPairTexts texts = ShownEditPairs(edited.library.alloys[static_cast<size_t>(line.alloy)], line.group);
                    texts[data[step] % kEditPairCount].low = std::string(text.substr(step, 6));
                    ApplyAlloyEdit(edited, line.alloy, text.substr(step, 12), texts, prompter);
                }
        }
        Check(IsConsistentLibrary(edited.library));
    }
    SortedList(edited.library);
    return 0;
}
