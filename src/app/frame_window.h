#pragma once
// The program's top-level window.

#include <QMainWindow>

namespace ravik {

// The program title (string 1028).
inline constexpr const char* kProgramTitle = "RAVIK 5.7d for Orvex QV";

class FrameWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit FrameWindow(QWidget* parent = nullptr);
};

}  // namespace ravik
