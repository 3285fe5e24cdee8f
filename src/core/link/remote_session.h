#pragma once
// Remote control of the analyzer: the baud search that finds it, the
// one-byte requests of the buttons and polls, the receiver that frames its
// replies (each begins with the code it answers and ends with 0x1A; binary
// replies are recognised by their exact length), the reply handlers and
// AutoStart. The "Remote Control" dialog drives tick() from a 10 ms timer,
// calls the button actions and shows the events.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/link/baud_probe.h"
#include "core/link/dialog_events.h"
#include "core/link/remote_displays.h"
#include "core/link/serial_line.h"

namespace ravik {

class Clock;
class Prompter;

inline constexpr int kRemoteTickMillis = 10;

// The request and reply codes the receiver knows (127 to 165, and 176).
enum RemoteCode : uint8_t {
    R_BEGIN_COMMANDS = 127,
    R_DOWN_ARROW = 128,
    R_UP_ARROW = 129,
    R_ENTER_S = 130,
    R_ENTER_M = 131,
    R_ENTER_L = 132,
    R_TOGGLE_SPECTRA = 133,
    R_TOGGLE_WSPECTRA = 134,
    R_TOGGLE_REGIONS = 135,
    R_TOGGLE_WAIT = 136,
    R_TOGGLE_DEBUG = 137,
    R_TOGGLE_ELEMENT = 138,
    R_START_MEAS = 139,
    R_STOP_MEAS = 140,
    R_WHAT_SCREEN = 141,
    R_REFRESH_SCREEN_BIT = 142,
    R_DUMP_SCREEN_TEXT = 143,
    R_DUMP_SCREEN_BIT = 144,
    R_DUMP_DATA_NOW = 145,
    R_REFRESH_SPECTRA_ASK = 146,
    R_REFRESH_WSPECTRA_ASK = 147,
    R_DUMP_SPECTRA_NOW = 148,
    R_DUMP_WSPECTRA_NOW = 149,
    R_DUMP_REGIONS_NOW = 150,
    R_GET_ESCALE = 151,
    R_GET_EZERO = 152,
    R_GET_TEMPSET = 153,
    R_GET_STATUS = 154,
    R_GET_INVERSE = 155,
    R_GET_PURE = 156,
    R_GET_AIR = 157,
    R_GET_CALFACT = 158,
    R_SET_BAUD = 159,
    R_SET_ESCALE = 160,
    R_SET_EZERO = 161,
    R_SET_TEMPSET = 162,
    R_SET_SHAPE = 163,
    R_FASTDUMP = 164,
    R_MAIN_MENU = 165,
    R_END_COMMANDS = 176,
};
// The request that precedes Get Data's 145 (with the parameter 1); it has no name.
inline constexpr uint8_t kDataSelect = 167;

// The code's name, or nothing for a byte that is not a known code.
std::optional<const char*> RemoteCodeName(uint8_t code);

// pendingFlags: one flag per kind of request awaiting its reply.
namespace pending {
inline constexpr uint32_t kScreenDump = 0x1;
inline constexpr uint32_t kData = 0x10;
inline constexpr uint32_t kRegions = 0x100;
inline constexpr uint32_t kSpectrumSignature = 0x1000;
inline constexpr uint32_t kSecondSpectrumSignature = 0x10000;
inline constexpr uint32_t kSpectrumDump = 0x100000;
inline constexpr uint32_t kStatus = 0x10000000;
}  // namespace pending

// Controls of the remote dialog "REMOTEDIALOGBOX".
namespace remote_control {
inline constexpr int kUp = 417;
inline constexpr int kDown = 418;
inline constexpr int kClear = 419;
inline constexpr int kExit = 2;
inline constexpr int kBaudList = 1205;
inline constexpr int kScreenCheck = 314;
inline constexpr int kSpectraCheck = 315;
inline constexpr int kPassFailCheck = 319;
inline constexpr int kStart = 3;
inline constexpr int kStop = 4;
inline constexpr int kAutoStart = 7;
inline constexpr int kMeasTime = 1237;
inline constexpr int kNumRepeat = 1238;
inline constexpr int kLandscape = 1203;  // landscape screen, or the regions text
inline constexpr int kPortrait = 1207;   // portrait screen, or the status text
inline constexpr int kSpectrum = 1204;
inline constexpr int kAlloyList = 1239;
inline constexpr int kPassFail = 1209;
inline constexpr int kGradeName = 2209;      // the identified grade, beside the pass/fail picture
inline constexpr int kStatusCaption = 2207;  // says what the status text's time is
inline constexpr int kDiagnostic = 1206;
inline constexpr int kEzero = 1226;
inline constexpr int kEscale = 1229;
inline constexpr int kTempset = 1232;
// The caption over the status text: its time is the analyzer's clock at
// its reply, not a running clock.
inline constexpr const char* kStatusCaptionText = "Status as of the analyzer's last status reply";
}  // namespace remote_control

// The longest reply: a second spectrum of the 1000 channels asked for.
inline constexpr size_t kReplyBufferSize = 4 * 1000 + kSecondSpectrumHeaderBytes;

class RemoteSession {
public:
    enum class Phase { Idle, Searching, Connected, ChangingBaud, Ended };

