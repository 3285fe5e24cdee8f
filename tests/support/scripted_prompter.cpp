#include "support/scripted_prompter.h"

namespace ravik::test {

Answer ScriptedPrompter::ask(const std::string& text, const std::string& caption, Buttons buttons,
                             Icon icon) {
    const bool okFirst = buttons == Buttons::Ok || buttons == Buttons::OkCancel;
    return askWithDefault(text, caption, buttons, icon, okFirst ? Answer::Ok : Answer::Yes);
}

Answer ScriptedPrompter::askWithDefault(const std::string& text, const std::string& caption, Buttons buttons,
                                        Icon icon, Answer defaultAnswer) {
    boxes_.push_back({text, caption, buttons, icon, defaultAnswer});
    if (!answers_.empty()) {
        Answer next = answers_.front();
        answers_.pop_front();
        return next;
    }
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel: return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoCancel: return Answer::Yes;
    }
    return Answer::Ok;
}

int ScriptedPrompter::choose(const ChoiceDialog& dialog) {
    dialogs_.push_back(dialog);
    if (choices_.empty()) return kCancelId;
    int next = choices_.front();
    choices_.pop_front();
    return next;
}

std::vector<std::string> ScriptedPrompter::captions() const {
    std::vector<std::string> result;
    for (const ShownBox& box : boxes_) result.push_back(box.caption);
    return result;
}

std::vector<std::string> ScriptedPrompter::shown() const {
    std::vector<std::string> result;
    for (const ShownBox& box : boxes_) result.push_back(box.caption + ": " + box.text);
    return result;
}

}  // namespace ravik::test
