#include "core/maintenance/column_title_edit.h"

#include "core/readings/reading_store.h"

namespace ravik {

bool CanEditColumnTitle(const ReadingStore& store, int column) {
    return !store.locked && column >= 1 && column <= 15;
}

bool StoreColumnTitle(ReadingStore& store, Mode mode, int column, std::string_view text) {
    if (!CanEditColumnTitle(store, column)) return false;
    store.titles[mode][static_cast<size_t>(column)] = Title(text.substr(0, kEditedTitleMaxLength));
    return true;
}

}  // namespace ravik
