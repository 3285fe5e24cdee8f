// The ravik executable: the desktop program, or a headless subcommand.

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <clocale>

#include "app/frame_window.h"
#include "desktop/program.h"
#include "app/qt_file_chooser.h"
#include "app/qt_prompter.h"
#include "desktop/qt_text.h"
#include "app/screenshot_tour.h"
#include "app/subcommands.h"

int main(int argc, char** argv) {
    if (ravik::IsSubcommandCall(argc, argv)) return ravik::RunSubcommand(argc, argv);

    QApplication application(argc, argv);
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
    if (qEnvironmentVariableIsSet("RAVIK_SCREENSHOTS")) {
        ravik::StartScreenshotTour(frame, program, qEnvironmentVariable("RAVIK_SCREENSHOTS"));
    }
    return QApplication::exec();
}
