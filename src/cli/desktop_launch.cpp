#include "cli/desktop_launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace ravik {

namespace {

namespace fs = std::filesystem;

bool IsExecutableFile(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The loader's names: ld-linux-x86-64.so.2, ld-linux-aarch64.so.1, ld.so, ld64.so.2, ...
bool IsDynamicLoader(const fs::path& path) {
    const std::string name = path.filename().string();
    const bool loaderName = name.starts_with("ld-") || name.starts_with("ld.") || name.starts_with("ld64.");
    return loaderName && name.find(".so") != std::string::npos;
}

// The real file behind path (symbolic links followed, as /proc/self/exe does).
std::string RealPath(const fs::path& path) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal().string() : real.string();
}

std::string FindOnSearchPath(const std::string& name, std::string_view searchPath) {
    while (!searchPath.empty()) {
        const size_t colon = searchPath.find(':');
        const std::string_view folder = searchPath.substr(0, colon);
        searchPath = colon == std::string_view::npos ? std::string_view() : searchPath.substr(colon + 1);
        // An empty or relative entry means the current folder: never searched.
        if (folder.empty() || folder.front() != '/') continue;
        const fs::path candidate = fs::path(folder) / name;
        if (IsExecutableFile(candidate)) return RealPath(candidate);
    }
    return {};
}

LaunchPlace ThisProcessPlace(const char* argv0) {
    LaunchPlace place;
    std::error_code error;
    place.selfLink = fs::read_symlink("/proc/self/exe", error).string();
    if (error) place.selfLink.clear();
    place.argv0 = argv0 != nullptr ? argv0 : "";
    char folder[PATH_MAX];
    if (::getcwd(folder, sizeof folder) != nullptr) place.workingFolder = folder;
    const char* searchPath = std::getenv("PATH");
    place.searchPath = searchPath != nullptr ? searchPath : "";
    return place;
}

}  // namespace

std::string OwnExecutablePath(const LaunchPlace& place) {
    if (!place.selfLink.empty() && place.selfLink.front() == '/' && !IsDynamicLoader(place.selfLink)) {
        return place.selfLink;
    }
    if (place.argv0.empty()) return {};
    if (place.argv0.find('/') == std::string::npos) return FindOnSearchPath(place.argv0, place.searchPath);
    const fs::path given(place.argv0);
    if (given.is_absolute()) return RealPath(given);
    if (place.workingFolder.empty()) return {};
    return RealPath(fs::path(place.workingFolder) / given);
}

std::string DesktopProgramPath(const std::string& selfPath) {
    const fs::path self(selfPath);
    if (!self.is_absolute()) return {};
    const fs::path directory = self.parent_path();
    for (const fs::path& candidate : {directory / "ravik-desktop", directory / ".." / "libexec" / "ravik" / "ravik-desktop"}) {
        if (IsExecutableFile(candidate)) return candidate.lexically_normal().string();
    }
    return {};
}

#ifdef RAVIK_HAS_DESKTOP

int RunDesktopProgram(char** argv) {
    const std::string self = OwnExecutablePath(ThisProcessPlace(argv[0]));
    if (self.empty()) {
        std::fprintf(stderr, "ravik: cannot tell where this program is installed, so the desktop program "
                             "(ravik-desktop) cannot be found; start it by its full path\n");
        return 1;
    }
    const std::string desktop = DesktopProgramPath(self);
    if (desktop.empty()) {
        std::fprintf(stderr, "ravik: the desktop program (ravik-desktop) is not installed beside %s\n", self.c_str());
        return 1;
    }
    ::execv(desktop.c_str(), argv);
    std::fprintf(stderr, "ravik: cannot start %s: %s\n", desktop.c_str(), std::strerror(errno));
    return 1;
}

int HandToDesktopProgram(const Subcommand&, char** argv) { return RunDesktopProgram(argv); }

#else

int RunDesktopProgram(char**) {
    std::fputs("ravik: there is no desktop program in this build (built without Qt); "
               "the subcommands run headless (ravik --help)\n", stderr);
    return 1;
}

int HandToDesktopProgram(const Subcommand& command, char**) {
    std::fprintf(stderr, "ravik %s: needs the desktop build (this ravik was built without Qt)\n", command.name);
    return 2;
}

#endif

}  // namespace ravik
