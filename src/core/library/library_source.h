#pragma once
// LibrarySourceText: the alloy library as C source text, which is both the
// ".lib" file the library editor opens and saves and the table source the
// analyzer's library is built from. Lines end with CR LF.

#include <string>
#include <string_view>
#include <vector>

#include "core/library/alloy_library.h"
#include "core/library/library_model.h"

namespace ravik {

class Prompter;

// A library line longer than this is cut (the rest is skipped and told).
inline constexpr size_t kLibraryLineLimit = 4096;
// Library files are read up to this size; a legal library is far smaller.
inline constexpr size_t kLibraryFileLimit = 4 * 1024 * 1024;

// The source text of the library: NALLOY, OTHER_ZN (the library index of the
// first alloy named exactly "Zn", or -1 when there is none), then for every
// group that holds alloys its name as a comment followed by its alloys' rows
// (19 limit pairs each), and the 13 searchIndex values.
std::string LibrarySourceText(const AlloyLibrary& library);

// Reads library source text: the alloy rows after the line holding
// "assayLibrary", in file order, and the searchIndex values of the first
// other line holding "searchIndex". Reading ends there, at the end of the
// text, or at a line that is nothing but its line feed. What the text holds
// beyond what a library can keep is dropped and described in notes: rows past
// the 425th, limit pairs past the 19th (fewer pairs leave the rest not set),
// names cut to 11 characters, cut lines, and searchIndex values that do not
// fit the alloys (taken to start at 0, never decrease and end at the count).
// The library returned is always consistent.
AlloyLibrary ReadLibrarySourceText(std::string_view text, std::vector<std::string>& notes);

enum class LibraryReadOutcome {
    Whole,       // read as it stands
    Corrected,   // read; what did not fit was dropped or corrected and told
    Unreadable,  // the file cannot be read; the library is unchanged
};

// Reads a library file; what was dropped or corrected is told in one
// "Warning" box (and the library is marked as not read whole), an
// unreadable file in a "READ ERROR" box.
LibraryReadOutcome ReadLibraryFile(const std::string& path, AlloyLibrary& library, Prompter& prompter);

// Writes the library's source text to path, replacing an old file only when
// the new one was written whole. Clears the changed flag on success; tells
// the user and returns false otherwise.
bool SaveLibraryFile(const std::string& path, EditedLibrary& edited, Prompter& prompter);

}  // namespace ravik
