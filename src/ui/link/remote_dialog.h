#pragma once
// The "Remote Control" dialog "REMOTEDIALOGBOX": a shell over RemoteSession.
// Its 10 ms timer drives the baud search, the polls and the receiver; the
// buttons call the session; the display boxes show the screen picture, the
// spectrum, the regions and status texts and the pass/fail picture with the
// identified grade's name beside it. On a small screen the dialog scrolls.

#include <QDialog>
#include <QTimer>

#include "core/link/remote_session.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace ravik {

class RemoteDialog : public QDialog {
    Q_OBJECT
public:
    RemoteDialog(SerialLine& line, Prompter& prompter, Clock& clock, const SerialPortConfig& config,
                 QWidget* parent = nullptr);

    // Starts the baud search and the timer.
    void start();
    void tick();

    // Buttons and inputs.
    void up();
    void down();
    void clearKey();
    void startMeasurement();
    void stopMeasurement();
    void autoStart();
    void changeBaud(int index);
    void selectAlloy();
    // "Exit" (and Escape, and closing the window): closes the port, result 0.
    void exitDialog();
    void reject() override { exitDialog(); }

    RemoteSession& session() { return session_; }
    QTimer& timer() { return timer_; }

private:
    QWidget* buildControls();
    QWidget* buildDisplays();
    // Sizes the dialog to its content, but never larger than the screen.
    void fitToScreen(const QWidget& content);
    void applyEvents();

    RemoteSession session_;
    QTimer timer_;
    QCheckBox* screenCheck_ = nullptr;
    QCheckBox* spectraCheck_ = nullptr;
    QCheckBox* passFailCheck_ = nullptr;
    QComboBox* baudList_ = nullptr;
    QLineEdit* measTime_ = nullptr;
    QLineEdit* numRepeat_ = nullptr;
    QListWidget* alloyList_ = nullptr;
};

}  // namespace ravik
