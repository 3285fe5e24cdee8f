#include "ui/frame/subcommand_gui.h"

#include <clocale>

namespace ravik {

SubcommandGui::SubcommandGui() {
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application_.emplace(argc_, argv_);
    }
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace ravik
