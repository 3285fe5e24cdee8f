#include "core/link/remote_session.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/platform/clock.h"
#include "core/platform/format_text.h"
#include "core/platform/number_text.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

constexpr int kBaudChangeWaitSeconds = 2;
constexpr int kRepeatPauseSeconds = 2;

bool IsLongDump(uint8_t code) {
    return code == R_DUMP_SCREEN_BIT || code == R_DUMP_SPECTRA_NOW || code == R_DUMP_WSPECTRA_NOW;
}

constexpr const char* kCodeNames[] = {
    "R_BEGIN_COMMANDS",     "R_DOWN_ARROW",        "R_UP_ARROW",           "R_ENTER_S",
    "R_ENTER_M",            "R_ENTER_L",           "R_TOGGLE_SPECTRA",     "R_TOGGLE_WSPECTRA",
    "R_TOGGLE_REGIONS",     "R_TOGGLE_WAIT",       "R_TOGGLE_DEBUG",       "R_TOGGLE_ELEMENT",
    "R_START_MEAS",         "R_STOP_MEAS",         "R_WHAT_SCREEN",        "R_REFRESH_SCREEN_BIT",
    "R_DUMP_SCREEN_TEXT",   "R_DUMP_SCREEN_BIT",   "R_DUMP_DATA_NOW",      "R_REFRESH_SPECTRA_ASK",
    "R_REFRESH_WSPECTRA_ASK", "R_DUMP_SPECTRA_NOW", "R_DUMP_WSPECTRA_NOW", "R_DUMP_REGIONS_NOW",
    "R_GET_ESCALE",         "R_GET_EZERO",         "R_GET_TEMPSET",        "R_GET_STATUS",
    "R_GET_INVERSE",        "R_GET_PURE",          "R_GET_AIR",            "R_GET_CALFACT",
    "R_SET_BAUD",           "R_SET_ESCALE",        "R_SET_EZERO",          "R_SET_TEMPSET",
    "R_SET_SHAPE",          "R_FASTDUMP",          "R_MAIN_MENU",
};

}  // namespace

std::optional<const char*> RemoteCodeName(uint8_t code) {
    if (code == R_END_COMMANDS) return "R_END_COMMANDS";
    if (code >= R_BEGIN_COMMANDS && code <= R_MAIN_MENU) return kCodeNames[code - R_BEGIN_COMMANDS];
    return std::nullopt;
}

RemoteSession::RemoteSession(SerialLine& line, Prompter& prompter, Clock& clock, SerialPortConfig config)
    : line_(line),
      prompter_(prompter),
      clock_(clock),
      config_(config),
      probe_(line, prompter, clock, config),
      baudIndex_(IsBaudIndex(config.baudIndex) ? config.baudIndex : 0) {}

// ---- Opening, baud changes and Exit ------------------------------------------

void RemoteSession::start() { phase_ = Phase::Searching; }

void RemoteSession::tick() {
    switch (phase_) {
        case Phase::Idle:
        case Phase::Ended:
            return;
        case Phase::Searching:
            switch (probe_.tick()) {
                case BaudProbe::Status::Searching: return;
                case BaudProbe::Status::Found: connect(probe_.foundIndex()); return;
                case BaudProbe::Status::NotFound:
                case BaudProbe::Status::OpenFailed: endSession(1); return;
            }
            return;
        case Phase::ChangingBaud:
            if (clock_.seconds() - *baudChangeStartedAt_ >= kBaudChangeWaitSeconds) finishBaudChange();
            return;
        case Phase::Connected:
            if (autoStart_.pauseStartedAt && clock_.seconds() - *autoStart_.pauseStartedAt >= kRepeatPauseSeconds) {
                resumeAutoStart();
            }
            poll();
            receive();
            return;
    }
}

void RemoteSession::connect(int index) {
    baudIndex_ = index;
    events_.push(SelectEvent{remote_control::kBaudList, baudIndex_});
    openAtBaudIndex();
}

