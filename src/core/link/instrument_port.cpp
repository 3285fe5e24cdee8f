#include "core/link/instrument_port.h"

// Only the kernel's termios2 can set a rate that has no B-constant (56000),
// and its header cannot be mixed with <termios.h>; everything here goes
// through termios2 and ioctl.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "core/platform/prompter.h"

namespace ravik {

namespace {

constexpr int kWriteTimeoutConstantMillis = 8;
constexpr const char* kSettingCaption = "ERROR SETTING PORT";

using SteadyClock = std::chrono::steady_clock;

int MillisecondsUntil(SteadyClock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::string StepFailure(const char* step, int error) {
    return std::string(step) + " failed: " + LastErrorText(error);
}

// The termios block for a discipline; members with no counterpart keep the
// values read from the device.
termios2 ToTermios(const LineDiscipline& d, termios2 t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IUCLC | IXON | IXANY | IXOFF | INPCK | IGNPAR);
    if (d.inX) t.c_iflag |= IXOFF;
    if (d.outX) t.c_iflag |= IXON;
    if (d.parityCheck) t.c_iflag |= INPCK;
    if (d.nullDiscard) t.c_iflag |= IGNBRK;
    if (d.binary) {
        t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    }
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL | CBAUD |
                                        (CBAUD << IBSHIFT));
    t.c_cflag |= CREAD | BOTHER;
    t.c_cflag |= d.byteSize == 5 ? CS5 : d.byteSize == 6 ? CS6 : d.byteSize == 7 ? CS7 : CS8;
    if (d.parity != 0) t.c_cflag |= PARENB | (d.parity == 1 ? PARODD : 0);
    if (d.stopBits != 0) t.c_cflag |= CSTOPB;
    if (d.outxCtsFlow) t.c_cflag |= CRTSCTS;
    if (!d.outxDsrFlow) t.c_cflag |= CLOCAL;
    t.c_ispeed = d.baudRate;
    t.c_ospeed = d.baudRate;
    t.c_cc[VSTART] = d.xonChar;
    t.c_cc[VSTOP] = d.xoffChar;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return t;
}

// The discipline a termios block stands for. Binary: nothing is
// interpreted, translated or echoed. DSR flow: the modem lines gate the line
// (CLOCAL clear). NUL discarding: breaks, which arrive as NUL bytes, are
// dropped or marked (IGNBRK, PARMRK).
LineDiscipline FromTermios(const termios2& t) {
    LineDiscipline d;
    d.baudRate = t.c_ospeed;
    const tcflag_t size = t.c_cflag & CSIZE;
    d.byteSize = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
    d.parity = (t.c_cflag & PARENB) == 0 ? 0 : (t.c_cflag & PARODD) != 0 ? 1 : 2;
    d.stopBits = (t.c_cflag & CSTOPB) != 0 ? 2 : 0;
    d.outxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    d.outxDsrFlow = (t.c_cflag & CLOCAL) == 0;
    d.inX = (t.c_iflag & IXOFF) != 0;
    d.outX = (t.c_iflag & IXON) != 0;
    d.xonChar = t.c_cc[VSTART];
    d.xoffChar = t.c_cc[VSTOP];
    d.binary = (t.c_lflag & (ICANON | ISIG | IEXTEN | ECHO)) == 0 &&
               (t.c_iflag & (ISTRIP | INLCR | IGNCR | ICRNL | IUCLC)) == 0 && (t.c_oflag & OPOST) == 0;
    d.parityCheck = (t.c_iflag & INPCK) != 0;
    d.nullDiscard = (t.c_iflag & (IGNBRK | PARMRK)) != 0;
    return d;
}

// DTR and RTS off. A device without modem lines (a pseudo-terminal) refuses
// the request, which is not an error.
void LowerModemLines(int fd) {
    const int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);
}

}  // namespace

InstrumentPort::InstrumentPort() : queue_(kQueueSize) {}

InstrumentPort::~InstrumentPort() { close(); }

bool InstrumentPort::open(const SerialPortConfig& config, Prompter& prompter) {
    close();
    const std::string path = ResolveDevicePath(config);
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        errno = error;
    }
    if (fd_ < 0) {
        prompter.error(LastErrorText(errno), kSettingCaption);
        return false;
    }
    ::ioctl(fd_, TIOCEXCL);

    termios2 current{};
    if (::ioctl(fd_, TCGETS2, &current) != 0) {
        prompter.error(StepFailure("GetCommState", errno), kSettingCaption);
        close();
        return false;
    }
    const uint32_t rate =
        IsBaudIndex(config.baudIndex) ? kBaudRates[static_cast<size_t>(config.baudIndex)].bitsPerSecond
                                      : current.c_ospeed;
    const LineDiscipline discipline = WantedDiscipline(rate);
    if (!configure(discipline, current, prompter)) return false;
    queue_.reset();
    queue_.setLimits(discipline.xonLimit, discipline.xoffLimit);
    writeMultiplier_ = WriteMultiplier(rate);
    purge(PurgeReceive);
    purge(PurgeTransmit);
    return checkReadBack(rate, prompter);
}

