#include "core/platform/prompter.h"

#include <cstdio>

#include "core/platform/text1252.h"

namespace ravik {

namespace {
// One line per box: the text's line breaks are folded into " / ".
std::string OneLine(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') continue;
        if (c == '\n') {
            out += " / ";
        } else {
            out += c;
        }
    }
    return Cp1252ToUtf8(out);
}
}  // namespace

Answer StderrPrompter::ask(const std::string& text, const std::string& caption, Buttons buttons,
                           Icon /*icon*/) {
    std::fprintf(stderr, "%s: %s\n", Cp1252ToUtf8(caption).c_str(), OneLine(text).c_str());
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return questionAnswer_ == Answer::Yes ? Answer::Ok : Answer::Cancel;
        case Buttons::YesNo:
            return questionAnswer_ == Answer::Cancel ? Answer::No : questionAnswer_;
        case Buttons::YesNoCancel:
            return questionAnswer_;
    }
    return Answer::Cancel;
}

int StderrPrompter::choose(const ChoiceDialog& dialog) {
    std::fprintf(stderr, "%s: %s\n", Cp1252ToUtf8(dialog.title).c_str(),
                 OneLine(dialog.text).c_str());
    return choiceId_;
}

}  // namespace ravik
