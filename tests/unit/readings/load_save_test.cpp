#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <numeric>
#include <random>

#include "core/library/library_source.h"
#include "core/platform/file_io.h"
#include "core/readings/readings_saver.h"
#include "reading_files.h"
#include "make-sample/sample_file.h"
#include "make-sample/sample_library.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::FileOf;
using Strings = std::vector<std::string>;

constexpr int kPaintCode = 1;
constexpr int kBulkCode = 6;
constexpr int kThinCode = 7;
constexpr int kAlloyCode = 12;

LoadOutcome Load(ReadingStore& store, const test::TestFile& file, int command, test::ScriptedPrompter& prompter) {
    return LoadReadingsBytes(store, file.bytes(), "t.qvr", command, prompter);
}

test::TestFile Copies(int count, int code) {
    test::TestFile file;
    file.records.assign(static_cast<size_t>(count), sample::BuildRecord(test::PlainReading(6.0f, code, 1)));
    return file;
}

TEST(LoadReadingsFile, SortsReadingsIntoModeListsInFileOrder) {
    test::TestFile file = FileOf({kBulkCode, kPaintCode, kBulkCode, kAlloyCode, kPaintCode, kBulkCode});
    file.site = "Elm Street 4";
    const test::LoadedStore loaded(file);
    ASSERT_EQ(loaded.outcome, LoadOutcome::Whole);
    const ReadingStore& store = loaded.store;
    std::vector<ModeList> lists;
    for (Mode mode : kAllModes) lists.push_back(store.list(mode));
    EXPECT_EQ(lists, (std::vector<ModeList>{{2, 5}, {1, 3, 6}, {}, {4}, {}}));  // Paint, Bulk, Thin, Alloy, Sign
    EXPECT_EQ(store.fileTitle, "Test survey");
    EXPECT_FLOAT_EQ(store.fileVersion, 6.0f);
    EXPECT_EQ(store.site, "Elm Street 4");
    EXPECT_FALSE(store.locked);
    EXPECT_TRUE(loaded.prompter.boxes().empty());
}

// The locked state and title come from the opened file; appending keeps the
// lock and clears every mark, the open readings stay hidden.
TEST(LoadReadingsFile, LockedStateAndTitleComeFromTheOpenedFile) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    test::TestFile locked = FileOf({kThinCode});
    locked.headerCount = -1;
    locked.title = "Second";
    // Appending to an empty store acts as an open.
    ASSERT_EQ(Load(store, locked, kAppendCommand, prompter), LoadOutcome::Whole);
    EXPECT_TRUE(store.locked);
    EXPECT_EQ(store.fileTitle, "Second");
    store.flags(1) = Marked | Hidden;
    ASSERT_EQ(Load(store, FileOf({kBulkCode, kBulkCode}), kAppendCommand, prompter), LoadOutcome::Whole);
    EXPECT_TRUE(store.locked);  // stays set while files are appended
    EXPECT_EQ(store.list(Mode::Bulk), (ModeList{2, 3}));
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(store.flags(n), n == 1 ? Hidden : 0u) << n;
    ASSERT_EQ(Load(store, FileOf({kBulkCode}), kOpenCommand, prompter), LoadOutcome::Whole);
    EXPECT_FALSE(store.locked);
}

