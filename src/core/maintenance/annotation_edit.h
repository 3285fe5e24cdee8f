#pragma once
// Editing a reading's annotations: the operations behind the edit dialogs of
// the five modes (open, Global with its Replace choices, Remove, Reset, OK).
// A dialog keeps the texts of its boxes and passes them, the box that last
// had the focus and the button pressed to these functions.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/maintenance/pick_lists.h"
#include "core/readings/mode.h"

namespace ravik {

class Prompter;
struct ReadingStore;
struct Settings;

// One editable cell: its drop-down list and the value the reading held when
// the dialog opened.
struct AnnotationBox {
    int cell = 0;
    std::string title;   // the mode's column title of the cell, the box's label
    WordList words;      // the pick list, with the stored value added when missing
    std::string stored;  // the cell's text as formatted when the dialog opened
    // The longest text the box takes: what OK and the write-back keep of a
    // value, the smaller of AnnotationValueMaxLength and the record field's room.
    size_t room = 0;
};

// A cell the dialog only shows (Alloy cells 2 to 4, Sign cells 2 to 5).
struct ShownCell {
    int cell = 0;
    std::string title;
    std::string text;
};

struct AnnotationEdit {
    Mode mode = Mode::Paint;
    size_t row = 0;  // the reading's position in the mode's list, from 0
    int32_t readingNumber = 0;
    std::string windowTitle;  // "Paint Meas #%s" (or Bulk, ...) with the QV No
    std::vector<ShownCell> shown;
    std::vector<AnnotationBox> boxes;  // box k edits cell FirstEditableCell(mode) + k
};

// Opens the edit of the reading at row of the mode's list: reads the mode's
// pick-list file from directory (seeding a missing one), formats the reading
// and fills the boxes. Each box starts with its stored value as text; the
// value is added to the box's words unless a word already selects it.
// Nothing (and a message) when the pick-list file cannot be had ("Paint
// String File Open", ...) or the reading's mode is unknown ("MODE ERROR").
std::optional<AnnotationEdit> OpenAnnotationEdit(const ReadingStore& store, const Settings& settings,
                                                 Mode mode, size_t row, const std::string& directory,
                                                 Prompter& prompter);

// The Global text is cut to this many characters.
inline constexpr size_t kGlobalTextMaxLength = 127;

// The buttons of the Replace dialog.
enum class ReplaceScope : int { All = 1046, ToEnd = 1136, Marked = 1047 };

// Global: asks Replace (column title, the focused box's stored value and
// newText) and, unless cancelled, sets the cell to newText in every reading of
// the mode whose cell equals the stored value byte for byte: All from the
// first reading, To End from the edited one, Marked only readings whose flags
// are exactly Marked. Sets unsavedChanges and returns how many readings were
// changed; the dialog then closes without storing its other boxes. Nothing
// when no box had the focus yet or the user cancelled.
std::optional<int> ApplyGlobal(ReadingStore& store, const Settings& settings, const AnnotationEdit& edit,
                               std::optional<size_t> focusedBox, std::string_view newText,
                               Prompter& prompter, bool& unsavedChanges);

// Remove: deletes from the focused box's words the word its text selects. The
// text stays in the box, so OK adds it again unless it is changed first.
// False when no box had the focus or no word was selected.
bool RemovePickWord(AnnotationEdit& edit, std::optional<size_t> focusedBox, std::string_view boxText);

// Reset: the texts that return every box to the reading's stored value.
std::vector<std::string> ResetTexts(const AnnotationEdit& edit);

// The longest value OK stores in a cell: the column title, its colon and the
// value fit 28 characters.
size_t AnnotationValueMaxLength(std::string_view title);

// OK: takes each box's text (cut to AnnotationValueMaxLength), rewrites the
// mode's pick-list file with each text added to its box's words, and writes
// every value that differs from the stored one back into the reading's
// record (cut to its field's room). A pick-list file that cannot be written
// is told; the reading's changes are stored all the same. Sets
// unsavedChanges. boxTexts holds one text per box; missing texts leave their
// cells as stored.
void FinishAnnotationEdit(ReadingStore& store, const AnnotationEdit& edit,
                          const std::vector<std::string>& boxTexts, const std::string& directory,
                          Prompter& prompter, bool& unsavedChanges);

}  // namespace ravik
