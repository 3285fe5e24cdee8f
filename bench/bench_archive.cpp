// The readings archive on SQLite and PostgreSQL: adding generated files
// (against loading the same files, the work of "ravik info"), finding by
// site and class, finding by element range with a limit, and the archive's
// size against the files'. RAVIK_BENCH_ARCHIVE_FILES files of 5000 readings
// (default 20); the PostgreSQL figures need the server tools installed.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <soci/soci.h>

#include "../tests/unit/archive/postgres_server.h"
#include "bench_support.h"
#include "core/archive/archive.h"
#include "core/readings/readings_loader.h"

namespace ravik {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string>& Files() {
    static std::vector<std::string> files = [] {
        const char* count = std::getenv("RAVIK_BENCH_ARCHIVE_FILES");
        const int n = count != nullptr ? std::atoi(count) : 20;
        const fs::path folder = fs::temp_directory_path() / "ravik-bench-archive";
        fs::create_directories(folder);
        std::vector<std::string> made;
        for (int i = 0; i < n; ++i) {
            sample::SampleOptions options;
            options.counts = {1500, 1500, 500, 1000, 500};
            options.seed = static_cast<uint32_t>(1000 + i);
            options.site = "Site " + std::to_string(i % 10);
            const std::string path = (folder / ("job" + std::to_string(i) + ".qvr")).string();
            if (!fs::exists(path)) {
                const std::vector<uint8_t> bytes = sample::MakeReadingsFile(options);
                std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                            static_cast<std::streamsize>(bytes.size()));
            }
            made.push_back(path);
        }
        return made;
    }();
    return files;
}

double FilesSize() {
    double total = 0;
    for (const std::string& file : Files()) total += static_cast<double>(fs::file_size(file));
    return total;
}

ArchiveTarget Target(ArchiveEngine engine) {
    ArchiveTarget target;
    target.engine = engine;
    if (engine == ArchiveEngine::Sqlite) {
        target.location = (fs::temp_directory_path() / "ravik-bench-archive.sqlite").string();
        for (const char* end : {"", "-wal", "-shm"}) fs::remove(target.location + end);
    } else {
        std::string whyNot;
        test::PostgresServer* server = test::PostgresServer::Get(whyNot);
        if (server == nullptr) return {};
        target.location = server->freshDatabase();
    }
    return target;
}

// The archive filled once per engine, for the queries.
Archive* Filled(ArchiveEngine engine) {
    static std::unique_ptr<Archive> archives[2];
    std::unique_ptr<Archive>& archive = archives[static_cast<int>(engine)];
    if (!archive) {
        const ArchiveTarget target = Target(engine);
        if (target.location.empty()) return nullptr;
        archive = std::make_unique<Archive>(target);
        AddToArchive(*archive, Files());
    }
    return archive.get();
}

void BM_LoadFilesAsInfo(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string& file : Files()) {
            ReadingStore store;
            SilentPrompter prompter;
            benchmark::DoNotOptimize(LoadReadingsFile(store, file, kOpenCommand, prompter));
        }
    }
    state.counters["readings"] = static_cast<double>(Files().size()) * 5000;
}

void BM_AddFiles(benchmark::State& state) {
    const auto engine = static_cast<ArchiveEngine>(state.range(0));
    double size = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const ArchiveTarget target = Target(engine);
        if (target.location.empty()) {
            state.SkipWithError("PostgreSQL is not installed");
            return;
        }
        auto archive = std::make_unique<Archive>(target);
        state.ResumeTiming();
        AddToArchive(*archive, Files());
        state.PauseTiming();
        if (engine == ArchiveEngine::Sqlite) {
            archive.reset();
            size = static_cast<double>(fs::file_size(target.location));
        } else {
            long long bytes = 0;
            archive->session() << "SELECT pg_database_size(current_database())", soci::into(bytes);
            size = static_cast<double>(bytes);
        }
        state.ResumeTiming();
    }
    state.counters["size_ratio"] = size / FilesSize();
}

void Query(benchmark::State& state, const ArchiveFilter& filter) {
    Archive* archive = Filled(static_cast<ArchiveEngine>(state.range(0)));
    if (archive == nullptr) {
        state.SkipWithError("PostgreSQL is not installed");
        return;
    }
    size_t found = 0;
    for (auto _ : state) found = FindReadings(*archive, filter, Settings{}).size();
    state.counters["found"] = static_cast<double>(found);
}

void BM_FindSiteClass(benchmark::State& state) { Query(state, {.site = "Site 3", .paintClass = 1}); }
void BM_FindElementRangeLimit100(benchmark::State& state) {
    Query(state, {.element = "Pb", .minValue = 400, .maxValue = 100000, .order = FindOrder::Value, .limit = 100});
}

BENCHMARK(BM_LoadFilesAsInfo)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(BM_AddFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(BM_FindSiteClass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_FindElementRangeLimit100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
