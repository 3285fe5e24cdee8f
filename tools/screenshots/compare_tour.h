#pragma once
// The screenshot tour's pictures of the spectrum compare window: eight
// readings overlaid, a zoomed region with two elements' line markers, and
// the difference view. Kept apart from the tour's other windows so the
// comparison's types stay in their own unit.

#include <QString>
#include <functional>

class QWidget;

namespace ravik {

class FrameWindow;
struct Program;

using TourStep = std::function<void()>;
void AddCompareSteps(const std::function<void(TourStep)>& add,
                     const std::function<void(QWidget*, const QString&)>& save, FrameWindow& frame, Program& program);

}  // namespace ravik