// Opens the port at the current rate with an empty line and an idle receiver;
// a port that cannot be opened ends the session.
void RemoteSession::openAtBaudIndex() {
    config_.baudIndex = baudIndex_;
    if (!line_.open(config_, prompter_)) {
        endSession(1);
        return;
    }
    line_.purge(PurgeReceive | PurgeTransmit);
    currentReply_ = R_END_COMMANDS;
    reply_.clear();
    pendingFlags_ = 0;
    phase_ = Phase::Connected;
}

void RemoteSession::changeBaud(int index) {
    if (!connected() || index == baudIndex_) return;
    baudIndex_ = IsBaudIndex(index) ? index : 0;
    events_.push(TextEvent{remote_control::kDiagnostic,
                           FormatText("Baud Rate %u", kBaudRates[static_cast<size_t>(baudIndex_)].bitsPerSecond)});
    send({R_SET_BAUD, static_cast<uint8_t>(baudIndex_)});
    baudChangeStartedAt_ = clock_.seconds();
    phase_ = Phase::ChangingBaud;
}

void RemoteSession::finishBaudChange() {
    line_.close();
    // Unlike the opening, a reopen that fails ends the session: without a
    // port there is nothing left to control.
    openAtBaudIndex();
}

void RemoteSession::exit() {
    if (line_.isOpen() && !line_.close()) prompter_.error("Could not close port", "COMM ERROR 2");
    probe_.cancel();
    phase_ = Phase::Ended;
}

void RemoteSession::endSession(int result) {
    line_.close();
    phase_ = Phase::Ended;
    events_.push(EndEvent{result});
}

// ---- Polling ---------------------------------------------------------------

void RemoteSession::poll() {
    if (pollTicks_ <= pollLimit() || IsLongDump(currentReply_)) {
        ++pollTicks_;
        return;
    }
    bool baudListFree = true;
    if (screenPolling_) {
        baudListFree = false;
        if ((pendingFlags_ & pending::kScreenDump) == 0) requestScreenSignature();
    } else {
        screenSignature_.reset();
        pendingFlags_ &= ~pending::kScreenDump;
    }
    if (spectraPolling_) {
        baudListFree = false;
        if ((pendingFlags_ & pending::kSpectrumSignature) == 0) {
            pendingFlags_ |= pending::kSpectrumSignature;
            send({R_REFRESH_SPECTRA_ASK});
        }
    } else {
        spectrumSignature_.reset();
        pendingFlags_ &= ~pending::kSpectrumSignature;
    }
    if (passFailPolling_) {
        baudListFree = false;
        if ((pendingFlags_ & pending::kData) == 0) getData();
    } else {
        pendingFlags_ &= ~pending::kData;
        setAlloyListEnabled(false);
    }
    setBaudListEnabled(baudListFree);
    pollTicks_ = 0;
}

// ---- Receiver --------------------------------------------------------------

void RemoteSession::receive() {
    const LineStatus status = line_.clearCommError();
    if (status.inQueue == 0) {
        // An analyzer that stopped answering leaves neither a half reply nor
        // requests that are never asked again.
        if (currentReply_ != R_END_COMMANDS && ++collectTicks_ > replyTimeLimit()) resetReceiver();
        if (++quietTicks_ > replyTimeLimit() && pendingFlags_ != 0) {
            pendingFlags_ = 0;
            quietTicks_ = 0;
            if (autoStart_.running && !autoStart_.pauseStartedAt) requestRegions();
        }
        return;
    }
    quietTicks_ = 0;
    std::vector<uint8_t> bytes(std::min<size_t>(status.inQueue, kReplyBufferSize + 1));
    const ReadResult got = line_.read(bytes);
    if (!got.ok) return;
    bool consumedAll = true;
    for (size_t i = 0; i < got.count && consumedAll; ++i) consumedAll = consume(bytes[i]);
    if (currentReply_ != R_END_COMMANDS) {
        ++collectTicks_;
        showDiagnostic();
    }
}

bool RemoteSession::consume(uint8_t byte) {
    receiverReset_ = false;
    if (currentReply_ == R_END_COMMANDS) {
        reply_.clear();
        if (!RemoteCodeName(byte)) {
            events_.push(TextEvent{remote_control::kDiagnostic, FormatText("UNK %d", byte)});
            line_.purge(PurgeReceive);
            return false;
        }
        currentReply_ = byte;
        collectTicks_ = 0;
        replyStartedMillis_ = clock_.milliseconds();
        return true;
    }
    if (reply_.size() == kReplyBufferSize) {
        resetReceiver();  // longer than any reply: never overrun the buffer
        return false;
    }
    reply_.push_back(byte);
    lastByte_ = byte;
    if (byte == kReplyTerminator) {
        showDiagnostic();
        handleReply();
    }
    // A reset purged the line: what else was read goes with it.
    return !receiverReset_;
}