TEST(LoadReadingsFile, AppendStopsAtFiftyOneHundredReadings) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    ASSERT_EQ(Load(store, Copies(2100, kBulkCode), kOpenCommand, prompter), LoadOutcome::Whole);
    test::TestFile tooMany = Copies(3001, kPaintCode);
    tooMany.title = "Too many";
    tooMany.headerCount = -3001;  // locked, so a refused file must not lock the store
    EXPECT_EQ(Load(store, tooMany, kAppendCommand, prompter), LoadOutcome::TooManyReadings);
    EXPECT_EQ(prompter.shown(), Strings{"FILE NOT APPENDED: RAVIK Will Support Only 5100 Readings Per File"});
    EXPECT_EQ(store.readingCount, 2100);
    EXPECT_EQ(store.count(Mode::Paint), 0);
    EXPECT_EQ(store.fileTitle, "Test survey");
    EXPECT_FALSE(store.locked);

    ASSERT_EQ(Load(store, Copies(3000, kPaintCode), kAppendCommand, prompter), LoadOutcome::Whole);
    EXPECT_EQ(store.readingCount, 5100);
    EXPECT_EQ(store.list(Mode::Paint).front(), 2101);
    EXPECT_EQ(std::string(store.fileHeader.data(), 5), "5100 ");

    ReadingStore fresh;
    test::TestFile oversized = FileOf({kPaintCode});
    oversized.headerCount = 5101;
    EXPECT_EQ(Load(fresh, oversized, kOpenCommand, prompter), LoadOutcome::TooManyReadings);
    EXPECT_FALSE(fresh.hasReadings());
}

// Every reading stands in exactly one list.
void ExpectConsistent(const ReadingStore& store) {
    std::vector<int32_t> listed;
    for (Mode mode : kAllModes) listed.insert(listed.end(), store.list(mode).begin(), store.list(mode).end());
    std::sort(listed.begin(), listed.end());
    std::vector<int32_t> all(static_cast<size_t>(store.readingCount));
    std::iota(all.begin(), all.end(), 1);
    EXPECT_EQ(listed, all);
    EXPECT_EQ(store.slots.size(), static_cast<size_t>(store.readingCount) + 1);
}

// Damaged files: whatever is whole loads, the user hears of it once, and the
// store's lists, counts and readingCount agree.
TEST(LoadReadingsFile, DamagedFilesLoadWhatIsWholeAndSaySoOnce) {
    struct Damage {
        const char* name;
        void (*spoil)(std::vector<uint8_t>& bytes, size_t secondRecord);
        int loaded;
    };
    const Damage damages[] = {
        {"ends inside the second record", [](auto& b, size_t second) { b.resize(second + 30); }, 1},
        {"ends inside a record header", [](auto& b, size_t second) { b.resize(second + 7); }, 1},
        {"record length below 20", [](auto& b, size_t second) { b[second] = 0; b[second + 1] = 12; }, 1},
        {"record length past the end", [](auto& b, size_t second) { b[second] = 0xFF; b[second + 1] = 0xFF; }, 1},
        {"text block outside the record", [](auto& b, size_t second) { b[second + 8] = 0xFF; }, 2},
        {"too many element entries", [](auto& b, size_t second) { b[second + 20 + 34] = 0x40; }, 2},
        {"channel count past the end", [](auto& b, size_t second) {
             b[second + ((b[second + 6] << 8) | b[second + 7]) + 4] = 0x7F;
         }, 2},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        const test::TestFile file = FileOf({kBulkCode, kPaintCode, kThinCode});
        std::vector<uint8_t> bytes = file.bytes();
        damage.spoil(bytes, 256 + file.records[0].size());
        ReadingStore store;
        test::ScriptedPrompter prompter;
        EXPECT_EQ(LoadReadingsBytes(store, bytes, "bad.qvr", kOpenCommand, prompter), LoadOutcome::Damaged);
        EXPECT_EQ(store.readingCount, damage.loaded);
        EXPECT_EQ(prompter.shown(), Strings{"READ ERROR: File Damaged\nbad.qvr\n" + std::to_string(damage.loaded) +
                                            " of 3 Readings Could Be Read"});
        ExpectConsistent(store);
        ReadingFields fields;
        for (int n = 1; n <= store.readingCount; ++n) FormatReadingFields(store, {}, n, store.record(n), fields);

        // The same damage in a file on disk.
        test::TempDir dir;
        test::WriteAll(dir.file("bad.qvr"), std::string(bytes.begin(), bytes.end()));
        ReadingStore fromFile;
        EXPECT_EQ(LoadReadingsFile(fromFile, dir.file("bad.qvr"), kOpenCommand, prompter), LoadOutcome::Damaged);
        EXPECT_EQ(fromFile.readingCount, damage.loaded);
    }
}

