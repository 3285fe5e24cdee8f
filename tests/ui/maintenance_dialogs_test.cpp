// Sorting from the table header, renaming a column and the reading editors,
// driven through the table windows and the dialogs' handlers.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <numeric>

#include "desktop/command_ids.h"
#include "desktop/qt_text.h"
#include "maintenance/cell_write_back.h"
#include "maintenance/column_title_dialog.h"
#include "maintenance/reading_edit_dialog.h"
#include "maintenance/sort_dialog.h"
#include "platform/data_dir.h"
#include "readings/field_formatter.h"
#include "readings/readings_loader.h"
#include "readings/readings_saver.h"
#include "ui_support.h"
#include "views/table_window.h"

namespace ravik::test {

namespace {

constexpr int kRoomCell = 6;  // a Paint cell with its own 28-character field
constexpr size_t kRoomBox = 4;

std::string Cell(const ReadingStore& store, const Settings& settings, Mode mode, int row, int cell) {
    ReadingFields fields;
    const int32_t n = store.list(mode)[static_cast<size_t>(row - 1)];
    FormatReadingFields(store, settings, row, store.record(n), fields);
    return std::string(fields.text[static_cast<size_t>(cell)].view());
}

struct PaintFrame {
    explicit PaintFrame(int readings = 8, bool locked = false) {
        t.open(WriteReadingsFile(dir, locked ? "paint.lck" : "paint.qvr", {readings, 0, 0, 0, 0}, locked));
        t.frame->tableWindow(Mode::Paint)->setGeometry(0, 0, 900, 420);
        view = t.frame->tableWindow(Mode::Paint)->view();
        QCoreApplication::processEvents();
    }
    std::string cell(int row, int cell) const { return Cell(t.program.store, t.program.settings, Mode::Paint, row, cell); }
    QPoint headerPoint(int column) {
        const ColumnLayout layout = view->columnLayout();
        const auto at = std::find(layout.columns.begin(), layout.columns.end(), column) - layout.columns.begin();
        return {static_cast<int>(layout.positions[static_cast<size_t>(at)]) - view->horizontalPos(), view->rowHeight() / 2};
    }
    QPoint rowPoint(int row) const { return {40, (row - view->topRow()) * view->rowHeight() + view->rowHeight() / 2}; }
    void doubleClick(Qt::MouseButton button, QPoint at) { QTest::mouseDClick(view->viewport(), button, {}, at); }
    void setAllCells(int cell, const std::string& value) {
        ReadingStore& store = t.program.store;
        for (int32_t n : store.list(Mode::Paint)) {
            std::vector<uint8_t>& record = store.slots[static_cast<size_t>(n)].record;
            WriteCellIntoRecord(record, UsesSignLayout(store, record), cell, value);
        }
    }

    TempDir dir;
    FrameUnderTest t;
    TableView* view = nullptr;
};

}  // namespace

class MaintenanceDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void headerDoubleClickSorts();
    void abortIsAskedAndCancelChangesNothing();
    void editColumnRenamesButNotWhenLocked();
    void editorWritesBackAndRewritesThePickList();
    void globalReplacesInItsScope();
    void editReadingFollowsTheSelection();
};

void MaintenanceDialogsTest::headerDoubleClickSorts() {
    PaintFrame p(12);
    QString shownTitle;
    WhenModalOpens<SortDialog>([&shownTitle](SortDialog& dialog) {
        shownTitle = dialog.findChild<QLabel*>(QStringLiteral("id1110"))->text();
        dialog.chooseDirection(SortDirection::Descending);
        dialog.ok();
    });
    p.doubleClick(Qt::LeftButton, p.headerPoint(kRoomCell));
    QCOMPARE(shownTitle, ToQString(p.t.program.store.titles[Mode::Paint][kRoomCell].view()));
    for (int row = 1; row < 12; ++row) QVERIFY(p.cell(row, kRoomCell) >= p.cell(row + 1, kRoomCell));
    QVERIFY(p.t.program.shell.unsavedChanges);
    QVERIFY(p.t.frame->commandAction(command::kSave)->isEnabled());
}

