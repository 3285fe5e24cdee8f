// Sorting from the table header, renaming a column and the reading editors,
// driven through the table windows and the dialogs' handlers.

#include <QComboBox>
#include <filesystem>

#include "core/maintenance/cell_write_back.h"
#include "ui/maintenance/column_title_dialog.h"
#include "ui/maintenance/reading_edit_dialog.h"
#include "ui/maintenance/sort_dialog.h"
#include "core/readings/field_formatter.h"
#include "ui_support.h"

namespace ravik::test {

namespace {

constexpr int kRoomCell = 6;  // a Paint cell with its own 28-character field
constexpr size_t kRoomBox = 4;

// A Paint table wide enough for the room column, with its cells and header.
struct PaintFrame : PaintTable {
    explicit PaintFrame(int readings = 8, bool locked = false) : PaintTable(readings, locked, 900) {}
    // The text of a cell as the table shows it.
    std::string cell(int row, int cell) const {
        ReadingFields fields;
        const int32_t n = program.store.list(Mode::Paint)[static_cast<size_t>(row - 1)];
        FormatReadingFields(program.store, program.settings, row, program.store.record(n), fields);
        return std::string(fields.text[static_cast<size_t>(cell)].view());
    }
    QPoint headerPoint(int column) const {
        const ColumnLayout layout = view->columnLayout();
        const auto at = std::find(layout.columns.begin(), layout.columns.end(), column) - layout.columns.begin();
        return {static_cast<int>(layout.positions[static_cast<size_t>(at)]) - view->horizontalPos(), view->rowHeight() / 2};
    }
    void doubleClick(Qt::MouseButton button, QPoint at) { QTest::mouseDClick(view->viewport(), button, {}, at); }
};

}  // namespace

class MaintenanceDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A double-click on a title sorts on that column (never the list position);
    // Cancel asks whether to abort, and a cancelled sort changes nothing.
    void headerDoubleClickSortsAndCancelChangesNothing() {
        PaintFrame p(12);
        QString shownTitle;
        WhenModalOpens<SortDialog>([&shownTitle](SortDialog& dialog) {
            shownTitle = dialog.findChild<QLabel*>(QStringLiteral("id1110"))->text();
            dialog.chooseDirection(SortDirection::Descending);
            dialog.ok();
        });
        p.doubleClick(Qt::LeftButton, p.headerPoint(kRoomCell));
        QCOMPARE(shownTitle, ToQString(p.program.store.titles[Mode::Paint][kRoomCell].view()));
        for (int row = 1; row < 12; ++row) QVERIFY(p.cell(row, kRoomCell) >= p.cell(row + 1, kRoomCell));
        QVERIFY(p.program.shell.unsavedChanges);
        QVERIFY(p.frame->commandAction(command::kSave)->isEnabled());

        p.program.shell.unsavedChanges = false;
        const ModeList order = p.program.store.list(Mode::Paint);
        SortChoices choices;
        SortDialog dialog(p.program.store, p.program.settings, Mode::Paint, kRoomCell, choices, p.prompter);
        int finished = -1;
        QObject::connect(&dialog, &QDialog::finished, [&finished](int result) { finished = result; });
        p.prompter.queueAnswer(Answer::No);
        dialog.cancel();
        QCOMPARE(finished, -1);
        p.prompter.queueAnswer(Answer::Yes);
        dialog.cancel();
        QCOMPARE(finished, 0);
        QCOMPARE(p.prompter.shown(), (std::vector<std::string>{"SORTING: Sort may not be complete\nDo you still wish to abort?",
                                                                 "SORTING: Sort may not be complete\nDo you still wish to abort?"}));
        QCOMPARE(p.program.store.list(Mode::Paint), order);

        WhenModalOpens<SortDialog>([&p](SortDialog& shown) {
            p.prompter.queueAnswer(Answer::Yes);
            shown.reject();
        });
        p.doubleClick(Qt::LeftButton, p.headerPoint(kRoomCell));
        QVERIFY(!p.program.shell.unsavedChanges);
        QVERIFY(!OpensADialog([&p] { p.doubleClick(Qt::LeftButton, p.headerPoint(0)); }));
    }

