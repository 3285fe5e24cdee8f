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

bool WriteCellIntoRecord(std::span<uint8_t> record, bool signLayout, int cell,
                         std::string_view value) {
    const std::optional<int> field = RecordFieldOfCell(signLayout, cell);
    if (!field) return false;
    const RecordView view(record);
    if (!view.hasTextBlock()) return false;
    const size_t width = kTextFields[*field].width;
    const std::string_view text = view.textField(*field);
    size_t colon = text.find(':');
    if (colon == std::string_view::npos && text.size() >= width) return false;
    uint8_t* bytes = record.data() + view.header().textOffset + kTextFields[*field].offset;
    if (colon == std::string_view::npos) {
        colon = text.size();
        bytes[colon] = ':';
    }
    value = value.substr(0, value.find('\0'));
    const size_t length = std::min(value.size(), width - colon - 1);
    std::memcpy(bytes + colon + 1, value.data(), length);
    std::fill(bytes + colon + 1 + length, bytes + width, uint8_t{0});
    return true;
}

}  // namespace ravik
