#pragma once
// Sorting one mode's reading list on the values of one column, and the
// question the Sorting dialog asks before it gives up.

#include <cstdint>
#include <functional>
#include <vector>

#include "core/readings/mode.h"

namespace ravik {

class Prompter;
struct ReadingStore;
struct Settings;

enum class SortDirection { Ascending, Descending };
enum class SortComparison { Text, Numeric };

// The choices of the Sorting dialog, remembered while the program runs.
struct SortChoices {
    SortDirection direction = SortDirection::Ascending;
    SortComparison comparison = SortComparison::Text;
};

// Longest key text: longer cells compare on their first 23 characters.
inline constexpr size_t kSortKeyLength = 23;
// A Paint element value text beginning with ">" sorts as this key (5.00 x 100).
inline constexpr float kPaintOverRangeKey = 500.0f;

// One reading in a sort: its number and its key. Text keys are turned into
// their rank among the mode's key texts before the passes, so both kinds of
// comparison run on numbers.
struct SortEntry {
    float key = 0.0f;
    int32_t readingNumber = 0;
};

// Called after every pass with the number of passes done; the dialog keeps
// itself responsive there.
using SortProgress = std::function<void(int passesDone)>;

// Neighbour exchange in passes until a pass swaps nothing. Two neighbours
// swap only when the truncated difference of their keys says they are out of
// order (Ascending: difference >= 1, Descending: <= -1), so keys that differ
// by less than 1 count as equal and such readings keep their order. Returns
// the number of passes.
int ExchangeSort(std::vector<SortEntry>& entries, SortDirection direction,
                 const SortProgress& afterPass = {});

// Sorts the mode's list on column (1 up to the mode's last title; column 0,
// the list position, is never sorted on). Keys come from FormatReadingFields,
// computed once per reading: text cells cut to 23 characters, fixed columns
// read as integers, element values x 100 (Paint values beginning with ">"
// as 500). Returns false, leaving the order unchanged, when the column cannot
// be sorted on or the entries cannot be had ("Not Enough Memory for Sort").
// Does not touch unsavedChanges: the table view decides that from the result.
bool SortModeList(ReadingStore& store, const Settings& settings, Mode mode, int column,
                  const SortChoices& choices, Prompter& prompter, const SortProgress& afterPass = {});

// The Sorting dialog's Cancel and Abort: "Sort may not be complete ..." with
// Yes and No; true when the user wants to abort.
bool ConfirmSortAbort(Prompter& prompter);

}  // namespace ravik
