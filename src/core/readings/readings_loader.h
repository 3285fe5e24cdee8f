#pragma once
// Reading a readings file (".qvr", ".lck") or a received dump into the store.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/readings/reading_store.h"

namespace ravik {

class Prompter;

// The menu commands that ask for a load.
inline constexpr int kOpenCommand = 112;
inline constexpr int kAppendCommand = 147;

// The header's text lines (split at CR and LF, empty lines dropped).
std::vector<std::string> HeaderLines(const char* headerText);

enum class LoadOutcome {
    Whole,            // every reading the header promised was loaded
    TooManyReadings,  // refused: the store would hold more than 5100; store unchanged
    Damaged,          // ends early or holds broken records: the whole ones are loaded
    NotReadingsFile,  // not a readings file's header, or no first record fits; store unchanged
    Unreadable,       // the file cannot be opened; store unchanged
    OutOfMemory,      // the load stopped; the readings before stay
};

// Loads the file into the store: Append (147) adds its readings behind those
// present, any other command replaces them. Marks are cleared; readings
// already open keep their Hidden flag, and the loaded ones take theirs from
// the flags a save wrote behind the records. Every outcome but Whole is told
// to the user once, in the system's message style.
LoadOutcome LoadReadingsFile(ReadingStore& store, const std::string& path, int command,
                             Prompter& prompter);

// The tests a load makes before it changes the store, without loading: Whole
// when the file can be loaded, else NotReadingsFile or Unreadable, told to
// the user as the load would tell it.
LoadOutcome CheckReadingsFile(const std::string& path, Prompter& prompter);

// The Append command's rule: a ".qvr" or ".lck" file may be appended to an
// open ".qvr" or ".lck" file; a file of any other extension only to an open
// file ending in ".qv". Extensions are compared without regard to case.
bool AppendExtensionsMatch(const std::string& chosenPath, const std::string& currentPath);

// The instrument software version in a readings file's header, or nothing
// when the file cannot be read or its header is not a readings file's (text
// lines, at least four, starting with the count).
std::optional<float> ReadFileVersion(const std::string& path);

// The same as LoadReadingsFile for bytes already in memory; path is only used in messages.
LoadOutcome LoadReadingsBytes(ReadingStore& store, std::span<const uint8_t> bytes, const std::string& path,
                       int command, Prompter& prompter);

}  // namespace ravik
