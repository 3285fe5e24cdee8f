// The ravik executable: the desktop program, or a headless subcommand.

#include <QApplication>

#include <clocale>

#include "app/frame_window.h"
#include "app/subcommands.h"

int main(int argc, char** argv) {
    if (ravik::IsSubcommandCall(argc, argv)) return ravik::RunSubcommand(argc, argv);

    QApplication application(argc, argv);
    // Qt takes the user's locale for everything; numbers in files and on
    // screen are the system's own "%5.2f" forms with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    ravik::FrameWindow frame;
    frame.showMaximized();
    return QApplication::exec();
}
