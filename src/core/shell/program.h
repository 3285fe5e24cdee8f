#pragma once
// The program-wide state: the one reading store, the settings and the
// shell's own state. main creates one Program that lives for the whole run;
// tests build their own.

#include <string>

#include "core/output/output_choices.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"
#include "core/views/table_marking.h"

namespace ravik {

struct ShellState {
    // Set by every change to the readings, their annotations, titles or
    // order; cleared when the store is saved, discarded or closed.
    bool unsavedChanges = false;
    // Full path of the open readings file; empty when none is open or the
    // readings were never saved.
    std::string currentFileName;
    TableSelection selection;
    // The instrument port; only the serial dialogs open it.
    bool portOpen = false;
    // What the Print dialog remembers while the program runs.
    OutputChoices outputChoices;
};

struct Program {
    ReadingStore store;
    Settings settings;
    ShellState shell;
};

}  // namespace ravik