void MaintenanceDialogsTest::abortIsAskedAndCancelChangesNothing() {
    PaintFrame p(6);
    const ModeList order = p.t.program.store.list(Mode::Paint);
    SortChoices choices;
    SortDialog dialog(p.t.program.store, p.t.program.settings, Mode::Paint, kRoomCell, choices, p.t.prompter);
    int finished = -1;
    QObject::connect(&dialog, &QDialog::finished, [&finished](int result) { finished = result; });
    p.t.prompter.queueAnswer(Answer::No);
    dialog.cancel();
    QCOMPARE(finished, -1);
    p.t.prompter.queueAnswer(Answer::Yes);
    dialog.cancel();
    QCOMPARE(finished, 0);
    QCOMPARE(p.t.prompter.shown(), (std::vector<std::string>{"SORTING: Sort may not be complete\nDo you still wish to abort?",
                                                               "SORTING: Sort may not be complete\nDo you still wish to abort?"}));
    QCOMPARE(p.t.program.store.list(Mode::Paint), order);

    // From the table: a cancelled sort leaves unsavedChanges as it was.
    WhenModalOpens<SortDialog>([&p](SortDialog& shown) {
        p.t.prompter.queueAnswer(Answer::Yes);
        shown.reject();
    });
    p.doubleClick(Qt::LeftButton, p.headerPoint(kRoomCell));
    QVERIFY(!p.t.program.shell.unsavedChanges);
    // Column 0, the list position, is never sorted on.
    bool opened = false;
    WhenModalOpens<SortDialog>([&opened](SortDialog& shown) { opened = true; shown.done(0); });
    p.doubleClick(Qt::LeftButton, p.headerPoint(0));
    QCoreApplication::processEvents();
    QVERIFY(!opened);
}

void MaintenanceDialogsTest::editColumnRenamesButNotWhenLocked() {
    {
        PaintFrame p;
        WhenModalOpens<ColumnTitleDialog>([](ColumnTitleDialog& dialog) {
            QCOMPARE(dialog.edit()->selectedText(), dialog.edit()->text());
            dialog.edit()->setText(QStringLiteral("Room or Area Named Here"));
            dialog.ok();
        });
        p.doubleClick(Qt::RightButton, p.headerPoint(kRoomCell));
        QCOMPARE(p.t.program.store.titles[Mode::Paint][kRoomCell].view(), std::string_view("Room or Area Named"));
        QVERIFY(p.t.program.shell.unsavedChanges);
    }
    PaintFrame locked(8, true);
    bool opened = false;
    WhenModalOpens<QDialog>([&opened](QDialog& dialog) { opened = true; dialog.reject(); });
    locked.doubleClick(Qt::RightButton, locked.headerPoint(kRoomCell));
    locked.doubleClick(Qt::RightButton, locked.rowPoint(2));
    QCoreApplication::processEvents();
    QVERIFY(!opened);
}

void MaintenanceDialogsTest::editorWritesBackAndRewritesThePickList() {
    PaintFrame p;
    const std::string longValue(40, 'x');
    QString title;
    WhenModalOpens<ReadingEditDialog>([&](ReadingEditDialog& dialog) {
        title = dialog.windowTitle();
        dialog.box(kRoomBox)->setEditText(QStringLiteral("Attic Nook"));
        dialog.box(0)->setEditText(ToQString(longValue));
        // Enter in a box is OK.
        QTest::keyClick(dialog.box(0)->lineEdit(), Qt::Key_Return);
        if (dialog.isVisible()) dialog.reject();
    });
    p.doubleClick(Qt::RightButton, p.rowPoint(2));
    QCOMPARE(title, QStringLiteral("Paint Meas #") + ToQString(p.cell(2, 1)));
    QCOMPARE(p.cell(2, kRoomCell), std::string("Attic Nook"));
    const std::string stored = p.cell(2, 2);
    QVERIFY(!stored.empty() && stored.size() < longValue.size() && longValue.starts_with(stored));
    QVERIFY(p.t.program.shell.unsavedChanges);

    const std::string pickList = ReadAll(DataFilePath(DataDirectory(), "paint.str"));
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = pickList.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(pickList.substr(start, end - start));
    }
    QCOMPARE(lines.size(), size_t{12});
    QVERIFY(lines[kRoomBox].find("Attic Nook,") != std::string::npos);

    std::string name;
    QVERIFY(SaveReadingsFile(p.t.program.store, p.dir.file("saved.qvr"), "", name, p.t.prompter));
    ReadingStore reloaded;
    LoadReadingsFile(reloaded, p.dir.file("saved.qvr"), kOpenCommand, p.t.prompter);
    QCOMPARE(Cell(reloaded, p.t.program.settings, Mode::Paint, 2, kRoomCell), std::string("Attic Nook"));
}

