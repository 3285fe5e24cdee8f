#include "core/maintenance/cell_write_back.h"

#include <algorithm>
#include <cstring>

#include "core/readings/reading_store.h"

namespace ravik {

bool UsesSignLayout(const ReadingStore& store, Bytes record) {
    const RecordView view(record);
    if (!view.hasHeader()) return false;
    const int code = store.modeWordLayout.code(view.header().modeWord);
    if (!VersionAbove51(store.fileVersion)) return code == Index(Mode::Sign);
    return store.modeCodes.isSign(code);
}

std::optional<int> RecordFieldOfCell(bool signLayout, int cell) {
    // Field of cells 2..12 by layout; -1 where a cell shows no field.
    constexpr int kOtherLayout[11] = {0, 1, 2, 3, 4, 5, 7, 6, 8, 9, 10};
    constexpr int kSignLayout[11] = {3, 4, 0, 1, 5, 6, 7, 8, 9, 10, -1};
    if (cell < 2 || cell > 12) return std::nullopt;
    const int field = (signLayout ? kSignLayout : kOtherLayout)[cell - 2];
    if (field < 0) return std::nullopt;
    return field;
}

namespace {

// Where the value of a cell's record field goes: the offset of its colon in
// the field (the label's length) and whether the colon is there already.
struct ValuePlace {
    size_t field = 0;
    size_t colon = 0;
    bool hasColon = true;
};

std::optional<ValuePlace> FindValuePlace(Bytes record, bool signLayout, int cell) {
    const std::optional<int> field = RecordFieldOfCell(signLayout, cell);
    if (!field) return std::nullopt;
    const RecordView view(record);
    if (!view.hasTextBlock()) return std::nullopt;
    const std::string_view text = view.textField(*field);
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos) return ValuePlace{static_cast<size_t>(*field), colon, true};
    if (text.size() >= kTextFields[*field].width) return std::nullopt;
    return ValuePlace{static_cast<size_t>(*field), text.size(), false};
}

}  // namespace

std::optional<size_t> CellValueRoom(Bytes record, bool signLayout, int cell) {
    const std::optional<ValuePlace> place = FindValuePlace(record, signLayout, cell);
    if (!place) return std::nullopt;
    return kTextFields[place->field].width - place->colon - 1;
}

bool WriteCellIntoRecord(std::span<uint8_t> record, bool signLayout, int cell,
                         std::string_view value) {
    const std::optional<ValuePlace> place = FindValuePlace(record, signLayout, cell);
    if (!place) return false;
    const size_t width = kTextFields[place->field].width;
    uint8_t* bytes = record.data() + RecordView(record).header().textOffset + kTextFields[place->field].offset;
    if (!place->hasColon) bytes[place->colon] = ':';
    value = value.substr(0, value.find('\0'));
    const size_t length = std::min(value.size(), width - place->colon - 1);
    std::memcpy(bytes + place->colon + 1, value.data(), length);
    std::fill(bytes + place->colon + 1 + length, bytes + width, uint8_t{0});
    return true;
}

}  // namespace ravik
