#pragma once
// What the frame's status bar says about the open readings: how many of
// each mode, how many marked and how many hidden.

#include <string>

#include "core/readings/reading_store.h"

namespace ravik {

// "Paint 120   Alloy 40   Marked 3   Hidden 0", naming only the modes with
// readings; "No readings" when there are none.
std::string ReadingTallyText(const ReadingStore& store);

}  // namespace ravik
