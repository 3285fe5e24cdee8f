// ravik-make-sample: writes realistic readings files for tests, benchmarks,
// the fuzz corpus and the demo.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/library_source.h"
#include "make-sample/sample_file.h"
#include "make-sample/sample_library.h"
#include "core/platform/file_io.h"

namespace {

using ravik::sample::SampleOptions;

constexpr const char* kUsage =
    "usage: ravik-make-sample file OUT [--version 5.0|5.5|6.0] [--paint N] [--bulk N] [--thin N]\n"
    "                                  [--alloy N] [--sign N] [--seed S] [--locked]\n"
    "                                  [--site TEXT] [--title TEXT] [--grouped] [--compact]\n"
    "       ravik-make-sample demo OUT\n"
    "       ravik-make-sample library OUT.lib\n"
    "       ravik-make-sample seeds DIR\n";

// The header's count field holds at most four digits.
constexpr int kMostReadings = 9999;

int Fail(const std::string& message) {
    std::fprintf(stderr, "ravik-make-sample: %s\n", message.c_str());
    return 1;
}

bool ParseNumber(std::string_view text, unsigned long long most, unsigned long long& out) {
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && ptr == end && out <= most;
}

bool Write(const std::string& path, std::string_view view) {
    if (ravik::WriteFileAtomically(path, view) != ravik::FileStatus::Ok) {
        Fail("cannot write " + path);
        return false;
    }
    return true;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    return Write(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int MakeFile(const std::vector<std::string>& args) {
    if (args.size() < 3) return Fail(std::string("file needs an output path\n") + kUsage);
    SampleOptions options;
    const std::string out = args[2];
    for (size_t i = 3; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--locked") { options.locked = true; continue; }
        if (option == "--grouped") { options.interleave = false; continue; }
        if (option == "--compact") { options.compactSpectra = true; continue; }
        if (i + 1 >= args.size()) return Fail(option + " needs a value");
        const std::string& value = args[++i];
        unsigned long long number = 0;
        if (option == "--version") {
            if (!ravik::sample::IsSampleVersion(value)) return Fail("version must be 5.0, 5.5 or 6.0");
            options.version = value;
        } else if (option == "--paint" || option == "--bulk" || option == "--thin" ||
                   option == "--alloy" || option == "--sign") {
            if (!ParseNumber(value, kMostReadings, number)) return Fail("bad count for " + option + ": " + value);
            const size_t mode = option == "--paint" ? 0 : option == "--bulk" ? 1 : option == "--thin" ? 2
                              : option == "--alloy" ? 3 : 4;
            options.counts[mode] = static_cast<int>(number);
        } else if (option == "--seed") {
            if (!ParseNumber(value, 0xFFFFFFFFull, number)) return Fail("bad seed: " + value);
            options.seed = static_cast<uint32_t>(number);
        } else if (option == "--site") {
            if (value.size() > 63) return Fail("the site holds at most 63 characters");
            options.site = value;
        } else if (option == "--title") {
            if (value.size() > 80 || value.find_first_of("\r\n") != std::string::npos) {
                return Fail("the title is one line of at most 80 characters");
            }
            options.title = value;
        } else {
            return Fail("unknown option " + option + "\n" + kUsage);
        }
    }
    int total = 0;
    for (int n : options.counts) total += n;
    if (total > kMostReadings) return Fail("at most 9999 readings fit the header's count");
    return Write(out, ravik::sample::MakeReadingsFile(options)) ? 0 : 1;
}

int MakeDemo(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(std::string("demo needs one output path\n") + kUsage);
    return Write(args[2], ravik::sample::MakeReadingsFile(ravik::sample::DemoOptions())) ? 0 : 1;
}

int MakeLibrary(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(std::string("library needs one output path\n") + kUsage);
    return Write(args[2], ravik::LibrarySourceText(ravik::sample::DemoLibrary())) ? 0 : 1;
}

int MakeSeeds(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail(std::string("seeds needs one directory\n") + kUsage);
    const std::filesystem::path dir(args[2]);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) return Fail("cannot create " + dir.string() + ": " + error.message());
    for (const auto& seed : ravik::sample::SeedFiles()) {
        if (!Write((dir / seed.name).string(), ravik::sample::MakeReadingsFile(seed.options))) return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    if (args.size() < 2) return Fail(std::string("no command\n") + kUsage);
    const std::string& command = args[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "file") return MakeFile(args);
    if (command == "demo") return MakeDemo(args);
    if (command == "library") return MakeLibrary(args);
    if (command == "seeds") return MakeSeeds(args);
    return Fail("unknown command " + command + "\n" + kUsage);
}
