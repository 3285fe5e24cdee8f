#pragma once
// The alloy library editor "LIBRARY" ("Custom Alloy Library"): the grouped
// and sorted lists of the library's alloys, the limit edits, Insert, Copy,
// Delete, Edit/Apply/Cancel, the sorted view, Save as library source text,
// and Send, which downloads the library to the analyzer from a 10 ms timer.

#include <QDialog>
#include <QTimer>
#include <array>
#include <string>
#include <vector>

#include "core/library/alloy_edit.h"
#include "core/library/library_model.h"
#include "core/link/library_download.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ravik {

class FileChooser;

namespace library_dialog_control {
inline constexpr int kGroupedList = 1223;
inline constexpr int kSortedList = 1222;
inline constexpr int kFirstLimitEdit = 2000;  // pair e: low 2000 + 2e, high 2001 + 2e
inline constexpr int kNewName = 1225;
inline constexpr int kInsert = 3;
inline constexpr int kCopy = 156;
inline constexpr int kDelete = 155;
inline constexpr int kEdit = 1035;
inline constexpr int kApply = 5;
inline constexpr int kCancelEdit = 7;
inline constexpr int kSort = 1243;
inline constexpr int kSave = 1;
inline constexpr int kSend = 4;
inline constexpr int kClose = 2;
inline constexpr int kCount = 1245;
}  // namespace library_dialog_control

class LibraryDialog : public QDialog {
    Q_OBJECT
public:
    LibraryDialog(SerialLine& line, Prompter& prompter, FileChooser& chooser, Clock& clock,
                  const SerialPortConfig& config, QWidget* parent = nullptr);

    // Opening: asks for a library file and reads it; false when the user
    // cancelled or the file cannot be read (the dialog is not to be run).
    bool openLibrary();
    // Shows a library (what openLibrary does after reading the file).
    void showLibrary(const AlloyLibrary& library);

    // Selecting a line of the list shown (grouped or sorted).
    void selectRow(int row);
    void insertAlloy();
    void copyAlloy();
    void deleteAlloy();
    void editAlloy();
    void applyEdit();
    void cancelEdit();
    void toggleSort();
    void saveLibrary();
    void sendLibrary();
    void tick();
    // "Cancel" (2), Escape and closing the window.
    void closeEditor();
    void reject() override { closeEditor(); }

    const EditedLibrary& edited() const { return edited_; }
    const LibraryDownload& download() const { return download_; }
    QTimer& timer() { return timer_; }
    // The line selected now, or nothing.
    const LibraryLine* selectedLine() const;
    bool editing() const { return editing_; }
    bool sortedView() const { return sortedView_; }

private:
    QWidget* buildLimitEdits();
    QWidget* buildButtons();
    QPushButton* addButton(QWidget* parent, int id, const char* label);
    // Rebuilds both lists from the library and selects the alloy (or group header).
    void rebuildLists(int alloy, int group);
    // Shows the selected line's limits and sets every control for the state.
    void showSelection();
    void showTexts(const EditPairTexts& texts);
    void updateControls();
    bool downloading() const;
    QListWidget* shownList() const;
    const std::vector<LibraryLine>& shownLines() const;
    EditPairTexts editedTexts() const;

    Prompter& prompter_;
    FileChooser& chooser_;
    LibraryDownload download_;
    QTimer timer_;
    EditedLibrary edited_;
    std::string fileName_;
    std::vector<LibraryLine> grouped_;
    std::vector<LibraryLine> sorted_;
    int selectedAlloy_ = -1;  // library index of the selected alloy, -1 for a header
    int selectedGroup_ = 0;
    bool editing_ = false;
    bool sortedView_ = false;
    int alloysSent_ = 0;  // the alloy count of the download under way

    QListWidget* groupedList_ = nullptr;
    QListWidget* sortedList_ = nullptr;
    std::array<std::array<QLineEdit*, 2>, kEditPairCount> limitEdits_{};
    std::array<QLabel*, kEditPairCount> limitLabels_{};
    QLineEdit* nameEdit_ = nullptr;
    QLabel* count_ = nullptr;
    QGroupBox* progressBox_ = nullptr;
    QLabel* progress_ = nullptr;
};

}  // namespace ravik
