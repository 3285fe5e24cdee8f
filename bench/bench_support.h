#pragma once
// What the benchmarks share: a prompter that answers every question at once,
// 5100-reading files, and running a program as a whole process.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "make-sample/sample_file.h"
#include "core/platform/prompter.h"

namespace ravik {

// A box with only OK is answered OK; every other question gets answer, and
// a dialog of labelled buttons gets choice.
class SilentPrompter final : public Prompter {
public:
    explicit SilentPrompter(Answer answer = Answer::No, int choice = kCancelId) : answer_(answer), choice_(choice) {}
    Answer ask(const std::string&, const std::string&, Buttons buttons, Icon) override {
        return buttons == Buttons::Ok ? Answer::Ok : answer_;
    }
    int choose(const ChoiceDialog&) override { return choice_; }

private:
    Answer answer_;
    int choice_;
};

// Writes a generated readings file into the temporary folder; returns its path.
inline std::string WriteSampleFile(const char* name, const sample::SampleOptions& options) {
    const std::vector<uint8_t> bytes = sample::MakeReadingsFile(options);
    const std::string file = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
    return file;
}

// A sample file of these counts per mode in the temporary folder.
inline std::string WriteSampleCounts(const char* name, std::array<int, 5> counts) {
    sample::SampleOptions options;
    options.counts = counts;
    options.seed = 5100;
    return WriteSampleFile(name, options);
}

// The path of a 5100-reading file of all modes in the temporary folder,
// written on first use.
inline const std::string& FullReadingsFile() {
    static const std::string path = WriteSampleCounts("ravik-bench-5100.qvr", {1500, 1000, 1000, 1000, 600});
    return path;
}

// The path of a file of 5100 Bulk readings in the temporary folder, written
// on first use.
inline const std::string& BulkReadingsFile() {
    static const std::string path = WriteSampleCounts("ravik-bench-bulk-5100.qvr", {0, 5100, 0, 0, 0});
    return path;
}

// Runs args[0] with args and its output going to outFd, and waits for it:
// what it used (ru_maxrss is its peak resident memory in KiB), or nothing
// when it could not start or did not end with status 0. extraEnvironment
// entries ("NAME=value") come before the inherited ones, so they win.
inline std::optional<rusage> RunProcess(std::vector<std::string> args, int outFd,
                                        const std::vector<std::string>& extraEnvironment = {}) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment(extraEnvironment);
    for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (started != 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return usage;
}

}  // namespace ravik
