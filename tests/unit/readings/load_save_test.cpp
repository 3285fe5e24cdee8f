#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "platform/file_io.h"

#include "readings/field_formatter.h"
#include "readings/readings_loader.h"
#include "readings/readings_saver.h"
#include "reading_files.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using sample::RecordSpec;

constexpr int kPaintCode = 1;
constexpr int kBulkCode = 6;
constexpr int kThinCode = 7;
constexpr int kAlloyCode = 12;

// A file of the given codes, in this order, numbered 1, 2, ...
test::TestFile FileOf(std::initializer_list<int> codes) {
    test::TestFile file;
    uint16_t number = 1;
    for (int code : codes) file.add(test::PlainReading(6.0f, code, number++));
    return file;
}

LoadOutcome Load(ReadingStore& store, const test::TestFile& file, int command,
                 test::ScriptedPrompter& prompter) {
    return LoadReadingsBytes(store, file.bytes(), "t.qvr", command, prompter);
}

TEST(LoadReadingsFile, SortsReadingsIntoModeListsInFileOrder) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    test::TestFile file = FileOf({kBulkCode, kPaintCode, kBulkCode, kAlloyCode, kPaintCode, kBulkCode});
    file.site = "Elm Street 4";
    ASSERT_EQ(Load(store, file, kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_EQ(store.readingCount, 6);
    EXPECT_EQ(store.list(Mode::Bulk), (ModeList{1, 3, 6}));
    EXPECT_EQ(store.list(Mode::Paint), (ModeList{2, 5}));
    EXPECT_EQ(store.list(Mode::Alloy), (ModeList{4}));
    EXPECT_TRUE(store.list(Mode::Thin).empty());
    EXPECT_TRUE(store.list(Mode::Sign).empty());
    EXPECT_EQ(store.fileTitle, "Test survey");
    EXPECT_FLOAT_EQ(store.fileVersion, 6.0f);
    EXPECT_EQ(store.site, "Elm Street 4");
    EXPECT_FALSE(store.locked);
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST(LoadReadingsFile, NegativeCountOpensLockedAndAppendKeepsIt) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    test::TestFile locked = FileOf({kPaintCode, kPaintCode});
    locked.headerCount = -2;
    ASSERT_EQ(Load(store, locked, kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_TRUE(store.locked);
    EXPECT_EQ(store.readingCount, 2);
    ASSERT_EQ(Load(store, FileOf({kBulkCode}), kAppendCommand, prompter), LoadOutcome::Whole);
    EXPECT_TRUE(store.locked);  // stays set while files are appended
    ASSERT_EQ(Load(store, FileOf({kBulkCode}), kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_FALSE(store.locked);
}

TEST(LoadReadingsFile, AppendingToAnEmptyStoreActsAsAnOpen) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    ASSERT_EQ(Load(store, FileOf({}), kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_EQ(store.readingCount, 0);
    test::TestFile locked = FileOf({kThinCode});
    locked.headerCount = -1;
    locked.title = "Second";
    ASSERT_EQ(Load(store, locked, kAppendCommand, prompter), LoadOutcome::Whole);
    EXPECT_TRUE(store.locked);
    EXPECT_EQ(store.list(Mode::Thin), (ModeList{1}));
    EXPECT_EQ(store.fileTitle, "Second");
}

TEST(LoadReadingsFile, AppendStopsAtFiftyOneHundredReadings) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    test::TestFile base;
    base.records.assign(2100, sample::BuildRecord(test::PlainReading(6.0f, kBulkCode, 1)));
    ASSERT_EQ(Load(store, base, kOpenCommand, prompter), LoadOutcome::Whole);
    base.title = "Base";

    test::TestFile tooMany;
    tooMany.title = "Too many";
    tooMany.headerCount = -3001;  // locked, so a refused file must not lock the store
    tooMany.records.assign(3001, sample::BuildRecord(test::PlainReading(6.0f, kPaintCode, 2)));
    EXPECT_EQ(Load(store, tooMany, kAppendCommand, prompter), LoadOutcome::TooManyReadings);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.boxes()[0].text, "RAVIK Will Support Only 5100 Readings Per File");
    EXPECT_EQ(prompter.boxes()[0].caption, "FILE NOT APPENDED");
    EXPECT_EQ(store.readingCount, 2100);
    EXPECT_EQ(store.count(Mode::Paint), 0);
    EXPECT_EQ(store.fileTitle, "Test survey");
    EXPECT_FALSE(store.locked);

    test::TestFile fits;
    fits.records.assign(3000, sample::BuildRecord(test::PlainReading(6.0f, kPaintCode, 2)));
    ASSERT_EQ(Load(store, fits, kAppendCommand, prompter), LoadOutcome::Whole);
    EXPECT_EQ(store.readingCount, 5100);
    EXPECT_EQ(store.count(Mode::Paint), 3000);
    EXPECT_EQ(std::string(store.fileHeader.data(), 5), "5100 ");
    EXPECT_EQ(store.list(Mode::Paint).front(), 2101);
}

TEST(LoadReadingsFile, OversizedOpenLeavesAnEmptyStore) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    test::TestFile file = FileOf({kPaintCode});
    file.headerCount = 5101;
    EXPECT_EQ(Load(store, file, kOpenCommand, prompter), LoadOutcome::TooManyReadings);
    EXPECT_EQ(store.readingCount, 0);
    EXPECT_FALSE(store.hasReadings());
}

TEST(LoadReadingsFile, ReloadingResetsMarksAndHiddenFlags) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    const test::TestFile file = FileOf({kPaintCode, kPaintCode, kPaintCode});
    ASSERT_EQ(Load(store, file, kOpenCommand, prompter), LoadOutcome::Whole);
    store.flags(1) = Marked;
    store.flags(2) = Marked;
    EXPECT_EQ(HideMarkedReadings(store), 2);
    EXPECT_EQ(store.flags(1), Hidden);
    EXPECT_EQ(store.flags(2), Hidden);
    store.flags(1) |= Marked;
    EXPECT_EQ(UnhideMarkedReadings(store), 1);
    EXPECT_EQ(store.flags(1), 0u);
    EXPECT_EQ(store.flags(2), Hidden);
    ASSERT_EQ(Load(store, file, kAppendCommand, prompter), LoadOutcome::Whole);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(store.flags(n), 0u) << n;
}

// Damaged files: whatever is whole loads, the user hears of it once, and the
// store's lists, counts and readingCount agree.
struct Damage {
    const char* name;
    void (*spoil)(std::vector<uint8_t>& bytes, size_t secondRecord);
    int loaded;
};

void ExpectConsistent(const ReadingStore& store) {
    int listed = 0;
    std::vector<bool> seen(static_cast<size_t>(store.readingCount) + 1, false);
    for (Mode mode : kAllModes) {
        for (int32_t n : store.list(mode)) {
            ASSERT_GE(n, 1);
            ASSERT_LE(n, store.readingCount);
            EXPECT_FALSE(seen[static_cast<size_t>(n)]);
            seen[static_cast<size_t>(n)] = true;
            ++listed;
        }
    }
    EXPECT_EQ(listed, store.readingCount);
    EXPECT_EQ(store.slots.size(), static_cast<size_t>(store.readingCount) + 1);
}

TEST(LoadReadingsFile, DamagedFilesLoadWhatIsWholeAndSaySoOnce) {
    const Damage damages[] = {
        {"ends inside the second record", [](auto& b, size_t second) { b.resize(second + 30); }, 1},
        {"ends inside a record header", [](auto& b, size_t second) { b.resize(second + 7); }, 1},
        {"record length below 20", [](auto& b, size_t second) { b[second] = 0; b[second + 1] = 12; }, 1},
        {"record length past the end", [](auto& b, size_t second) { b[second] = 0xFF; b[second + 1] = 0xFF; }, 1},
        {"text block outside the record", [](auto& b, size_t second) { b[second + 8] = 0xFF; }, 2},
        {"too many element entries", [](auto& b, size_t second) { b[second + 20 + 34] = 0x40; }, 2},
        {"channel count past the end", [](auto& b, size_t second) {
             const size_t spectrum = second + ((b[second + 6] << 8) | b[second + 7]);
             b[spectrum + 4] = 0x7F;
         }, 2},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        test::TestFile file = FileOf({kBulkCode, kPaintCode, kThinCode});
        std::vector<uint8_t> bytes = file.bytes();
        const size_t second = 256 + file.records[0].size();
        damage.spoil(bytes, second);
        ReadingStore store;
        test::ScriptedPrompter prompter;
        EXPECT_EQ(LoadReadingsBytes(store, bytes, "bad.qvr", kOpenCommand, prompter), LoadOutcome::Damaged);
        EXPECT_EQ(store.readingCount, damage.loaded);
        ASSERT_EQ(prompter.boxes().size(), 1u);
        EXPECT_EQ(prompter.boxes()[0].caption, "READ ERROR");
        EXPECT_EQ(prompter.boxes()[0].text,
                  "File Damaged\nbad.qvr\n" + std::to_string(damage.loaded) + " of 3 Readings Could Be Read");
        ExpectConsistent(store);
        ReadingFields fields;
        for (int n = 1; n <= store.readingCount; ++n) FormatReadingFields(store, {}, n, store.record(n), fields);
    }
}

TEST(LoadReadingsFile, HeaderWithoutFourLinesIsNotLoaded) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    ASSERT_EQ(Load(store, FileOf({kPaintCode}), kOpenCommand, prompter), LoadOutcome::Whole);
    std::string header(256, '\0');
    header.replace(0, 12, " 1  \r\nOnly\r\n");
    const std::vector<uint8_t> bytes(header.begin(), header.end());
    EXPECT_EQ(LoadReadingsBytes(store, bytes, "x.qvr", kOpenCommand, prompter), LoadOutcome::NotReadingsFile);
    EXPECT_EQ(prompter.captions().back(), "READ ERROR");
    EXPECT_EQ(store.readingCount, 1);  // the open file is kept
    const std::vector<uint8_t> empty;
    EXPECT_EQ(LoadReadingsBytes(store, empty, "e.qvr", kOpenCommand, prompter), LoadOutcome::NotReadingsFile);
}

// --- saving ---

struct Saved {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    std::string currentFileName;
    bool save(ReadingStore& store, const std::string& name) {
        return SaveReadingsFile(store, dir.file(name), "previous.qvr", currentFileName, prompter);
    }
};

ReadingStore StoreOf(const test::TestFile& file) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    EXPECT_EQ(Load(store, file, kOpenCommand, prompter), LoadOutcome::Whole);
    return store;
}