    // A right double-click on a title renames the column, cut to its length;
    // on a locked file neither the title nor a row opens an editor.
    void editColumnRenamesButNotWhenLocked() {
        {
            PaintFrame p;
            WhenModalOpens<ColumnTitleDialog>([](ColumnTitleDialog& dialog) {
                QCOMPARE(dialog.edit()->selectedText(), dialog.edit()->text());
                dialog.edit()->setText(QStringLiteral("Room or Area Named Here"));
                dialog.ok();
            });
            p.doubleClick(Qt::RightButton, p.headerPoint(kRoomCell));
            QCOMPARE(p.program.store.titles[Mode::Paint][kRoomCell].view(), std::string_view("Room or Area Named"));
            QVERIFY(p.program.shell.unsavedChanges);
        }
        PaintFrame locked(8, true);
        QVERIFY(!OpensADialog([&locked] {
            locked.doubleClick(Qt::RightButton, locked.headerPoint(kRoomCell));
            locked.doubleClick(Qt::RightButton, locked.rowPoint(2));
        }));
    }

    // The reading editor writes its boxes back (cut to the field) and rewrites the
    // pick list; Edit Reading needs a selected row and a readable pick list.
    void readingEditorWritesBackAndRewritesThePickList() {
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
        QVERIFY(p.program.shell.unsavedChanges);

        const std::string pickList = DataFilePath(DataDirectory(), "paint.str");
        const std::string words = ReadAll(pickList);
        std::vector<std::string> lines;
        for (size_t start = 0, end; (end = words.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(words.substr(start, end - start));
        }
        QCOMPARE(lines.size(), size_t{12});
        QVERIFY(lines[kRoomBox].find("Attic Nook,") != std::string::npos);

        // Edit Reading opens the editor on the selected row, and nothing without one.
        p.program.shell.unsavedChanges = false;
        p.click(3);
        title.clear();
        WhenModalOpens<ReadingEditDialog>([&title](ReadingEditDialog& dialog) {
            title = dialog.windowTitle();
            dialog.reject();
        });
        p.frame->handleCommand(command::kEditReading);
        QCOMPARE(title, QStringLiteral("Paint Meas #") + ToQString(p.cell(3, 1)));
        QVERIFY(!p.program.shell.unsavedChanges);  // Cancel changes nothing

        p.frame->handleCommand(command::kHideReading);
        QVERIFY(!OpensADialog([&p] { p.frame->handleCommand(command::kEditReading); }));

        std::filesystem::remove(pickList);
        std::filesystem::create_directory(pickList);  // a folder
        p.prompter.clear();
        p.frame->editReading(Mode::Paint, 2);
        QCOMPARE(p.prompter.shown(), (std::vector<std::string>{"ERROR: Not a Regular File\n" + pickList}));
    }

    // Global asks for its scope with the old and new texts and replaces in the
    // rows of that scope: here the marked rows that are not hidden.
    void globalReplacesInItsScope() {
        PaintFrame p(20);
        ReadingStore& store = p.program.store;
        for (int32_t n : store.list(Mode::Paint)) {
            const std::span<uint8_t> record = store.recordBytes(n);
            WriteCellIntoRecord(record, UsesSignLayout(store, record), kRoomCell, "Hall");
        }
        store.flags(store.list(Mode::Paint)[2]) = Marked;
        store.flags(store.list(Mode::Paint)[14]) = Marked;
        store.flags(store.list(Mode::Paint)[15]) = Marked | Hidden;
        std::optional<AnnotationEdit> edit =
            OpenAnnotationEdit(store, p.program.settings, Mode::Paint, 9, DataDirectory(), p.prompter);
        QVERIFY(edit);
        ReadingEditDialog dialog(p.program, std::move(*edit), DataDirectory(), p.prompter);
        dialog.setFocusedBox(kRoomBox);
        dialog.box(kRoomBox)->setEditText(QStringLiteral("Porch"));
        p.prompter.queueChoice(static_cast<int>(ReplaceScope::Marked));
        dialog.global();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(p.prompter.dialogs().at(0).text,
                 std::string(store.titles[Mode::Paint][kRoomCell].view()) + "\nReplace:\tHall\nWith:\tPorch");
        std::vector<int> changed;
        for (int row = 1; row <= 20; ++row) {
            if (p.cell(row, kRoomCell) == "Porch") changed.push_back(row);
        }
        QCOMPARE(changed, (std::vector<int>{3, 15}));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::MaintenanceDialogsTest)
#include "maintenance_dialogs_test.moc"
