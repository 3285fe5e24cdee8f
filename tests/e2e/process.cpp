#include "process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

extern char** environ;

namespace ravik::test {

namespace {
// Everything written to a temporary file, from its start.
std::string Contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    return text;
}

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }
}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnvironment) {
    // Output goes to temporary files so that a chatty program never blocks on a full pipe.
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (out == nullptr || err == nullptr) throw std::runtime_error("tmpfile failed");

    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    // The extra entries replace inherited ones of the same name.
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        bool replaced = false;
        for (const std::string& extra : extraEnvironment) replaced = replaced || NameOf(extra) == NameOf(*e);
        if (!replaced) environment.emplace_back(*e);
    }
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> argv, envp;
    for (std::string& word : words) argv.push_back(word.data());
    for (std::string& entry : environment) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
    posix_spawn_file_actions_adddup2(&actions, fileno(err), 2);
    pid_t pid = 0;
    ProcessResult result;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = Contents(out);
    result.err = Contents(err);
    return result;
}

testing::AssertionResult EndedSaying(const ProcessResult& run, int status, const std::string& said) {
    if (run.exitCode == status && run.err.find(said) != std::string::npos) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "exit status " << run.exitCode << " (not " << status << "), stderr:\n"
                                       << run.err << "(looked for: " << said << ")";
}

}  // namespace ravik::test
