#include "core/readings/field_formatter.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/platform/number_text.h"
#include "core/platform/prompter.h"
#include "core/readings/time_stamp.h"

namespace ravik {

namespace {

constexpr size_t kMaxElementColumns = 32;

template <size_t Size, typename... Args>
void Print(Cell<Size>& cell, const char* format, Args... args) {
    std::snprintf(cell.data(), Size, format, args...);
}

template <size_t Size>
void PrintInteger(Cell<Size>& cell, long long value) {
    char buffer[kNumberTextBuffer];
    cell.set(IntegerText(buffer, value));
}

template <size_t Size>
void PrintFixed(Cell<Size>& cell, double value, int width, int precision) {
    char buffer[kNumberTextBuffer];
    cell.set(FixedText(buffer, value, width, precision));
}

// Where the text cells 2..12 come from, by layout (-1: not written).
constexpr int kOtherLayoutFields[13] = {-1, -1, 0, 1, 2, 3, 4, 5, 7, 6, 8, 9, 10};
constexpr int kSignLayoutFields[13] = {-1, -1, 3, 4, 0, 1, 5, 6, 7, 8, 9, 10, -1};

std::string_view SourceText(int sourceBits, bool signLayout) {
    switch (sourceBits) {
        case 1: return signLayout ? "Fe55Only" : "";
        case 2: return "Cd";
        case 3: return "Cd,Fe";
        case 4: return "Am";
        case 6: return "Cd,Am";
        case 7: return "Cd,Am,Fe";
        default: return "";
    }
}

// How one reading is read: its group (title set), the code the rules look at,
// and its source bits.
struct ReadingKind {
    Mode group;
    int code;
    int sourceBits;
};

std::optional<ReadingKind> KindOf(const ReadingStore& store, const RecordHeader& header) {
    const int code = store.modeWordLayout.code(header.modeWord);
    const ModeCodeTable& table = store.modeCodes;
    if (!VersionAbove51(store.fileVersion)) {
        // Old files: source bits count as 2; the code is the mode itself.
        switch (code) {
            case 0: case 8: case 9: return ReadingKind{Mode::Paint, 0, 2};
            case 1: return ReadingKind{Mode::Bulk, table[CodeEntry::BulkCode1], 2};
            case 2: return ReadingKind{Mode::Thin, table[CodeEntry::ThinCode4], 2};
            case 3: return ReadingKind{Mode::Alloy, table[CodeEntry::AlloyCode1], 2};
            case 4: return ReadingKind{Mode::Sign, table[CodeEntry::SignCode1], 2};
            default: return std::nullopt;
        }
    }
    std::optional<Mode> group = table.groupOf(code);
    if (!group) return std::nullopt;
    return ReadingKind{*group, code, store.modeWordLayout.sourceBits(header.modeWord)};
}

bool Contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

// The element name: the entry's first three characters; the third is dropped
// when it is not a letter or digit, and always for the alloy-like codes.
std::string_view ElementName(const ElementEntry& entry, bool alloyLike, char (&buffer)[4]) {
    std::memcpy(buffer, entry.name, 3);
    buffer[3] = '\0';
    if (alloyLike || !std::isalnum(static_cast<unsigned char>(buffer[2]))) buffer[2] = '\0';
    return {buffer, std::strlen(buffer)};
}

struct Reporting {
    Prompter& prompter;
    bool& tooManyReported;
};

// The column titles a reading claims: its mode's titles, the labels of its
// text fields and a column for each of its element names.
class TitleClaims {
public:
    explicit TitleClaims(const ReadingStore& store) : store_(store) {}

    // Learns the reading's mode titles into the store's, as formatting would
    // claim them, without formatting: the text labels, the fixed titles and
    // the element columns.
    bool learn(Bytes record, ColumnTitles& into, Reporting& report);

protected:
    // The reading's kind, with the columns of its mode taken up;
    // an unknown mode is reported when report is given.
    std::optional<ReadingKind> begin(const RecordView& view, Reporting* report);
    void learnTextTitles(const RecordView& view, const ReadingKind& kind);
    int elementColumn(std::string_view name, Reporting* report);