TEST(SaveReadingsFile, WritesModesInIndexOrderThenTitlesAndFlags) {
    const test::TestFile file = FileOf({kBulkCode, kPaintCode, kBulkCode, kPaintCode, kBulkCode});
    ReadingStore store = StoreOf(file);
    store.flags(3) = Hidden;
    Saved saved;
    ASSERT_TRUE(saved.save(store, "survey.qvr"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("survey.qvr"));
    EXPECT_TRUE(saved.prompter.boxes().empty());

    std::string expected = file.text().substr(0, 256);
    expected.replace(0, 5, " 5   ");
    for (size_t r : {1, 3, 0, 2, 4}) expected.append(file.records[r].begin(), file.records[r].end());
    for (Mode mode : {Mode::Paint, Mode::Bulk, Mode::Alloy, Mode::Sign, Mode::Thin}) {
        for (int slot = 0; slot < TitleCount(mode); ++slot) {
            expected += store.titles[mode][static_cast<size_t>(slot)].view();
            expected += ',';
        }
        expected += "\r\n";
    }
    expected += "00020";  // flags in the order written: Paint 2, 4, Bulk 1, 3, 5
    EXPECT_EQ(test::ReadAll(saved.dir.file("survey.qvr")), expected);
    // The trailer's first table starts with the Paint titles.
    EXPECT_NE(expected.find("No,QVNo,Site,Inspector,"), std::string::npos);

    ReadingStore reloaded;
    test::ScriptedPrompter prompter;
    ASSERT_EQ(LoadReadingsFile(reloaded, saved.dir.file("survey.qvr"), kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_EQ(reloaded.list(Mode::Paint), (ModeList{1, 2}));
    EXPECT_EQ(reloaded.list(Mode::Bulk), (ModeList{3, 4, 5}));
    for (int n = 1; n <= 5; ++n) {
        const size_t original = std::vector<size_t>{1, 3, 0, 2, 4}[static_cast<size_t>(n - 1)];
        EXPECT_EQ(std::vector<uint8_t>(reloaded.record(n).begin(), reloaded.record(n).end()),
                  file.records[original]);
    }
    EXPECT_EQ(reloaded.titles[Mode::Bulk][2], store.titles[Mode::Bulk][2]);
}

TEST(SaveReadingsFile, LockedStoreWritesANegativeCountUnderLck) {
    test::TestFile file;
    file.records.assign(12, sample::BuildRecord(test::PlainReading(6.0f, kThinCode, 3)));
    file.headerCount = -12;
    ReadingStore store = StoreOf(file);
    Saved saved;
    ASSERT_TRUE(saved.save(store, "site.qvr"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("site.LCK"));
    const std::string written = test::ReadAll(saved.dir.file("site.LCK"));
    EXPECT_EQ(written.substr(0, 5), "-12  ");
    EXPECT_FALSE(FileExists(saved.dir.file("site.qvr")));
    ReadingStore reloaded;
    test::ScriptedPrompter prompter;
    ASSERT_EQ(LoadReadingsFile(reloaded, saved.currentFileName, kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_TRUE(reloaded.locked);
    EXPECT_EQ(reloaded.readingCount, 12);
}

TEST(SaveReadingsFile, MarkedAndUnMarkedSelections) {
    test::TestFile file;
    for (uint16_t n = 1; n <= 10; ++n) file.add(test::PlainReading(6.0f, kBulkCode, n));
    ReadingStore store = StoreOf(file);
    store.flags(2) = Marked;
    store.flags(7) = Marked;

    Saved saved;
    saved.prompter.queueChoice(kSaveUnMarkedId);
    ASSERT_TRUE(saved.save(store, "rest.qvr"));
    ASSERT_EQ(saved.prompter.dialogs().size(), 1u);
    EXPECT_EQ(saved.prompter.dialogs()[0].resource, "SAVEMARKED");
    EXPECT_EQ(saved.prompter.dialogs()[0].title, "Save Readings");
    std::string written = test::ReadAll(saved.dir.file("rest.qvr"));
    EXPECT_EQ(written.substr(0, 5), " 8   ");
    EXPECT_EQ(written.substr(written.size() - 8), "00000000");

    saved.prompter.queueChoice(kSaveMarkedId);
    ASSERT_TRUE(saved.save(store, "picked.qvr"));
    written = test::ReadAll(saved.dir.file("picked.qvr"));
    EXPECT_EQ(written.substr(0, 5), " 2   ");
    EXPECT_EQ(written.substr(written.size() - 2), "11");
    ReadingStore reloaded;
    test::ScriptedPrompter prompter;
    ASSERT_EQ(LoadReadingsFile(reloaded, saved.dir.file("picked.qvr"), kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_EQ(RecordView(reloaded.record(2)).header().instrumentNumber, 7);

    // Cancel writes nothing and gives the previous name back.
    ASSERT_FALSE(saved.save(store, "cancelled.qvr"));
    EXPECT_FALSE(FileExists(saved.dir.file("cancelled.qvr")));
    EXPECT_EQ(saved.currentFileName, "previous.qvr");

    // With exactly one marked reading everything is saved without asking.
    store.flags(7) = 0;
    const size_t dialogs = saved.prompter.dialogs().size();
    ASSERT_TRUE(saved.save(store, "all.qvr"));
    EXPECT_EQ(saved.prompter.dialogs().size(), dialogs);
    EXPECT_EQ(test::ReadAll(saved.dir.file("all.qvr")).substr(0, 5), " 10  ");
}

TEST(SaveReadingsFile, OtherExtensionsBecomeQvrAndAskBeforeReplacing) {
    ReadingStore store = StoreOf(FileOf({kPaintCode}));
    Saved saved;
    ASSERT_TRUE(saved.save(store, "plot.txt"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("plot.QVR"));
    EXPECT_TRUE(saved.prompter.boxes().empty());  // nothing to replace yet

    saved.prompter.queueAnswer(Answer::No);
    ASSERT_FALSE(saved.save(store, "plot.txt"));
    ASSERT_EQ(saved.prompter.boxes().size(), 1u);
    EXPECT_EQ(saved.prompter.boxes()[0].text,
              saved.dir.file("plot.QVR") + "\nThis file already exists.\n\nReplace existing file?");
    EXPECT_EQ(saved.prompter.boxes()[0].caption, "Save As");
    EXPECT_EQ(saved.prompter.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(saved.currentFileName, "previous.qvr");

    // A chosen ".qvr" name is the file the user picked: written as spelled, no question.
    ASSERT_TRUE(saved.save(store, "plot.qvr"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("plot.qvr"));
    EXPECT_EQ(saved.prompter.boxes().size(), 1u);
    // A ".lck" name for an unlocked store would silently replace plot.QVR: asked.
    saved.prompter.queueAnswer(Answer::Yes);
    ASSERT_TRUE(saved.save(store, "plot.lck"));
    EXPECT_EQ(saved.prompter.boxes().size(), 2u);
}

TEST(SaveReadingsFile, AFailedWriteKeepsThePreviousFile) {
    test::TestFile file;
    file.records.assign(40, sample::BuildRecord(test::PlainReading(6.0f, kBulkCode, 1)));
    ReadingStore store = StoreOf(file);
    Saved saved;
    const std::string target = saved.dir.file("keep.qvr");
    test::WriteAll(target, "previous contents");

    // The file size limit makes the write fail part way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = saved.save(store, "keep.qvr");
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(ok);
    EXPECT_EQ(test::ReadAll(target), "previous contents");
    ASSERT_EQ(saved.prompter.boxes().size(), 1u);
    EXPECT_EQ(saved.prompter.boxes()[0].caption, "DISK FULL");
    EXPECT_EQ(saved.prompter.boxes()[0].text,
              "Serious Error - File Not Saved\n" + saved.dir.file("keep") + " is deleted\nMUST RESAVE!");
    // Only the target is in the directory: the temporary file is gone.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saved.dir.path()), {}), 1);

    EXPECT_FALSE(saved.save(store, "no-such-dir/x.qvr"));
    EXPECT_EQ(saved.prompter.boxes().back().caption, "SAVE ERROR");
}

TEST(AppendExtensionsMatch, ComparesWithoutRegardToCase) {
    EXPECT_TRUE(AppendExtensionsMatch("/a/b.QVR", "/a/c.lck"));
    EXPECT_TRUE(AppendExtensionsMatch("b.lck", "c.qvr"));
    EXPECT_FALSE(AppendExtensionsMatch("b.qvr", ""));  // no file open
    EXPECT_FALSE(AppendExtensionsMatch("b.dat", "c.qvr"));
    EXPECT_TRUE(AppendExtensionsMatch("b.dat", "c.qv"));
}

}  // namespace
}  // namespace ravik
