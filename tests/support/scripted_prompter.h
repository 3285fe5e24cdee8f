#pragma once
// A Prompter for tests: records every box and choice dialog and answers from
// a script, so a test can say "answer No to the first question" and then
// check the exact texts and captions the code showed.

#include <deque>
#include <string>
#include <vector>

#include "core/platform/prompter.h"

namespace ravik::test {

struct ShownBox {
    std::string text;
    std::string caption;
    Buttons buttons;
    Icon icon;
    Answer defaultAnswer;  // what Enter answers: the first button unless the asker chose one
};

class ScriptedPrompter : public Prompter {
public:
    // Answers used once the script is exhausted: Ok/Yes-style boxes answer
    // with their first button, choices with Cancel.
    void queueAnswer(Answer next) { answers_.push_back(next); }
    void queueChoice(int id) { choices_.push_back(id); }

    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;
    int choose(const ChoiceDialog& dialog) override;
    Answer askWithDefault(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                          Answer defaultAnswer) override;

    const std::vector<ShownBox>& boxes() const { return boxes_; }
    const std::vector<ChoiceDialog>& dialogs() const { return dialogs_; }
    std::vector<std::string> captions() const;
    // Every box shown so far as "CAPTION: text", to compare in one line.
    std::vector<std::string> shown() const;
    void clear() { boxes_.clear(); dialogs_.clear(); }

private:
    std::deque<Answer> answers_;
    std::deque<int> choices_;
    std::vector<ShownBox> boxes_;
    std::vector<ChoiceDialog> dialogs_;
};

}  // namespace ravik::test
