#pragma once
// printf-style formatting of the system's texts ("Truncate at Reading #%d",
// "%d%% Complete Records %ld of %ld  %4d", ...) into a std::string of the
// length the text needs.

#include <cstdio>
#include <string>

namespace ravik {

// Texts that fit a small buffer, nearly all of them, are formatted once.
template <typename... Args>
std::string FormatText(const char* format, Args... args) {
    char small[256];
    const int length = std::snprintf(small, sizeof small, format, args...);
    if (length <= 0) return {};
    if (static_cast<size_t>(length) < sizeof small) return std::string(small, static_cast<size_t>(length));
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

}  // namespace ravik
