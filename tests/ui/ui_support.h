#pragma once
// What the desktop tests share: a frame with scripted answers and readings
// files written for the test.

#include <QTest>
#include <array>
#include <memory>
#include <string>

#include "app/frame_window.h"
#include "desktop/program.h"
#include "make-sample/sample_file.h"
#include "platform/clock.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "support/scripted_file_chooser.h"

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

// A shown frame whose message boxes and file dialogs answer from scripts,
// with a data directory of its own.
struct FrameUnderTest {
    FrameUnderTest();
    ~FrameUnderTest();
    // Opens a file the way File Open does after its dialog.
    void open(const std::string& path);

    ScratchHome home;
    Program program;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::unique_ptr<FrameWindow> frame;
};

// A wall clock whose whole seconds pass ten times as fast as real ones, so
// that the analyzer search's waits of seconds take a tenth of their time.
class FastClock final : public Clock {
public:
    int64_t seconds() override { return real_.milliseconds() / 100; }
    int64_t milliseconds() override { return real_.milliseconds(); }

private:
    SystemClock real_;
};

}  // namespace ravik::test

#include <QApplication>
#include <QTimer>
#include <functional>

namespace ravik::test {

// Acts on the modal dialog of type D that the code under test is about to
// open, once its event loop runs.
template <typename D>
void WhenModalOpens(std::function<void(D&)> act) {
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) act(*dialog);
    });
}

}  // namespace ravik::test
