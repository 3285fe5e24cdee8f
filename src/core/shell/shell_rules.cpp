#include "core/shell/shell_rules.h"

#include "core/platform/text1252.h"

namespace ravik {

std::string StartupCaption() { return std::string(kProgramTitle) + "-[File: <none>]"; }

std::string FileCaption(const Program& program) {
    return std::string(kProgramTitle) + " - [File: " + program.shell.currentFileName + "] " +
           Cp1252ToUtf8(program.store.fileTitle);
}

std::string TableWindowTitle(Mode mode, const std::string& site) {
    return std::string(WindowText(mode)) + " - [Site: " + Cp1252ToUtf8(site) + "]";
}

void ReleaseReadings(Program& program) {
    ClearStore(program.store);
    program.store.titles = ReleasedColumnTitles();
    program.shell.unsavedChanges = false;
}

namespace {
void AfterHideOrUnhide(Program& program) {
    program.shell.selection.selectedRow = -1;
    program.shell.unsavedChanges = true;
}
}  // namespace

void HideMarked(Program& program) {
    HideMarkedReadings(program.store);
    AfterHideOrUnhide(program);
}

void UnhideMarked(Program& program) {
    UnhideMarkedReadings(program.store);
    AfterHideOrUnhide(program);
}

void ApplySite(Program& program, std::string_view site) {
    program.store.site = std::string(site.substr(0, kSiteMaxLength));
    if (program.settings.download == kDownloadDone) WriteSiteIntoHeader(program.store, program.store.site);
    program.shell.unsavedChanges = true;
}

}  // namespace ravik
