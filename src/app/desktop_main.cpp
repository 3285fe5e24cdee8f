// ravik-desktop: the desktop program. The ravik executable starts it when it
// is given no subcommand; the subcommands run without Qt.

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "app/first_frame_probe.h"
#include "app/frame_window.h"
#include "desktop/program.h"
#include "app/qt_file_chooser.h"
#include "app/print_command.h"
#include "app/qt_prompter.h"
#include "desktop/qt_text.h"
#include "app/screenshot_tour.h"

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

int main(int argc, char** argv) {
    // ravik print, which the ravik executable hands on to this one.
    const std::vector<ravik::Subcommand> subcommands = ravik::AllSubcommands();
    if (ravik::IsSubcommandCall(argc, argv, subcommands)) return ravik::RunSubcommand(argc, argv, subcommands);

    const QtMessageHandler qtHandler = qInstallMessageHandler(HoldStartMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    PassHeldMessages(qtHandler);
    // Qt takes the user's locale for everything; numbers in files and on
    // screen are the system's own "%5.2f" forms with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("RAVIK"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/ORVEXBLAND.png")));

    ravik::Program program;
    ravik::QtPrompter prompter;
    ravik::QtFileChooser fileChooser(program, prompter);
    ravik::FrameWindow frame(program, prompter, fileChooser);
    if (!frame.settingsRead()) return 0;
    frame.showWhereItWas();

    // A readings file named on the command line opens as File Open would.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        frame.openFile(ravik::PathFromQString(QFileInfo(arguments.at(1)).absoluteFilePath()));
    }
    if (qEnvironmentVariableIsSet("RAVIK_FIRST_FRAME")) ravik::EndAfterFirstFrame(frame);
    if (qEnvironmentVariableIsSet("RAVIK_SCREENSHOTS")) {
        ravik::StartScreenshotTour(frame, program, qEnvironmentVariable("RAVIK_SCREENSHOTS"));
    }
    return QApplication::exec();
}
