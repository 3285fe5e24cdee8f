// The spectrum workbench's core: the candidate lookup for a click (a binary
// search in the line table built once), and the EMSA export of 1000
// readings. The export is measured twice against a plain write of the same
// bytes: making the texts and writing them into one file with one write
// each, and the whole flow (a staged file per reading, flushed to disk,
// committed together) against writing the same files with write and fsync.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "bench_support.h"
#include "core/output/spectrum_files.h"
#include "core/readings/readings_loader.h"
#include "core/views/element_lines.h"
#include "core/views/spectrum_compare.h"

namespace ravik {
namespace {

constexpr int kExported = 1000;

void BM_LineTableBuild(benchmark::State& state) {
    for (auto _ : state) {
        XrayLineTable table;
        benchmark::DoNotOptimize(table.lines().data());
    }
}
BENCHMARK(BM_LineTableBuild)->Unit(benchmark::kMillisecond);

// Clicks spread over 0.5..40 keV, the confirming lines from the plotted 0..25 keV.
void BM_CandidateLookup(benchmark::State& state) {
    const XrayLineTable& table = XrayLineTable::Instance();
    double keV = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.candidates(keV, 0, 25));
        keV = keV > 40 ? 0.5 : keV + 0.737;
    }
}
BENCHMARK(BM_CandidateLookup)->Unit(benchmark::kMicrosecond);

const std::vector<EmsaSpectrum>& Spectra() {
    static const std::vector<EmsaSpectrum> spectra = [] {
        sample::SampleOptions options;
        options.counts = {kExported, 0, 0, 0, 0};
        options.seed = 1000;
        ReadingStore store;
        SilentPrompter prompter(Answer::Yes);
        LoadReadingsBytes(store, sample::MakeReadingsFile(options), "bench.qvr", kOpenCommand, prompter);
        const Settings settings;
        std::vector<EmsaSpectrum> all;
        for (int row = 1; row <= store.count(Mode::Paint); ++row) {
            EmsaSpectrum spectrum;
            if (EmsaSpectrumOf(*TakeReading(store, settings, Mode::Paint, row, "bench.qvr"), SpectrumBand::Low, spectrum)) {
                all.push_back(std::move(spectrum));
            }
        }
        return all;
    }();
    return spectra;
}

std::string Folder() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "ravik-bench-emsa";
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::string FileName(const std::string& folder, size_t i) { return folder + "/r" + std::to_string(i) + ".msa"; }

void WritePlain(const std::string& path, const std::string& bytes, bool sync) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
    if (sync) ::fsync(fd);
    ::close(fd);
}

// The texts made and written to one file, one write each.
void BM_EmsaTexts1000(benchmark::State& state) {
    const std::vector<EmsaSpectrum>& spectra = Spectra();
    const std::string path = Folder() + "/all.msa";
    size_t bytes = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bytes = 0;
        for (const EmsaSpectrum& spectrum : spectra) {
            WriteEmsaText(spectrum, [&](std::string_view piece) {
                bytes += piece.size();
                return ::write(fd, piece.data(), piece.size()) == static_cast<ssize_t>(piece.size());
            });
        }
        ::close(fd);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EmsaTexts1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: the same bytes, made beforehand, written with one write.
void BM_PlainWrite1000(benchmark::State& state) {
    std::string all;
    for (const EmsaSpectrum& spectrum : Spectra()) all += EmsaText(spectrum);
    const std::string path = Folder() + "/all.msa";
    for (auto _ : state) WritePlain(path, all, false);
    state.counters["bytes"] = static_cast<double>(all.size());
}
BENCHMARK(BM_PlainWrite1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole flow: 1000 staged files, each flushed, committed together.
void BM_EmsaExportFiles1000(benchmark::State& state) {
    const std::vector<EmsaSpectrum>& spectra = Spectra();
    const std::string folder = Folder();
    for (auto _ : state) {
        std::vector<StagedFile> files;
        files.reserve(spectra.size());
        for (size_t i = 0; i < spectra.size(); ++i) {
            files.emplace_back(FileName(folder, i));
            if (WriteEmsaFile(spectra[i], files.back()) != FileStatus::Ok) std::abort();
        }
        if (CommitStagedFiles(files) != FileStatus::Ok) std::abort();
    }
}
BENCHMARK(BM_EmsaExportFiles1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Its reference: the same bytes, made beforehand, into the same 1000 files with write and fsync.
void BM_PlainFiles1000(benchmark::State& state) {
    std::vector<std::string> texts;
    for (const EmsaSpectrum& spectrum : Spectra()) texts.push_back(EmsaText(spectrum));
    const std::string folder = Folder();
    for (auto _ : state) {
        for (size_t i = 0; i < texts.size(); ++i) WritePlain(FileName(folder, i), texts[i], true);
    }
}
BENCHMARK(BM_PlainFiles1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace ravik
