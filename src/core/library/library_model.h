#pragma once
// The alloy library as the library editor holds it: the grouped and sorted
// lists it shows, and Insert, Copy, Delete, renaming and re-grouping, each
// keeping searchIndex true to the alloys.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/alloy_library.h"

namespace ravik {

class Prompter;

struct EditedLibrary {
    AlloyLibrary library;
    bool changed = false;  // set by every change, cleared when the library is saved
};

// One line of the editor's lists: a group header (the group's name) or an
// alloy ("     %s" with its name).
struct LibraryLine {
    std::string text;
    int group = 0;
    int alloy = -1;  // library index; -1 for a header line
    bool isHeader() const { return alloy < 0; }
};

// Every group's header, each followed by its alloys in library order. Groups
// without alloys show their header too, so an alloy can be inserted there.
std::vector<LibraryLine> GroupedList(const AlloyLibrary& library);
// The alloy lines alone, alphabetically without regard to case.
std::vector<LibraryLine> SortedList(const AlloyLibrary& library);

inline constexpr const char* kNewAlloyName = "New Alloy";

// Insert: a new alloy "New Alloy" with no limits set directly after the
// selected line, in its group (after a header: as the group's first alloy).
// Copy: the same with the selected alloy's limits; a header cannot be copied.
// Both refuse with "User Libray may\r\nnot be more than 425 Alloys" when the
// library is full. They return the new alloy's library index.
std::optional<int> InsertAlloy(EditedLibrary& edited, const LibraryLine& selected, Prompter& prompter);
std::optional<int> CopyAlloy(EditedLibrary& edited, const LibraryLine& selected, Prompter& prompter);

// Delete: removes the selected alloy; header lines cannot be deleted.
bool DeleteAlloy(EditedLibrary& edited, const LibraryLine& selected);

// Renames an alloy: a name longer than 11 characters is cut to 11; a name
// holding a double quote or a control character, which the library file and
// the download cannot carry, is refused with a message.
bool RenameAlloy(EditedLibrary& edited, int alloy, std::string_view name, Prompter& prompter);

// Moves an alloy into a group as its first alloy; returns its new index.
int MoveAlloyToGroup(AlloyLibrary& library, int alloy, int group);

// Closing the editor: with unsaved changes asks "Canceling will loose
// changes\nAre you sure?"; true when the editor may close.
bool ConfirmLibraryClose(const EditedLibrary& edited, Prompter& prompter);

}  // namespace ravik