    // config gives the device; the search starts at 9.6K whatever its baud
    // index, and the configured index is never changed.
    RemoteSession(SerialLine& line, Prompter& prompter, Clock& clock, SerialPortConfig config);

    // Opening the dialog: starts the baud search.
    void start();
    // One timer tick: the search, or the poll and the receiver.
    void tick();

    // Buttons and inputs.
    void up();     // sends 128
    void down();   // sends 129
    void clear();  // sends 130
    void startMeasurement();
    void stopMeasurement();
    void autoStart(const std::string& measTimeText, const std::string& numRepeatText);
    void getData();
    void changeBaud(int index);
    void setScreenPolling(bool on) { screenPolling_ = on; }
    void setSpectraPolling(bool on) { spectraPolling_ = on; }
    void setPassFailPolling(bool on) { passFailPolling_ = on; }
    // The alloy selected in the list (the expected alloy), or none.
    void selectAlloy(std::optional<std::string> name) { selectedAlloy_ = std::move(name); }
    // Asks for the status record and the second spectrum's signature.
    void requestStatus();
    void requestSecondSpectrumSignature();
    // Exit: closes the port; the dialog ends with result 0.
    void exit();

    Phase phase() const { return phase_; }
    // The rate in use: the configured index until the search found the analyzer's.
    int baudIndex() const { return baudIndex_; }
    uint8_t currentReply() const { return currentReply_; }
    uint32_t pendingFlags() const { return pendingFlags_; }
    int pollTicks() const { return pollTicks_; }
    bool autoStartRunning() const { return autoStart_.running; }
    const AlloyNameList& alloyNames() const { return alloyNames_; }
    std::vector<DialogEvent> takeEvents() { return events_.take(); }

private:
    struct AutoStart {
        bool running = false;
        double measTime = 0.0;
        int repeatCount = 0;
        int repeatsDone = 0;
        std::optional<int64_t> pauseStartedAt;  // whole seconds; the pause between repeats
    };

    int pollLimit() const { return 50 / (baudIndex_ + 1); }
    int replyTimeLimit() const { return 500 / (baudIndex_ + 1); }
    bool connected() const { return phase_ == Phase::Connected; }
    void connect(int index);
    void openAtBaudIndex();
    void finishBaudChange();
    void endSession(int result);

    void poll();
    void receive();
    // Takes one received byte; false when the rest of what was read must be dropped.
    bool consume(uint8_t byte);
    void handleReply();
    void completeReply();
    void resetReceiver();
    void showDiagnostic();

    void send(std::initializer_list<uint8_t> bytes);
    void requestScreenSignature();
    void requestRegions();
    void button3();
    void resumeAutoStart();
    void checkAutoStart(const std::string& regions);
    void setEditsEnabled(bool enabled);
    void setBaudListEnabled(bool enabled);
    void setAlloyListEnabled(bool enabled);

    void showScreen(const ScreenDump& dump);
    void showMeasurementData(const std::string& text);
    void compareSignature(std::optional<int32_t>& stored, std::optional<int32_t> received,
                          std::initializer_list<uint8_t> dumpRequest, uint32_t dumpFlag);

    SerialLine& line_;
    Prompter& prompter_;
    Clock& clock_;
    SerialPortConfig config_;
    BaudProbe probe_;
    Phase phase_ = Phase::Idle;
    int baudIndex_ = 0;
    std::optional<int64_t> baudChangeStartedAt_;

    uint8_t currentReply_ = R_END_COMMANDS;
    std::vector<uint8_t> reply_;
    uint8_t lastByte_ = 0;
    bool receiverReset_ = false;
    uint32_t pendingFlags_ = 0;
    int pollTicks_ = 0;
    int collectTicks_ = 0;   // ticks since the current reply began
    int quietTicks_ = 0;     // ticks since the last byte arrived
    int64_t replyStartedMillis_ = 0;
    double secondSpectrumMillis_ = 0.0;
    int secondSpectrumCount_ = 0;

    bool screenPolling_ = false;
    bool spectraPolling_ = false;
    bool passFailPolling_ = false;
    std::optional<bool> baudListEnabled_;
    std::optional<bool> alloyListEnabled_;
    std::optional<int32_t> screenSignature_;
    std::optional<int32_t> spectrumSignature_;
    std::optional<int32_t> secondSpectrumSignature_;
    bool landscape_ = true;
    AlloyNameList alloyNames_;
    std::optional<std::string> selectedAlloy_;
    AutoStart autoStart_;
    DialogEvents events_;
};

}  // namespace ravik
