#pragma once
// What the benchmarks share: a prompter that answers every question at once,
// and a 5100-reading file of every mode.

#include <cstdint>
#include <filesystem>
#include <fstream>
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

// The path of a 5100-reading file of all modes in the temporary folder,
// written on first use.
inline const std::string& FullReadingsFile() {
    static const std::string path = [] {
        sample::SampleOptions options;
        options.counts = {1500, 1000, 1000, 1000, 600};
        options.seed = 5100;
        const std::vector<uint8_t> bytes = sample::MakeReadingsFile(options);
        const std::string file = (std::filesystem::temp_directory_path() / "ravik-bench-5100.qvr").string();
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
        return file;
    }();
    return path;
}

}  // namespace ravik
