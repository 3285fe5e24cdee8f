#pragma once
// The one offscreen QApplication of a desktop benchmark, made on first use.

#include <QApplication>

namespace ravik {

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "ravik_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)application;
}

}  // namespace ravik
