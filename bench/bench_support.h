#pragma once
// What the benchmarks share: a prompter that answers every question at once,
// and the offscreen Qt application of the desktop benchmarks.

#include <string>

#include "platform/prompter.h"

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

}  // namespace ravik
