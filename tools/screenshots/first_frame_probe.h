#pragma once
// The start-up benchmark's probe (ravik-screenshots --first-frame): the
// program prints the monotonic clock (nanoseconds) once its frame has been
// drawn for the first time, and ends without saving anything. The benchmark
// compares that with the clock when it started the process.

class QWidget;

namespace ravik {

void EndAfterFirstFrame(QWidget& frame);

}  // namespace ravik
