#include "core/platform/number_text.h"

#include <algorithm>
#include <cctype>
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

int32_t ReadInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
    }
    return static_cast<int32_t>(std::clamp<int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX));
}

}  // namespace ravik
