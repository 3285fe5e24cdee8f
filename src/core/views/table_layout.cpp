#include "core/views/table_layout.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

#include "core/platform/text1252.h"
#include "core/readings/field_formatter.h"
#include "core/settings/column_masks.h"

namespace ravik {

namespace {

constexpr std::string_view kGap = "    ";

// Measures each distinct text once: a table repeats dates, sites and "NA"
// thousands of times.
class MemoWidth {
public:
    explicit MemoWidth(const TextWidth& width) : width_(width) {}
    int operator()(std::string_view text) {
        const auto found = known_.find(text);
        if (found != known_.end()) return found->second;
        const int measured = width_(text);
        known_.emplace(std::string(text), measured);
        return measured;
    }

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    const TextWidth& width_;
    std::unordered_map<std::string, int, Hash, std::equal_to<>> known_;
};

// A value cell in the form it is measured in: the value followed by " ±".
std::string_view ValueForMeasure(std::string_view value, std::string& buffer) {
    buffer.assign(value);
    buffer += ' ';
    buffer += kPlusMinus;
    return buffer;
}

}  // namespace

std::vector<int> ShownColumns(Mode mode, const Settings& settings) {
    std::vector<int> columns;
    for (int column = 0; column < FixedColumns(mode); ++column) {
        if (FixedColumnShown(settings, mode, column)) columns.push_back(column);
    }
    for (int slot = 0; slot < ElementColumns(mode); ++slot) {
        if (ElementColumnShown(settings, mode, slot)) columns.push_back(FixedColumns(mode) + slot);
    }
    return columns;
}

void RemeasureColumnWidths(const ReadingStore& store, const Settings& settings, Mode mode,
                           const TextWidth& width, ColumnWidthCache& cache) {
    MemoWidth measure(width);
    const int fixed = FixedColumns(mode);
    const int values = ElementColumns(mode);
    std::array<int, kMaxTitles> widest{};
    for (std::string& cell : cache.widestCell) cell.clear();

    auto consider = [&](int column, std::string_view text) {
        const size_t c = static_cast<size_t>(column);
        const int w = measure(text);
        if (w > widest[c]) {
            widest[c] = w;
            cache.widestCell[c] = std::string(text);
        }
    };

    ReadingFields fields;
    std::string valueText;
    int row = 0;
    for (int32_t n : store.list(mode)) {
        ++row;
        FormatReadingFields(store, settings, row, store.record(n), fields);
        for (int column = 0; column < fixed; ++column) consider(column, fields.text[static_cast<size_t>(column)].view());
        for (int k = 0; k < values; ++k) {
            consider(fixed + k, ValueForMeasure(fields.value[static_cast<size_t>(k)].view(), valueText));
        }
    }
    RefreshColumnWidths(store.titles, mode, std::ref(measure), cache);
}

void RefreshColumnWidths(const ColumnTitles& titles, Mode mode, const TextWidth& width,
                         ColumnWidthCache& cache) {
    const int gap = width(kGap);
    for (int column = 0; column < TitleCount(mode); ++column) {
        const size_t c = static_cast<size_t>(column);
        const int titleWidth = width(titles[mode][c].view()) + gap;
        const std::string& cell = cache.widestCell[c];
        int cellWidth = 0;
        if (!cell.empty()) cellWidth = IsValueColumn(mode, column) ? gap + 2 * width(cell) : width(cell) + gap;
        cache.widths[c] = std::max(titleWidth, cellWidth);
    }
}

ColumnLayout LayoutColumns(Mode mode, const Settings& settings, const ColumnWidthCache& cache,
                           ColumnAnchor anchor) {
    ColumnLayout layout;
    layout.columns = ShownColumns(mode, settings);
    double sum = 0.0;
    for (int column : layout.columns) {
        const int w = cache.widths[static_cast<size_t>(column)];
        layout.widths.push_back(w);
        layout.positions.push_back(anchor == ColumnAnchor::Centre ? sum + w / 2.0 : sum);
        sum += w;
    }
    layout.totalWidth = static_cast<int>(sum);
    return layout;
}

int HitTestColumn(const ColumnLayout& layout, double x, Mode mode) {
    int nearest = -1;
    double best = 0.0;
    for (size_t i = 0; i < layout.positions.size(); ++i) {
        const double distance = std::fabs(layout.positions[i] - x);
        if (nearest < 0 || distance <= best) {
            nearest = static_cast<int>(i);
            best = distance;
        }
    }
    if (nearest < 0) return 0;
    const int column = layout.columns[static_cast<size_t>(nearest)];
    return column < TitleCount(mode) ? column : 0;
}

int FixedFontHeight(int displayFontSize, int pixelsPerInch) {
    return -(pixelsPerInch * (2 * displayFontSize + 2)) / 72;
}

int FitFontHeight(int pixelsPerInch, int clientWidth, const std::function<int(int)>& neededWidth) {
    const int step = std::max(1, pixelsPerInch / 72);
    const int floor = 4 * step;
    int height = 16 * step;
    do {
        height -= step;
    } while (height > floor && neededWidth(height) > clientWidth);
    return height;
}

}  // namespace ravik
