#include "pty_master.h"

// termios2 reads the rate whatever it is (56000 has no B-constant); its
// header cannot be mixed with <termios.h>.
#include <asm/termbits.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace ravik::sim {

PtyMaster::PtyMaster() {
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return;
    char name[128] = {};
    const int packetMode = 1;
    if (::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0 || ::ptsname_r(fd_, name, sizeof name) != 0 ||
        ::ioctl(fd_, TIOCPKT, &packetMode) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    slavePath_ = name;
}

PtyMaster::~PtyMaster() {
    if (fd_ >= 0) ::close(fd_);
}

uint32_t PtyMaster::lineRate() const {
    termios2 settings{};
    // On the master the slave's settings are read: those the program set.
    if (::ioctl(fd_, TCGETS2, &settings) != 0) return 0;
    return settings.c_ospeed;
}

std::optional<PtyMaster::Packet> PtyMaster::read() {
    uint8_t buffer[4097];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got < 0) {
        // EIO: no program has the slave open (any more).
        hungUp_ = errno == EIO;
        return std::nullopt;
    }
    hungUp_ = false;
    if (got == 0) return std::nullopt;
    Packet packet;
    if (buffer[0] == TIOCPKT_DATA) {
        packet.data.assign(buffer + 1, buffer + got);
    } else {
        packet.flushed = (buffer[0] & (TIOCPKT_FLUSHREAD | TIOCPKT_FLUSHWRITE)) != 0;
    }
    return packet;
}

size_t PtyMaster::write(const uint8_t* bytes, size_t count) {
    const ssize_t put = ::write(fd_, bytes, count);
    return put > 0 ? static_cast<size_t>(put) : 0;
}

}  // namespace ravik::sim
