#pragma once
// A prompter for fuzz targets: every box is answered No or Cancel, silently.

#include "core/platform/prompter.h"

namespace ravik::fuzz {

class QuietPrompter final : public Prompter {
public:
    Answer ask(const std::string&, const std::string&, Buttons buttons, Icon) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    int choose(const ChoiceDialog&) override { return kCancelId; }
};

}  // namespace ravik::fuzz
