#pragma once
// Finding and starting ravik-desktop, the desktop program, from the ravik
// executable: beside it (a build tree) or in ../libexec/ravik (installed).

#include <string>

namespace ravik {

// The path of ravik-desktop for the ravik executable at selfPath, or empty
// when there is none.
std::string DesktopProgramPath(const std::string& selfPath);

// Replaces this process by ravik-desktop with the same arguments; returns 1
// (after saying why) only when it cannot be started.
int RunDesktopProgram(char** argv);

}  // namespace ravik
