#include "core/library/library_model.h"

#include <algorithm>

#include "core/library/alloy_groups.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"

namespace ravik {

namespace {

constexpr const char* kAlloyLinePrefix = "     ";

LibraryLine AlloyLine(const AlloyLibrary& library, int alloy, int group) {
    return {kAlloyLinePrefix + library.alloys[static_cast<size_t>(alloy)].name, group, alloy};
}

bool IsSelectableAlloy(const AlloyLibrary& library, const LibraryLine& line) {
    return !line.isHeader() && line.alloy < static_cast<int>(library.alloys.size());
}

// Puts an alloy at index, inside group: every later group starts one further.
void InsertAt(AlloyLibrary& library, int index, int group, AlloyRecord alloy) {
    library.alloys.insert(library.alloys.begin() + index, std::move(alloy));
    for (int g = group + 1; g < kSearchIndexCount; ++g) ++library.searchIndex[static_cast<size_t>(g)];
}

void RemoveAt(AlloyLibrary& library, int index) {
    const int group = GroupOfAlloy(library, index);
    library.alloys.erase(library.alloys.begin() + index);
    for (int g = group + 1; g < kSearchIndexCount; ++g) --library.searchIndex[static_cast<size_t>(g)];
}

bool HasRoom(const AlloyLibrary& library, Prompter& prompter) {
    if (library.alloys.size() < static_cast<size_t>(kMaxAlloys)) return true;
    prompter.error("User Libray may\r\nnot be more than 425 Alloys", "NOTICE");
    return false;
}

int InsertAfter(EditedLibrary& edited, const LibraryLine& selected, AlloyRecord alloy) {
    AlloyLibrary& library = edited.library;
    const int group = selected.isHeader() ? std::clamp(selected.group, 0, kAlloyGroupCount - 1)
                                          : GroupOfAlloy(library, selected.alloy);
    const int index = selected.isHeader() ? GroupStarts(library)[static_cast<size_t>(group)] : selected.alloy + 1;
    alloy.name = kNewAlloyName;
    InsertAt(library, index, group, std::move(alloy));
    edited.changed = true;
    return index;
}

}  // namespace

std::vector<LibraryLine> GroupedList(const AlloyLibrary& library) {
    const std::array<int, kSearchIndexCount> starts = GroupStarts(library);
    std::vector<LibraryLine> lines;
    lines.reserve(kAlloyGroupCount + library.alloys.size());
    for (int g = 0; g < kAlloyGroupCount; ++g) {
        lines.push_back({kAlloyGroupNames[static_cast<size_t>(g)], g, -1});
        for (int i = starts[static_cast<size_t>(g)]; i < starts[static_cast<size_t>(g + 1)]; ++i) {
            lines.push_back(AlloyLine(library, i, g));
        }
    }
    return lines;
}

std::vector<LibraryLine> SortedList(const AlloyLibrary& library) {
    std::vector<LibraryLine> lines;
    for (const LibraryLine& line : GroupedList(library)) {
        if (!line.isHeader()) lines.push_back(line);
    }
    std::stable_sort(lines.begin(), lines.end(), [](const LibraryLine& a, const LibraryLine& b) {
        return CompareIgnoringCase(a.text, b.text) < 0;
    });
    return lines;
}

std::optional<int> InsertAlloy(EditedLibrary& edited, const LibraryLine& selected, Prompter& prompter) {
    if (!selected.isHeader() && !IsSelectableAlloy(edited.library, selected)) return std::nullopt;
    if (!HasRoom(edited.library, prompter)) return std::nullopt;
    return InsertAfter(edited, selected, AlloyRecord{});
}

std::optional<int> CopyAlloy(EditedLibrary& edited, const LibraryLine& selected, Prompter& prompter) {
    if (!IsSelectableAlloy(edited.library, selected)) return std::nullopt;
    if (!HasRoom(edited.library, prompter)) return std::nullopt;
    return InsertAfter(edited, selected, edited.library.alloys[static_cast<size_t>(selected.alloy)]);
}

bool DeleteAlloy(EditedLibrary& edited, const LibraryLine& selected) {
    if (!IsSelectableAlloy(edited.library, selected)) return false;
    RemoveAt(edited.library, selected.alloy);
    edited.changed = true;
    return true;
}

bool RenameAlloy(EditedLibrary& edited, int alloy, std::string_view name, Prompter& prompter) {
    if (alloy < 0 || alloy >= static_cast<int>(edited.library.alloys.size())) return false;
    name = name.substr(0, kAlloyNameMaxLength);
    const bool carried = std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '"' || byte < 0x20 || byte == 0x7F;
    });
    if (!carried) {
        prompter.error("Alloy Names Can Not Hold Quotes\nor Control Characters", "Error");
        return false;
    }
    std::string& stored = edited.library.alloys[static_cast<size_t>(alloy)].name;
    if (stored != name) edited.changed = true;
    stored = name;
    return true;
}

int MoveAlloyToGroup(AlloyLibrary& library, int alloy, int group) {
    AlloyRecord moved = library.alloys[static_cast<size_t>(alloy)];
    RemoveAt(library, alloy);
    const int index = GroupStarts(library)[static_cast<size_t>(group)];
    InsertAt(library, index, group, std::move(moved));
    return index;
}

bool ConfirmLibraryClose(const EditedLibrary& edited, Prompter& prompter) {
    if (!edited.changed) return true;
    return prompter.askWithDefault("Canceling will loose changes\nAre you sure?", "Warning", Buttons::YesNo,
                                   Icon::Stop, Answer::No) == Answer::Yes;
}

}  // namespace ravik
