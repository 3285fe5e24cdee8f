// The table windows: mouse marking, keys acting on release, scrolling,
// font sizing and the colours rows are painted in.

#include <QImage>
#include <QMdiArea>
#include <QScrollBar>
#include <QTest>

#include "desktop/command_ids.h"
#include "ui_support.h"
#include "views/table_painter.h"
#include "views/table_window.h"

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

// A frame showing a Paint table of eight readings in a tall window.
struct PaintTable {
    explicit PaintTable(int readings = 8) {
        t.open(WriteReadingsFile(dir, "paint.qvr", {readings, 0, 0, 0, 0}));
        window = t.frame->tableWindow(Mode::Paint);
        window->setGeometry(0, 0, 700, 420);
        view = window->view();
        QCoreApplication::processEvents();
    }
    QPoint rowPoint(int row) const {
        return {40, (row - view->topRow()) * view->rowHeight() + view->rowHeight() / 2};
    }
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rowPoint(row));
    }
    void moveHeld(int row) {
        QMouseEvent move(QEvent::MouseMove, rowPoint(row), view->viewport()->mapToGlobal(rowPoint(row)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
    }

    TempDir dir;
    FrameUnderTest t;
    TableWindow* window = nullptr;
    TableView* view = nullptr;
};

}  // namespace

class TableWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainControlAndShiftClicksMark();
    void dragMarksAndGoingBackUnmarks();
    void dragMarkingScrollsOnWhileThePointerRestsBeyondTheEdge();
    void deleteAndInsertReleasesHideAndUnhide();
    void doubleClickClearsMarksInEveryTable();
    void keysScrollOnRelease();
    void fixedSizesAndFitFont();
    void rowsArePaintedInTheirColours();
};

void TableWindowTest::plainControlAndShiftClicksMark() {
    PaintTable table;
    table.click(2);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, M, 0, 0, 0, 0, 0, 0}));
    table.click(4, Qt::ControlModifier);
    table.click(2, Qt::ControlModifier);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, 0, 0, M, 0, 0, 0, 0}));
    table.click(6, Qt::ShiftModifier);  // from the row last clicked, 2
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, M, M, M, 0, 0}));
    table.click(7);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, M, 0}));
    QCOMPARE(table.t.program.shell.selection.selectedRow, 7);
    QCOMPARE(table.t.program.shell.selection.selectedMode, 0);
    table.click(0);  // the header band marks nothing
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), std::vector<uint32_t>(8, 0));
}

void TableWindowTest::dragMarksAndGoingBackUnmarks() {
    PaintTable table;
    QTest::mousePress(table.view->viewport(), Qt::LeftButton, Qt::NoModifier, table.rowPoint(2));
    table.moveHeld(3);
    table.moveHeld(5);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, M, M, 0, 0, 0}));
    table.moveHeld(4);
    table.moveHeld(4);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, 0, 0, 0, 0, 0}));
    QTest::mouseRelease(table.view->viewport(), Qt::LeftButton, Qt::NoModifier, table.rowPoint(4));
    table.moveHeld(7);  // the button is up: nothing more is marked
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, M, M, 0, 0, 0, 0, 0}));
}

void TableWindowTest::dragMarkingScrollsOnWhileThePointerRestsBeyondTheEdge() {
    PaintTable table(200);
    QWidget* viewport = table.view->viewport();
    const int visibleRows = viewport->height() / table.view->rowHeight();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, table.rowPoint(2));
    const QPoint below(40, viewport->height() + 10);
    QMouseEvent move(QEvent::MouseMove, below, viewport->mapToGlobal(below), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    // No more moves: the table scrolls on and marks the rows it brings up.
    QTRY_VERIFY(table.view->topRow() >= 5);
    QVERIFY(CountMarked(table.t.program.store) > visibleRows + 3);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, below);
    const int atRelease = table.view->topRow();
    QTest::qWait(150);
    QCOMPARE(table.view->topRow(), atRelease);
}

void TableWindowTest::deleteAndInsertReleasesHideAndUnhide() {
    PaintTable table;
    table.t.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(table.t.frame.get()));
    table.view->setFocus();
    table.click(3);
    table.click(5, Qt::ControlModifier);
    QTest::keyClick(table.view, Qt::Key_Delete);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, 0, H, 0, H, 0, 0, 0}));
    QVERIFY(table.t.program.shell.unsavedChanges);
    QCOMPARE(table.t.program.shell.selection.selectedRow, -1);
    QVERIFY(table.t.frame->commandAction(command::kSave)->isEnabled());

    table.click(5);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, 0, H, 0, M | H, 0, 0, 0}));
    QTest::keyClick(table.view, Qt::Key_Insert);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, 0, H, 0, 0, 0, 0, 0}));
    // A press alone does nothing: the keys act when let go.
    table.click(3);
    QTest::keyPress(table.view, Qt::Key_Insert);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, 0, M | H, 0, 0, 0, 0, 0}));
    QTest::keyRelease(table.view, Qt::Key_Insert);
    QCOMPARE(RowFlags(table.t.program, Mode::Paint), (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0, 0}));
}