void RemoteSession::showDiagnostic() {
    const double average = secondSpectrumCount_ == 0 ? 0.0 : secondSpectrumMillis_ / secondSpectrumCount_;
    std::string text = FormatText("%s\r\nlastChar = %d total = %d\r\nPending=0x%08X\r\n",
                                  RemoteCodeName(currentReply_).value_or("UNK"), lastByte_,
                                  static_cast<int>(reply_.size()), pendingFlags_);
    // The average as "%f" writes it, at a fraction of printf's cost: this
    // text is made after every reply.
    char averageText[kNumberTextBuffer];
    text += FixedText(averageText, average, 0, 6);
    events_.push(TextEvent{remote_control::kDiagnostic, std::move(text)});
}

void RemoteSession::completeReply() {
    currentReply_ = R_END_COMMANDS;
    reply_.clear();
}

void RemoteSession::resetReceiver() {
    receiverReset_ = true;
    completeReply();
    pendingFlags_ = 0;
    line_.purge(PurgeReceive | PurgeTransmit);
}

void RemoteSession::handleReply() {
    const ReplyBytes payload(reply_);
    const size_t length = payload.size();
    // A binary reply shorter than its length waits for the rest (its 0x1A
    // was data) until the reply time-out; a longer one is dropped.
    const auto exactLength = [&](size_t wanted) {
        if (length == wanted) return true;
        if (length > wanted || pollTicks_ > replyTimeLimit()) resetReceiver();
        return false;
    };
    switch (currentReply_) {
        case R_REFRESH_SCREEN_BIT:
            if (length < 9) return;
            compareSignature(screenSignature_, SignatureOf(payload), {R_DUMP_SCREEN_BIT}, pending::kScreenDump);
            break;
        case R_DUMP_SCREEN_TEXT:
            if (length >= 2) landscape_ = payload[0] != 0;
            events_.push(TextEvent{remote_control::kDiagnostic, ReplyText(payload.subspan(1))});
            break;
        case R_DUMP_SCREEN_BIT:
            if (!exactLength(kScreenReplyLength)) return;
            showScreen(*DecodeScreenDump(payload));
            pendingFlags_ &= ~pending::kScreenDump;
            break;
        case R_DUMP_DATA_NOW:
            showMeasurementData(ReplyText(payload));
            pendingFlags_ &= ~pending::kData;
            break;
        case R_REFRESH_SPECTRA_ASK:
            if (length < 9) return;
            compareSignature(spectrumSignature_, SignatureOf(payload), {R_DUMP_SPECTRA_NOW, 0, 0, 1, 244},
                             pending::kSpectrumDump);
            pendingFlags_ &= ~pending::kSpectrumSignature;
            break;
        case R_REFRESH_WSPECTRA_ASK:
            if (length < 9) return;
            compareSignature(secondSpectrumSignature_, SignatureOf(payload), {R_DUMP_WSPECTRA_NOW, 0, 0, 3, 232},
                             pending::kSpectrumDump);
            pendingFlags_ &= ~pending::kSecondSpectrumSignature;
            break;
        case R_DUMP_SPECTRA_NOW:
            if (!exactLength(SpectrumReplyLength(payload, kSpectrumHeaderBytes).value_or(SIZE_MAX))) return;
            events_.push(PlotEvent{remote_control::kSpectrum, *DecodeSpectrum(payload)});
            pendingFlags_ &= ~pending::kSpectrumDump;
            break;
        case R_DUMP_WSPECTRA_NOW: {
            if (!exactLength(SpectrumReplyLength(payload, kSecondSpectrumHeaderBytes).value_or(SIZE_MAX))) return;
            const SecondSpectrum second = *DecodeSecondSpectrum(payload);
            events_.push(TextEvent{remote_control::kEzero, second.ezeroText});
            events_.push(TextEvent{remote_control::kEscale, second.escaleText});
            events_.push(PlotEvent{remote_control::kSpectrum, second.plot});
            secondSpectrumMillis_ += static_cast<double>(clock_.milliseconds() - replyStartedMillis_);
            ++secondSpectrumCount_;
            pendingFlags_ &= ~pending::kSpectrumDump;
            break;
        }
        case R_DUMP_REGIONS_NOW: {
            const std::string regions = ReplyText(payload);
            events_.push(TextEvent{remote_control::kLandscape, regions});
            pendingFlags_ &= ~pending::kRegions;
            completeReply();
            checkAutoStart(regions);
            return;
        }
        case R_GET_ESCALE:
        case R_GET_EZERO: {
            const std::optional<std::string> value = MillionthsText(payload);
            if (!value) return;
            events_.push(TextEvent{currentReply_ == R_GET_ESCALE ? remote_control::kEscale : remote_control::kEzero, *value});
            break;
        }
        case R_GET_TEMPSET: {
            const std::optional<std::string> value = HundredthsText(payload);
            if (!value) return;
            events_.push(TextEvent{remote_control::kTempset, *value});
            break;
        }
        case R_GET_STATUS: {
            const std::optional<std::string> status = StatusText(payload);
            if (!status) return;
            events_.push(TextEvent{remote_control::kPortrait, *status});
            events_.push(TextEvent{remote_control::kStatusCaption, remote_control::kStatusCaptionText});
            pendingFlags_ &= ~pending::kStatus;
            break;
        }
        case R_GET_PURE:
            if (length < 3 || length < 8 * size_t{payload[1]} + 3) return;
            break;
        default:
            break;  // a known code without a handler is dropped at its terminator
    }
    completeReply();
}

