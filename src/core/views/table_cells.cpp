#include "core/views/table_cells.h"

#include "core/platform/text1252.h"

namespace ravik {

namespace {

constexpr int kGradeElementsChecked = 13;

std::string Join(std::string_view left, std::string_view middle, std::string_view right) {
    std::string text(left);
    text += middle;
    text += right;
    return text;
}

bool StartsWith(std::string_view text, char c) { return !text.empty() && text.front() == c; }

CellStyle WithFlagColour(CellStyle style, uint32_t flags) {
    if (flags & Marked) {
        style.color = ColorRole::Marked;
    } else if (flags & Hidden) {
        style.color = ColorRole::Deleted;
    }
    return style;
}

}  // namespace

ValueCellText ValueCellTexts(Mode mode, std::string_view value, std::string_view precision) {
    const std::string plusMinus = std::string(" ") + kPlusMinus;
    if (value == "NA") return {"NA", "N"};
    if (StartsWith(value, '<')) return {Join(value, " = ", precision), Join(value, " =", "")};
    if (mode == Mode::Paint && StartsWith(value, '>')) return {std::string(value), ">>"};
    if (mode == Mode::Alloy && StartsWith(precision, '-')) {
        return {Join(value, " to ", precision.substr(1)), Join(value, " t", "")};
    }
    return {Join(value, plusMinus + " ", precision), Join(value, plusMinus, "")};
}

CellStyle RowStyle(Mode mode, const ReadingFields& fields, uint32_t flags, const Settings& settings) {
    CellStyle style;
    if (mode == Mode::Paint && ClassifyPaintFields(fields, settings) == 1) {
        style = {ColorRole::Positive, true};
    }
    return WithFlagColour(style, flags);
}

CellStyle AlloyValueStyle(bool outOfRange, uint32_t flags) {
    return WithFlagColour(outOfRange ? CellStyle{ColorRole::Positive, true} : CellStyle{}, flags);
}

bool AlloyValueOutOfRange(const AlloySpecTable& specs, std::string_view grade,
                          std::string_view columnTitle, std::string_view value) {
    if (value.empty() || value == "NA") return false;
    const std::string_view wanted = TrimBlanks(grade);
    if (wanted.empty()) return false;
    for (int r = 0; r < specs.count && r < kAlloySpecRecords; ++r) {
        const AlloySpecRecord& record = specs.records[static_cast<size_t>(r)];
        if (TrimBlanks(record.name) != wanted) continue;
        for (int e = 0; e < kGradeElementsChecked; ++e) {
            const AlloySpecRange& range = record.ranges[static_cast<size_t>(e)];
            // A range without an element name is an unused entry, not a
            // name that occurs in every title.
            if (range.element.empty() || columnTitle.find(range.element) == std::string_view::npos) continue;
            const double number = ReadNumber(value);
            return number < range.minimum || number > range.maximum;
        }
        return false;
    }
    return false;
}

}  // namespace ravik
