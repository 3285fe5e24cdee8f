#include "core/maintenance/sorting.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "core/platform/number_text.h"
#include "core/platform/prompter.h"
#include "core/readings/field_formatter.h"
#include "core/readings/reading_store.h"

namespace ravik {

namespace {

bool IsSortableColumn(Mode mode, int column) {
    return column >= 1 && column < FixedColumns(mode) + ElementColumns(mode);
}

// The text a column shows for one reading: a fixed column's text cell or an
// element column's value cell.
std::string_view ColumnText(const ReadingFields& fields, Mode mode, int column) {
    const int fixed = FixedColumns(mode);
    if (column < fixed) return fields.text[static_cast<size_t>(column)].view();
    return fields.value[static_cast<size_t>(column - fixed)].view();
}

float ElementKey(std::string_view text, Mode mode) {
    if (mode == Mode::Paint && !text.empty() && text[0] == '>') return kPaintOverRangeKey;
    return static_cast<float>(ReadNumber(text) * 100.0);
}

// Replaces each text key by its rank among the distinct texts, in byte order
// (as strcmp orders them): equal texts get equal ranks, and the difference of
// two ranks has the sign of the texts' comparison.
void RankTexts(const std::vector<std::string>& texts, std::vector<SortEntry>& entries) {
    std::vector<std::string> distinct = texts;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto at = std::lower_bound(distinct.begin(), distinct.end(), texts[i]);
        entries[i].key = static_cast<float>(at - distinct.begin());
    }
}

// One entry per reading of the mode, keyed on the column.
std::vector<SortEntry> KeyedEntries(const ReadingStore& store, const Settings& settings, Mode mode,
                                    int column, SortComparison comparison) {
    const ModeList& list = store.list(mode);
    std::vector<SortEntry> entries(list.size());
    std::vector<std::string> texts;
    if (comparison == SortComparison::Text) texts.resize(list.size());
    const bool elementColumn = column >= FixedColumns(mode);
    ReadingFields fields;
    for (size_t i = 0; i < list.size(); ++i) {
        FormatReadingFields(store, settings, static_cast<int>(i + 1), store.record(list[i]), fields);
        const std::string_view text = ColumnText(fields, mode, column);
        entries[i].readingNumber = list[i];
        if (comparison == SortComparison::Text) {
            texts[i].assign(text.substr(0, kSortKeyLength));
        } else {
            entries[i].key = elementColumn ? ElementKey(text, mode) : static_cast<float>(ReadInteger(text));
        }
    }
    if (comparison == SortComparison::Text) RankTexts(texts, entries);
    return entries;
}

}  // namespace

int ExchangeSort(std::vector<SortEntry>& entries, SortDirection direction,
                 const SortProgress& afterPass) {
    // The difference truncated toward zero is positive exactly when it is at
    // least 1 and negative when it is at most -1; comparing so never converts
    // a float that might not fit an integer.
    const bool ascending = direction == SortDirection::Ascending;
    const size_t count = entries.size();
    int passes = 0;
    bool swapped = false;
    do {
        swapped = false;
        for (size_t i = 0; i + 1 < count; ++i) {
            const float difference = entries[i].key - entries[i + 1].key;
            if (ascending ? difference >= 1.0f : difference <= -1.0f) {
                std::swap(entries[i], entries[i + 1]);
                swapped = true;
            }
        }
        ++passes;
        if (afterPass) afterPass(passes);
    } while (swapped);
    return passes;
}

bool SortModeList(ReadingStore& store, const Settings& settings, Mode mode, int column,
                  const SortChoices& choices, Prompter& prompter, const SortProgress& afterPass) {
    if (!IsSortableColumn(mode, column)) return false;
    std::vector<SortEntry> entries;
    try {
        entries = KeyedEntries(store, settings, mode, column, choices.comparison);
    } catch (const std::bad_alloc&) {
        prompter.error("Not Enough Memory for Sort", "ERROR");
        return false;
    }
    ExchangeSort(entries, choices.direction, afterPass);
    ModeList& list = store.list(mode);
    for (size_t i = 0; i < entries.size(); ++i) list[i] = entries[i].readingNumber;
    return true;
}

bool ConfirmSortAbort(Prompter& prompter) {
    return prompter.ask("Sort may not be complete\nDo you still wish to abort?", "SORTING",
                        Buttons::YesNo, Icon::Question) == Answer::Yes;
}

}  // namespace ravik
