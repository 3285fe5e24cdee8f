#pragma once
// The text of every field of a reading, the paint classification, and the
// instrument status columns. Every view, sorter, editor, exporter and printer
// reads readings through these, so that all show the same text.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

class Prompter;

inline constexpr int kTextCellCount = 24;
inline constexpr size_t kTextCellSize = 30;
inline constexpr int kValueCellCount = 32;
inline constexpr size_t kValueCellSize = 10;

template <size_t Size>
class Cell {
public:
    Cell() { bytes_.fill(0); }
    // Keeps at most Size - 1 characters.
    void set(std::string_view text) {
        const size_t length = text.size() < Size ? text.size() : Size - 1;
        for (size_t i = 0; i < length; ++i) bytes_[i] = text[i];
        bytes_[length] = '\0';
    }
    std::string_view view() const {
        size_t length = 0;
        while (length < Size && bytes_[length] != '\0') ++length;
        return {bytes_.data(), length};
    }
    char* data() { return bytes_.data(); }
    static constexpr size_t size() { return Size; }

private:
    std::array<char, Size> bytes_;
};

using TextCell = Cell<kTextCellSize>;
using ValueCell = Cell<kValueCellSize>;

struct ReadingFields {
    std::array<TextCell, kTextCellCount> text;
    std::array<ValueCell, kValueCellCount> value;
    std::array<ValueCell, kValueCellCount> precision;
    uint32_t cycleIndex = 0;
    uint32_t cycleCount = 0;
};

// Paint result classes.
inline constexpr std::array<const char*, 6> kPaintClassTexts = {"...", "POS", "NEG",
                                                                "INC", "INCOM", "NotDone"};

// Formats one reading without changing anything: titles are only read and
// no message is shown. number is what the "No" cell shows. Returns false for
// an unknown mode (the cells then hold only "DEF0".."DEF13").
bool FormatReadingFields(const ReadingStore& store, const Settings& settings, int number,
                         Bytes record, ReadingFields& out);

// Learns the column titles of one reading's mode from it, as a load does for
// every reading: the titles formatting the reading would claim. An unknown
// mode is reported ("MODE ERROR"); more element names than element columns
// are reported once per program run.
bool LearnReadingTitles(ReadingStore& store, Bytes record, Prompter& prompter);

// The paint class (1 POS, 2 NEG, 3 INC, 4 INCOM) from the lead values and the
// classification settings.
int ClassifyPaint(double lValue, double lPrecision, double kValue, double kPrecision,
                  std::string_view classText, double measuringSeconds,
                  std::string_view fourthValueText, const Settings& settings);

// The paint class of a formatted Paint reading, as prints and reports take
// it: value and precision cells 0 and 1, cell 17, cell 13 and value cell 3.
int ClassifyPaintFields(const ReadingFields& fields, const Settings& settings);

// The instrument status columns, in this order.
inline constexpr int kStatusCellCount = 17;
inline constexpr std::array<const char*, kStatusCellCount> kStatusTitles = {
    "Meas", "Date", "Time", "Duration", "Dead Time", "Temp", "Det Temp", "Bat V", "Cool V",
    "Supply V", "Power", "PCool", "Bias1", "Bias2", "Leak1", "Leak2", "Resolution"};

struct StatusFields {
    std::array<Cell<24>, kStatusCellCount> cells;
};

void FormatStatusFields(Bytes record, StatusFields& out);

// Reads a decimal number the way the formatter's texts are read back:
// leading blanks, an optional sign, digits with an optional point and
// exponent, up to the first other character; 0 when there is none.
double ReadNumber(std::string_view text);

}  // namespace ravik
