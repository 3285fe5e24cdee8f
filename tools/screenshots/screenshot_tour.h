#pragma once
// The screenshot tour (ravik-screenshots --tour DIR): the program
// photographs its own windows in a few states (the
// tiled tables of the open file, marked and hidden rows, the alloy grade
// check, a "Fit" sized table, the quick buttons enlarged, the help window and
// the about box), writes PNG files there and ends without saving anything.

#include <QString>

namespace ravik {

class FrameWindow;
struct Program;

void StartScreenshotTour(FrameWindow& frame, Program& program, const QString& directory);

}  // namespace ravik