TEST(LoadReadingsFile, AFileOfManyReadWindowsLoadsAsItsBytesDo) {
    sample::SampleOptions options;
    options.counts = {150, 150, 150, 150, 150};
    const std::vector<uint8_t> bytes = sample::MakeReadingsFile(options);
    ASSERT_GT(bytes.size(), size_t{1} << 20);
    test::TempDir dir;
    test::WriteAll(dir.file("big.qvr"), std::string(bytes.begin(), bytes.end()));
    ReadingStore fromFile;
    ReadingStore fromBytes;
    test::ScriptedPrompter prompter;
    ASSERT_EQ(LoadReadingsFile(fromFile, dir.file("big.qvr"), kOpenCommand, prompter), LoadOutcome::Whole);
    ASSERT_EQ(LoadReadingsBytes(fromBytes, bytes, "big.qvr", kOpenCommand, prompter), LoadOutcome::Whole);
    ASSERT_EQ(fromFile.readingCount, 750);
    for (int32_t n = 1; n <= fromFile.readingCount; ++n) {
        ASSERT_TRUE(std::ranges::equal(fromFile.record(n), fromBytes.record(n))) << n;
    }
    EXPECT_EQ(fromFile.modeLists, fromBytes.modeLists);
    for (Mode mode : kAllModes) EXPECT_EQ(fromFile.titles[mode], fromBytes.titles[mode]);
}

std::vector<uint8_t> BytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// A header of the analyzer's lines (count line first) and these bytes behind it.
std::vector<uint8_t> HeaderThen(const std::vector<std::string>& lines, const std::string& rest) {
    return BytesOf(sample::BuildFileHeader(lines, "Site") + rest);
}

