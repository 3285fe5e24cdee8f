#pragma once
// Column layout of the table windows: which columns a mode shows, how wide
// each one is, and where it stands. Text widths come from a callback, so the
// same rules serve the screen, the printer and the tests.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/readings/column_titles.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

// Width in pixels of a Windows-1252 text in the layout's (bold) font.
using TextWidth = std::function<int(std::string_view)>;

// Title indexes of the columns a mode shows (`enabledColumns`), in column
// order: the fixed columns, then the element columns.
std::vector<int> ShownColumns(Mode mode, const Settings& settings);

constexpr bool IsValueColumn(Mode mode, int column) { return column >= FixedColumns(mode); }

// The widest cell seen in each column and the resulting column widths, kept
// per mode between layouts. Value cells are remembered in their "%s ±" form.
struct ColumnWidthCache {
    std::array<std::string, kMaxTitles> widestCell;
    std::array<int, kMaxTitles> widths{};
};

// Formats every reading of the mode in list order and remembers each
// column's widest cell, then sets the widths as RefreshColumnWidths does.
void RemeasureColumnWidths(const ReadingStore& store, const Settings& settings, Mode mode,
                           const TextWidth& width, ColumnWidthCache& cache);

// Sets the widths from the titles and the remembered widest cells in the
// current font, without visiting the readings: a text column is as wide as
// its title or its widest cell, plus a gap of four blanks; a value column as
// its title plus the gap, or the gap plus twice its widest "%s ±" text,
// because values are centred on their "±".
void RefreshColumnWidths(const ColumnTitles& titles, Mode mode, const TextWidth& width,
                         ColumnWidthCache& cache);

// The table windows' shared view state: the font height chosen for each
// mode's table (negative: character height in pixels) and each mode's
// column widths with the font height they were measured in (0: never).
struct TableViewState {
    std::array<int, kModeCount> modeFontHeight{-18, -18, -18, -18, -18};
    std::array<ColumnWidthCache, kModeCount> widths;
    std::array<int, kModeCount> widthsFontHeight{};
};

enum class ColumnAnchor { Centre, LeftEdge };

struct ColumnLayout {
    std::vector<int> columns;       // title index of each shown column
    std::vector<double> positions;  // its centre (or left edge) in pixels
    std::vector<int> widths;
    int totalWidth = 0;
};

// Screen, printing and preview layouts take the centres; the others left edges.
ColumnLayout LayoutColumns(Mode mode, const Settings& settings, const ColumnWidthCache& cache,
                           ColumnAnchor anchor = ColumnAnchor::Centre);

// The title index of the shown column whose centre is nearest to x (on a tie
// the later one), or 0 when there is none or it lies beyond the mode's titles.
int HitTestColumn(const ColumnLayout& layout, double x, Mode mode);

// Font sizes of the tables, as negative pixel heights (character height).
// A fixed DisplayFontSize n is a font of 2n + 2 points.
int FixedFontHeight(int displayFontSize, int pixelsPerInch);

// The "Fit" search: starting from 16 points-steps (px = pixelsPerInch / 72)
// the height shrinks one step at a time until the table fits the client
// width or the height reaches 4 steps. neededWidth(height) is the width the
// table needs with the font of that (positive) pixel height. Returns the
// positive height chosen.
int FitFontHeight(int pixelsPerInch, int clientWidth, const std::function<int(int)>& neededWidth);

}  // namespace ravik
