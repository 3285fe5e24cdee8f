// The dialogs on a full file (5100 Paint readings): opening the Paint
// reading editor (pick list read, reading formatted, boxes filled) and a
// sort through the Sorting dialog with its progress, from the file order.
// Reference: the same sort without the dialog (SortModeList alone).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "core/shell/program.h"
#include "ui/maintenance/reading_edit_dialog.h"
#include "ui/maintenance/sort_dialog.h"
#include "make-sample/sample_file.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "bench_support.h"

namespace ravik {
namespace {

constexpr int kRoomColumn = 6;

struct FullPaintFile {
    FullPaintFile() {
        static int argc = 1;
        static char name[] = "bench_dialogs";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(argc, argv);
        sample::SampleOptions options;
        options.counts[0] = kMaxReadings;
        options.seed = 5100;
        options.compactSpectra = true;
        LoadReadingsBytes(program.store, sample::MakeReadingsFile(options), "bench.qvr", kOpenCommand, prompter);
        fileOrder = program.store.list(Mode::Paint);
    }
    std::unique_ptr<QApplication> application;
    QTemporaryDir home;
    Program program;
    SilentPrompter prompter;
    ModeList fileOrder;
};

FullPaintFile& File() {
    static FullPaintFile file;
    return file;
}

void BM_OpenPaintEditor(benchmark::State& state) {
    FullPaintFile& file = File();
    const std::string directory = file.home.path().toStdString();
    for (auto _ : state) {
        std::optional<AnnotationEdit> edit = OpenAnnotationEdit(file.program.store, file.program.settings, Mode::Paint,
                                                                kMaxReadings / 2, directory, file.prompter);
        ReadingEditDialog dialog(file.program, std::move(*edit), directory, file.prompter);
        benchmark::DoNotOptimize(dialog.box(0));
    }
}
BENCHMARK(BM_OpenPaintEditor)->Unit(benchmark::kMillisecond);

void BM_SortDialog(benchmark::State& state) {
    FullPaintFile& file = File();
    SortChoices choices;
    for (auto _ : state) {
        state.PauseTiming();
        file.program.store.list(Mode::Paint) = file.fileOrder;
        state.ResumeTiming();
        SortDialog dialog(file.program.store, file.program.settings, Mode::Paint, kRoomColumn, choices, file.prompter);
        dialog.ok();
    }
}
BENCHMARK(BM_SortDialog)->Unit(benchmark::kMillisecond);

void BM_SortWithoutDialog(benchmark::State& state) {
    FullPaintFile& file = File();
    for (auto _ : state) {
        state.PauseTiming();
        file.program.store.list(Mode::Paint) = file.fileOrder;
        state.ResumeTiming();
        SortModeList(file.program.store, file.program.settings, Mode::Paint, kRoomColumn, {}, file.prompter);
    }
}
BENCHMARK(BM_SortWithoutDialog)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ravik
