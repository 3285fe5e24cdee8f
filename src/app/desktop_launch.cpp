#include "app/desktop_launch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace ravik {

std::string DesktopProgramPath(const std::string& selfPath) {
    const std::filesystem::path directory = std::filesystem::path(selfPath).parent_path();
    for (const std::filesystem::path& candidate :
         {directory / "ravik-desktop", directory / ".." / "libexec" / "ravik" / "ravik-desktop"}) {
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.lexically_normal().string();
    }
    return {};
}

int RunDesktopProgram(char** argv) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string desktop = DesktopProgramPath(self.string());
    if (desktop.empty()) {
        std::fprintf(stderr, "ravik: the desktop program (ravik-desktop) is not installed beside %s\n",
                     self.c_str());
        return 1;
    }
    ::execv(desktop.c_str(), argv);
    std::fprintf(stderr, "ravik: cannot start %s: %s\n", desktop.c_str(), std::strerror(errno));
    return 1;
}

}  // namespace ravik
