#include "screenshots/first_frame_probe.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace ravik {

namespace {

// Waits for the first paint of any widget (the frame's children are painted
// in the same pass as the frame); the time is taken when the event loop next
// runs, after the painted frame has been handed to the display.
class FirstFrameProbe final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first frame %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

void EndAfterFirstFrame(QWidget& frame) {
    qApp->installEventFilter(new FirstFrameProbe(&frame));
}

}  // namespace ravik
