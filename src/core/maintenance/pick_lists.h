#pragma once
// The pick lists: per mode one ".str" file in the data directory, with one
// line of words for each editable cell of the mode's edit dialog, in cell
// order. Words are separated by commas; every word is written followed by a
// comma and every line ends with a single line feed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/readings/mode.h"

namespace ravik {

class Prompter;

// The words of one list, kept alphabetically without regard to case, as the
// edit dialog's drop-down lists show them.
using WordList = std::vector<std::string>;

// A written line holds words while its length stays below this many
// characters; the line feed follows.
inline constexpr size_t kPickListLineBuffer = 2048;
// The longest line that is read whole: 2048 characters and the line feed,
// which is the longest line the writer makes.
inline constexpr size_t kPickListLineLimit = kPickListLineBuffer + 1;

// "paint.str", "bulk.str", "thin.str", "alloy.str", "sign.str".
const char* PickListFileName(Mode mode);

// The cells with a box in the edit dialog: Paint, Bulk and Thin 2 to 12,
// Alloy 5 to 11, Sign 6 to 11. Box k edits cell FirstEditableCell + k.
int FirstEditableCell(Mode mode);
int EditableCellCount(Mode mode);
// Lines of the mode's file: one per editable cell; Paint, Bulk and Thin also
// have the line of cell 13, which has no box and is written empty.
int PickListLineCount(Mode mode);

// Adds a word at its alphabetical place (after words that equal it without
// regard to case).
void AddWord(WordList& words, std::string_view word);
// The word a text selects: the one equal to it byte for byte, else the first
// one equal to it without regard to case.
std::optional<size_t> FindWord(const WordList& words, std::string_view text);

// A line that was longer than kPickListLineLimit: read up to the limit; its
// last, cut word and the rest of the line were dropped.
struct CutPickListLine {
    int line = 0;             // 1-based
    std::string droppedFrom;  // the first characters of the dropped text
};

// Reads lineCount lines (missing lines give empty lists; lines after them are
// ignored). Words are split at every comma, CR and LF; empty words are dropped.
std::vector<WordList> ParsePickLists(std::string_view text, int lineCount,
                                     std::vector<CutPickListLine>& cutLines);

// One line per list, each word followed by a comma while the line's length so
// far plus the word's length stays below 2048 (a word that does not fit is
// left out and the next ones are still tried), then a line feed. Empty words
// and words holding a CR or LF cannot be kept on their line and are left out.
std::string PickListsText(const std::vector<WordList>& lines);

// The word lists a missing file of the mode is seeded with, one per line.
std::vector<WordList> SeedPickLists(Mode mode);

// Reads the mode's file from the directory, seeding it first when it is
// missing. When it can neither be read nor seeded, shows "Paint String File
// Open" (or Bulk, Thin, Alloy, Sign) titled "ERROR" and returns false. Cut
// lines are told in a "Warning" box and the rest is read.
bool ReadPickListFile(const std::string& directory, Mode mode, std::vector<WordList>& lines,
                      Prompter& prompter);

// Replaces the mode's file with the lists (exactly PickListLineCount lines;
// missing lists are written as empty lines). The old file is replaced only
// when the new one was written whole; otherwise the user is told and false
// returned.
bool WritePickListFile(const std::string& directory, Mode mode, const std::vector<WordList>& lines,
                       Prompter& prompter);

}  // namespace ravik
