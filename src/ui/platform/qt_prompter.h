#pragma once
// The desktop's Prompter: message boxes with the system's exact texts and
// captions, and small dialogs of labelled buttons for the choice dialogs.

#include "core/platform/prompter.h"

namespace ravik {

class QtPrompter final : public Prompter {
public:
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override;
    int choose(const ChoiceDialog& dialog) override;
    Answer askWithDefault(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                          Answer defaultAnswer) override;
};

}  // namespace ravik