// Files that are not readings files are refused before the store changes:
// the open file stays, and the user is told once.
TEST(LoadReadingsFile, WhatIsNotAReadingsFileIsRefusedAndTheOpenOneStays) {
    std::string passwords;
    std::string csv = "No,QVNo,Site,Inspector,Pbl,Pbl+-\r\n";
    for (int i = 1; i < 12; ++i) {
        passwords += "user" + std::to_string(i) + ":x:100" + std::to_string(i) + ":100:/home:/bin/sh\n";
        csv += std::to_string(i) + "," + std::to_string(20 + i) + ",Yard,AN,1.20,0.10\r\n";
    }
    std::mt19937 random(7);
    std::vector<uint8_t> noise(300);
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
    const test::TestFile two = FileOf({kPaintCode, kBulkCode});
    const std::string records = two.text().substr(256);
    const std::vector<uint8_t> sound = two.bytes();
    std::vector<uint8_t> overrun = sound;
    overrun[256] = 0x7F;  // the first record's length runs past the end
    std::vector<uint8_t> tooShort = sound;
    tooShort[256] = 0;
    tooShort[257] = 19;
    struct NotReadings {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const NotReadings cases[] = {
        {"a password file", BytesOf(passwords)},
        {"a library source", BytesOf(LibrarySourceText(sample::DemoLibrary()))},
        {"a comma export", BytesOf(csv)},
        {"random bytes", noise},
        {"a count that is no number", HeaderThen({"2x Readings", "S", "T", "V 6.0"}, records)},
        {"a control character in the header", HeaderThen({" 2", "S\x01", "T", "V 6.0"}, records)},
        {"fewer than four lines", HeaderThen({" 2", "Only"}, records)},
        {"the first record runs past the end", overrun},
        {"the first record is shorter than its header", tooShort},
        {"readings promised, none there", HeaderThen(sample::StandardHeaderLines(2, "T", "6.0"), "")},
        {"empty", {}},
    };
    test::LoadedStore loaded(FileOf({kThinCode}));
    for (const NotReadings& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompter prompter;
        EXPECT_EQ(LoadReadingsBytes(loaded.store, c.bytes, "x.txt", kOpenCommand, prompter),
                  LoadOutcome::NotReadingsFile);
        EXPECT_EQ(prompter.shown(), Strings{"READ ERROR: Not a Readings File\nx.txt"});
        EXPECT_EQ(LoadReadingsBytes(loaded.store, c.bytes, "x.txt", kAppendCommand, prompter),
                  LoadOutcome::NotReadingsFile);
        EXPECT_EQ(loaded.store.readingCount, 1);
        EXPECT_EQ(loaded.store.fileTitle, "Test survey");
    }
    // The same refusal from a file on disk.
    test::TempDir dir;
    test::WriteAll(dir.file("passwd"), passwords);
    test::ScriptedPrompter prompter;
    EXPECT_EQ(LoadReadingsFile(loaded.store, dir.file("passwd"), kOpenCommand, prompter),
              LoadOutcome::NotReadingsFile);
    EXPECT_FALSE(ReadFileVersion(dir.file("passwd")));
}

// Readings files without readings, and a count line as short as "2", still open.
TEST(LoadReadingsFile, SoundFilesWithoutReadingsOrWithAShortCountLineOpen) {
    ReadingStore empty = test::LoadStore(test::TestFile{});  // the header alone
    const std::string saved = BuildReadingsFile(empty, SaveSelection::All);
    std::vector<std::string> lines = sample::StandardHeaderLines(2, "T", "6.0");
    lines[0] = "2";
    ReadingStore store;
    test::ScriptedPrompter prompter;
    EXPECT_EQ(LoadReadingsBytes(store, BytesOf(saved), "s.qvr", kOpenCommand, prompter), LoadOutcome::Whole);
    const std::string records = FileOf({kPaintCode, kBulkCode}).text().substr(256);
    EXPECT_EQ(LoadReadingsBytes(store, HeaderThen(lines, records), "s.qvr", kOpenCommand, prompter),
              LoadOutcome::Whole);
    EXPECT_EQ(store.readingCount, 2);
    EXPECT_TRUE(prompter.boxes().empty());
}

// --- saving ---

struct Saved {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    std::string currentFileName;
    bool save(ReadingStore& store, const std::string& name) {
        return SaveReadingsFile(store, dir.file(name), "previous.qvr", currentFileName, prompter);
    }
    std::string read(const std::string& name) const { return test::ReadAll(dir.file(name)); }
};

// What follows the records: each mode's titles, then every reading's flag.
std::string Trailer(const ReadingStore& store, const std::string& flags) {
    std::string text;
    for (Mode mode : {Mode::Paint, Mode::Bulk, Mode::Alloy, Mode::Sign, Mode::Thin}) {
        for (int slot = 0; slot < TitleCount(mode); ++slot) {
            text += store.titles[mode][static_cast<size_t>(slot)].view();
            text += ',';
        }
        text += "\r\n";
    }
    return text + flags;
}

TEST(SaveReadingsFile, WritesModesInIndexOrderThenTitlesAndFlags) {
    const test::TestFile file = FileOf({kBulkCode, kPaintCode, kBulkCode, kPaintCode, kBulkCode});
    ReadingStore store = test::LoadStore(file);
    store.flags(3) = Hidden;
    store.flags(2) = Marked | Hidden;
    Saved saved;
    ASSERT_TRUE(saved.save(store, "survey.qvr"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("survey.qvr"));
    EXPECT_TRUE(saved.prompter.boxes().empty());
    const size_t order[] = {1, 3, 0, 2, 4};  // Paint, then Bulk
    std::string expected = file.text().substr(0, 256);
    for (size_t r : order) expected.append(file.records[r].begin(), file.records[r].end());
    expected += Trailer(store, "30020");  // Paint 2, 4, then Bulk 1, 3, 5
    EXPECT_EQ(saved.read("survey.qvr"), expected);
    EXPECT_EQ(Trailer(store, "").substr(0, 23), "No,QVNo,Site,Inspector,");

    ReadingStore reloaded;
    ASSERT_EQ(LoadReadingsFile(reloaded, saved.currentFileName, kOpenCommand, saved.prompter), LoadOutcome::Whole);
    EXPECT_EQ(reloaded.list(Mode::Paint), (ModeList{1, 2}));
    EXPECT_EQ(reloaded.list(Mode::Bulk), (ModeList{3, 4, 5}));
    for (int n = 1; n <= 5; ++n) EXPECT_TRUE(std::ranges::equal(reloaded.record(n), file.records[order[n - 1]])) << n;
    EXPECT_EQ(reloaded.titles[Mode::Bulk][2], store.titles[Mode::Bulk][2]);

    // Hidden comes back, marks do not; appended behind a hidden reading, the
    // file's flags land on its own readings.
    std::string flags;
    for (int n = 1; n <= reloaded.readingCount; ++n) flags += char('0' + reloaded.flags(n));
    reloaded.flags(2) = Hidden;
    ASSERT_EQ(LoadReadingsFile(reloaded, saved.currentFileName, kAppendCommand, saved.prompter), LoadOutcome::Whole);
    for (int n = 6; n <= reloaded.readingCount; ++n) flags += char('0' + reloaded.flags(n));
    EXPECT_EQ(flags + char('0' + reloaded.flags(2)), "20020" "20020" "2");
}

TEST(SaveReadingsFile, LockedStoreWritesANegativeCountUnderLck) {
    test::TestFile file = Copies(12, kThinCode);
    file.headerCount = -12;
    ReadingStore store = test::LoadStore(file);
    Saved saved;
    ASSERT_TRUE(saved.save(store, "site.qvr"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("site.LCK"));
    EXPECT_FALSE(FileExists(saved.dir.file("site.qvr")));
    EXPECT_TRUE(saved.read("site.LCK") == "-12  " + file.text().substr(5) + Trailer(store, std::string(12, '0')));
    ReadingStore reloaded;
    ASSERT_EQ(LoadReadingsFile(reloaded, saved.currentFileName, kOpenCommand, saved.prompter), LoadOutcome::Whole);
    EXPECT_TRUE(reloaded.locked);
}

TEST(SaveReadingsFile, MarkedAndUnMarkedSelections) {
    test::TestFile file;
    for (uint16_t n = 1; n <= 10; ++n) file.add(test::PlainReading(6.0f, kBulkCode, n));
    ReadingStore store = test::LoadStore(file);
    store.flags(2) = Marked;
    store.flags(7) = Marked;
    Saved saved;
    saved.prompter.queueChoice(kSaveUnMarkedId);
    ASSERT_TRUE(saved.save(store, "rest.qvr"));
    ASSERT_EQ(saved.prompter.dialogs().size(), 1u);
    EXPECT_EQ(saved.prompter.dialogs()[0].resource, "SAVEMARKED");
    EXPECT_EQ(saved.prompter.dialogs()[0].title, "Save Readings");
    std::string written = saved.read("rest.qvr");
    EXPECT_EQ(written.substr(0, 5), " 8   ");
    EXPECT_EQ(written.substr(written.size() - 9), "\n00000000");

    saved.prompter.queueChoice(kSaveMarkedId);
    ASSERT_TRUE(saved.save(store, "picked.qvr"));
    written = saved.read("picked.qvr");
    EXPECT_EQ(written.substr(0, 5), " 2   ");
    EXPECT_EQ(written.substr(written.size() - 3), "\n11");
    ReadingStore reloaded;
    ASSERT_EQ(LoadReadingsFile(reloaded, saved.dir.file("picked.qvr"), kOpenCommand, saved.prompter),
              LoadOutcome::Whole);
    EXPECT_EQ(RecordView(reloaded.record(2)).header().instrumentNumber, 7);

    // Cancel writes nothing and gives the previous name back.
    ASSERT_FALSE(saved.save(store, "cancelled.qvr"));
    EXPECT_FALSE(FileExists(saved.dir.file("cancelled.qvr")));
    EXPECT_EQ(saved.currentFileName, "previous.qvr");
    // With exactly one marked reading everything is saved without asking.
    store.flags(7) = 0;
    ASSERT_TRUE(saved.save(store, "all.qvr"));
    EXPECT_EQ(saved.prompter.dialogs().size(), 3u);
    EXPECT_EQ(saved.read("all.qvr").substr(0, 5), " 10  ");
}

TEST(SaveReadingsFile, OtherExtensionsBecomeQvrAndAskBeforeReplacing) {
    ReadingStore store = test::LoadStore(FileOf({kPaintCode}));
    Saved saved;
    ASSERT_TRUE(saved.save(store, "plot.txt"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("plot.QVR"));
    saved.prompter.queueAnswer(Answer::No);
    ASSERT_FALSE(saved.save(store, "plot.txt"));
    EXPECT_EQ(saved.prompter.shown(), Strings{"Save As: " + saved.dir.file("plot.QVR") +
                                              "\nThis file already exists.\n\nReplace existing file?"});
    EXPECT_EQ(saved.prompter.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(saved.prompter.boxes()[0].defaultAnswer, Answer::No);
    EXPECT_EQ(saved.currentFileName, "previous.qvr");
    // A chosen ".qvr" name is written as spelled, unasked; a ".lck" name for
    // an unlocked store would silently replace plot.QVR: asked.
    ASSERT_TRUE(saved.save(store, "plot.qvr"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file("plot.qvr"));
    ASSERT_TRUE(saved.save(store, "plot.lck"));
    EXPECT_EQ(saved.prompter.boxes().size(), 2u);
    // A dot that starts the name is part of it.
    ASSERT_TRUE(saved.save(store, ".plot"));
    EXPECT_EQ(saved.currentFileName, saved.dir.file(".plot.QVR"));
}

TEST(SaveReadingsFile, AFailedWriteKeepsThePreviousFile) {
    ReadingStore store = test::LoadStore(Copies(40, kBulkCode));
    Saved saved;
    const std::string target = saved.dir.file("keep.qvr");
    test::WriteAll(target, "previous contents");
    bool ok = true;
    test::WithFileSizeLimit(4096, [&] { ok = saved.save(store, "keep.qvr"); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(test::ReadAll(target), "previous contents");
    // Without a previous file the message claims none.
    test::WithFileSizeLimit(4096, [&] { ok = saved.save(store, "new.qvr"); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(saved.prompter.shown(),
              (Strings{"DISK FULL: Serious Error - File Not Saved\n" + target +
                           " Could Not Be Written\nThe Previous File Is Unchanged\nMUST RESAVE!",
                       "DISK FULL: Serious Error - File Not Saved\n" + saved.dir.file("new.qvr") +
                           " Could Not Be Written\nMUST RESAVE!"}));
    // Only the target is in the directory: the temporary files are gone.
    EXPECT_EQ(saved.dir.names(), std::set<std::string>{"keep.qvr"});

    EXPECT_FALSE(saved.save(store, "no-such-dir/x.qvr"));
    EXPECT_EQ(saved.prompter.captions().back(), "SAVE ERROR");
}

TEST(AppendExtensionsMatch, ComparesWithoutRegardToCase) {
    EXPECT_TRUE(AppendExtensionsMatch("/a/b.QVR", "/a/c.lck"));
    EXPECT_FALSE(AppendExtensionsMatch("b.qvr", ""));  // no file open
    EXPECT_FALSE(AppendExtensionsMatch("b.dat", "c.qvr"));
    EXPECT_TRUE(AppendExtensionsMatch("b.dat", "c.qv"));
}

}  // namespace
}  // namespace ravik
