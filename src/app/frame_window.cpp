#include "app/frame_window.h"

#include <QMdiArea>

namespace ravik {

FrameWindow::FrameWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("bland frame");
    setCentralWidget(new QMdiArea(this));
    // The caption after start-up: the title directly followed by the
    // no-file marker, without a blank before the dash.
    setWindowTitle(QString::fromLatin1(kProgramTitle) + QStringLiteral("-[File: <none>]"));
    resize(1024, 700);
}

}  // namespace ravik