void MaintenanceDialogsTest::globalReplacesInItsScope() {
    struct Case {
        ReplaceScope scope;
        std::vector<int> changedRows;
    };
    std::vector<int> all(20);
    std::iota(all.begin(), all.end(), 1);
    const Case cases[] = {{ReplaceScope::All, all},
                          {ReplaceScope::ToEnd, std::vector<int>(all.begin() + 9, all.end())},
                          {ReplaceScope::Marked, {3, 15}}};
    for (const Case& c : cases) {
        PaintFrame p(20);
        p.setAllCells(kRoomCell, "Hall");
        ReadingStore& store = p.t.program.store;
        store.flags(store.list(Mode::Paint)[2]) = Marked;
        store.flags(store.list(Mode::Paint)[14]) = Marked;
        store.flags(store.list(Mode::Paint)[15]) = Marked | Hidden;
        std::optional<AnnotationEdit> edit =
            OpenAnnotationEdit(store, p.t.program.settings, Mode::Paint, 9, DataDirectory(), p.t.prompter);
        QVERIFY(edit);
        ReadingEditDialog dialog(p.t.program, std::move(*edit), DataDirectory(), p.t.prompter);
        dialog.setFocusedBox(kRoomBox);
        dialog.box(kRoomBox)->setEditText(QStringLiteral("Porch"));
        p.t.prompter.queueChoice(static_cast<int>(c.scope));
        dialog.global();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(p.t.prompter.dialogs().at(0).text,
                 std::string(store.titles[Mode::Paint][kRoomCell].view()) + "\nReplace:\tHall\nWith:\tPorch");
        std::vector<int> changed;
        for (int row = 1; row <= 20; ++row) {
            if (p.cell(row, kRoomCell) == "Porch") changed.push_back(row);
        }
        QCOMPARE(changed, c.changedRows);
    }
}

void MaintenanceDialogsTest::editReadingFollowsTheSelection() {
    PaintFrame p;
    QTest::mouseClick(p.view->viewport(), Qt::LeftButton, {}, p.rowPoint(3));
    QString title;
    WhenModalOpens<ReadingEditDialog>([&title](ReadingEditDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    p.t.frame->handleCommand(command::kEditReading);
    QCOMPARE(title, QStringLiteral("Paint Meas #") + ToQString(p.cell(3, 1)));
    QVERIFY(!p.t.program.shell.unsavedChanges);  // Cancel changes nothing

    // After Hide no row is selected: Edit Reading does nothing.
    p.t.frame->handleCommand(command::kHideReading);
    bool opened = false;
    WhenModalOpens<QDialog>([&opened](QDialog& dialog) { opened = true; dialog.reject(); });
    p.t.frame->handleCommand(command::kEditReading);
    QCoreApplication::processEvents();
    QVERIFY(!opened);

    // A pick-list file that cannot be read (a folder): a message naming it, and no editor.
    const std::string pickList = DataFilePath(DataDirectory(), "paint.str");
    std::filesystem::remove(pickList);
    std::filesystem::create_directory(pickList);
    p.t.prompter.clear();
    p.t.frame->editReading(Mode::Paint, 2);
    QCOMPARE(p.t.prompter.shown(), (std::vector<std::string>{"ERROR: Not a Regular File\n" + pickList}));
}

}  // namespace ravik::test

QTEST_MAIN(ravik::test::MaintenanceDialogsTest)
#include "maintenance_dialogs_test.moc"
