#pragma once
// Starting the desktop program: the Qt application, the frame on the settings,
// the readings file named on the command line, then the event loop.

#include <functional>

namespace ravik {

class FrameWindow;
struct Program;

// Called once the frame is shown and the named file opened, before the event
// loop runs (the screenshot tool hangs its tour here).
using FrameShown = std::function<void(FrameWindow& frame, Program& program)>;

int RunDesktop(int argc, char** argv, const FrameShown& shown = {});

}  // namespace ravik
