// The instrument dialogs' costs. Receive: a 300-reading dump from the
// simulated analyzer, paced at 115200 bit/s, taken through the dump dialog's
// own 100 ms timer in the event loop; the "ratio" counter is the time from
// the port's opening to Accept over the line's own time for the same bytes.
// Remote: repainting the whole Remote Control dialog showing a screen
// picture and a 500-channel spectrum (offscreen).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "ui/common/dialog_shell.h"
#include "ui/link/dump_dialog.h"
#include "core/link/instrument_port.h"
#include "ui/link/remote_dialog.h"
#include "ui/link/remote_painter.h"
#include "core/platform/clock.h"
#include "core/platform/prompter.h"
#include "core/settings/settings.h"
#include "support/analyzer_simulator.h"
#include "support/temp_dir.h"
#include "bench_support.h"
#include "qt_bench_support.h"

namespace ravik {
namespace {

// The bytes the analyzer sent for a dump file: its header text lines (the
// file pads them to 256 bytes) and its records.
double SentBytes(const std::string& dumpPath) {
    const std::string file = test::ReadAll(dumpPath);
    if (file.size() < 256) return 0.0;
    return static_cast<double>(file.size() - 256 + std::strlen(file.c_str()));
}

void BM_ReceiveThroughTheDialogAt115200(benchmark::State& state) {
    EnsureApplication();
    const std::string dumpPath = (std::filesystem::temp_directory_path() / "ravik-bench-dialog.tmp").string();
    double ratio = 0.0;
    double lineSeconds = 0.0;
    for (auto _ : state) {
        test::AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--readings", "300", "--compact", "--baud", "4", "--paced",
                                                            "--dump-delay", "0", "--seed", "300"});
        InstrumentPort port;
        SilentPrompter prompter;
        Settings settings;
        DumpDialog dialog(port, prompter, settings, dumpPath);
        QElapsedTimer elapsed;
        elapsed.start();
        if (!dialog.start({analyzer.path(), 4, {}})) {
            state.SkipWithError("the port did not open");
            return;
        }
        while (!dialog.receiver().acceptEnabled() && dialog.receiver().phase() == DumpReceiver::Phase::Receiving) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
        dialog.receiver().end();
        state.SetIterationTime(seconds);
        lineSeconds = SentBytes(dumpPath) * 10.0 / 115200.0;
        ratio = seconds / lineSeconds;
    }
    std::filesystem::remove(dumpPath);
    state.counters["ratio"] = ratio;
    state.counters["line_s"] = lineSeconds;
}
BENCHMARK(BM_ReceiveThroughTheDialogAt115200)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kSecond);

void BM_RepaintRemoteDialog(benchmark::State& state) {
    EnsureApplication();
    InstrumentPort port;
    SilentPrompter prompter;
    SystemClock clock;
    RemoteDialog dialog(port, prompter, clock, {"/dev/null", 0, {}});
    dialog.resize(900, 620);
    dialog.show();
    std::vector<uint8_t> bitmap(kScreenBitmapBytes);
    for (size_t i = 0; i < bitmap.size(); ++i) bitmap[i] = static_cast<uint8_t>((i * 37) ^ (i / 20));
    qobject_cast<DisplayBox*>(FindControl(dialog, remote_control::kLandscape))->showPicture(ScreenPicture(bitmap));
    SpectrumPlot plot;
    for (int channel = 0; channel < 500; ++channel) {
        const float count = 200.0f + 5000.0f * std::exp(-std::pow((channel - 180) / 9.0f, 2.0f)) +
                            2500.0f * std::exp(-std::pow((channel - 320) / 12.0f, 2.0f));
        plot.counts.push_back(count);
        plot.largest = std::max(plot.largest, count);
    }
    qobject_cast<DisplayBox*>(FindControl(dialog, remote_control::kSpectrum))->showPlot(plot);
    QCoreApplication::processEvents();
    for (auto _ : state) dialog.repaint();
}
BENCHMARK(BM_RepaintRemoteDialog)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