void RemoteSession::compareSignature(std::optional<int32_t>& stored, std::optional<int32_t> received,
                                     std::initializer_list<uint8_t> dumpRequest, uint32_t dumpFlag) {
    if (stored == received) return;
    stored = received;
    send(dumpRequest);
    pendingFlags_ |= dumpFlag;
    pollTicks_ = 0;
}

// ---- Displays --------------------------------------------------------------

void RemoteSession::showScreen(const ScreenDump& dump) {
    if (dump.landscape) {
        if (!landscape_) events_.push(FillEvent{remote_control::kPortrait, Shade::LightGrey});
        events_.push(PictureEvent{remote_control::kLandscape, dump.picture});
    } else {
        if (landscape_) events_.push(FillEvent{remote_control::kLandscape, Shade::Grey});
        events_.push(PictureEvent{remote_control::kPortrait, dump.picture});
        // The portrait screen replaces the status text and its caption.
        events_.push(TextEvent{remote_control::kStatusCaption, ""});
    }
    landscape_ = dump.landscape;
}

void RemoteSession::showMeasurementData(const std::string& text) {
    setAlloyListEnabled(true);
    const std::vector<std::string> names = MeasurementNames(text);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) continue;
        if (i == 0) {
            events_.push(TextEvent{remote_control::kGradeName, names[i]});
            // Without an expected alloy there is nothing to pass or fail.
            // Pass only for exactly the selected name; the list itself
            // treats names differing in case as one.
            if (selectedAlloy_) {
                events_.push(BitmapEvent{remote_control::kPassFail, names[i] == *selectedAlloy_ ? "Pass" : "Fail"});
            }
        }
        alloyNames_.add(names[i]);
    }
    int selected = -1;
    if (selectedAlloy_) selected = static_cast<int>(alloyNames_.add(*selectedAlloy_));
    events_.push(ListEvent{remote_control::kAlloyList, alloyNames_.names(), selected});
}

// ---- Requests and buttons --------------------------------------------------

void RemoteSession::send(std::initializer_list<uint8_t> bytes) {
    line_.write(std::span<const uint8_t>(bytes.begin(), bytes.size()));
}

void RemoteSession::requestScreenSignature() { send({R_REFRESH_SCREEN_BIT}); }