    const ReadingStore& store_;
    // The titles being claimed: the store's own when learning, a scratch
    // copy when formatting (which never changes the store).
    ModeTitles* titles_ = nullptr;
    int fixed_ = 0;
    int lastElementSlot_ = 0;
};

class Formatter : private TitleClaims {
public:
    Formatter(const ReadingStore& store, const Settings& settings, ReadingFields& out)
        : TitleClaims(store), settings_(settings), out_(out) {}

    // Formats the reading; titles are only read.
    bool run(int number, Bytes record);

private:
    void putTextFields(const RecordView& view, const ReadingKind& kind);
    void putElements(const RecordView& view, const ReadingKind& kind);
    void putElementTexts(size_t column, size_t index, std::string_view name, double value,
                         double precision, const ReadingKind& kind);

    const Settings& settings_;
    ReadingFields& out_;
    ModeTitles scratch_;
};

std::optional<ReadingKind> TitleClaims::begin(const RecordView& view, Reporting* report) {
    const RecordHeader& header = view.header();
    const std::optional<ReadingKind> kind = KindOf(store_, header);
    if (!kind) {
        if (report != nullptr) {
            char text[80];
            std::snprintf(text, sizeof text, "Reading %d\r\nUnknown Mode %d", header.instrumentNumber,
                          store_.modeWordLayout.code(header.modeWord));
            report->prompter.error(text, "MODE ERROR");
        }
        return std::nullopt;
    }
    fixed_ = FixedColumns(kind->group);
    lastElementSlot_ = fixed_ + ElementColumns(kind->group) - 1;
    return kind;
}

bool TitleClaims::learn(Bytes record, ColumnTitles& into, Reporting& report) {
    const RecordView view(record);
    if (!view.hasHeader()) return false;
    const std::optional<ReadingKind> kind = begin(view, &report);
    if (!kind) return false;
    titles_ = &into[kind->group];
    learnTextTitles(view, *kind);
    (*titles_)[13] = Title("Ssec");
    (*titles_)[14] = Title("Date/Time");
    const bool alloyLike = store_.modeCodes.isAlloyLike(kind->code);
    const size_t count = std::min(view.elementsAvailable(), kMaxElementColumns);
    for (size_t i = 0; i < count; ++i) {
        char buffer[4];
        elementColumn(ElementName(view.element(i), alloyLike, buffer), &report);
    }
    return true;
}

bool Formatter::run(int number, Bytes record) {
    static constexpr const char* kDefaults[14] = {"DEF0", "DEF1", "DEF2",  "DEF3",  "DEF4",
                                                   "DEF5", "DEF6", "DEF7",  "DEF8",  "DEF9",
                                                   "DEF10", "DEF11", "DEF12", "DEF13"};
    for (size_t i = 0; i < kTextCellCount; ++i) out_.text[i].set(i < 14 ? kDefaults[i] : "");
    for (size_t c = 0; c < kMaxElementColumns; ++c) {
        out_.value[c].set("");
        out_.precision[c].set("");
    }
    out_.cycleIndex = out_.cycleCount = 0;
    const RecordView view(record);
    if (!view.hasHeader()) return false;
    const RecordHeader& header = view.header();
    out_.cycleIndex = header.cycleIndex;
    out_.cycleCount = header.cycleCount;

    const std::optional<ReadingKind> kind = begin(view, nullptr);
    if (!kind) return false;
    scratch_ = store_.titles[kind->group];
    titles_ = &scratch_;

    PrintInteger(out_.text[0], number);
    PrintInteger(out_.text[1], header.instrumentNumber);
    putTextFields(view, *kind);

    PrintFixed(out_.text[13], view.measuringMillis() / 1000.0, 4, 1);
    (*titles_)[13] = Title("Ssec");
    const ShownTime time = ShownTimeOf(view.timeStamp());
    Print(out_.text[14], "%d/%d/%lld %2.2d:%2.2d:%2.2d", time.month, time.day,
          static_cast<long long>(time.year), time.hour, time.minute, time.second);
    (*titles_)[14] = Title("Date/Time");
    Print(out_.text[15], "%d of %d", header.cycleIndex, header.cycleCount);

    putElements(view, *kind);

    for (int i = 0; i < fixed_; ++i) {
        char* text = out_.text[static_cast<size_t>(i)].data();
        for (size_t k = 0; k < kTextCellSize && text[k] != '\0'; ++k) {
            if (text[k] == '\t') text[k] = ' ';
        }
    }
    return true;
}

void TitleClaims::learnTextTitles(const RecordView& view, const ReadingKind& kind) {
    const int* fields = kind.group == Mode::Sign ? kSignLayoutFields : kOtherLayoutFields;
    for (int cell = 2; cell <= 12; ++cell) {
        const int field = fields[cell];
        if (field < 0) continue;
        const std::string_view text = view.textField(field);
        const std::string_view label = text.substr(0, text.find(':'));
        if (!label.empty()) (*titles_)[static_cast<size_t>(cell)] = Title(field == kSourceField ? "Source" : label);
    }
}

void Formatter::putTextFields(const RecordView& view, const ReadingKind& kind) {
    const bool signLayout = kind.group == Mode::Sign;
    const bool usesSourceText =
        signLayout ? (store_.modeCodes.is(kind.code, CodeEntry::SignCode3) ||
                      store_.modeCodes.is(kind.code, CodeEntry::SignCode4))
                   : store_.modeCodes.isAlloyLike(kind.code);
    const int* fields = signLayout ? kSignLayoutFields : kOtherLayoutFields;
    for (int cell = 2; cell <= 12; ++cell) {
        const int field = fields[cell];
        if (field < 0) continue;
        const std::string_view text = view.textField(field);
        const size_t colon = text.find(':');
        const std::string_view value =
            colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
        const bool isSource = field == kSourceField;
        TextCell& target = out_.text[static_cast<size_t>(cell)];
        if (!value.empty()) {
            target.set(value);
        } else if (isSource && usesSourceText) {
            target.set(SourceText(kind.sourceBits, signLayout));
        } else {
            target.set("");
        }
    }
}

void Formatter::putElements(const RecordView& view, const ReadingKind& kind) {
    const size_t count = std::min(view.elementsAvailable(), kMaxElementColumns);
    double values[kMaxElementColumns];
    double precisions[kMaxElementColumns];
    bool hundredFromFourth = false;
    for (size_t i = 0; i < count; ++i) {
        const ElementEntry entry = view.element(i);
        values[i] = static_cast<float>(PackedTenth(entry.valueWord));
        precisions[i] = static_cast<float>(PackedTenth(entry.precisionWord));
        if (i >= 3 && values[i] >= 100.0) hundredFromFourth = true;
    }
    for (size_t c = 0; c < kMaxElementColumns; ++c) {
        out_.value[c].set("NA");
        out_.precision[c].set("NA");
    }
    const bool alloyLike = store_.modeCodes.isAlloyLike(kind.code);
    if (alloyLike) {
        if (hundredFromFourth) {
            for (size_t i = 3; i < count; ++i) {
                values[i] = static_cast<float>(values[i] / 100.0);
                precisions[i] = static_cast<float>(precisions[i] / 100.0);
            }
        }
        if (count > 0 && values[0] >= 200.0) {
            out_.text[2].set("No Match");
            out_.text[3].set("");
            out_.text[4].set("");
        } else if (count > 1 && values[1] >= 200.0) {
            out_.text[3].set("");
            out_.text[4].set("");
        } else if (count > 2 && values[2] >= 200.0) {
            out_.text[4].set("");
        }
    } else if (kind.group == Mode::Paint) {
        for (size_t i = 0; i < count; ++i) {
            values[i] = static_cast<float>(values[i] / 1000.0);
            precisions[i] = static_cast<float>(precisions[i] / 1000.0);
        }
        PrintFixed(out_.text[16], PackedMilli(view.resultsWord(2)), 2, 1);
        if (settings_.pcs == kPcsUser) {
            const int paintClass = ClassifyPaint(
                count > 0 ? values[0] : 0.0, count > 0 ? precisions[0] : 0.0,
                count > 1 ? values[1] : 0.0, count > 1 ? precisions[1] : 0.0, out_.text[17].view(),
                ReadNumber(out_.text[13].view()), out_.value[3].view(), settings_);
            out_.text[17].set(kPaintClassTexts[static_cast<size_t>(paintClass)]);
        } else {
            // The instrument's class sits in the high four bits of the third
            // entry's flags; a value without a class text shows "...".
            const unsigned nibble = count > 2 ? view.element(2).flags >> 4 : 0;
            out_.text[17].set(kPaintClassTexts[nibble < kPaintClassTexts.size() ? nibble : 0]);
        }
    }
    for (size_t i = 0; i < count; ++i) {
        char buffer[4];
        const std::string_view name = ElementName(view.element(i), alloyLike, buffer);
        const int column = elementColumn(name, nullptr);
        if (column < 0) continue;
        putElementTexts(static_cast<size_t>(column), i, name, values[i], precisions[i], kind);
    }
}

// True when a title holds the element's name or a '#' (a column no element
// has claimed yet). One pass over the title's bytes up to its terminator:
// every reading asks this for each of its elements, so it dominates learning
// a large file's titles.
bool ClaimableBy(const Title& title, std::string_view name) {
    if (name.empty()) return true;
    const char* text = title.c_str();
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (text[i] == '#') return true;
        size_t matched = 0;
        while (matched < name.size() && text[i + matched] != '\0' && text[i + matched] == name[matched]) ++matched;
        if (matched == name.size()) return true;
    }
    return false;
}

int TitleClaims::elementColumn(std::string_view name, Reporting* report) {
    for (int slot = fixed_; slot <= lastElementSlot_; ++slot) {
        Title& title = (*titles_)[static_cast<size_t>(slot)];
        if (ClaimableBy(title, name)) {
            static constexpr std::string_view kSuffix = " \xB1 Prec";
            char claimed[kTitleSize];
            std::memcpy(claimed, name.data(), name.size());
            std::memcpy(claimed + name.size(), kSuffix.data(), kSuffix.size());
            const std::string_view claimedText(claimed, name.size() + kSuffix.size());
            if (title.view() != claimedText) title.assign(claimedText);
            return slot - fixed_;
        }
    }
    if (report != nullptr && !report->tooManyReported) {
        report->tooManyReported = true;
        report->prompter.error("Too Many Elements to Append Files\nSome Data Will NOT Be Appended",
                               "APPEND ERROR");
    }
    return -1;
}

void Formatter::putElementTexts(size_t column, size_t index, std::string_view name, double value,
                                double precision, const ReadingKind& kind) {
    ValueCell& valueCell = out_.value[column];
    ValueCell& precisionCell = out_.precision[column];
    const bool isRes = Contains("RES", name);
    if (kind.group == Mode::Paint) {
        if (index == 0 && value > 5.0) {
            valueCell.set(">>5.0");
            precisionCell.set("");
        } else if (isRes || Contains("Res", name)) {
            PrintFixed(valueCell, value * 1000.0, 5, 0);
            precisionCell.set("NA");
        } else {
            PrintFixed(valueCell, value, 5, 2);
            PrintFixed(precisionCell, precision, 5, 2);
        }
        return;
    }
    if (store_.modeCodes.showsNonPositivePrecision(kind.code) && precision <= 0.0) {
        PrintFixed(valueCell, value, 5, 2);
        PrintFixed(precisionCell, precision, -5, 2);
    } else if (precision * 1.5 <= value || settings_.displayValuesBelowLod) {
        if (isRes) {
            PrintFixed(valueCell, value, 6, 0);
            precisionCell.set("NA");
        } else {
            PrintFixed(valueCell, value, 6, 2);
            PrintFixed(precisionCell, precision, 6, 2);
        }
    } else {
        valueCell.set("<LOD");
        PrintFixed(precisionCell, precision * 1.5, 6, 2);
    }
}

}  // namespace