void TableWindowTest::doubleClickClearsMarksInEveryTable() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "mixed.qvr", {3, 3, 0, 0, 0}));
    for (int32_t n = 1; n <= t.program.store.readingCount; ++n) t.program.store.flags(n) = Marked;
    TableView* bulk = t.frame->tableWindow(Mode::Bulk)->view();
    const QPoint row2(40, bulk->rowHeight() * 2 + 2);
    QTest::mouseDClick(bulk->viewport(), Qt::LeftButton, Qt::NoModifier, row2);
    QCOMPARE(RowFlags(t.program, Mode::Paint), std::vector<uint32_t>(3, 0));
    QCOMPARE(RowFlags(t.program, Mode::Bulk), std::vector<uint32_t>(3, 0));
    QCOMPARE(t.program.shell.selection.selectedRow, 2);
    QCOMPARE(t.program.shell.selection.selectedMode, Index(Mode::Bulk));
}

void TableWindowTest::keysScrollOnRelease() {
    PaintTable table(60);
    QScrollBar* vertical = table.view->verticalScrollBar();
    QScrollBar* horizontal = table.view->horizontalScrollBar();
    QVERIFY(vertical->maximum() > 0);
    QVERIFY(horizontal->maximum() > 0);  // every Paint column does not fit 700 pixels
    const int visibleRows = table.view->viewport()->height() / table.view->rowHeight();
    QCOMPARE(vertical->maximum(), 60 - visibleRows + 1);

    QTest::keyPress(table.view, Qt::Key_Down);
    QCOMPARE(vertical->value(), 0);
    QTest::keyRelease(table.view, Qt::Key_Down);
    QCOMPARE(vertical->value(), 1);
    QTest::keyClick(table.view, Qt::Key_PageDown);
    QCOMPARE(vertical->value(), 1 + visibleRows - 1);
    QTest::keyClick(table.view, Qt::Key_End, Qt::ControlModifier);
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

    // A page to the right goes to the first column centre beyond the position.
    horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const ColumnLayout layout = table.view->columnLayout();
    const auto next = std::find_if(layout.positions.begin(), layout.positions.end(), [](double c) { return c > 20; });
    QCOMPARE(horizontal->value(), static_cast<int>(*next));
}

void TableWindowTest::fixedSizesAndFitFont() {
    PaintTable table;
    const int dpi = table.view->logicalDpiY();
    const int step = dpi / 72;
    auto rowHeightFor = [](int pixels) { return QFontMetrics(TableFont(pixels, false)).height(); };
    QCOMPARE(table.view->rowHeight(), rowHeightFor(dpi * 14 / 72));  // size 6 is 14 points
    table.t.program.settings.displayFontSize = 1;
    table.window->resize(650, 401);
    QCoreApplication::processEvents();
    QCOMPARE(table.view->rowHeight(), rowHeightFor(dpi * 4 / 72));

    table.t.program.settings.displayFontSize = 0;  // "Fit"
    table.window->resize(4000, 400);
    QCoreApplication::processEvents();
    QCOMPARE(table.view->rowHeight(), rowHeightFor(15 * step));  // the first step down fits
    table.window->resize(900, 400);
    QCoreApplication::processEvents();
    const int fitted = table.view->rowHeight();
    QVERIFY(fitted < rowHeightFor(15 * step));
    QVERIFY(fitted >= rowHeightFor(4 * step));
    // The table now fits its window: nothing to scroll sideways.
    QCOMPARE(table.view->horizontalScrollBar()->maximum(), 0);
    table.window->resize(120, 400);
    QCoreApplication::processEvents();
    QCOMPARE(table.view->rowHeight(), rowHeightFor(4 * step));  // never below four steps
}

void TableWindowTest::rowsArePaintedInTheirColours() {
    PaintTable table;
    Program& program = table.t.program;
    const ModeList& rows = program.store.list(Mode::Paint);
    program.store.flags(rows[0]) = Marked;
    program.store.flags(rows[1]) = Hidden;
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
    QVERIFY(!rowHasColour(1, deleted));
    QVERIFY(rowHasColour(2, deleted));
    QVERIFY(!rowHasColour(2, marked));
    QVERIFY(!rowHasColour(3, marked) && !rowHasColour(3, deleted));
}

}  // namespace ravik::test

QTEST_MAIN(ravik::test::TableWindowTest)
#include "table_window_test.moc"
