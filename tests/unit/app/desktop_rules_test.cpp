#include <gtest/gtest.h>

#include "app/reading_tally.h"
#include "app/recent_files.h"
#include "platform/data_dir.h"
#include "platform/file_io.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

TEST(ReadingTally, NamesTheModesWithReadingsAndCountsMarkedAndHidden) {
    ReadingStore store;
    EXPECT_EQ(ReadingTallyText(store), "No readings");
    store.slots.resize(5);
    store.readingCount = 4;
    store.list(Mode::Paint) = {1, 2};
    store.list(Mode::Sign) = {3, 4};
    store.flags(1) = Marked;
    store.flags(3) = Marked | Hidden;  // counted as marked and as hidden
    store.flags(4) = Hidden;
    EXPECT_EQ(ReadingTallyText(store), "Paint 2   Sign 2   Marked 2   Hidden 2");
}

TEST(RecentFiles, ReadingSkipsBlankLinesAndKeepsFour) {
    test::TempDir dir;
    EXPECT_TRUE(ReadRecentFiles(dir.path()).empty());
    test::WriteAll(DataFilePath(dir.path(), kRecentFilesName), "/a.qvr\n\n/b c.qvr\n/c.lck\n/d.qvr\n/e.qvr");
    EXPECT_EQ(ReadRecentFiles(dir.path()), (RecentFiles{"/a.qvr", "/b c.qvr", "/c.lck", "/d.qvr"}));
    const std::string nested = dir.file("new/home");
    ASSERT_TRUE(WriteRecentFiles(nested, {"/x.qvr"}));
    EXPECT_EQ(ReadRecentFiles(nested), RecentFiles{"/x.qvr"});
}

}  // namespace
}  // namespace ravik