bool FormatReadingFields(const ReadingStore& store, const Settings& settings, int number,
                         Bytes record, ReadingFields& out) {
    return Formatter(store, settings, out).run(number, record);
}

bool LearnReadingTitles(ReadingStore& store, Bytes record, Prompter& prompter) {
    Reporting report{prompter, store.tooManyElementsReported};
    return TitleClaims(store).learn(record, store.titles, report);
}

int ClassifyPaint(double lValue, double lPrecision, double kValue, double kPrecision,
                  std::string_view classText, double measuringSeconds,
                  std::string_view fourthValueText, const Settings& settings) {
    if (settings.pcs != kPcsUser) {
        if (classText == "POS") return 1;
        if (classText == "NEG") return 2;
        if (classText == "INC") return 3;
        return 4;
    }
    const double x = Contains(fourthValueText, "NC") ? -10.0 : ReadNumber(fourthValueText);
    if (x == -10.0 && std::floor(lPrecision * 10.0) == 95.0) {
        if (measuringSeconds < settings.minKtime) return 4;
        if (kValue >= settings.pos) return 1;
        const double s = kPrecision < 0.0 ? -kPrecision : kValue + kPrecision;
        return s < settings.neg ? 2 : 3;
    }
    if (measuringSeconds < settings.minLtime) return 4;
    if (lValue >= settings.pos) return 1;
    if (lValue < settings.neg) return 2;
    return 3;
}

