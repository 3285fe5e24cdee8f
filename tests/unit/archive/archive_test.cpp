// The readings archive on both engines: one suite, run on SQLite and on a
// real PostgreSQL server.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <soci/soci.h>

#include "cli/commands.h"
#include "core/archive/archive.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/readings/time_stamp.h"
#include "make-sample/sample_file.h"
#include "postgres_server.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik::test {
namespace {

std::string Sample(const TempDir& dir, const std::string& name, uint32_t seed, const std::string& site,
                   const std::string& version = "6.0") {
    const auto bytes = sample::MakeReadingsFile({.version = version, .counts = {30, 12, 6, 6, 6}, .seed = seed, .site = site});
    WriteAll(dir.file(name), std::string(bytes.begin(), bytes.end()));
    return dir.file(name);
}

class ArchiveTest : public ::testing::TestWithParam<ArchiveEngine> {
protected:
    void SetUp() override {
        target_.engine = GetParam();
        target_.location = dir_.file("archive.sqlite");
        if (GetParam() == ArchiveEngine::Postgresql) {
            std::string whyNot;
            PostgresServer* server = PostgresServer::Get(whyNot);
            if (server == nullptr) GTEST_SKIP() << whyNot;
            target_.location = server->freshDatabase();
        }
    }
    std::unique_ptr<Archive> Open(int wait = 10) {
        ArchiveTarget target = target_;
        target.waitSeconds = wait;
        return std::make_unique<Archive>(target);
    }
    long long Count(Archive& archive, ArchiveFilter filter = {}, const Settings& settings = {}) {
        filter.includeHidden = true;
        return CountReadings(archive, filter, settings);
    }
    // Runs body in a child process, which ends with _exit(0) when it returns.
    static pid_t Child(const std::function<void()>& body) {
        const pid_t pid = fork();
        if (pid == 0) {
            try {
                body();
                _exit(0);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "child: %s\n", e.what());
            }
            _exit(1);
        }
        return pid;
    }
    TempDir dir_;
    ArchiveTarget target_;
};

TEST_P(ArchiveTest, AddsNewSkipsUnchangedReplacesChangedStoresWholeOfDamaged) {
    auto archive = Open();
    const std::string a = Sample(dir_, "a.qvr", 1, "Maple"), b = Sample(dir_, "b.qvr", 2, "Oak");
    WriteAll(dir_.file("notes.qvr"), "not a readings file\n");
    std::vector<std::string> missing;
    const auto files = ExpandArchivePaths({dir_.path()}, missing);
    ASSERT_EQ(files.size(), 3u);  // folders are searched for readings files only
    auto reports = AddToArchive(*archive, files);
    EXPECT_EQ(reports[0].result, AddResult::Added);
    EXPECT_EQ(reports[2].result, AddResult::Refused);
    EXPECT_EQ(Count(*archive), 120);
    EXPECT_EQ(AddToArchive(*archive, {a})[0].result, AddResult::Unchanged);

    Sample(dir_, "a.qvr", 3, "Maple");
    EXPECT_EQ(AddToArchive(*archive, {a})[0].result, AddResult::Replaced);
    EXPECT_EQ(Count(*archive), 120);
    // Cut inside its 40th record: the whole readings before the cut are stored.
    const std::string whole = ReadAll(b);
    WriteAll(b, whole.substr(0, whole.size() * 39 / 60));
    ReadingStore loaded;
    ScriptedPrompter prompter;
    LoadReadingsFile(loaded, b, kOpenCommand, prompter);
    reports = AddToArchive(*archive, {b});
    EXPECT_EQ(reports[0].result, AddResult::Damaged);
    EXPECT_EQ(Count(*archive), 60 + loaded.readingCount);
    EXPECT_TRUE(CheckArchive(*archive).empty());

    std::filesystem::remove(a);
    const auto listed = ListArchivedFiles(*archive);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].state, ArchivedFile::State::Gone);
    EXPECT_EQ(RemoveFromArchive(*archive, {dir_.path()}).size(), 2u);
    EXPECT_EQ(Count(*archive), 0);
}

// One reading of the test's own reckoning: what the table shows for it.
struct Expected {
    std::string site, path, date, annotations;
    Mode mode;
    int deviceClass, userClass;
    double lead;
};

