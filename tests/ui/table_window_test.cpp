// The table windows: mouse marking, keys acting on release, scrolling,
// font sizing and the colours rows are painted in.

#include <QImage>

#include "ui_support.h"
#include "ui/views/table_painter.h"

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
    // The mouse reaches the marking rules: a click, a Shift+click from the row
    // last clicked, a drag over rows; a move with the button up marks nothing.
    void clicksAndDragsMark() {
        PaintTable table;
        table.click(2);
        table.click(6, Qt::ShiftModifier);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, M, M, M, 0, 0}));
        table.click(7);
        QCOMPARE(table.program.shell.selection.selectedRow, 7);
        QCOMPARE(table.program.shell.selection.selectedMode, 0);

        QWidget* viewport = table.view->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, table.rowPoint(2));
        MoveHeld(viewport, table.rowPoint(4));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, table.rowPoint(4));
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, M, 0, 0, 0, 0}));
        MoveHeld(viewport, table.rowPoint(7));
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, M, 0, 0, 0, 0}));
    }

    // With the pointer resting below the table the drag scrolls on and marks
    // the rows it brings up, until the button is let go.
    void dragMarkingScrollsOnWhileThePointerRestsBeyondTheEdge() {
        PaintTable table(200);
        QWidget* viewport = table.view->viewport();
        const int visibleRows = viewport->height() / table.view->rowHeight();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, table.rowPoint(2));
        const QPoint below(40, viewport->height() + 10);
        MoveHeld(viewport, below);
        QTRY_VERIFY(table.view->topRow() >= 5);
        QVERIFY(CountMarked(table.program.store) > visibleRows + 3);
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
        QVERIFY(table.program.shell.unsavedChanges);
        QCOMPARE(table.program.shell.selection.selectedRow, -1);
        QVERIFY(table.frame->commandAction(command::kSave)->isEnabled());

        table.click(5);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, 0, H, 0, M | H, 0, 0, 0}));
        QTest::keyClick(table.view, Qt::Key_Insert);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, 0, H, 0, 0, 0, 0, 0}));
        table.click(3);
        QTest::keyPress(table.view, Qt::Key_Insert);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, 0, M | H, 0, 0, 0, 0, 0}));
        QTest::keyRelease(table.view, Qt::Key_Insert);
        QCOMPARE(RowFlags(table.program, Mode::Paint), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0, 0}));
    }

    // A double-click clears the marks in every table and selects its row.
    void doubleClickClearsMarksInEveryTable() {
        FrameUnderTest t;
        t.openReadings("mixed.qvr", {3, 3, 0, 0, 0});
        for (int32_t n = 1; n <= t.program.store.readingCount; ++n) t.program.store.flags(n) = Marked;
        QTest::mouseDClick(t.view(Mode::Bulk)->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(*t.view(Mode::Bulk), 2));
        QCOMPARE(RowFlags(t.program, Mode::Paint), std::vector<uint32_t>(3, 0));
        QCOMPARE(RowFlags(t.program, Mode::Bulk), std::vector<uint32_t>(3, 0));
        QCOMPARE(t.program.shell.selection.selectedRow, 2);
        QCOMPARE(t.program.shell.selection.selectedMode, Index(Mode::Bulk));
    }

    // The scrolling keys act on release: a row, a page, the ends, a column;
    // Ctrl+End whichever of its keys is let go first.
    void keysScrollOnRelease() {
        PaintTable table(60);
        QScrollBar* vertical = table.view->verticalScrollBar();
        QScrollBar* horizontal = table.view->horizontalScrollBar();
        QVERIFY(horizontal->maximum() > 0);  // every Paint column does not fit 700 pixels
        const int visibleRows = table.view->viewport()->height() / table.view->rowHeight();
        QCOMPARE(vertical->maximum(), 60 - visibleRows + 1);

        QTest::keyPress(table.view, Qt::Key_Down);
        QCOMPARE(vertical->value(), 0);
        QTest::keyRelease(table.view, Qt::Key_Down);
        QCOMPARE(vertical->value(), 1);
        QTest::keyClick(table.view, Qt::Key_PageDown);
        QCOMPARE(vertical->value(), 1 + visibleRows - 1);
        QTest::keyPress(table.view, Qt::Key_End, Qt::ControlModifier);  // Ctrl let go first
        QTest::keyRelease(table.view, Qt::Key_Control, Qt::NoModifier);
        QTest::keyRelease(table.view, Qt::Key_End, Qt::NoModifier);
        QCOMPARE(vertical->value(), vertical->maximum());
        QCOMPARE(horizontal->value(), 0);
        QTest::keyClick(table.view, Qt::Key_End);
        QCOMPARE(horizontal->value(), horizontal->maximum());
        QTest::keyClick(table.view, Qt::Key_Home);
        QCOMPARE(horizontal->value(), 0);
        QTest::keyClick(table.view, Qt::Key_Right);
        QCOMPARE(horizontal->value(), 20);
        QTest::keyClick(table.view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(vertical->value(), 0);
        QTest::keyClick(table.view, Qt::Key_End, Qt::ControlModifier);  // End let go first
        QCOMPARE(vertical->value(), vertical->maximum());

        // A page to the right goes to the first column centre beyond the position.
        horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
        const ColumnLayout layout = table.view->columnLayout();
        const auto next = std::find_if(layout.positions.begin(), layout.positions.end(), [](double c) { return c > 20; });
        QCOMPARE(horizontal->value(), static_cast<int>(*next));
    }

    // The size setting reaches the view: a fixed size gives its row height,
    // "Fit" a size the columns fit in, no smaller than four steps.
    void fixedSizesAndFitFont() {
        PaintTable table;
        const int dpi = table.view->logicalDpiY();
        auto rowHeightFor = [](int pixels) { return QFontMetrics(TableFont(pixels, false)).height(); };
        QCOMPARE(table.view->rowHeight(), rowHeightFor(dpi * 14 / 72));  // size 6 is 14 points

        table.program.settings.displayFontSize = 0;  // "Fit"
        table.window->resize(900, 400);
        QCoreApplication::processEvents();
        QVERIFY(table.view->rowHeight() < rowHeightFor(15 * (dpi / 72)));
        QCOMPARE(table.view->horizontalScrollBar()->maximum(), 0);  // nothing to scroll sideways
        table.window->resize(120, 400);
        QCoreApplication::processEvents();
        QCOMPARE(table.view->rowHeight(), rowHeightFor(4 * (dpi / 72)));
    }

    // Marked and hidden rows are painted in their colours on the background.
    void rowsArePaintedInTheirColours() {
        PaintTable table;
        const ModeList& rows = table.program.store.list(Mode::Paint);
        table.program.store.flags(rows[0]) = Marked;
        table.program.store.flags(rows[1]) = Hidden;
        table.view->viewport()->update();
        const QImage image = table.view->viewport()->grab().toImage();
        auto rowHasColour = [&](int row, QColor colour) {
            const int top = row * table.view->rowHeight();
            for (int y = top; y < top + table.view->rowHeight(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixelColor(x, y) == colour) return true;
                }
            }
            return false;
        };
        const QColor marked(0, 255, 0), deleted(64, 64, 172), normal(255, 255, 255), background(0, 0, 255);
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), background);
        QVERIFY(rowHasColour(0, normal));  // the header band's titles are white
        QVERIFY(rowHasColour(1, marked));
        QVERIFY(rowHasColour(2, deleted));
        QVERIFY(!rowHasColour(3, marked) && !rowHasColour(3, deleted));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::TableWindowTest)
#include "table_window_test.moc"