void RemoteSession::requestRegions() {
    if ((pendingFlags_ & pending::kRegions) != 0) return;
    pendingFlags_ |= pending::kRegions;
    pollTicks_ = 0;
    send({R_DUMP_REGIONS_NOW});
}

void RemoteSession::requestStatus() {
    if (!connected()) return;
    pendingFlags_ |= pending::kStatus;
    send({R_GET_STATUS});
}

void RemoteSession::requestSecondSpectrumSignature() {
    if (!connected()) return;
    pendingFlags_ |= pending::kSecondSpectrumSignature;
    send({R_REFRESH_WSPECTRA_ASK});
}

void RemoteSession::up() {
    if (!connected()) return;
    send({R_DOWN_ARROW});
    if (screenPolling_) requestScreenSignature();
}

void RemoteSession::down() {
    if (!connected()) return;
    send({R_UP_ARROW});
    if (screenPolling_) requestScreenSignature();
}

void RemoteSession::clear() {
    if (!connected()) return;
    send({R_ENTER_S});
    if (screenPolling_) requestScreenSignature();
}

void RemoteSession::startMeasurement() {
    if (!connected()) return;
    send({R_START_MEAS});
    if (screenPolling_) requestScreenSignature();
}

void RemoteSession::stopMeasurement() {
    if (!connected()) return;
    autoStart_.running = false;
    autoStart_.pauseStartedAt.reset();
    button3();
}

void RemoteSession::button3() {
    send({R_STOP_MEAS});
    if (screenPolling_) requestScreenSignature();
    setEditsEnabled(true);
}

void RemoteSession::getData() {
    if (!connected()) return;
    send({kDataSelect, 1});
    if ((pendingFlags_ & pending::kData) != 0) return;
    send({R_DUMP_DATA_NOW, 0});
    pendingFlags_ |= pending::kData;
    pollTicks_ = 0;
}

void RemoteSession::autoStart(const std::string& measTimeText, const std::string& numRepeatText) {
    if (!connected()) return;
    autoStart_ = AutoStart{};
    autoStart_.measTime = std::strtod(measTimeText.c_str(), nullptr);
    autoStart_.repeatCount = std::atoi(numRepeatText.c_str());
    if (autoStart_.measTime < 1.0) {
        autoStart_.measTime = 0.0;
        prompter_.ask("Must set Meas Time", "Auto Start", Buttons::Ok, Icon::Information);
        return;
    }
    autoStart_.running = true;
    startMeasurement();
    requestRegions();
    setEditsEnabled(false);
}

void RemoteSession::checkAutoStart(const std::string& regions) {
    if (!autoStart_.running || autoStart_.pauseStartedAt) return;
    const std::optional<double> elapsed = ElapsedMeasurementTime(regions);
    if (!elapsed || autoStart_.measTime >= *elapsed) {
        requestRegions();
        return;
    }
    button3();
    ++autoStart_.repeatsDone;
    if (autoStart_.repeatsDone >= autoStart_.repeatCount) {
        autoStart_.running = false;
        setEditsEnabled(true);
        events_.push(TextEvent{remote_control::kNumRepeat, std::to_string(autoStart_.repeatsDone)});
        return;
    }
    setEditsEnabled(false);
    autoStart_.pauseStartedAt = clock_.seconds();
}

void RemoteSession::resumeAutoStart() {
    autoStart_.pauseStartedAt.reset();
    startMeasurement();
    requestRegions();
    events_.push(TextEvent{remote_control::kNumRepeat, std::to_string(autoStart_.repeatCount - autoStart_.repeatsDone)});
}

void RemoteSession::setEditsEnabled(bool enabled) {
    events_.push(EnableEvent{remote_control::kMeasTime, enabled});
    events_.push(EnableEvent{remote_control::kNumRepeat, enabled});
}

void RemoteSession::setBaudListEnabled(bool enabled) {
    if (baudListEnabled_ == enabled) return;
    baudListEnabled_ = enabled;
    events_.push(EnableEvent{remote_control::kBaudList, enabled});
}

void RemoteSession::setAlloyListEnabled(bool enabled) {
    if (alloyListEnabled_ == enabled) return;
    alloyListEnabled_ = enabled;
    events_.push(EnableEvent{remote_control::kAlloyList, enabled});
}

}  // namespace ravik