TEST_P(ArchiveTest, EveryFilterAndCombinationsMatchCountsReckonedFromTheFiles) {
    auto archive = Open();
    Settings user, belowLod;
    user.pcs = kPcsUser;
    user.pos = 1.0f;
    user.neg = 0.5f;
    belowLod.displayValuesBelowLod = true;
    std::vector<Expected> expected;
    for (int i = 0; i < 3; ++i) {
        const std::string path = Sample(dir_, "f" + std::to_string(i) + ".qvr", 10 + i, i == 2 ? "Oak" : "Maple");
        AddToArchive(*archive, {path});
        ReadingStore store;
        ScriptedPrompter prompter;
        LoadReadingsFile(store, path, kOpenCommand, prompter);
        for (Mode mode : kAllModes) {
            for (int32_t n : store.list(mode)) {
                ReadingFields shown, asUser, numbers;
                FormatReadingFields(store, Settings{}, n, store.record(n), shown);
                FormatReadingFields(store, user, n, store.record(n), asUser);
                FormatReadingFields(store, belowLod, n, store.record(n), numbers);
                Expected e{store.site, path, "", "", mode, 2, 2, -1};
                const ShownTime t = ShownTimeOf(RecordView(store.record(n)).timeStamp());
                char date[16];
                std::snprintf(date, sizeof date, "%04d-%02d-%02d", static_cast<int>(t.year), t.month, t.day);
                e.date = date;
                for (int c = 2; c <= 12; ++c) e.annotations += std::string(shown.text[c].view()) + "\t";
                auto classOf = [](std::string_view text) { return text == "POS" ? 1 : text == "NEG" ? 2 : 3; };
                if (mode == Mode::Paint) e.deviceClass = classOf(shown.text[17].view()), e.userClass = classOf(asUser.text[17].view());
                for (int c = 0; c < ElementColumns(mode); ++c) {
                    if (store.titles[mode][FixedColumns(mode) + c].view().starts_with("Pb ")) e.lead = ReadNumber(numbers.value[c].view());
                }
                expected.push_back(e);
            }
        }
    }
    const std::string day = expected[40].date;
    struct Row {
        const char* name;
        ArchiveFilter filter;
        std::function<bool(const Expected&)> keep;
        bool asUser = false;
    };
    const std::vector<Row> rows = {
        {"site", {.site = "maple"}, [](auto& e) { return e.site == "Maple"; }},
        {"mode", {.mode = Mode::Bulk}, [](auto& e) { return e.mode == Mode::Bulk; }},
        {"POS", {.paintClass = 1}, [](auto& e) { return e.deviceClass == 1; }},
        {"NEG", {.paintClass = 2}, [](auto& e) { return e.deviceClass == 2; }},
        {"INC", {.paintClass = 3}, [](auto& e) { return e.deviceClass == 3; }},
        {"user POS", {.paintClass = 1}, [](auto& e) { return e.userClass == 1; }, true},
        {"user INC", {.paintClass = 3}, [](auto& e) { return e.userClass == 3; }, true},
        {"Pb >= 400", {.element = "Pb", .minValue = 400}, [](auto& e) { return e.lead >= 400; }},
        {"Pb 50..400", {.element = "Pb", .minValue = 50, .maxValue = 400}, [](auto& e) { return e.lead >= 50 && e.lead <= 400; }},
        {"day", {.from = day, .to = day}, [&](auto& e) { return e.date == day; }},
        {"text", {.words = {"BATH", "intact"}}, [](auto& e) { return e.annotations.find("Bath") != std::string::npos &&
                                                                   e.annotations.find("Intact") != std::string::npos; }},
        {"file", {.file = "f1.q"}, [](auto& e) { return e.path.ends_with("f1.qvr"); }},
        {"site+mode+class", {.site = "OAK", .mode = Mode::Paint, .paintClass = 1},
         [](auto& e) { return e.site == "Oak" && e.mode == Mode::Paint && e.deviceClass == 1; }},
    };
    for (const Row& row : rows) {
        const long long want = std::count_if(expected.begin(), expected.end(), row.keep);
        EXPECT_EQ(Count(*archive, row.filter, row.asUser ? user : Settings{}), want) << row.name;
        EXPECT_GT(want, 0) << row.name;
    }
    // Quotes and semicolons in every text filter are values, never SQL.
    for (const std::string bad : {"x' OR '1'='1", "a\"; DROP TABLE archived_readings; --", "%';--"}) {
        EXPECT_EQ(Count(*archive, {.site = bad}), 0);
        EXPECT_EQ(Count(*archive, {.element = bad}), 0);
        EXPECT_EQ(Count(*archive, {.words = {bad}}), 0);
        EXPECT_EQ(Count(*archive, {.file = bad}), 0);
    }
    EXPECT_EQ(Count(*archive), static_cast<long long>(expected.size()));
}

