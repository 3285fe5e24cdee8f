#include "core/shell/recent_files.h"

#include <algorithm>

#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"

namespace ravik {

RecentFiles ReadRecentFiles(const std::string& directory, Prompter& prompter) {
    RecentFiles files;
    std::string text;
    const std::string path = DataFilePath(directory, kRecentFilesName);
    const FileStatus status = ReadSmallTextFile(path, text);
    if (status == FileStatus::NotRegularFile || status == FileStatus::TooLarge) {
        prompter.error(ReadProblemText(status, path, ""), "READ ERROR");
    }
    if (status != FileStatus::Ok) return files;
    size_t start = 0;
    while (start < text.size() && files.size() < kRecentFilesKept) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) files.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return files;
}

bool WriteRecentFiles(const std::string& directory, const RecentFiles& files) {
    if (!EnsureDataDirectory(directory)) return false;
    std::string text;
    for (const std::string& file : files) text += file + '\n';
    return WriteFileAtomically(DataFilePath(directory, kRecentFilesName), text) == FileStatus::Ok;
}

void RememberRecentFile(RecentFiles& files, const std::string& path) {
    ForgetRecentFile(files, path);
    files.insert(files.begin(), path);
    if (files.size() > kRecentFilesKept) files.resize(kRecentFilesKept);
}

void ForgetRecentFile(RecentFiles& files, const std::string& path) {
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
}

}  // namespace ravik
