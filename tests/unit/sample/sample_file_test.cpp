// The generated readings files must be files the analyzer could have written:
// they load whole, every reading lands in its mode's list and formats, and
// the contents cover what the program distinguishes (paint classes, ">>5.0", "No Match", LOD, cycles).

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "make-sample/sample_file.h"
#include "core/readings/column_titles.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/readings/spectrum_decoder.h"
#include "core/readings/time_stamp.h"
#include "support/scripted_prompter.h"

namespace ravik {
namespace {

using sample::SampleOptions;
using Texts = std::set<std::string>;

// Enough readings of each mode to use every mode code of every version.
SampleOptions Covering(const std::string& version, bool interleave = true) {
    SampleOptions options;
    options.version = version;
    options.counts = {12, 6, 10, 10, 8};
    options.seed = 7;
    options.interleave = interleave;
    return options;
}

// Loads the file's bytes and insists that no box was shown.
ReadingStore LoadQuietly(const std::vector<uint8_t>& bytes) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    EXPECT_EQ(LoadReadingsBytes(store, bytes, "sample.qvr", kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{});
    return store;
}

// The texts of one cell (value cells from 100 on) over every reading of a mode.
Texts Cells(const ReadingStore& store, Mode mode, int cell) {
    Texts texts;
    for (int n : store.list(mode)) {
        ReadingFields fields;
        EXPECT_TRUE(FormatReadingFields(store, Settings{}, n, store.record(n), fields)) << "reading " << n;
        texts.emplace(cell < 100 ? fields.text[static_cast<size_t>(cell)].view()
                                 : fields.value[static_cast<size_t>(cell - 100)].view());
    }
    return texts;
}

TEST(SampleFile, SameOptionsGiveTheSameBytes) {
    const SampleOptions options = Covering("6.0");
    EXPECT_EQ(sample::MakeReadingsFile(options), sample::MakeReadingsFile(options));
    SampleOptions other = options;
    other.seed = 8;
    EXPECT_NE(sample::MakeReadingsFile(options), sample::MakeReadingsFile(other));
}

// Every version, mixed and grouped, normal and locked: the file loads whole,
// each list holds its mode's readings in file order with every code of the
// mode, and each record fits the analyzer.
TEST(SampleFile, EveryVersionLoadsWholeIntoTheRightLists) {
    for (const std::string version : {"5.0", "5.5", "6.0"}) {
        for (const bool interleave : {true, false}) {
            SCOPED_TRACE(version + (interleave ? " mixed" : " grouped"));
            SampleOptions options = Covering(version, interleave);
            options.locked = !interleave;
            const ReadingStore store = LoadQuietly(sample::MakeReadingsFile(options));
            EXPECT_EQ(store.readingCount, 46);
            EXPECT_EQ(store.locked, options.locked);
            EXPECT_FLOAT_EQ(store.fileVersion, sample::VersionNumber(version));
            EXPECT_EQ(store.site, options.site);
            uint32_t lastTime = 0;
            for (int n = 1; n <= store.readingCount; ++n) {
                EXPECT_LE(store.record(n).size(), 4116u);  // the analyzer's largest record
                EXPECT_GT(RecordView(store.record(n)).timeStamp(), lastTime) << "reading " << n;
                lastTime = RecordView(store.record(n)).timeStamp();
            }
            for (Mode mode : kAllModes) {
                const ModeList& list = store.list(mode);
                ASSERT_EQ(store.count(mode), options.counts[static_cast<size_t>(Index(mode))]);
                EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
                std::set<int> codes;
                for (int n : list) codes.insert(store.modeCode(n));
                const std::vector<int> expected = sample::ModeCodesFor(version, mode);
                EXPECT_EQ(codes, std::set<int>(expected.begin(), expected.end())) << WindowText(mode);
                Cells(store, mode, 0);  // every reading formats
            }
        }
    }
}

TEST(SampleFile, ReadingsCoverWhatTheProgramDistinguishes) {
    SampleOptions paint;
    paint.counts = {20, 0, 0, 0, 0};
    const ReadingStore paints = LoadQuietly(sample::MakeReadingsFile(paint));
    EXPECT_EQ(Cells(paints, Mode::Paint, 17), (Texts{"...", "POS", "NEG", "INC", "INCOM", "NotDone"}));
    EXPECT_TRUE(Cells(paints, Mode::Paint, 100).count(">>5.0"));

    const ReadingStore store = LoadQuietly(sample::MakeReadingsFile(Covering("6.0")));
    EXPECT_TRUE(Cells(store, Mode::Alloy, 2).count("No Match"));
    bool belowLod = false;
    for (int cell = 100; cell < 100 + kValueCellCount; ++cell) belowLod |= Cells(store, Mode::Bulk, cell).count("<LOD") > 0;
    EXPECT_TRUE(belowLod);
    const Texts cycles = Cells(store, Mode::Thin, 15);
    EXPECT_TRUE(cycles.count("0 of 3") && cycles.count("3 of 3") && cycles.count("1 of 1"));
    EXPECT_TRUE(Cells(store, Mode::Sign, 6).count("Fe55Only"));
}

TEST(SampleFile, SeedCorpusIsSmallAndCoversVersionsModesLockedAndEmpty) {
    Texts versions;
    std::array<int, kModeCount> modes{};
    bool locked = false, empty = false;
    for (const sample::SeedFile& seed : sample::SeedFiles()) {
        const std::vector<uint8_t> bytes = sample::MakeReadingsFile(seed.options);
        EXPECT_LT(bytes.size(), 20000u) << seed.name;
        const ReadingStore store = LoadQuietly(bytes);
        versions.insert(seed.options.version);
        for (Mode mode : kAllModes) modes[static_cast<size_t>(Index(mode))] += store.count(mode);
        locked |= store.locked;
        empty |= store.readingCount == 0;
    }
    EXPECT_EQ(versions, (Texts{"5.0", "5.5", "6.0"}));
    EXPECT_TRUE(std::all_of(modes.begin(), modes.end(), [](int count) { return count > 0; }));
    EXPECT_TRUE(locked && empty);
}

}  // namespace
}  // namespace ravik