bool InstrumentPort::configure(const LineDiscipline& discipline, const termios2& current,
                               Prompter& prompter) {
    // The flow-control limits belong to the port's own queue, not to the
    // device's block, so a refused block has nothing to be retried without.
    termios2 wanted = ToTermios(discipline, current);
    if (::ioctl(fd_, TCSETS2, &wanted) != 0) {
        prompter.error(StepFailure("SetCommState", errno), kSettingCaption);
        close();
        return false;
    }
    LowerModemLines(fd_);
    return true;
}

bool InstrumentPort::checkReadBack(uint32_t requestedRate, Prompter& prompter) {
    termios2 readBack{};
    if (::ioctl(fd_, TCGETS2, &readBack) != 0) {
        prompter.error(StepFailure("GetCommState", errno), kSettingCaption);
        close();
        return false;
    }
    const std::vector<std::string> failed = FailedReadBackItems(FromTermios(readBack), requestedRate);
    for (const std::string& item : failed) prompter.error(item, "PORT ERROR");
    if (failed.empty()) return true;
    prompter.error("Cannot Set Port", "PORT ERROR");
    return false;
}

void InstrumentPort::serviceQueue() {
    if (fd_ < 0) return;
    uint8_t chunk[kQueueSize];
    while (queue_.room() > 0) {
        const ssize_t got = ::read(fd_, chunk, queue_.room());
        if (got > 0) {
            queue_.push(std::span<const uint8_t>(chunk, static_cast<size_t>(got)));
            continue;
        }
        if (got < 0 && errno != EAGAIN && errno != EINTR) deviceError_ = errno;
        break;
    }
    if (const std::optional<uint8_t> control = queue_.flowControlByte()) {
        writeWithin(std::span<const uint8_t>(&*control, 1), kWriteTimeoutConstantMillis);
    }
}

LineStatus InstrumentPort::clearCommError() {
    LineStatus status;
    if (fd_ < 0) return status;
    serviceQueue();
    status.inQueue = static_cast<uint32_t>(queue_.size());
    int pending = 0;
    if (::ioctl(fd_, TIOCOUTQ, &pending) == 0 && pending > 0) status.outQueue = static_cast<uint32_t>(pending);
    // Output is never held by the modem lines in this discipline; where the
    // device has them, the boxes show the lines themselves.
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) == 0) {
        status.ctsHold = (lines & TIOCM_CTS) != 0;
        status.dsrHold = (lines & TIOCM_DSR) != 0;
        status.rlsdHold = (lines & TIOCM_CAR) != 0;
    }
    status.xoffSent = queue_.xoffSent();
    return status;
}

ReadResult InstrumentPort::read(std::span<uint8_t> into) {
    ReadResult result;
    if (fd_ < 0) return {0, false, EBADF};
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kReadTimeoutMillis);
    for (;;) {
        serviceQueue();
        result.count += queue_.take(into.subspan(result.count));
        serviceQueue();
        if (result.count == into.size()) break;
        if (deviceError_ != 0) {
            if (result.count == 0) result = {0, false, deviceError_};
            deviceError_ = 0;
            break;
        }
        const int wait = MillisecondsUntil(deadline);
        if (wait == 0) break;
        pollfd waiting{fd_, POLLIN, 0};
        if (::poll(&waiting, 1, wait) < 0 && errno != EINTR) break;
    }
    return result;
}

size_t InstrumentPort::writeWithin(std::span<const uint8_t> bytes, int timeoutMillis) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMillis);
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t put = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (put > 0) {
            sent += static_cast<size_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) break;
        const int wait = MillisecondsUntil(deadline);
        if (wait == 0) break;
        pollfd waiting{fd_, POLLOUT, 0};
        ::poll(&waiting, 1, wait);
    }
    return sent;
}

size_t InstrumentPort::write(std::span<const uint8_t> bytes) {
    if (fd_ < 0) return 0;
    serviceQueue();
    const uint64_t timeout = uint64_t{writeMultiplier_} * bytes.size() + kWriteTimeoutConstantMillis;
    return writeWithin(bytes, static_cast<int>(std::min<uint64_t>(timeout, 1u << 30)));
}

void InstrumentPort::purge(unsigned flags) {
    if (fd_ < 0) return;
    if ((flags & PurgeReceive) != 0) {
        ::ioctl(fd_, TCFLSH, TCIFLUSH);
        queue_.clear();
        serviceQueue();
    }
    if ((flags & PurgeTransmit) != 0) ::ioctl(fd_, TCFLSH, TCOFLUSH);
}

bool InstrumentPort::close() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    queue_.reset();
    deviceError_ = 0;
    return ::close(fd) == 0;
}

}  // namespace ravik
