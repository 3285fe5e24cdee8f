#include "platform/number_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <system_error>

namespace ravik {

std::string_view FixedText(char* buffer, double value, int width, int precision) {
    char digits[400];  // the longest double in fixed form, with its decimals
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision);
    const size_t length = result.ec == std::errc() ? static_cast<size_t>(result.ptr - digits) : 0;
    const bool leftAlign = width < 0;
    const size_t fieldWidth = static_cast<size_t>(leftAlign ? -width : width);
    const size_t padding = fieldWidth > length ? fieldWidth - length : 0;
    // The text is built whole and cut to the buffer, as snprintf cuts.
    size_t at = 0;
    auto put = [&](const char* text, size_t count) {
        const size_t take = std::min(count, kNumberTextBuffer - at);
        std::memcpy(buffer + at, text, take);
        at += take;
    };
    static const char kBlanks[] = "                                                                ";
    auto pad = [&] {
        for (size_t left = padding; left > 0;) {
            const size_t step = std::min(left, sizeof kBlanks - 1);
            put(kBlanks, step);
            left -= step;
        }
    };
    if (!leftAlign) pad();
    put(digits, length);
    if (leftAlign) pad();
    return {buffer, at};
}

std::string_view IntegerText(char* buffer, long long value) {
    const auto result = std::to_chars(buffer, buffer + kNumberTextBuffer, value);
    return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

}  // namespace ravik
