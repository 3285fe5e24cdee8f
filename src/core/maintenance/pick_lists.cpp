#include "core/maintenance/pick_lists.h"

#include <algorithm>
#include <initializer_list>

#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"

namespace ravik {

namespace {

// How much of a dropped text a message shows.
constexpr size_t kShownDroppedLength = 20;

bool IsSeparator(char c) { return c == ',' || c == '\r' || c == '\n'; }

void AddWords(WordList& words, std::string_view line) {
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && !IsSeparator(line[i])) continue;
        if (i > start) AddWord(words, line.substr(start, i - start));
        start = i + 1;
    }
}

using Words = std::initializer_list<const char*>;

// The words inspectors use most, by meaning.
const Words kFloors = {"Attic", "Basement", "First", "Ground", "Second", "Third"};
const Words kSides = {"A", "B", "C", "D", "Exterior", "Interior"};
const Words kRooms = {"Bathroom", "Bedroom", "Closet",  "Dining Room", "Garage",   "Hallway",
                      "Kitchen",  "Laundry", "Living Room", "Porch",   "Stairway", "Utility"};
const Words kStructures = {"Baseboard", "Cabinet", "Ceiling", "Door",  "Fence",  "Floor",
                           "Porch",     "Railing", "Shelf",   "Siding", "Stairs", "Wall", "Window"};
const Words kFeatures = {"Apron", "Casing", "Frame", "Handrail", "Jamb", "Newel Post", "Riser",
                         "Sash",  "Sill",   "Stop",  "Threshold", "Tread", "Trough", "Well"};
const Words kSubstrates = {"Brick", "Concrete", "Drywall", "Masonry", "Metal", "Plaster", "Tile", "Wood"};
const Words kConditions = {"Chalking", "Chipping", "Cracked", "Deteriorated", "Fair", "Flaking",
                           "Intact",   "Peeling",  "Poor"};
const Words kColours = {"Beige", "Black", "Blue", "Brown", "Gray", "Green", "Natural", "Red",
                        "White", "Yellow"};
const Words kSampleTypes = {"Air Filter", "Dust", "Dust Wipe", "Paint Chip", "Sediment", "Soil"};
const Words kComponents = {"Bar", "Bolt", "Casting", "Fitting", "Flange", "Pipe", "Plate", "Tube",
                           "Valve", "Weld"};
const Words kDispositions = {"Accepted", "Hold", "Rejected", "Retest"};
const Words kNone = {};

std::vector<WordList> ListsOf(std::initializer_list<const Words*> lines) {
    std::vector<WordList> lists;
    for (const Words* words : lines) {
        WordList& list = lists.emplace_back();
        for (const char* word : *words) AddWord(list, word);
    }
    return lists;
}

}  // namespace

const char* PickListFileName(Mode mode) {
    constexpr const char* kNames[] = {"paint.str", "bulk.str", "thin.str", "alloy.str", "sign.str"};
    return kNames[Index(mode)];
}

int FirstEditableCell(Mode mode) {
    switch (mode) {
        case Mode::Alloy: return 5;
        case Mode::Sign: return 6;
        default: return 2;
    }
}

int EditableCellCount(Mode mode) {
    const int lastCell = FirstEditableCell(mode) == 2 ? 12 : 11;
    return lastCell - FirstEditableCell(mode) + 1;
}

int PickListLineCount(Mode mode) {
    return EditableCellCount(mode) + (FirstEditableCell(mode) == 2 ? 1 : 0);
}

void AddWord(WordList& words, std::string_view word) {
    const auto at = std::upper_bound(words.begin(), words.end(), word,
                                     [](std::string_view text, const std::string& listed) {
                                         return CompareIgnoringCase(text, listed) < 0;
                                     });
    words.insert(at, std::string(word));
}

std::optional<size_t> FindWord(const WordList& words, std::string_view text) {
    auto at = std::find(words.begin(), words.end(), text);
    if (at == words.end()) {
        at = std::find_if(words.begin(), words.end(),
                          [text](const std::string& word) { return EqualIgnoringCase(word, text); });
    }
    if (at == words.end()) return std::nullopt;
    return static_cast<size_t>(at - words.begin());
}