int ClassifyPaintFields(const ReadingFields& fields, const Settings& settings) {
    return ClassifyPaint(ReadNumber(fields.value[0].view()), ReadNumber(fields.precision[0].view()),
                         ReadNumber(fields.value[1].view()), ReadNumber(fields.precision[1].view()),
                         fields.text[17].view(), ReadNumber(fields.text[13].view()),
                         fields.value[3].view(), settings);
}

void FormatStatusFields(Bytes record, StatusFields& out) {
    for (auto& cell : out.cells) cell.set("");
    const RecordView view(record);
    if (!view.hasHeader()) return;
    Print(out.cells[0], "%d", view.header().instrumentNumber);
    const ShownTime time = ShownTimeOf(view.timeStamp());
    Print(out.cells[1], "%d/%d/%lld", time.month, time.day, static_cast<long long>(time.year));
    Print(out.cells[2], "%2.2d:%2.2d:%2.2d", time.hour, time.minute, time.second);
    PrintFixed(out.cells[3], view.measuringMillis() / 1000.0, 4, 1);
    // The thirteen packed values from measurement byte 8 on, in column order.
    static constexpr const char* kFormats[13] = {"%3.3f", "%3.3f", "%3.3f", "%2.3f", "%2.3f",
                                                 "%2.3f", "%2.3f", "%6.3f", "%3.3f", "%3.3f",
                                                 "%3.3f", "%3.3f", "%4.4f"};
    for (size_t k = 0; k < 13; ++k) {
        Print(out.cells[4 + k], kFormats[k], view.measurementValue(8 + 2 * k));
    }
}

double ReadNumber(std::string_view text) {
    // Only the plain decimal form counts (no "inf", "nan" or hexadecimal), so
    // a word such as "Nancy" reads as 0 like any other word.
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const size_t start = i;
    auto digits = [&] {
        size_t first = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - first;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t mantissaDigits = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0) return 0.0;
    size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() > 0) end = i;
    }
    const std::string number(text.substr(start, end - start));
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace ravik
