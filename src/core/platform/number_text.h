#pragma once
// Fast number texts with exactly the digits of the printf formats the files
// and tables use ("%6.2f", "%-5.2f", "%d"). std::to_chars rounds as printf
// does and is several times faster, which matters because every visible row
// is formatted on every repaint and every exported row once.

#include <cstdint>
#include <string_view>

namespace ravik {

// "%<width>.<precision>f", or "%-<width>.<precision>f" for a negative width.
// Writes into buffer (no terminator) and returns the text, cut to the
// buffer's kNumberTextBuffer characters as snprintf would cut it.
std::string_view FixedText(char* buffer, double value, int width, int precision);

// "%d".
std::string_view IntegerText(char* buffer, long long value);

inline constexpr size_t kNumberTextBuffer = 96;

// Reads a whole number as atoi and strtol do: leading white space, an
// optional sign, then the digits up to the first other character; 0 without
// digits. A number beyond the 32-bit range gives the range's end.
int32_t ReadInteger(std::string_view text);

}  // namespace ravik
