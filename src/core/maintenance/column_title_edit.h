#pragma once
// The Edit Column dialog's rule: renaming a fixed column's title.

#include <string_view>

#include "core/readings/mode.h"

namespace ravik {

struct ReadingStore;

inline constexpr size_t kEditedTitleMaxLength = 18;

// Edit Column is offered on the fixed columns 1 to 15 of a file that is not
// locked.
bool CanEditColumnTitle(const ReadingStore& store, int column);

// Stores the first 18 characters of text as the column's title in the mode's
// ColumnTitles. Sign tables are renamed like the others: their titles are
// shown and stored the same way, so a Sign column can be renamed as well.
// Returns false, changing nothing, when the column cannot be edited.
bool StoreColumnTitle(ReadingStore& store, Mode mode, int column, std::string_view text);

}  // namespace ravik
