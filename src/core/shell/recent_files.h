#pragma once
// The last readings files opened, newest first, shown in the File menu and
// kept in "recent.lst" in the data directory, one path a line.

#include <string>
#include <vector>

namespace ravik {

class Prompter;

inline constexpr const char* kRecentFilesName = "recent.lst";
inline constexpr size_t kRecentFilesKept = 4;

using RecentFiles = std::vector<std::string>;

// The list kept in the directory; empty when there is none. Empty lines and
// entries beyond the fourth are dropped. A list that is refused (not a
// regular file, too large) is told as a "READ ERROR" and read as empty.
RecentFiles ReadRecentFiles(const std::string& directory, Prompter& prompter);
// Writes the list, creating the directory when missing; false on failure.
bool WriteRecentFiles(const std::string& directory, const RecentFiles& files);

// Puts path first; an entry already there moves up, the oldest beyond four goes.
void RememberRecentFile(RecentFiles& files, const std::string& path);
void ForgetRecentFile(RecentFiles& files, const std::string& path);

}  // namespace ravik
