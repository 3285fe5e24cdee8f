#pragma once
// The data dump dialog "COMMDIALOGBOX" ("ORVEX Fast Data Dump"): a shell over
// DumpReceiver. Its 100 ms timer drives the receiver; Accept hands the
// finished dump to the caller, Discard ends the transfer with the store untouched.

#include <QDialog>
#include <QTimer>
#include <string>

#include "core/link/dump_receiver.h"

class QProgressBar;
class QPushButton;

namespace ravik {

class DumpDialog : public QDialog {
    Q_OBJECT
public:
    DumpDialog(SerialLine& line, Prompter& prompter, Settings& settings, std::string dumpPath,
               QWidget* parent = nullptr);

    // Creates the dump file, opens the port and starts the timer; false when
    // either failed (the messages were shown): the dialog is not to be run.
    bool start(const SerialPortConfig& config);
    // One timer tick.
    void tick();
    // "&Accept": once every reading is in, ends the dialog with result 1;
    // the caller then loads the dump with receiver().accept().
    void acceptDump();
    // "&Discard" (and Escape, and closing the window): asks, and on Yes ends
    // the dialog with result 0.
    void discardDump();
    void reject() override { discardDump(); }

    DumpReceiver& receiver() { return receiver_; }
    QTimer& timer() { return timer_; }

private:
    DumpReceiver receiver_;
    QTimer timer_;
    QProgressBar* progressBar_ = nullptr;  // the progress line's percentage, drawn
    QPushButton* accept_ = nullptr;
    bool acceptFocused_ = false;  // Accept was given the focus when it came on
};

}  // namespace ravik
