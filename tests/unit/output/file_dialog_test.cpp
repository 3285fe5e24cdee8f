#include <gtest/gtest.h>

#include "platform/file_chooser.h"

namespace ravik {
namespace {

// A dialog as "Open|Save FILTER [TITLE] flags START #SELECTED".
std::string Described(int purpose, FileDialogState state, const std::string& start = "/data/jobs/site.qvr") {
    const std::optional<FileDialogSpec> d = DescribeFileDialog(purpose, start, state);
    if (!d) return "none";
    EXPECT_TRUE(d->pathMustExist) << purpose;
    EXPECT_EQ(d->defaultExtension, d->kind == FileDialogKind::Save ? "Lib" : "") << purpose;
    return std::string(d->kind == FileDialogKind::Save ? "Save " : "Open ") + d->filter + " [" + d->title + "] " +
           (d->fileMustExist ? "must-exist " : "") + (d->confirmOverwrite ? "confirm " : "") + d->startName + " #" +
           std::to_string(d->selectedFilter);
}

TEST(FileDialogs, EveryPurposeHasItsKindFilterTitleAndFlags) {
    const FileDialogState plain{false, 0, kDownloadDone};
    const FileDialogState fresh{false, 0, kDownloadNone};  // nothing opened yet: the second filter
    const std::string save = "Save ", open = "Open ";
    const std::tuple<int, FileDialogState, std::string> cases[] = {
        {111, plain, save + kReadingsFilter + " [Save QV File As] confirm site.qvr #0"},
        {111, {true, 0, kDownloadDone}, save + kLockedFilter + " [Save QV File As] confirm site.qvr #0"},
        {112, plain, open + kReadingsOrLockedFilter + " [Open QV File] must-exist  #0"},
        {112, fresh, open + kReadingsOrLockedFilter + " [Open QV File] must-exist  #1"},
        {121, plain, save + kMultiExportFilter + " [] site.qvr #0"},
        {122, {false, 0, kDownloadDone}, save + kTabExportFilter + " [] confirm site.qvr #0"},
        {122, {false, 1, kDownloadNone}, save + kCommaExportFilter + " [] confirm site.qvr #1"},
        {122, {false, 2, kDownloadDone}, save + kTabExportFilter + " [] confirm site.qvr #0"},
        {122, {false, 3, kDownloadDone}, save + kCommaExportFilter + " [] confirm site.qvr #0"},
        {128, plain, save + kLibraryFilter + " [] confirm site.qvr.LIB #0"},
        {130, plain, open + kShapeFilter + " [] site.qvr #0"},
        {173, fresh, save + kLockedFilter + " [] confirm site.lck #0"},  // one filter only
        {1222, plain, open + kLibraryFilter + " [] site.qvr.LIB #0"},
    };
    for (const auto& [purpose, state, expected] : cases) EXPECT_EQ(Described(purpose, state), expected);
    EXPECT_EQ(Described(1222, plain, "/x/alloys.lib"), open + kLibraryFilter + " [] alloys.lib #0");
    EXPECT_EQ(Described(999, plain), "none");
    // Save As Locked offers the open file's name with the locked extension.
    EXPECT_EQ(Described(173, plain, "/x/no.dot/plain"), save + kLockedFilter + " [] confirm plain.lck #0");
    EXPECT_EQ(Described(173, plain, ""), save + kLockedFilter + " [] confirm  #0");
}

TEST(FileDialogs, FilterStringsSplitAtTheirLastCharacter) {
    auto split = [](const std::string& filter) {
        std::vector<std::string> parts;
        for (const FileFilter& f : SplitFilterString(filter)) parts.push_back(f.description + " = " + f.pattern);
        return parts;
    };
    EXPECT_EQ(split(kReadingsOrLockedFilter), (std::vector<std::string>{"New XRF File(*.qvr) = *.qvr",
                                                                       "Locked File(*.lck) = *.lck", "All Files (*.*) = *.*"}));
    EXPECT_EQ(split("Text|pipe#*.txt#"), std::vector<std::string>{"Text|pipe = *.txt"});
    EXPECT_TRUE(split("").empty());
}

}  // namespace
}  // namespace ravik
