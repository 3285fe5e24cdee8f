#pragma once
// Which readings go to an export, a printed table, printed spectra or a
// status page: the reading selection and its test.

#include <cstdint>

#include "core/readings/field_formatter.h"
#include "core/readings/mode.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

// The bits of a reading selection.
enum SelectionBit : unsigned {
    SelectAll = 1,
    SelectMarked = 2,  // exactly one of SelectAll and SelectMarked is set
    SelectPositive = 4,
    SelectNegative = 8,
    SelectIncomplete = 16,
    SelectSubResults = 32,
};
using ReadingSelection = unsigned;

// The class the selection looks at: the paint class (ClassifyPaintFields)
// for Paint, 2 for every other mode.
int SelectionClass(const ReadingFields& fields, Mode mode, const Settings& settings);

// The test on a reading already formatted, with its flags. Hidden readings
// never pass; with SelectMarked only Marked ones do; without
// SelectSubResults only the final results of a cycle pass (cycle 1 of 1, or
// 0 of b with b other than 1; Paint counts as 1 of 1, Alloy is never
// filtered); then the class must be ticked: 1 Positive, 2 Negative, 3 and 4
// Incomplete. So every mode but Paint passes only with SelectNegative.
bool FieldsPassSelection(const ReadingFields& fields, uint32_t flags, ReadingSelection selection,
                         Mode mode, const Settings& settings);

// The test on reading readingNumber of the store, formatted as the class
// needs it; readingClass, when given, receives SelectionClass.
bool PassesSelection(const ReadingStore& store, const Settings& settings, int32_t readingNumber,
                     ReadingSelection selection, Mode mode, int* readingClass = nullptr);

}  // namespace ravik
