#include "core/readings/mode_codes.h"

namespace ravik {

namespace {

struct EntryInfo {
    CodeEntry entry;
    std::optional<Mode> group;
    int codeBelow60;  // 5.1 < version < 6.0
    int code60;       // 6.0 and above
};

constexpr int kNone = -1;

constexpr EntryInfo kEntries[kCodeEntryCount] = {
    {CodeEntry::PaintFixed, Mode::Paint, 0, 0},
    {CodeEntry::PaintCode1, Mode::Paint, 1, 1},
    {CodeEntry::PaintCode2, Mode::Paint, 2, 2},
    {CodeEntry::PaintCode3, Mode::Paint, 4, 3},
    {CodeEntry::SignCode1, Mode::Sign, 5, 4},
    {CodeEntry::SignCode2, Mode::Sign, 7, 5},
    {CodeEntry::BulkCode1, Mode::Bulk, 8, 6},
    {CodeEntry::ThinCode1, Mode::Thin, 16, 7},
    {CodeEntry::ThinCode2, Mode::Thin, 32, 8},
    {CodeEntry::ThinCode3, Mode::Thin, 64, 9},
    {CodeEntry::ThinCode4, Mode::Thin, 128, 10},
    {CodeEntry::ThinCode5, Mode::Thin, 256, 11},
    {CodeEntry::AlloyCode1, Mode::Alloy, 512, 12},
    {CodeEntry::AlloyCode2, Mode::Alloy, 1024, 13},
    {CodeEntry::AlloyCode3, Mode::Alloy, 2048, 14},
    {CodeEntry::BulkCode2, Mode::Bulk, kNone, 15},
    {CodeEntry::BulkCode3, Mode::Bulk, kNone, 16},
    {CodeEntry::SpareCode1, std::nullopt, kNone, 17},
    {CodeEntry::SpareCode2, std::nullopt, kNone, 18},
    {CodeEntry::AlloyCode4, Mode::Alloy, kNone, 19},
    {CodeEntry::AlloyCode5, Mode::Alloy, kNone, 20},
    {CodeEntry::SignCode3, Mode::Sign, 5, 21},
    {CodeEntry::SignCode4, Mode::Sign, 7, 22},
};

}  // namespace

std::optional<Mode> ModeCodeTable::groupOf(int code) const {
    if (code < 0) return std::nullopt;
    for (const EntryInfo& info : kEntries) {
        if (codes[static_cast<size_t>(info.entry)] == code) return info.group;
    }
    return std::nullopt;
}

bool ModeCodeTable::isAlloyLike(int code) const {
    return is(code, CodeEntry::AlloyCode1) || is(code, CodeEntry::AlloyCode2) ||
           is(code, CodeEntry::AlloyCode3) || is(code, CodeEntry::AlloyCode4) ||
           is(code, CodeEntry::AlloyCode5) || is(code, CodeEntry::BulkCode2) ||
           is(code, CodeEntry::BulkCode3);
}

bool ModeCodeTable::showsNonPositivePrecision(int code) const {
    return is(code, CodeEntry::AlloyCode1) || is(code, CodeEntry::BulkCode2) ||
           is(code, CodeEntry::BulkCode3) || is(code, CodeEntry::AlloyCode4) ||
           is(code, CodeEntry::AlloyCode5);
}

ModeCodeTable ModeCodeTableFor(float fileVersion) {
    const bool from60 = double{fileVersion} >= 6.0;
    ModeCodeTable table;
    for (const EntryInfo& info : kEntries) {
        table.codes[static_cast<size_t>(info.entry)] = from60 ? info.code60 : info.codeBelow60;
    }
    return table;
}

ModeWordLayout ModeWordLayoutFor(float fileVersion) {
    if (double{fileVersion} >= 5.5) return ModeWordLayout{8191, 13};
    return ModeWordLayout{4095, 12};
}

Mode ListModeOfCode(const ModeCodeTable& table, float fileVersion, int code) {
    if (VersionAbove51(fileVersion)) return table.groupOf(code).value_or(Mode::Paint);
    if (code >= 0 && code < kModeCount) return static_cast<Mode>(code);
    return Mode::Paint;
}

}  // namespace ravik
