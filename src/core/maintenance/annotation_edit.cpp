#include "core/maintenance/annotation_edit.h"

#include <algorithm>
#include <cstdio>

#include "core/maintenance/cell_write_back.h"
#include "core/platform/prompter.h"
#include "core/readings/field_formatter.h"
#include "core/readings/reading_store.h"

namespace ravik {

namespace {

// The cells an edit dialog only shows: those from 2 up to the first editable one.
std::vector<ShownCell> ShownCells(const ReadingStore& store, Mode mode, const ReadingFields& fields) {
    std::vector<ShownCell> shown;
    if (mode != Mode::Alloy && mode != Mode::Sign) return shown;
    for (int cell = 2; cell < FirstEditableCell(mode); ++cell) {
        const auto index = static_cast<size_t>(cell);
        shown.push_back({cell, std::string(store.titles[mode][index].view()),
                         std::string(fields.text[index].view())});
    }
    return shown;
}

void ReportUnknownMode(const ReadingStore& store, int32_t readingNumber, Prompter& prompter) {
    const RecordView view(store.record(readingNumber));
    char text[80];
    std::snprintf(text, sizeof text, "Reading %d\r\nUnknown Mode %d",
                  view.hasHeader() ? view.header().instrumentNumber : 0, store.modeCode(readingNumber));
    prompter.error(text, "MODE ERROR");
}

std::string ReplaceText(const std::string& title, std::string_view oldText, std::string_view newText) {
    return title + "\nReplace:\t" + std::string(oldText) + "\nWith:\t" + std::string(newText);
}

std::optional<ReplaceScope> AskReplaceScope(const std::string& text, Prompter& prompter) {
    const int choice = prompter.choose(ChoiceDialog{
        "REPLACE",
        "Replace",
        text,
        {{static_cast<int>(ReplaceScope::All), "&All"},
         {static_cast<int>(ReplaceScope::ToEnd), "To &End"},
         {static_cast<int>(ReplaceScope::Marked), "&Marked"},
         {kCancelId, "&Cancel"}},
        kCancelId});
    switch (choice) {
        case static_cast<int>(ReplaceScope::All): return ReplaceScope::All;
        case static_cast<int>(ReplaceScope::ToEnd): return ReplaceScope::ToEnd;
        case static_cast<int>(ReplaceScope::Marked): return ReplaceScope::Marked;
        default: return std::nullopt;
    }
}

void WriteCell(ReadingStore& store, int32_t readingNumber, int cell, std::string_view value) {
    if (readingNumber < 1 || readingNumber > store.readingCount) return;
    const std::span<uint8_t> record = store.recordBytes(readingNumber);
    WriteCellIntoRecord(record, UsesSignLayout(store, record), cell, value);
}

}  // namespace

std::optional<AnnotationEdit> OpenAnnotationEdit(const ReadingStore& store, const Settings& settings,
                                                 Mode mode, size_t row, const std::string& directory,
                                                 Prompter& prompter) {
    const ModeList& list = store.list(mode);
    if (row >= list.size()) return std::nullopt;
    std::vector<WordList> lines;
    if (!ReadPickListFile(directory, mode, lines, prompter)) return std::nullopt;
    const int32_t readingNumber = list[row];
    ReadingFields fields;
    if (!FormatReadingFields(store, settings, static_cast<int>(row + 1), store.record(readingNumber),
                             fields)) {
        ReportUnknownMode(store, readingNumber, prompter);
        return std::nullopt;
    }
    AnnotationEdit edit;
    edit.mode = mode;
    edit.row = row;
    edit.readingNumber = readingNumber;
    edit.windowTitle = std::string(WindowText(mode)) + " Meas #" + std::string(fields.text[1].view());
    edit.shown = ShownCells(store, mode, fields);
    for (int k = 0; k < EditableCellCount(mode); ++k) {
        AnnotationBox& box = edit.boxes.emplace_back();
        box.cell = FirstEditableCell(mode) + k;
        const auto cell = static_cast<size_t>(box.cell);
        box.title = std::string(store.titles[mode][cell].view());
        box.words = std::move(lines[static_cast<size_t>(k)]);
        box.stored = std::string(fields.text[cell].view());
        box.room = AnnotationValueMaxLength(box.title);
        const Bytes record = store.record(readingNumber);
        if (const std::optional<size_t> room = CellValueRoom(record, UsesSignLayout(store, record), box.cell)) {
            box.room = std::min(box.room, *room);
        }
        if (!box.stored.empty() && !FindWord(box.words, box.stored)) AddWord(box.words, box.stored);
    }
    return edit;
}

std::optional<int> ApplyGlobal(ReadingStore& store, const Settings& settings, const AnnotationEdit& edit,
                               std::optional<size_t> focusedBox, std::string_view newText,
                               Prompter& prompter, bool& unsavedChanges) {
    if (!focusedBox || *focusedBox >= edit.boxes.size()) return std::nullopt;
    const AnnotationBox& box = edit.boxes[*focusedBox];
    newText = newText.substr(0, kGlobalTextMaxLength);
    const std::optional<ReplaceScope> scope =
        AskReplaceScope(ReplaceText(box.title, box.stored, newText), prompter);
    if (!scope) return std::nullopt;

    const ModeList& list = store.list(edit.mode);
    const size_t first = *scope == ReplaceScope::ToEnd ? edit.row : 0;
    int changed = 0;
    ReadingFields fields;
    for (size_t row = first; row < list.size(); ++row) {
        const int32_t n = list[row];
        if (*scope == ReplaceScope::Marked && store.flags(n) != Marked) continue;
        if (!FormatReadingFields(store, settings, static_cast<int>(row + 1), store.record(n), fields)) continue;
        if (fields.text[static_cast<size_t>(box.cell)].view() != box.stored) continue;
        WriteCell(store, n, box.cell, newText);
        ++changed;
    }
    unsavedChanges = true;
    return changed;
}

bool RemovePickWord(AnnotationEdit& edit, std::optional<size_t> focusedBox, std::string_view boxText) {
    if (!focusedBox || *focusedBox >= edit.boxes.size()) return false;
    WordList& words = edit.boxes[*focusedBox].words;
    const std::optional<size_t> selected = FindWord(words, boxText);
    if (!selected) return false;
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(*selected));
    return true;
}

