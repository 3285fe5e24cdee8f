#include "core/library/library_source.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/library/alloy_groups.h"
#include "core/platform/file_io.h"
#include "core/platform/number_text.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

template <typename... Args>
void Append(std::string& out, const char* format, Args... args) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, format, args...);
    out.append(buffer, static_cast<size_t>(std::clamp(length, 0, static_cast<int>(sizeof buffer) - 1)));
}

std::string Number(int value) { return std::to_string(value); }

int OtherZnIndex(const AlloyLibrary& library) {
    const auto zinc = std::find_if(library.alloys.begin(), library.alloys.end(),
                                   [](const AlloyRecord& alloy) { return alloy.name == "Zn"; });
    return zinc == library.alloys.end() ? -1 : static_cast<int>(zinc - library.alloys.begin());
}

// "%5d": a limit right-aligned in five places. A row has 38 of them, so they
// are written without printf.
void AppendLimit(std::string& out, int value) {
    char buffer[kNumberTextBuffer];
    const std::string_view digits = IntegerText(buffer, value);
    if (digits.size() < 5) out.append(5 - digits.size(), ' ');
    out += digits;
}

void AppendAlloyRow(std::string& out, int index, const AlloyRecord& alloy) {
    Append(out, "\t/*%3d*/\t{\"", index);
    out += alloy.name;
    out += "\" ,          ";
    for (int slot = 0; slot < kLimitPairs; ++slot) {
        const LimitPair& pair = alloy.limits[static_cast<size_t>(slot)];
        AppendLimit(out, pair.low);
        out += ",\t";
        AppendLimit(out, pair.high);
        out += slot + 1 < kLimitPairs ? ",          " : ", 0},\r\n";
    }
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t comma = text.find(','); comma != std::string_view::npos; comma = text.find(',', start)) {
        pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

// The limit values of a row: the pieces between commas after the name's
// field, up to the piece holding the row's closing brace. Without a brace,
// a cut line's last piece may itself be cut and is left out, as are blank
// pieces at the end (the line end).
std::vector<int32_t> RowValues(std::string_view afterName, bool lineCut) {
    const size_t nameFieldEnd = afterName.find(',');
    if (nameFieldEnd == std::string_view::npos) return {};
    std::vector<std::string_view> pieces = SplitAtCommas(afterName.substr(nameFieldEnd + 1));
    const auto brace = std::find_if(pieces.begin(), pieces.end(),
                                    [](std::string_view piece) { return piece.find('}') != std::string_view::npos; });
    if (brace != pieces.end()) {
        pieces.erase(brace, pieces.end());
    } else {
        if (lineCut) pieces.pop_back();
        while (!pieces.empty() && IsBlank(pieces.back())) pieces.pop_back();
    }
    std::vector<int32_t> values;
    for (std::string_view piece : pieces) values.push_back(ReadInteger(piece));
    return values;
}

class LibraryReader {
public:
    explicit LibraryReader(std::vector<std::string>& notes) : notes_(notes) {}
    AlloyLibrary read(std::string_view text);

private:
    void readRow(std::string_view line, bool lineCut);
    void readSearchIndex(std::string_view line);
    void fitSearchIndex();
    void note(std::string text) { notes_.push_back(std::move(text)); }

    std::vector<std::string>& notes_;
    AlloyLibrary library_;
    int rows_ = 0;
    std::array<int, kSearchIndexCount> searchIndex_{};
    int searchIndexValues_ = 0;
};

AlloyLibrary LibraryReader::read(std::string_view text) {
    TextLineReader reader(text);
    std::string line;
    bool inLibrary = false;
    int lineNumber = 0;
    while (reader.ReadTextLine(line, kLibraryLineLimit)) {
        ++lineNumber;
        if (line == "\n") break;
        const bool lineCut = reader.lastLineTruncated();
        if (lineCut) {
            note("Line " + Number(lineNumber) + " is longer than " + Number(static_cast<int>(kLibraryLineLimit)) +
                 " characters; the rest of it was not read");
        }
        if (!inLibrary) {
            inLibrary = line.find("assayLibrary") != std::string::npos;
        } else if (line.find("{\"") != std::string::npos) {
            readRow(line, lineCut);
        } else if (line.find("searchIndex") != std::string::npos) {
            readSearchIndex(line);
            break;
        }
    }
    if (rows_ > kMaxAlloys) {
        note("User Libray may\r\nnot be more than 425 Alloys\r\nThe " + Number(rows_ - kMaxAlloys) +
             " alloys after the 425th were not read");
    }
    fitSearchIndex();
    return std::move(library_);
}

void LibraryReader::readRow(std::string_view line, bool lineCut) {
    const size_t open = line.find('"');
    const size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) {
        note("A row without the closing quote of its name was not read: " + std::string(line.substr(0, 40)));
        return;
    }
    if (++rows_ > kMaxAlloys) return;
    AlloyRecord& alloy = library_.alloys.emplace_back();
    const std::string_view name = line.substr(open + 1, close - open - 1);
    alloy.name = name.substr(0, kAlloyNameMaxLength);
    if (name.size() > kAlloyNameMaxLength) note("The name " + std::string(name) + " was cut to " + alloy.name);

    const std::vector<int32_t> values = RowValues(line.substr(close + 1), lineCut);
    const size_t pairs = values.size() / 2;
    for (size_t slot = 0; slot < std::min<size_t>(pairs, kLimitPairs); ++slot) {
        alloy.limits[slot] = {values[2 * slot], values[2 * slot + 1]};
    }
    if (pairs < kLimitPairs) {
        note(alloy.name + ": " + Number(static_cast<int>(pairs)) + " limit pairs; the others are not set");
    } else if (pairs > kLimitPairs) {
        note(alloy.name + ": " + Number(static_cast<int>(pairs)) + " limit pairs; those after the 19th were dropped");
    }
    if (values.size() % 2 != 0) note(alloy.name + ": a limit without its pair was dropped");
}

