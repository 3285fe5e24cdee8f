#pragma once
// What the shell's commands do to the program's state, apart from windows.

#include <string>
#include <string_view>

#include "core/shell/program.h"

namespace ravik {

// The program title (string 1028).
inline constexpr const char* kProgramTitle = "RAVIK 5.7d for Orvex QV";

// Frame captions, as UTF-8 for display: right after start-up the title
// directly followed by "-[File: <none>]"; after a file command
// "%s - [File: %s] %s" with the title, the file's path and its title line.
std::string StartupCaption();
std::string FileCaption(const Program& program);

// A table window's title: "Paint - [Site: %s]" ... with the store's site.
std::string TableWindowTitle(Mode mode, const std::string& site);

// Releases the readings as closing the file does: records, flags and lists
// go, the column titles return to their released defaults and
// unsavedChanges is cleared.
void ReleaseReadings(Program& program);

// Hide Reading and Unhide Reading: the Marked readings become Hidden, or
// normal; nothing stays selected and the work counts as changed.
void HideMarked(Program& program);
void UnhideMarked(Program& program);

// The site dialog's OK: keeps at most 63 characters as the store's site and,
// while `download` is 118, writes it into the file header too.
void ApplySite(Program& program, std::string_view site);

}  // namespace ravik