std::vector<std::string> ResetTexts(const AnnotationEdit& edit) {
    std::vector<std::string> texts;
    for (const AnnotationBox& box : edit.boxes) texts.push_back(box.stored);
    return texts;
}

size_t AnnotationValueMaxLength(std::string_view title) {
    constexpr size_t kFieldRoom = 27;  // 28 characters less the colon
    return title.size() < kFieldRoom ? kFieldRoom - title.size() : 0;
}

void FinishAnnotationEdit(ReadingStore& store, const AnnotationEdit& edit,
                          const std::vector<std::string>& boxTexts, const std::string& directory,
                          Prompter& prompter, bool& unsavedChanges) {
    std::vector<WordList> lines;
    std::vector<std::string> values;
    for (size_t k = 0; k < edit.boxes.size(); ++k) {
        const AnnotationBox& box = edit.boxes[k];
        const std::string& text = k < boxTexts.size() ? boxTexts[k] : box.stored;
        const std::string& value = values.emplace_back(text.substr(0, AnnotationValueMaxLength(box.title)));
        WordList& words = lines.emplace_back(box.words);
        if (!value.empty() && !FindWord(words, value)) AddWord(words, value);
    }
    WritePickListFile(directory, edit.mode, lines, prompter);
    for (size_t k = 0; k < edit.boxes.size(); ++k) {
        if (values[k] != edit.boxes[k].stored) WriteCell(store, edit.readingNumber, edit.boxes[k].cell, values[k]);
    }
    unsavedChanges = true;
}

}  // namespace ravik
