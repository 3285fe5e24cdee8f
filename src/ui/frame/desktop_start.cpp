#include "ui/frame/desktop_start.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "ui/frame/frame_window.h"
#include "core/shell/program.h"
#include "ui/platform/qt_file_chooser.h"
#include "ui/platform/qt_prompter.h"
#include "ui/common/qt_text.h"

namespace {

// Qt's messages while it connects to the display: held back, because Qt ends
// the process with several lines of platform-plugin text when there is no
// display; the program says that in one line instead.
std::vector<std::pair<QtMsgType, QString>> heldMessages;

void HoldStartMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("ravik: no display for the desktop program (is DISPLAY set?); "
                   "the subcommands run without one (ravik --help)\n", stderr);
        std::_Exit(1);
    }
    heldMessages.emplace_back(type, message);
}

void PassHeldMessages(QtMessageHandler handler) {
    for (const auto& [type, message] : heldMessages) handler(type, QMessageLogContext(), message);
    heldMessages.clear();
}

}  // namespace

namespace ravik {

int RunDesktop(int argc, char** argv, const FrameShown& shown) {
    const QtMessageHandler qtHandler = qInstallMessageHandler(HoldStartMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    PassHeldMessages(qtHandler);
    // Qt takes the user's locale for everything; numbers in files and on
    // screen are the system's own "%5.2f" forms with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("RAVIK"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/ORVEXBLAND.png")));

    Program program;
    QtPrompter prompter;
    QtFileChooser fileChooser(program, prompter);
    FrameWindow frame(program, prompter, fileChooser);
    // The settings could not be read (the user was told): the program ends, as a failure.
    if (!frame.settingsRead()) return 1;
    frame.showWhereItWas();

    // A readings file named on the command line opens as File Open would.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        frame.openFile(PathFromQString(QFileInfo(arguments.at(1)).absoluteFilePath()));
    }
    if (shown) shown(frame, program);
    return QApplication::exec();
}

}  // namespace ravik
