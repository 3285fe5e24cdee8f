#pragma once
// What the desktop tests share: a frame with scripted answers and readings
// files written for the test, and small helpers for dialogs and tables.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "ui/frame/frame_window.h"
#include "core/shell/command_ids.h"
#include "core/shell/program.h"
#include "ui/common/qt_text.h"
#include "ui/common/dialog_shell.h"
#include "make-sample/sample_file.h"
#include "core/platform/clock.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "support/scripted_file_chooser.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "ui/views/table_window.h"

namespace ravik::test {

// Counts of readings per mode: Paint, Bulk, Thin, Alloy, Sign.
using ModeCounts = std::array<int, 5>;

// Writes a sample readings file and returns its path.
std::string WriteReadingsFile(const TempDir& directory, const std::string& name, ModeCounts counts,
                              bool locked = false, const std::string& site = "Maple Street School");

// Points the data directory (RAVIK_HOME) at a fresh directory while it lives.
class ScratchHome {
public:
    ScratchHome();
    ~ScratchHome();
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;
    std::string file(const std::string& name) const { return directory_.file(name); }

private:
    TempDir directory_;
    QByteArray previous_;
};

// Points COMn (RAVIK_COMn) at a device while it lives.
class ComPort {
public:
    ComPort(int n, const std::string& device);
    ~ComPort() { qunsetenv(name_.constData()); }
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

private:
    QByteArray name_;
};

// A shown frame whose message boxes and file dialogs answer from scripts,
// with a data directory and a directory for readings files of its own.
struct FrameUnderTest {
    FrameUnderTest();
    ~FrameUnderTest();
    // Opens a file the way File Open does after its dialog.
    void open(const std::string& path);
    // Writes a sample readings file into dir, opens it and returns its path.
    std::string openReadings(const std::string& name, ModeCounts counts, bool locked = false,
                             const std::string& site = "Maple Street School");
    // The table of a mode whose window is open.
    TableView* view(Mode mode) const { return frame->tableWindow(mode)->view(); }
    // Brings the frame to the front, so that key presses reach it.
    bool activate();

    TempDir dir;
    ScratchHome home;
    Program program;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::unique_ptr<FrameWindow> frame;
};

// A frame on a file of Paint readings, its table window at 0,0 with the
// width given and 420 pixels high.
struct PaintTable : FrameUnderTest {
    explicit PaintTable(int readings = 8, bool locked = false, int width = 700);
    QPoint rowPoint(int row) const;
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    TableWindow* window = nullptr;
    TableView* view = nullptr;
};

// The middle of a table row on the view's viewport (the header band is row 0).
QPoint RowPoint(const TableView& view, int row);

// A dialog's control by its id, as the widget type W.
template <typename W = QWidget>
W* Control(const QWidget& dialog, int id) {
    return qobject_cast<W*>(FindControl(dialog, id));
}

// A wall clock whose whole seconds pass ten times as fast as real ones, so
// that the analyzer search's waits of seconds take a tenth of their time.
class FastClock final : public Clock {
public:
    int64_t seconds() override { return real_.milliseconds() / 100; }
    int64_t milliseconds() override { return real_.milliseconds(); }

private:
    SystemClock real_;
};

// Acts on the modal dialog of type D that the code under test is about to
// open, once its event loop runs.
template <typename D>
void WhenModalOpens(std::function<void(D&)> act) {
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) act(*dialog);
    });
}

// The title of the modal dialog of type D that act opens, which is then
// rejected; empty when none opens.
template <typename D = QDialog>
QString ModalTitle(const std::function<void()>& act) {
    QString title;
    WhenModalOpens<D>([&title](D& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    act();
    QCoreApplication::processEvents();
    return title;
}

// Whether act opens a modal dialog; one that opens is rejected.
bool OpensADialog(const std::function<void()>& act);

}  // namespace ravik::test
