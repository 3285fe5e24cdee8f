#include "core/shell/command_output.h"

#include "core/platform/file_chooser.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"

namespace ravik {

bool InputLoadedEnough(LoadOutcome outcome, bool force) {
    return outcome == LoadOutcome::Whole || (force && outcome == LoadOutcome::Damaged);
}

bool MayWriteOutput(const std::string& output, const std::vector<std::string>& inputs, bool force,
                    Prompter& prompter) {
    for (const std::string& input : inputs) {
        if (SameFile(output, input)) {
            prompter.error("Cannot Write Over the Input File\n" + output, "SAVE ERROR");
            return false;
        }
    }
    if (IsSpecialFile(output)) {
        prompter.error(ReadProblemText(FileStatus::NotRegularFile, output, ""), "SAVE ERROR");
        return false;
    }
    // Without --force the replace question is answered No.
    return force || ConfirmOverwrite(prompter, output);
}

}  // namespace ravik