TEST_P(ArchiveTest, CollectRoundTripsRecordsAndRefusesMixedVersions) {
    auto archive = Open();
    AddToArchive(*archive, {Sample(dir_, "a.qvr", 1, "Maple"), Sample(dir_, "b.qvr", 2, "Oak")});
    const std::string out = dir_.file("out.qvr");
    const std::string db = "--db=" + target_.location;
    ASSERT_EQ(RunArchive({"collect", db, "--mode", "paint", "--settings-dir", dir_.path(), "-o", out}), 0);
    ReadingStore store;
    ScriptedPrompter prompter;
    ASSERT_EQ(LoadReadingsFile(store, out, kOpenCommand, prompter), LoadOutcome::Whole);
    const auto found = FindReadings(*archive, {.mode = Mode::Paint}, Settings{});
    const auto records = CollectRecords(*archive, found);
    ASSERT_EQ(store.readingCount, static_cast<int>(records.size()));
    for (int n = 1; n <= store.readingCount; ++n) {
        const auto bytes = store.record(n);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), records[n - 1].record) << n;
    }
    EXPECT_EQ(RunArchive({"collect", db, "-o", out}), 1);  // never over an existing file
    AddToArchive(*archive, {Sample(dir_, "old.qvr", 3, "Elm", "5.5")});
    EXPECT_EQ(RunArchive({"collect", db, "--settings-dir", dir_.path(), "-o", dir_.file("mixed.qvr")}), 2);
}

TEST_P(ArchiveTest, KilledAddLeavesArchiveAsBeforeAndTwoAddersStoreEachFileOnce) {
    const std::vector<std::string> files = {Sample(dir_, "a.qvr", 1, "A"), Sample(dir_, "b.qvr", 2, "B"),
                                            Sample(dir_, "c.qvr", 3, "C"), Sample(dir_, "d.qvr", 4, "D")};
    const pid_t killed = Child([&] {
        auto archive = Open();
        AddToArchive(*archive, files, [](const AddProgress& p) {
            if (p.fileIndex == 1 && p.readingsStored > 0) kill(getpid(), SIGKILL);
        });
    });
    int status = 0;
    waitpid(killed, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Count(*Open()), 60);

    std::vector<std::string> reversed(files.rbegin(), files.rend());
    const pid_t first = Child([&] { AddToArchive(*Open(), files); });
    const pid_t second = Child([&] { AddToArchive(*Open(), reversed); });
    for (pid_t pid : {first, second}) {
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto archive = Open();
    EXPECT_EQ(Count(*archive), 240);
    EXPECT_EQ(ListArchivedFiles(*archive).size(), 4u);
    EXPECT_TRUE(CheckArchive(*archive).empty());
}

TEST_P(ArchiveTest, LockedArchiveFailsAfterBoundedWaitWithMessage) {
    auto holder = Open();
    soci::transaction hold(holder->session());
    holder->session() << (GetParam() == ArchiveEngine::Sqlite ? "DELETE FROM archived_files"
                                                              : "LOCK TABLE archived_files IN EXCLUSIVE MODE");
    const auto start = std::chrono::steady_clock::now();
    try {
        AddToArchive(*Open(1), {Sample(dir_, "a.qvr", 1, "A")});
        ADD_FAILURE() << "added to a locked archive";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("lock"), std::string::npos) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_P(ArchiveTest, CorruptOrUnreachableArchiveIsRefusedByName) {
    ArchiveTarget target = target_;
    target.waitSeconds = 2;
    if (GetParam() == ArchiveEngine::Sqlite) {
        WriteAll(target.location, std::string(8192, '\x5a'));
    } else {
        target.location = "postgresql://nobody@10.255.255.1:5/none";
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        Archive archive(target);
        ADD_FAILURE() << "opened";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find(target.location), std::string::npos) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    if (GetParam() == ArchiveEngine::Sqlite) EXPECT_EQ(ReadAll(target.location), std::string(8192, '\x5a'));
}

// How many tests ran on each engine, for CI's log.
class EngineTally : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& info) override {
        if (info.result()->Passed() && !info.result()->Skipped()) ++ran_[std::string(info.name()).ends_with("/sqlite") ? 0 : 1];
    }
    void OnTestProgramEnd(const ::testing::UnitTest&) override {
        std::string whyNot;
        if (ran_[1] == 0) PostgresServer::Get(whyNot);
        std::printf("archive suite: %d tests run on sqlite, %d on postgresql%s\n", ran_[0], ran_[1],
                    whyNot.empty() ? "" : (" (" + whyNot + ")").c_str());
    }
    int ran_[2] = {0, 0};
};
const bool kTallied = (::testing::UnitTest::GetInstance()->listeners().Append(new EngineTally), true);

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, ::testing::Values(ArchiveEngine::Sqlite, ArchiveEngine::Postgresql),
                         [](const auto& info) { return info.param == ArchiveEngine::Sqlite ? "sqlite" : "postgresql"; });

}  // namespace
}  // namespace ravik::test