std::vector<WordList> ParsePickLists(std::string_view text, int lineCount,
                                     std::vector<CutPickListLine>& cutLines) {
    std::vector<WordList> lines(static_cast<size_t>(std::max(lineCount, 0)));
    TextLineReader reader(text);
    std::string line;
    for (size_t k = 0; k < lines.size() && reader.ReadTextLine(line, kPickListLineLimit); ++k) {
        if (reader.lastLineTruncated()) {
            // The last word was cut in the middle: drop it rather than keep a
            // word the user never wrote.
            const auto lastSeparator = std::find_if(line.rbegin(), line.rend(), IsSeparator);
            const size_t keep = static_cast<size_t>(line.rend() - lastSeparator);
            cutLines.push_back({static_cast<int>(k + 1), line.substr(keep, kShownDroppedLength)});
            line.resize(keep);
        }
        AddWords(lines[k], line);
    }
    return lines;
}

std::string PickListsText(const std::vector<WordList>& lines) {
    std::string text;
    for (const WordList& words : lines) {
        size_t lineLength = 0;
        for (const std::string& word : words) {
            if (word.empty() || word.find_first_of("\r\n") != std::string::npos) continue;
            if (lineLength + word.size() >= kPickListLineBuffer) continue;
            text += word;
            text += ',';
            lineLength += word.size() + 1;
        }
        text += '\n';
    }
    return text;
}

std::vector<WordList> SeedPickLists(Mode mode) {
    switch (mode) {
        case Mode::Paint:
            // Site, Inspector, Floor, Side, Room, Struc, Sub, Feat, Cnd, Color, Note, cell 13.
            return ListsOf({&kNone, &kNone, &kFloors, &kSides, &kRooms, &kStructures, &kSubstrates,
                            &kFeatures, &kConditions, &kColours, &kNone, &kNone});
        case Mode::Bulk:
        case Mode::Thin:
            // Site, Insp, Elv, Cor1, Side, Cor2, Type, Cnd, Sub, Clr, cells 12 and 13.
            return ListsOf({&kNone, &kNone, &kFloors, &kNone, &kSides, &kNone, &kSampleTypes,
                            &kConditions, &kSubstrates, &kColours, &kNone, &kNone});
        case Mode::Alloy:
            // Name, UNS, the source cell, then four free fields.
            return ListsOf({&kNone, &kNone, &kNone, &kComponents, &kDispositions, &kNone, &kNone});
        case Mode::Sign:
            // The source cell, then five free fields.
            return ListsOf({&kNone, &kComponents, &kDispositions, &kNone, &kNone, &kNone});
    }
    return {};
}

bool ReadPickListFile(const std::string& directory, Mode mode, std::vector<WordList>& lines,
                      Prompter& prompter) {
    const std::string name = PickListFileName(mode);
    const std::string path = DataFilePath(directory, name);
    std::string text;
    FileStatus status = ReadSmallTextFile(path, text);
    if (status == FileStatus::CannotOpen && !FileExists(path)) {
        text = PickListsText(SeedPickLists(mode));
        status = EnsureDataDirectory(directory) ? WriteFileAtomically(path, text) : FileStatus::CannotCreate;
    }
    if (status != FileStatus::Ok) {
        prompter.error(ReadProblemText(status, path, std::string(WindowText(mode)) + " String File Open"), "ERROR");
        return false;
    }
    std::vector<CutPickListLine> cutLines;
    lines = ParsePickLists(text, PickListLineCount(mode), cutLines);
    for (const CutPickListLine& cut : cutLines) {
        prompter.ask(name + " line " + std::to_string(cut.line) + " is longer than " +
                         std::to_string(kPickListLineBuffer) + " characters.\nIts words from \"" +
                         cut.droppedFrom + "\" on were not read.",
                     "Warning", Buttons::Ok, Icon::Exclamation);
    }
    return true;
}

bool WritePickListFile(const std::string& directory, Mode mode, const std::vector<WordList>& lines,
                       Prompter& prompter) {
    std::vector<WordList> fileLines = lines;
    fileLines.resize(static_cast<size_t>(PickListLineCount(mode)));
    const std::string path = DataFilePath(directory, PickListFileName(mode));
    if (WriteFileAtomically(path, PickListsText(fileLines)) == FileStatus::Ok) return true;
    prompter.error("Cannot write " + path + "\nThe word lists were not saved.", "ERROR");
    return false;
}

}  // namespace ravik
