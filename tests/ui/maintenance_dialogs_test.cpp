// Sorting from the table header, renaming a column and the reading editors,
// driven through the table windows and the dialogs' handlers.

#include <QComboBox>

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
    // A double-click on the title of the column, or on a row.
    void onTitle(Qt::MouseButton button, int column) {
        const ColumnLayout layout = view->columnLayout();
        const auto at = std::find(layout.columns.begin(), layout.columns.end(), column) - layout.columns.begin();
        const int x = static_cast<int>(layout.positions[static_cast<size_t>(at)]) - view->horizontalPos();
        QTest::mouseDClick(view->viewport(), button, {}, {x, view->rowHeight() / 2});
    }
    void onRow(Qt::MouseButton button, int row) { QTest::mouseDClick(view->viewport(), button, {}, rowPoint(row)); }
};

}  // namespace

class MaintenanceDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A double-click on a title sorts on that column (never the list position);
    // Cancel asks whether to abort, and a cancelled sort changes nothing. A right
    // double-click renames the column; on a locked file neither the title nor a
    // row opens an editor.
    void headerDoubleClicksSortAndRename() {
        PaintFrame p(12);
        QString shownTitle;
        WhenModalOpens<SortDialog>([&shownTitle](SortDialog& dialog) {
            shownTitle = dialog.findChild<QLabel*>(QStringLiteral("id1110"))->text();
            dialog.chooseDirection(SortDirection::Descending);
            dialog.ok();
        });
        p.onTitle(Qt::LeftButton, kRoomCell);
        QCOMPARE(shownTitle, ToQString(p.program.store.titles[Mode::Paint][kRoomCell].view()));
        for (int row = 1; row < 12; ++row) QVERIFY(p.cell(row, kRoomCell) >= p.cell(row + 1, kRoomCell));
        QVERIFY(p.frame->commandAction(command::kSave)->isEnabled());

        p.program.shell.unsavedChanges = false;
        const ModeList order = p.program.store.list(Mode::Paint);
        WhenModalOpens<SortDialog>([&p](SortDialog& shown) {
            p.prompter.queueAnswer(Answer::No);
            shown.cancel();
            QVERIFY(shown.isVisible());  // No: the sort goes on
            p.prompter.queueAnswer(Answer::Yes);
            shown.cancel();
        });
        p.onTitle(Qt::LeftButton, kRoomCell);
        QCOMPARE(p.prompter.shown(), std::vector<std::string>(2, "SORTING: Sort may not be complete\nDo you still wish to abort?"));
        QVERIFY(p.program.store.list(Mode::Paint) == order && !p.program.shell.unsavedChanges);
        QVERIFY(!OpensADialog([&p] { p.onTitle(Qt::LeftButton, 0); }));

        WhenModalOpens<ColumnTitleDialog>([](ColumnTitleDialog& dialog) {
            QCOMPARE(dialog.edit()->selectedText(), dialog.edit()->text());
            dialog.edit()->setText(QStringLiteral("Room or Area Named Here"));
            dialog.ok();
        });
        p.onTitle(Qt::RightButton, kRoomCell);
        QCOMPARE(p.program.store.titles[Mode::Paint][kRoomCell].view(), std::string_view("Room or Area Named"));
        QVERIFY(p.program.shell.unsavedChanges);
        PaintFrame locked(8, true);
        QVERIFY(!OpensADialog([&locked] {
            locked.onTitle(Qt::RightButton, kRoomCell);
            locked.onRow(Qt::RightButton, 2);
        }));
    }

    // A right double-click on a row edits it: Enter is OK, the boxes are written
    // back and the pick list rewritten. Edit Reading edits the selected row and
    // nothing without one. Global replaces in the rows of the scope chosen: here
    // the marked rows that are not hidden.
    void readingEditorWritesBackAndReplacesGlobally() {
        PaintFrame p;
        QString title;
        WhenModalOpens<ReadingEditDialog>([&](ReadingEditDialog& dialog) {
            title = dialog.windowTitle();
            dialog.box(kRoomBox)->setEditText(QStringLiteral("Attic Nook"));
            dialog.box(0)->setEditText(QStringLiteral("Dock"));
            QTest::keyClick(dialog.box(0)->lineEdit(), Qt::Key_Return);
            if (dialog.isVisible()) dialog.reject();
        });
        p.onRow(Qt::RightButton, 2);
        QCOMPARE(title, QStringLiteral("Paint Meas #") + ToQString(p.cell(2, 1)));
        QCOMPARE(p.cell(2, kRoomCell), std::string("Attic Nook"));
        QVERIFY(p.program.shell.unsavedChanges);
        QVERIFY(ReadAll(DataFilePath(DataDirectory(), "paint.str")).find("Attic Nook,") != std::string::npos);

        p.program.shell.unsavedChanges = false;
        p.click(3);
        QCOMPARE(ModalTitle<ReadingEditDialog>([&p] { p.frame->handleCommand(command::kEditReading); }),
                 QStringLiteral("Paint Meas #") + ToQString(p.cell(3, 1)));
        QVERIFY(!p.program.shell.unsavedChanges);  // Cancel changes nothing
        p.frame->handleCommand(command::kHideReading);
        QVERIFY(!OpensADialog([&p] { p.frame->handleCommand(command::kEditReading); }));

        ReadingStore& store = p.program.store;
        for (int32_t n : store.list(Mode::Paint)) {
            WriteCellIntoRecord(store.recordBytes(n), UsesSignLayout(store, store.recordBytes(n)), kRoomCell, "Hall");
        }
        store.flags(store.list(Mode::Paint)[2]) = Marked;
        store.flags(store.list(Mode::Paint)[4]) = Marked | Hidden;
        ReadingEditDialog dialog(p.program, *OpenAnnotationEdit(store, p.program.settings, Mode::Paint, 6, DataDirectory(), p.prompter),
                                 DataDirectory(), p.prompter);
        dialog.setFocusedBox(kRoomBox);
        dialog.box(kRoomBox)->setEditText(QStringLiteral("Porch"));
        p.prompter.queueChoice(static_cast<int>(ReplaceScope::Marked));
        dialog.global();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        std::vector<int> changed;
        for (int row = 1; row <= 8; ++row) {
            if (p.cell(row, kRoomCell) == "Porch") changed.push_back(row);
        }
        QCOMPARE(changed, (std::vector<int>{3}));
    }

    // Enter pressed as the editor opens is OK. A box takes no more than its
    // field keeps: "Note:" leaves 10 of 15 bytes, and what is shown is stored.
    void enterIsOkAndBoxesHoldWhatTheirFieldsKeep() {
        PaintFrame p;
        bool closed = false;
        QString note;
        WhenModalOpens<ReadingEditDialog>([&](ReadingEditDialog& dialog) {
            if (dialog.focusWidget() == dialog.box(0)) QTest::keyClick(dialog.box(0), Qt::Key_Return);
            closed = !dialog.isVisible() && dialog.result() == QDialog::Accepted;
            if (dialog.isVisible()) dialog.reject();
        });
        p.onRow(Qt::RightButton, 2);
        QVERIFY(closed);
        WhenModalOpens<ReadingEditDialog>([&note](ReadingEditDialog& dialog) {
            dialog.box(10)->lineEdit()->clear();
            QTest::keyClicks(dialog.box(10)->lineEdit(), QStringLiteral("Chipped, peeling"));
            note = dialog.box(10)->currentText();
            dialog.ok();
        });
        p.onRow(Qt::RightButton, 2);
        QCOMPARE(note, QStringLiteral("Chipped, p"));
        QCOMPARE(ToQString(p.cell(2, 12)), note);
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::MaintenanceDialogsTest)
#include "maintenance_dialogs_test.moc"