void LibraryReader::readSearchIndex(std::string_view line) {
    const size_t brace = line.find('{');
    if (brace == std::string_view::npos) return;
    const std::vector<std::string_view> pieces = SplitAtCommas(line.substr(brace + 1));
    searchIndexValues_ = static_cast<int>(std::min<size_t>(pieces.size(), kSearchIndexCount));
    for (int g = 0; g < searchIndexValues_; ++g) searchIndex_[static_cast<size_t>(g)] = ReadInteger(pieces[static_cast<size_t>(g)]);
}

void LibraryReader::fitSearchIndex() {
    const int count = static_cast<int>(library_.alloys.size());
    if (searchIndexValues_ == 0) {
        note("No searchIndex was read: every alloy is filed under BEGIN_FE");
    } else if (searchIndexValues_ < kSearchIndexCount) {
        note("searchIndex holds only " + Number(searchIndexValues_) + " values: the alloys from " +
             Number(searchIndex_[static_cast<size_t>(searchIndexValues_ - 1)]) + " on are filed under " +
             kAlloyGroupNames[static_cast<size_t>(std::min(searchIndexValues_, kAlloyGroupCount) - 1)]);
    }
    for (int g = searchIndexValues_; g < kSearchIndexCount; ++g) searchIndex_[static_cast<size_t>(g)] = count;
    library_.searchIndex = searchIndex_;
    library_.searchIndex = GroupStarts(library_);
    for (int g = 0; g < std::min(searchIndexValues_, kSearchIndexCount); ++g) {
        const auto entry = static_cast<size_t>(g);
        if (searchIndex_[entry] == library_.searchIndex[entry]) continue;
        note("searchIndex[" + Number(g) + "] " + Number(searchIndex_[entry]) + " does not fit the alloys and was taken as " +
             Number(library_.searchIndex[entry]));
    }
}

}  // namespace

