#pragma once
// Which table columns are shown, from the nine `enabledColumns` words:
// word 0 is Paint (bits 0..17 the fixed columns, bits 18..21 the four
// element columns); Bulk, Thin, Alloy and Sign have the pairs 1-2, 3-4, 5-6
// and 7-8, the first word for the 16 fixed columns, the second for the 32
// element columns (bit k for element slot k).

#include <cstddef>
#include <cstdint>

#include "core/readings/mode.h"
#include "core/settings/settings.h"

namespace ravik {

inline bool MaskBit(int32_t word, int bit) { return ((static_cast<uint32_t>(word) >> bit) & 1u) != 0; }

// column: 0..17 for Paint, 0..15 for the other modes.
inline bool FixedColumnShown(const Settings& settings, Mode mode, int column) {
    const size_t word = mode == Mode::Paint ? 0 : static_cast<size_t>(2 * Index(mode) - 1);
    return MaskBit(settings.enabledColumns[word], column);
}

// slot: 0..3 for Paint, 0..31 for the other modes.
inline bool ElementColumnShown(const Settings& settings, Mode mode, int slot) {
    if (mode == Mode::Paint) return MaskBit(settings.enabledColumns[0], 18 + slot);
    return MaskBit(settings.enabledColumns[static_cast<size_t>(2 * Index(mode))], slot);
}

}  // namespace ravik
