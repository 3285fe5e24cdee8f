#include "core/output/output_choices.h"

#include "core/platform/prompter.h"

namespace ravik {

ReadingSelection SelectionFrom(const OutputChoices& choices) {
    ReadingSelection selection = choices.markedOnly ? SelectMarked : SelectAll;
    if (choices.positive) selection |= SelectPositive;
    if (choices.negative) selection |= SelectNegative;
    if (choices.incomplete) selection |= SelectIncomplete;
    if (choices.subResults) selection |= SelectSubResults;
    return selection;
}

bool RequireOutputKind(const OutputChoices& choices, Prompter& prompter) {
    if (choices.table || choices.lowSpectrum || choices.highSpectrum || choices.status) return true;
    prompter.notice(kNoOutputKindNotice, "NOTICE");
    return false;
}

}  // namespace ravik
