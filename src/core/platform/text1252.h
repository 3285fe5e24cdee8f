#pragma once
// Windows-1252 text. Every text inside readings files, settings, pick lists,
// exports and library files is kept as these bytes; conversion happens only
// where text meets a terminal or the screen.

#include <string>
#include <string_view>

namespace ravik {

// "±" as the single byte it is in every file of the system.
inline constexpr char kPlusMinus = '\xB1';

// Converts Windows-1252 bytes to UTF-8. The five bytes 1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control characters of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);

// Converts UTF-8 to Windows-1252; a character 1252 cannot hold, or a broken
// UTF-8 sequence, becomes '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// The text without its leading and trailing blanks (the fixed-width fields
// of records and tables are padded with them).
inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Orders texts alphabetically without regard to case, as the program's sorted
// word and alloy lists do: the letters of both cases (A-Z and the accented
// letters of 1252) compare as their lower-case forms, other bytes by value.
// Returns <0, 0 or >0 like strcmp.
int CompareIgnoringCase(std::string_view a, std::string_view b);
inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

}  // namespace ravik
