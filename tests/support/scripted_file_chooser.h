#pragma once
// A FileChooser for tests: answers each dialog from a script (a chosen path,
// or Cancel once the script is exhausted) and records what was asked.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/file_chooser.h"

namespace ravik::test {

struct FileRequest {
    int purpose;
    std::string startPath;
};

class ScriptedFileChooser : public FileChooser {
public:
    void queuePath(const std::string& chosen) { script_.push_back(chosen); }
    void queueCancel() { script_.push_back(std::nullopt); }

    bool askFileName(std::string& path, int purpose) override;

    const std::vector<FileRequest>& requests() const { return requests_; }

private:
    std::deque<std::optional<std::string>> script_;
    std::vector<FileRequest> requests_;
};

}  // namespace ravik::test
