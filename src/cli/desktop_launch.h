#pragma once
// Finding and starting ravik-desktop, the desktop program, from the ravik
// executable: beside it (a build tree) or in ../libexec/ravik (installed).

#include <string>

#include "core/shell/subcommands.h"

namespace ravik {

// What tells where the running ravik executable is.
struct LaunchPlace {
    std::string selfLink;       // what /proc/self/exe names; empty without /proc
    std::string argv0;          // argv[0] as the program was started
    std::string workingFolder;  // the current folder, absolute
    std::string searchPath;     // $PATH
};

// The ravik executable's own path: what /proc/self/exe names, unless that is
// missing or is the dynamic loader (ravik run as "ld-linux.so ravik ...");
// then argv[0], resolved against the working folder when it holds a slash
// and looked up in the absolute folders of PATH when it is a bare name.
// Empty when none of these finds it: the current folder is never taken by chance.
std::string OwnExecutablePath(const LaunchPlace& place);

// The path of ravik-desktop for the ravik executable at selfPath (absolute),
// or empty when there is none.
std::string DesktopProgramPath(const std::string& selfPath);

// Replaces this process by ravik-desktop with the same arguments; returns 1
// (after saying why) only when it cannot be started, or when this build has
// no desktop program.
int RunDesktopProgram(char** argv);

// A subcommand that draws with Qt: ravik-desktop runs it.
int HandToDesktopProgram(const Subcommand& command, char** argv);

}  // namespace ravik
