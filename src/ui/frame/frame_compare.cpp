// The frame's side of the spectrum compare window: Window, Compare
// Spectra..., a table's Compare Marked and a spectrum window's Compare. The
// readings are copied out of the store as they join, so the window keeps
// them whatever happens to the open file.

#include <QMdiArea>
#include <algorithm>

#include "core/platform/prompter.h"
#include "core/views/spectrum_plot.h"
#include "ui/frame/frame_window.h"
#include "ui/views/compare_window.h"

namespace ravik {

namespace {

// The file name of the open readings file, without its folders.
std::string OpenFileName(const Program& program) {
    const std::string& path = program.shell.currentFileName;
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CompareWindow* FrameWindow::compareWindow() const { return compareWindow_; }

void FrameWindow::closeCompareWindow() {
    if (compareWindow_ != nullptr) compareWindow_->close();
}

CompareWindow* FrameWindow::showCompareWindow() {
    if (compareWindow_ == nullptr) {
        compareWindow_ = new CompareWindow(&prompter_, this);
        compareWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    compareWindow_->show();
    compareWindow_->raise();
    compareWindow_->activateWindow();
    return compareWindow_;
}

void FrameWindow::compareMarked(Mode mode) {
    std::vector<ComparedReading> readings;
    const ModeList& list = program_.store.list(mode);
    for (size_t row = 0; row < list.size(); ++row) {
        if (!(program_.store.flags(list[row]) & Marked)) continue;
        if (std::optional<ComparedReading> reading = TakeReading(program_.store, program_.settings, mode,
                                                                 static_cast<int>(row) + 1, OpenFileName(program_))) {
            readings.push_back(std::move(*reading));
        }
    }
    if (readings.empty()) {
        prompter_.notice("Mark the readings to compare first (click or Shift+Up/Down in the table).",
                         "Compare Spectra");
        return;
    }
    showCompareWindow()->addReadings(std::move(readings));
}

void FrameWindow::compareSpectrum(int32_t reading, int kind) {
    const std::optional<Mode> mode = ModeOfKind(kind);
    if (!mode) return;
    const ModeList& list = program_.store.list(*mode);
    const auto row = std::find(list.begin(), list.end(), reading);
    if (row == list.end()) return;
    std::optional<ComparedReading> taken = TakeReading(program_.store, program_.settings, *mode,
                                                       static_cast<int>(row - list.begin()) + 1, OpenFileName(program_));
    if (!taken) return;
    CompareWindow* window = showCompareWindow();
    // The first reading sets the band to the spectrum window's.
    if (window->comparison().size() == 0) window->setBand(IsHighKind(kind) ? SpectrumBand::High : SpectrumBand::Low);
    window->addReadings({std::move(*taken)});
}

}  // namespace ravik
