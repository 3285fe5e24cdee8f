#pragma once
// Message boxes and small choice dialogs, as the program asks them.
// The desktop answers with real dialogs, the subcommands on stderr with fixed
// answers, and tests with a scripted fake. Texts are the system's own bytes
// (Windows-1252); conversion for display happens behind the interface.

#include <string>
#include <utility>
#include <vector>

namespace ravik {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Stop, Question, Information, Exclamation };
enum class Answer { Ok, Cancel, Yes, No };

// A dialog that offers a set of push buttons and returns the id of the one
// pressed ("SAVEMARKED" with Marked / All / Un-Marked / Cancel, "Replace"
// with All / To End / Marked / Cancel, ...). Id 2 is always Cancel.
struct ChoiceButton {
    int id = 0;
    std::string label;
};
struct ChoiceDialog {
    std::string resource;  // the dialog's resource name, e.g. "SAVEMARKED"
    std::string title;     // window title, e.g. "Save Readings"
    std::string text;      // static text shown above the buttons (may be empty)
    std::vector<ChoiceButton> buttons;
    int defaultId = 0;     // the button Enter presses; 0: the first
};
inline constexpr int kCancelId = 2;

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
                       Icon icon) = 0;
    virtual int choose(const ChoiceDialog& dialog) = 0;
    // A question with a chosen default button (what Enter answers). Questions
    // whose other answer destroys work name the answer that keeps it; a
    // prompter with fixed answers has no default button and just asks.
    virtual Answer askWithDefault(const std::string& text, const std::string& caption, Buttons buttons,
                                  Icon icon, Answer defaultAnswer) {
        (void)defaultAnswer;
        return ask(text, caption, buttons, icon);
    }

    // Shorthands for the common boxes.
    void error(const std::string& text, const std::string& caption) {
        ask(text, caption, Buttons::Ok, Icon::Stop);
    }
    void notice(const std::string& text, const std::string& caption) {
        ask(text, caption, Buttons::Ok, Icon::Information);
    }
};

// The prompter of the headless subcommands: every box is written to stderr as
// "CAPTION: text"; questions get the answer given at construction (No unless
// said otherwise, so nothing is ever replaced or lost by default), choice
// dialogs get Cancel unless a default id is given.
class StderrPrompter final : public Prompter {
public:
    explicit StderrPrompter(Answer questionAnswer = Answer::No, int choiceId = kCancelId)
        : questionAnswer_(questionAnswer), choiceId_(choiceId) {}
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;
    int choose(const ChoiceDialog& dialog) override;

private:
    Answer questionAnswer_;
    int choiceId_;
};

}  // namespace ravik
