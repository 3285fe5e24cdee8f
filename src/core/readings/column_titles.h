#pragma once
// Per-mode column titles: table headers, export and print headers, and the
// map from element names to element columns. Each title is a fixed
// 20-character, NUL-terminated text.

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "core/readings/mode.h"

namespace ravik {

inline constexpr size_t kTitleSize = 20;       // bytes, the terminator included
inline constexpr size_t kTitleMaxLength = 19;  // characters
inline constexpr int kMaxTitles = 64;

// Titles (and fixed columns) per mode: Paint 22 (18 fixed, elements 18..21);
// the others 64 (16 fixed, elements 16..47).
constexpr int TitleCount(Mode mode) { return mode == Mode::Paint ? 22 : 64; }
constexpr int FixedColumns(Mode mode) { return mode == Mode::Paint ? 18 : 16; }
constexpr int ElementColumns(Mode mode) { return mode == Mode::Paint ? 4 : 32; }

class Title {
public:
    Title() { bytes_.fill(0); }
    Title(std::string_view text) { assign(text); }  // NOLINT: titles convert from text
    // Keeps at most 19 characters.
    void assign(std::string_view text) {
        bytes_.fill(0);
        std::memcpy(bytes_.data(), text.data(), std::min(text.size(), kTitleMaxLength));
    }
    std::string_view view() const { return {bytes_.data(), std::strlen(bytes_.data())}; }
    const char* c_str() const { return bytes_.data(); }
    bool contains(std::string_view part) const { return view().find(part) != std::string_view::npos; }
    bool operator==(const Title& other) const { return view() == other.view(); }

private:
    std::array<char, kTitleSize> bytes_;
};

using ModeTitles = std::array<Title, kMaxTitles>;

struct ColumnTitles {
    std::array<ModeTitles, kModeCount> modes;
    ModeTitles& operator[](Mode mode) { return modes[static_cast<size_t>(mode)]; }
    const ModeTitles& operator[](Mode mode) const { return modes[static_cast<size_t>(mode)]; }
};

// The titles in force before the first file is loaded.
ColumnTitles StartupColumnTitles();

// The titles restored whenever the store is released (New, Open, closing the
// file's windows); for Alloy and Sign they differ from the start-up titles.
ColumnTitles ReleasedColumnTitles();

}  // namespace ravik
