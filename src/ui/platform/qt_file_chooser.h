#pragma once
// The desktop's FileChooser: the open and save dialogs of each purpose,
// with their titles, filters and overwrite rules.

#include "core/shell/program.h"
#include "core/platform/prompter.h"
#include "core/platform/file_chooser.h"

namespace ravik {

class QtFileChooser final : public FileChooser {
public:
    // The dialogs depend on the open file's locked state and on settings;
    // the replace question of a readings file goes through the prompter.
    QtFileChooser(const Program& program, Prompter& prompter) : program_(program), prompter_(prompter) {}
    bool askFileName(std::string& path, int purpose) override;

private:
    const Program& program_;
    Prompter& prompter_;
};

}  // namespace ravik