std::string LibrarySourceText(const AlloyLibrary& library) {
    const int count = static_cast<int>(library.alloys.size());
    std::string out =
        "#ifndef BASICLIB\r\n#ifdef PRECIOUS_METALS\r\n\t#define NELEMENTRESULT 13\r\n#else\r\n"
        "\t#define NELEMENTRESULT 19\r\n#endif\r\n\r\n";
    for (int twice = 0; twice < 2; ++twice) {
        out += "#define LO \t0 \r\n#define HI \t1 \r\n#define ELEMENT_RES \t100.0\r\n";
    }
    Append(out, "#define NALLOY \t%d\r\n\r\n", count);
    // No line break after "#endif": the next piece follows on the same line.
    Append(out, "\t#define OTHER_ZN\t%d\r\n#endif", OtherZnIndex(library));
    out += "#ifdef DEFINE_LIBRARY\r\n";
    out += "const ALLOY_STRUCT assayLibrary[NALLOY] = \r\n\t{\r\n";
    const std::array<int, kSearchIndexCount> starts = GroupStarts(library);
    for (int g = 0; g < kAlloyGroupCount; ++g) {
        const int first = starts[static_cast<size_t>(g)];
        const int end = starts[static_cast<size_t>(g + 1)];
        if (first == end) continue;
        out += std::string("/*") + kAlloyGroupNames[static_cast<size_t>(g)] + "*/\r\n";
        for (int i = first; i < end; ++i) AppendAlloyRow(out, i, library.alloys[static_cast<size_t>(i)]);
    }
    out += "};\r\n";
    out += "\r\n\r\n\r\n\tint searchIndex[13] = {";
    for (int g = 0; g < kAlloyGroupCount; ++g) Append(out, "%d, ", starts[static_cast<size_t>(g)]);
    Append(out, "%d};\r\n\r\n", starts[kAlloyGroupCount]);
    out += "#else\r\n\textern char libraryVer[10];\r\n\textern ALLOY_STRUCT assayLibrary[NALLOY];\r\n"
           "\textern int searchIndex[13];\r\n#endif\r\n\r\n";
    out += "\r\n#endif";
    return out;
}

AlloyLibrary ReadLibrarySourceText(std::string_view text, std::vector<std::string>& notes) {
    return LibraryReader(notes).read(text);
}

LibraryReadOutcome ReadLibraryFile(const std::string& path, AlloyLibrary& library, Prompter& prompter) {
    std::string text;
    if (const FileStatus status = ReadFileText(path, text, kLibraryFileLimit + 1); status != FileStatus::Ok) {
        prompter.error(ReadProblemText(status, path, "Cannot Open Library File\n" + path), "READ ERROR");
        return LibraryReadOutcome::Unreadable;
    }
    std::vector<std::string> notes;
    if (text.size() > kLibraryFileLimit) {
        text.resize(kLibraryFileLimit);
        notes.push_back("The file is larger than " + Number(static_cast<int>(kLibraryFileLimit)) +
                        " bytes; only its start was read");
    }
    library = ReadLibrarySourceText(text, notes);
    library.readWhole = notes.empty();
    if (library.readWhole) return LibraryReadOutcome::Whole;
    std::string message = path + " was not read whole:";
    for (const std::string& line : notes) message += "\r\n" + line;
    prompter.ask(message, "Warning", Buttons::Ok, Icon::Exclamation);
    return LibraryReadOutcome::Corrected;
}

bool SaveLibraryFile(const std::string& path, EditedLibrary& edited, Prompter& prompter) {
    const bool replacing = FileExists(path);
    if (WriteFileAtomically(path, LibrarySourceText(edited.library)) != FileStatus::Ok) {
        prompter.error("Cannot Save Library File\n" + path + (replacing ? "\nThe previous file is unchanged" : ""),
                       "SAVE ERROR");
        return false;
    }
    edited.changed = false;
    return true;
}

}  // namespace ravik
