#include "support/scripted_file_chooser.h"

namespace ravik::test {

bool ScriptedFileChooser::askFileName(std::string& path, int purpose) {
    requests_.push_back({purpose, path});
    if (script_.empty()) return false;
    const std::optional<std::string> next = script_.front();
    script_.pop_front();
    if (!next) return false;
    path = *next;
    return true;
}

}  // namespace ravik::test
