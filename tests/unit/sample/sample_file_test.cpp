// The generated readings files must be files the analyzer could have written:
// they load whole, every reading lands in its mode's list and formats, the
// labels are the instrument's column titles, and the contents cover what the
// program distinguishes (paint classes, ">>5.0", "No Match", LOD, cycles).

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "make-sample/sample_file.h"
#include "readings/column_titles.h"
#include "readings/field_formatter.h"
#include "readings/mode_codes.h"
#include "readings/readings_loader.h"
#include "readings/spectrum_decoder.h"
#include "readings/time_stamp.h"
#include "support/scripted_prompter.h"

namespace ravik {
namespace {

using sample::SampleOptions;

// Enough readings of each mode to use every mode code of every version.
SampleOptions Covering(const std::string& version, bool interleave = true, uint32_t seed = 7) {
    SampleOptions options;
    options.version = version;
    options.counts = {12, 6, 10, 10, 8};
    options.seed = seed;
    options.interleave = interleave;
    return options;
}

// Loads the bytes and insists that no box was shown.
void LoadQuietly(ReadingStore& store, const std::vector<uint8_t>& bytes) {
    test::ScriptedPrompter prompter;
    ASSERT_EQ(LoadReadingsBytes(store, bytes, "sample.qvr", kOpenCommand, prompter), LoadOutcome::Whole);
    ASSERT_TRUE(prompter.boxes().empty()) << prompter.boxes().front().caption << ": "
                                          << prompter.boxes().front().text;
}

ReadingFields Format(const ReadingStore& store, int n) {
    ReadingFields fields;
    EXPECT_TRUE(FormatReadingFields(store, Settings{}, n, store.record(n), fields)) << "reading " << n;
    return fields;
}

std::string Text(const ReadingFields& fields, int cell) { return std::string(fields.text[static_cast<size_t>(cell)].view()); }

TEST(SampleFile, SameOptionsGiveTheSameBytes) {
    const SampleOptions options = Covering("6.0");
    EXPECT_EQ(sample::MakeReadingsFile(options), sample::MakeReadingsFile(options));
    SampleOptions other = options;
    other.seed = 8;
    EXPECT_NE(sample::MakeReadingsFile(options), sample::MakeReadingsFile(other));
}

TEST(SampleFile, ModeWordsFollowTheVersionsLayout) {
    EXPECT_EQ(sample::ModeWordFor("5.5", 512, 1), 0x2200);  // code bits 0..12, source from 13
    EXPECT_EQ(sample::ModeWordFor("5.0", 512, 2), 0x2200);  // code bits 0..11, source from 12
    EXPECT_EQ(sample::ModeWordFor("6.0", 21, 7), 21 | (7 << 13));
    EXPECT_EQ(sample::ModeCodesFor("5.0", Mode::Paint), (std::vector<int>{0, 8, 9}));
    EXPECT_EQ(sample::ModeCodesFor("5.5", Mode::Sign), (std::vector<int>{5, 7}));
    EXPECT_EQ(sample::ModeCodesFor("6.0", Mode::Bulk), (std::vector<int>{6, 15, 16}));
}

// Every version, mixed and grouped, normal and locked: the file loads whole,
// each list holds its mode's readings in file order with every code of the
// mode, each record fits the analyzer and formats.
TEST(SampleFile, EveryVersionLoadsWholeIntoTheRightLists) {
    for (const std::string version : {"5.0", "5.5", "6.0"}) {
        for (const bool interleave : {true, false}) {
            SCOPED_TRACE(version + (interleave ? " mixed" : " grouped"));
            SampleOptions options = Covering(version, interleave);
            options.locked = !interleave;
            ReadingStore store;
            LoadQuietly(store, sample::MakeReadingsFile(options));
            EXPECT_EQ(store.readingCount, 46);
            EXPECT_EQ(store.locked, options.locked);
            EXPECT_FLOAT_EQ(store.fileVersion, sample::VersionNumber(version));
            EXPECT_EQ(store.site, options.site);
            EXPECT_EQ(store.fileTitle, options.title);
            uint32_t lastTime = 0;
            for (int n = 1; n <= store.readingCount; ++n) {
                EXPECT_LE(store.record(n).size(), sample::kLargestRecord);
                const uint32_t time = RecordView(store.record(n)).timeStamp();
                EXPECT_GT(time, lastTime) << "reading " << n;
                lastTime = time;
            }
            for (Mode mode : kAllModes) {
                const ModeList& list = store.list(mode);
                ASSERT_EQ(store.count(mode), options.counts[static_cast<size_t>(Index(mode))]);
                EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
                std::set<int> codes;
                for (int n : list) {
                    codes.insert(store.modeCode(n));
                    Format(store, n);
                }
                const std::vector<int> expected = sample::ModeCodesFor(version, mode);
                EXPECT_EQ(codes, std::set<int>(expected.begin(), expected.end())) << WindowText(mode);
            }
        }
    }
}

// The labels in the text fields are the instrument's: after a load the
// titles are the default ones, except the source field's, which is "Source".
TEST(SampleFile, LabelsAreTheInstrumentsColumnTitles) {
    ReadingStore store;
    LoadQuietly(store, sample::MakeReadingsFile(sample::DemoOptions()));
    const ColumnTitles defaults = StartupColumnTitles();
    for (Mode mode : kAllModes) {
        const int sourceCell = mode == Mode::Sign ? 6 : 7;
        const int lastCell = mode == Mode::Paint ? 12 : 11;  // the others' 12 shifted in the defaults
        for (int cell = 2; cell <= lastCell; ++cell) {
            const std::string_view learned = store.titles[mode][static_cast<size_t>(cell)].view();
            if (cell == sourceCell) {
                EXPECT_EQ(learned, "Source") << WindowText(mode);
            } else {
                EXPECT_EQ(learned, defaults[mode][static_cast<size_t>(cell)].view())
                    << WindowText(mode) << " title " << cell;
            }
        }
    }
    EXPECT_EQ(store.titles[Mode::Paint][21].view(), "Res \xB1 Prec");
    EXPECT_EQ(store.titles[Mode::Alloy][16].view(), "M1 \xB1 Prec");
}

TEST(SampleFile, PaintReadingsShowEveryClassAndTheOverRangeLead) {
    SampleOptions options;
    options.counts = {20, 0, 0, 0, 0};
    ReadingStore store;
    LoadQuietly(store, sample::MakeReadingsFile(options));
    std::set<std::string> classes;
    bool overRange = false;
    for (int n : store.list(Mode::Paint)) {
        const ReadingFields fields = Format(store, n);
        const std::string paintClass = Text(fields, 17);
        const double lead = ReadNumber(fields.value[0].view());
        const double seconds = ReadNumber(fields.text[13].view());
        classes.insert(paintClass);
        if (fields.value[0].view() == ">>5.0") {
            overRange = true;
            EXPECT_EQ(fields.precision[0].view(), "");
            EXPECT_EQ(paintClass, "POS");
        } else if (paintClass == "POS") {
            EXPECT_GE(lead, 1.0);
        } else if (paintClass == "NEG") {
            EXPECT_LT(lead, 0.7);
        } else if (paintClass == "INCOM") {
            EXPECT_LT(seconds, 20.0);
        }
        if (paintClass != "INCOM" && paintClass != "NotDone") EXPECT_GE(seconds, 10.0);
    }
    EXPECT_TRUE(overRange);
    EXPECT_EQ(classes, (std::set<std::string>{"...", "POS", "NEG", "INC", "INCOM", "NotDone"}));
}

TEST(SampleFile, ElementModesCoverMatchesLodAndCycles) {
    ReadingStore store;
    LoadQuietly(store, sample::MakeReadingsFile(Covering("6.0")));
    bool noMatch = false, hundredfold = false, plainPercent = false;
    for (int n : store.list(Mode::Alloy)) {
        const ReadingFields fields = Format(store, n);
        noMatch |= Text(fields, 2) == "No Match";
        const RecordView view(store.record(n));
        bool big = false;
        for (size_t i = 3; i < view.elementsAvailable(); ++i) big |= PackedTenth(view.element(i).valueWord) >= 100.0;
        (big ? hundredfold : plainPercent) = true;
        // Either way the table shows percent.
        for (int c = 3; c < kValueCellCount; ++c) EXPECT_LE(ReadNumber(fields.value[static_cast<size_t>(c)].view()), 100.0);
    }
    EXPECT_TRUE(noMatch && hundredfold && plainPercent);

    bool belowLod = false, aboveLod = false;
    for (int n : store.list(Mode::Bulk)) {
        const ReadingFields fields = Format(store, n);
        for (const auto& cell : fields.value) {
            belowLod |= cell.view() == "<LOD";
            aboveLod |= ReadNumber(cell.view()) > 0.0;
        }
    }
    EXPECT_TRUE(belowLod && aboveLod);

    std::set<std::pair<uint32_t, uint32_t>> cycles;
    for (int n : store.list(Mode::Thin)) {
        const ReadingFields fields = Format(store, n);
        cycles.insert({fields.cycleIndex, fields.cycleCount});
    }
    EXPECT_TRUE(cycles.count({0, 3}) && cycles.count({3, 3}) && cycles.count({1, 1}));

    std::set<std::string> sources;
    for (int n : store.list(Mode::Sign)) sources.insert(Text(Format(store, n), 6));
    EXPECT_TRUE(sources.count("Fe55Only"));
}

// Working hours in 2004..2006, plausible status values, and spectra that
// the plot shows (150 channels or more).
TEST(SampleFile, StatusAndSpectraLookLikeTheAnalyzers) {
    ReadingStore store;
    LoadQuietly(store, sample::MakeReadingsFile(Covering("5.5")));
    for (int n = 1; n <= store.readingCount; ++n) {
        SCOPED_TRACE("reading " + std::to_string(n));
        const RecordView view(store.record(n));
        const ShownTime time = ShownTimeOf(view.timeStamp());
        EXPECT_TRUE(time.year >= 2004 && time.year <= 2007);
        EXPECT_TRUE(time.hour >= 8 && time.hour <= 18);
        const uint32_t millis = view.measuringMillis();
        EXPECT_TRUE(millis >= 1000 && millis <= 120000);
        EXPECT_NEAR(view.measurementValue(14), 7.4, 0.9);   // battery
        EXPECT_NEAR(view.measurementValue(24), 180.0, 6.0);  // bias
        const double resolution = view.measurementValue(32);
        EXPECT_TRUE(resolution >= 0.19 && resolution <= 0.91);
        for (SpectrumKind kind : {SpectrumKind::Low, SpectrumKind::High}) {
            const std::vector<float> spectrum = DecodeSpectrum(store.record(n), kind);
            ASSERT_GE(spectrum.size(), 150u);
            const auto [low, high] = std::minmax_element(spectrum.begin(), spectrum.end());
            EXPECT_GT(*high, 3.0f * *low);  // peaks stand above the background
        }
    }
}

TEST(SampleFile, SeedCorpusIsSmallAndCoversVersionsModesLockedAndEmpty) {
    std::set<std::string> versions;
    std::array<int, kModeCount> modes{};
    bool locked = false, empty = false;
    for (const sample::SeedFile& seed : sample::SeedFiles()) {
        SCOPED_TRACE(seed.name);
        const std::vector<uint8_t> bytes = sample::MakeReadingsFile(seed.options);
        EXPECT_LT(bytes.size(), 20000u);
        ReadingStore store;
        LoadQuietly(store, bytes);
        versions.insert(seed.options.version);
        for (Mode mode : kAllModes) modes[static_cast<size_t>(Index(mode))] += store.count(mode);
        locked |= store.locked;
        empty |= store.readingCount == 0;
    }
    EXPECT_EQ(versions, (std::set<std::string>{"5.0", "5.5", "6.0"}));
    EXPECT_TRUE(std::all_of(modes.begin(), modes.end(), [](int count) { return count > 0; }));
    EXPECT_TRUE(locked && empty);
}

}  // namespace
}  // namespace ravik
