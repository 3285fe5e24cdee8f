#pragma once
// printf-style formatting of the system's texts ("Truncate at Reading #%d",
// "%d%% Complete Records %ld of %ld  %4d", ...) into a std::string of the
// length the text needs.

#include <cstdio>
#include <string>

namespace ravik {

template <typename... Args>
std::string FormatText(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

}  // namespace ravik
