// The table windows: the mouse and keys reach the marking and hiding, the
// keys scroll, the size setting reaches the font and rows take their colours;
// a row opens its spectrum, which knows the row.

#include <QImage>
#include <QListWidget>

#include "core/maintenance/annotation_edit.h"
#include "ui/maintenance/reading_edit_dialog.h"
#include "ui/views/spectrum_window.h"
#include "ui/views/table_painter.h"
#include "ui_support.h"

namespace ravik::test {

namespace {

// The flags of a mode's rows 1..count, in row order.
std::vector<uint32_t> RowFlags(const Program& program, Mode mode) {
    std::vector<uint32_t> flags;
    for (int32_t n : program.store.list(mode)) flags.push_back(program.store.flags(n));
    return flags;
}

constexpr uint32_t M = Marked;
constexpr uint32_t H = Hidden;

// Moves the pointer over the viewport with the left button held.
void MoveHeld(QWidget* viewport, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
}

}  // namespace

class TableWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A click, a Shift+click and a drag reach the marking; once the button is
    // up a move marks nothing.
    void clicksAndDragsMark() {
        PaintTable table;
        table.click(2);
        table.click(6, Qt::ShiftModifier);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, M, M, M, 0, 0}));

        QWidget* viewport = table.view->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, table.rowPoint(2));
        MoveHeld(viewport, table.rowPoint(4));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, table.rowPoint(4));
        MoveHeld(viewport, table.rowPoint(7));
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, M, 0, 0, 0, 0}));
    }

    // With the pointer resting below the table the drag scrolls on and marks
    // the rows it brings up, until the button is let go.
    void dragMarkingScrollsOnWhileThePointerRestsBeyondTheEdge() {
        PaintTable table(200);
        QWidget* viewport = table.view->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, table.rowPoint(2));
        const QPoint below(40, viewport->height() + 10);
        MoveHeld(viewport, below);
        QTRY_VERIFY(table.view->topRow() >= 5);
        QVERIFY(CountMarked(table.program.store) > viewport->height() / table.view->rowHeight() + 3);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, below);
        const int atRelease = table.view->topRow();
        QTest::qWait(150);
        QCOMPARE(table.view->topRow(), atRelease);
    }

    // Delete hides and Insert unhides the marked rows when the key is let go.
    void deleteAndInsertReleasesHideAndUnhide() {
        PaintTable table;
        QVERIFY(table.activate());
        table.view->setFocus();
        table.click(3);
        table.click(5, Qt::ControlModifier);
        QTest::keyClick(table.view, Qt::Key_Delete);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, 0, H, 0, H, 0, 0, 0}));
        QVERIFY(table.frame->commandAction(command::kSave)->isEnabled());
        table.click(3);
        QTest::keyPress(table.view, Qt::Key_Insert);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, 0, M | H, 0, H, 0, 0, 0}));
        QTest::keyRelease(table.view, Qt::Key_Insert);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, 0, 0, 0, H, 0, 0, 0}));
    }

    // Shift+Down marks on from the clicked row, Space toggles the current
    // row; a plain Down still only scrolls.
    void shiftArrowsAndSpaceMark() {
        PaintTable table;
        table.click(2);
        for (int key : {Qt::Key_Down, Qt::Key_Down}) QTest::keyClick(table.view, Qt::Key(key), Qt::ShiftModifier);
        for (int key : {Qt::Key_Space, Qt::Key_Down}) QTest::keyClick(table.view, Qt::Key(key));
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, 0, 0, 0, 0, 0}));
    }

    // A double-click clears the marks in every table, selects its row and opens
    // the row's spectrum; there "No" is the row and a right double-click edits it.
    void doubleClickClearsMarksAndOpensTheRowsSpectrum() {
        FrameUnderTest t;
        t.openReadings("mixed.qvr", {3, 3, 0, 0, 0});
        ReadingStore& store = t.program.store;
        for (int row : {2, 1}) {
            const int32_t reading = store.list(Mode::Paint)[static_cast<size_t>(row - 1)];
            QVERIFY(reading != row);  // the store's numbers are not the rows
            for (int32_t n = 1; n <= store.readingCount; ++n) store.flags(n) = Marked;
            QTest::mouseDClick(t.view(Mode::Paint)->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(*t.view(Mode::Paint), row));
            QCOMPARE(CountMarked(store), 0);
            QVERIFY(t.program.shell.selection.selectedRow == row && t.program.shell.selection.selectedMode == 0);
            auto* spectrum = qobject_cast<SpectrumWindow*>(t.frame->mdiArea()->activeSubWindow());
            QVERIFY(spectrum && spectrum->view()->reading() == reading);
            QCOMPARE(SpectrumFieldLines(store, t.program.settings, reading, spectrum->view()->kind()).front(),
                     "No: " + std::to_string(row));
            // The element list takes Enter and Space as a click on the current symbol.
            for (const auto& [key, symbol] : {std::pair(Qt::Key_Return, "Pb"), std::pair(Qt::Key_Space, "Fe")}) {
                WhenModalOpens<QDialog>([key, symbol](QDialog& list) {
                    auto* symbols = Control<QListWidget>(list, 1137);
                    symbols->setCurrentItem(symbols->findItems(QString::fromLatin1(symbol), Qt::MatchExactly).front());
                    QTest::keyClick(symbols, key);
                    if (list.isVisible()) list.reject();
                });
                QTest::mouseClick(spectrum->view(), Qt::RightButton, Qt::ShiftModifier, QPoint(50, 50));
                QVERIFY(spectrum->view()->labels().at(0).text.starts_with("<-" + std::string(symbol) + "="));
            }
            const auto edit = OpenAnnotationEdit(store, t.program.settings, Mode::Paint, static_cast<size_t>(row - 1),
                                                 DataDirectory(), t.prompter);
            QCOMPARE(ModalTitle<ReadingEditDialog>([&] {
                         QTest::mouseDClick(spectrum->view(), Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
                     }),
                     ToQString(edit->windowTitle));
        }
    }

    // The scrolling keys act on release: a row, a page, the ends, a column;
    // Ctrl+End whichever of its keys is let go first.
    void keysScrollOnRelease() {
        PaintTable table(60);
        QScrollBar* vertical = table.view->verticalScrollBar();
        QScrollBar* horizontal = table.view->horizontalScrollBar();
        const int visibleRows = table.view->viewport()->height() / table.view->rowHeight();
        auto after = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(table.view, Qt::Key(key), modifiers);
            return std::pair(vertical->value(), horizontal->value());
        };
        QTest::keyPress(table.view, Qt::Key_Down);
        QCOMPARE(vertical->value(), 0);
        QTest::keyRelease(table.view, Qt::Key_Down);
        QCOMPARE(vertical->value(), 1);
        QCOMPARE(after(Qt::Key_PageDown).first, visibleRows);
        QTest::keyPress(table.view, Qt::Key_End, Qt::ControlModifier);  // Ctrl let go first
        QTest::keyRelease(table.view, Qt::Key_Control, Qt::NoModifier);
        QTest::keyRelease(table.view, Qt::Key_End, Qt::NoModifier);
        QCOMPARE(vertical->value(), vertical->maximum());
        QVERIFY(horizontal->maximum() > 0);  // every Paint column does not fit 700 pixels
        QCOMPARE(after(Qt::Key_End).second, horizontal->maximum());
        QCOMPARE(after(Qt::Key_Home).second, 0);
        QCOMPARE(after(Qt::Key_Right).second, 20);
        QCOMPARE(after(Qt::Key_Home, Qt::ControlModifier).first, 0);
        QCOMPARE(after(Qt::Key_End, Qt::ControlModifier).first, vertical->maximum());  // End let go first

        // A page to the right goes to the first column centre beyond the position.
        horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
        const ColumnLayout layout = table.view->columnLayout();
        QCOMPARE(horizontal->value(),
                 int(*std::find_if(layout.positions.begin(), layout.positions.end(), [](double c) { return c > 20; })));
    }

    // The size setting reaches the view: a fixed size gives its row height,
    // "Fit" a size the columns fit in.
    void fixedSizesAndFitFont() {
        PaintTable table;
        const int dpi = table.view->logicalDpiY();
        QCOMPARE(table.view->rowHeight(), QFontMetrics(TableFont(dpi * 14 / 72, false)).height());  // size 6: 14 points
        table.program.settings.displayFontSize = 0;  // "Fit"
        table.window->resize(900, 400);
        QCoreApplication::processEvents();
        QVERIFY(table.view->rowHeight() < QFontMetrics(TableFont(15 * (dpi / 72), false)).height());
        QCOMPARE(table.view->horizontalScrollBar()->maximum(), 0);  // nothing to scroll sideways
    }

    // Marked and hidden rows are painted in their colours on the background.
    void rowsArePaintedInTheirColours() {
        PaintTable table;
        const ModeList& rows = table.program.store.list(Mode::Paint);
        table.program.store.flags(rows[0]) = Marked;
        table.program.store.flags(rows[1]) = Hidden;
        const QImage image = table.view->viewport()->grab().toImage();
        auto rowHasColour = [&](int row, QColor colour) {
            const int height = table.view->rowHeight();
            for (int y = row * height; y < (row + 1) * height; ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixelColor(x, y) == colour) return true;
                }
            }
            return false;
        };
        const QColor marked(0, 255, 0), deleted(64, 64, 172);
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(0, 0, 255));  // the background
        QVERIFY(rowHasColour(0, Qt::white));  // the header band's titles
        QVERIFY(rowHasColour(1, marked) && rowHasColour(2, deleted));
        QVERIFY(!rowHasColour(3, marked) && !rowHasColour(3, deleted));
    }

    // A font change lays out every table at once, a maximized one too, and
    // the scroll bars follow: Ctrl+End shows the last row at the bottom.
    void aFontChangeLaysOutEveryTableAndTheScrollBarsFollow() {
        FrameUnderTest t;
        t.openReadings("two.qvr", {3, 40, 0, 0, 0});
        TableView* bulk = t.view(Mode::Bulk);
        const int before = bulk->rowHeight();
        t.frame->tableWindow(Mode::Paint)->showMaximized();
        t.program.settings.displayFontSize = 3;  // 8 points, as the Display dialog's OK takes it
        t.frame->configurationHooks().settingsApplied();
        QCoreApplication::processEvents();
        QVERIFY(bulk->rowHeight() < before && t.view(Mode::Paint)->rowHeight() == bulk->rowHeight());
        QTest::keyClick(bulk, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(bulk->topRow() + bulk->viewport()->height() / bulk->rowHeight(), 41);
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::TableWindowTest)
#include "table_window_test.moc"
