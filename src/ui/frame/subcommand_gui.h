#pragma once
// The Qt application a subcommand that draws with Qt runs in: fonts, PDF
// pages and pictures need one, never a display. One that already runs (the
// desktop program's own, or a test's) is used as it is.

#include <QGuiApplication>
#include <optional>

namespace ravik {

class SubcommandGui {
public:
    // Starts an offscreen application when none runs, and prints numbers
    // with a decimal point whatever the user's locale.
    SubcommandGui();

private:
    int argc_ = 1;  // QGuiApplication keeps a reference to it
    char name_[6] = "ravik";
    char* argv_[2] = {name_, nullptr};
    std::optional<QGuiApplication> application_;
};

}  // namespace ravik
