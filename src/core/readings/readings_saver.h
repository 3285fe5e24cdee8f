#pragma once
// Writing the store back as a readings file: all readings, only the marked or
// only the unmarked ones; a locked store as ".LCK" with a negative count.

#include <string>

#include "core/readings/reading_store.h"

namespace ravik {

class Prompter;

enum class SaveSelection { All, Marked, UnMarked };

// The ids of the save-selection dialog "SAVEMARKED".
inline constexpr int kSaveMarkedId = 1047;
inline constexpr int kSaveAllId = 1046;
inline constexpr int kSaveUnMarkedId = 1048;

// The name a save of path writes: its directory and base name with ".LCK"
// for a locked store and ".QVR" otherwise. When path already ends in the
// right extension (compared without regard to case) it is kept as spelled,
// so that saving "site.qvr" on a case-sensitive file system replaces that
// file rather than writing a second "site.QVR" beside it.
std::string SaveTargetName(const std::string& path, bool locked);

// The bytes of the file: the header with its first five characters set to
// the count (" %-4d", or "%-5d" of the negated count for a locked store),
// the selected records mode by mode in list order, the five title tables and
// the flags. The store's header block keeps the new count.
std::string BuildReadingsFile(ReadingStore& store, SaveSelection selection);

// Saves the store under path (see SaveTargetName). Asks before replacing an
// existing file the user did not choose by that name, and asks which
// readings to save when more than one is marked. On success currentFileName
// becomes the name written and true is returned. On a cancel currentFileName
// goes back to previousPath. A failed write never touches the previous file.
bool SaveReadingsFile(ReadingStore& store, const std::string& path, const std::string& previousPath,
                      std::string& currentFileName, Prompter& prompter);

}  // namespace ravik
