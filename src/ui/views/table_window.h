#pragma once
// The table windows: one MDI child per mode with readings, showing the
// mode's readings in its shown columns. The user scrolls with the keys
// (acting on key release, because the frame's accelerators take key
// presses), marks readings with the mouse (or Shift+Up/Down and Space)
// and hides or unhides them.

#include <QAbstractScrollArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "core/shell/program.h"
#include "core/views/table_layout.h"

namespace ravik {

class Prompter;

class TableView : public QAbstractScrollArea {
    Q_OBJECT
public:
    TableView(Program& program, TableViewState& views, Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    // The readings changed: measure the columns again.
    void readingsChanged();
    // The display settings or column sets changed: the font is sized again
    // as after a resize, the columns measured again and the scroll bars follow.
    void relayOut();
    int topRow() const;
    int horizontalPos() const;
    int rowHeight() const;
    // The row under a window y coordinate (the header band is topRow()).
    int rowAt(int y) const;
    ColumnLayout columnLayout();

Q_SIGNALS:
    // A command for the frame: hide (Delete) and unhide (Insert).
    void commandRequested(int command);
    // Marks of other tables changed too (a double-click clears them all).
    void allMarksChanged();
    // A column title was double-clicked (left: sort; right: rename) and a
    // reading's row right double-clicked (its editor; row from 1).
    void sortRequested(Mode mode, int column);
    void columnTitleEditRequested(Mode mode, int column);
    void readingEditRequested(Mode mode, int row);
    // A row was double-clicked: its reading's low-energy spectrum.
    void spectrumRequested(int32_t reading, int kind);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int fontHeight() const;  // positive pixels
    void ensureWidths(int height);
    void sizeFont();
    int fitHeight();
    void updateScrollRanges();
    // Sizes the font for the window's width and sets the scroll ranges for it.
    void layOutForSize();
    void pageHorizontally(int action);
    void rightDoubleClick(const QPoint& at);
    // Scrolls the least that brings a data row wholly into view.
    void showRow(int row);
    // Drag marking to a window y; beyond the top or bottom edge the table
    // scrolls a line towards the pointer first.
    void dragTo(int y);

    Program& program_;
    TableViewState& views_;
    Mode mode_;
    bool buttonHeld_ = false;
    // Drag marking goes on while the pointer rests beyond an edge.
    QTimer dragScroll_;
    int dragY_ = 0;
    // Ctrl was down when Home or End was pressed: the key acts as
    // Ctrl+Home or Ctrl+End whichever of the two is let go first.
    bool controlWithKey_ = false;
};

class TableWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    TableWindow(Program& program, TableViewState& views, Mode mode, Prompter& prompter, QWidget* parent = nullptr);

    TableView* view() const { return view_; }
    Mode mode() const { return view_->mode(); }
    // Closes the window without the close question (the file closes).
    void closeWithoutQuestion();
    // The window's place in the client when it is neither maximized nor an
    // icon; while it is either, the place it had before.
    QRect normalPlace() const { return normalPlace_; }

Q_SIGNALS:
    void commandRequested(int command);
    void allMarksChanged();
    void spectrumRequested(int32_t reading, int kind);
    // "Compare Marked" (Ctrl+M or the context menu): the marked readings of
    // this table go to the compare window.
    void compareMarkedRequested(Mode mode);

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool onTitleBar(const QPoint& position) const;
    void keepNormalPlace();
    // The context menu waits for the double-click time: a right
    // double-click (the reading's editor) takes its place.
    void showContextMenuLater(const QPoint& globalPosition);

    QAction* compareMarked_ = nullptr;
    QTimer contextMenuDelay_;
    QPoint contextMenuAt_;

    TableView* view_;
    Prompter& prompter_;
    bool closingWithoutQuestion_ = false;
    QRect normalPlace_;
};

}  // namespace ravik
