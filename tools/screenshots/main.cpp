// ravik-screenshots: the desktop program with a hook for the pictures and the
// start-up benchmark; it is built beside the program and never shipped.
//   ravik-screenshots --tour DIR [FILE.qvr]    photographs the windows into DIR
//   ravik-screenshots --first-frame [FILE.qvr] prints when the frame was first drawn

#include <cstdio>
#include <cstring>
#include <vector>

#include "screenshots/first_frame_probe.h"
#include "screenshots/screenshot_tour.h"
#include "ui/common/qt_text.h"
#include "ui/frame/desktop_start.h"
#include "ui/frame/frame_window.h"

int main(int argc, char** argv) {
    const bool tour = argc >= 3 && std::strcmp(argv[1], "--tour") == 0;
    const bool firstFrame = argc >= 2 && std::strcmp(argv[1], "--first-frame") == 0;
    if (!tour && !firstFrame) {
        std::fputs("usage: ravik-screenshots --tour DIR [FILE.qvr] | --first-frame [FILE.qvr]\n", stderr);
        return 2;
    }
    // The desktop program sees its own name and the readings file only.
    const int skipped = tour ? 2 : 1;
    std::vector<char*> desktopArgs{argv[0]};
    desktopArgs.insert(desktopArgs.end(), argv + 1 + skipped, argv + argc);
    desktopArgs.push_back(nullptr);
    int desktopArgc = static_cast<int>(desktopArgs.size()) - 1;
    const char* tourFolder = tour ? argv[2] : nullptr;
    return ravik::RunDesktop(desktopArgc, desktopArgs.data(), [tourFolder](ravik::FrameWindow& frame, ravik::Program& program) {
        if (tourFolder != nullptr) {
            ravik::StartScreenshotTour(frame, program, ravik::PathToQString(tourFolder));
        } else {
            ravik::EndAfterFirstFrame(frame);
        }
    });
}
