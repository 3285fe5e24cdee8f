#pragma once
// A pseudo-terminal whose slave side stands in for a serial device.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace ravik::test {

struct PseudoTerminal {
    int master = -1;
    std::string slave;
    PseudoTerminal() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        grantpt(master);
        unlockpt(master);
        char name[128] = {};
        ptsname_r(master, name, sizeof name);
        slave = name;
    }
    ~PseudoTerminal() { ::close(master); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
};

}  // namespace ravik::test
