#include "core/platform/data_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace ravik {

namespace {
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}
}  // namespace

std::string DataDirectory() {
    if (std::string home = Env("RAVIK_HOME"); !home.empty()) return home;
    if (std::string config = Env("XDG_CONFIG_HOME"); !config.empty()) return config + "/ravik";
    if (std::string user = Env("HOME"); !user.empty()) return user + "/.config/ravik";
    return ".";
}

bool EnsureDataDirectory(const std::string& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return std::filesystem::is_directory(directory, error);
}

std::string DataFilePath(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

}  // namespace ravik
