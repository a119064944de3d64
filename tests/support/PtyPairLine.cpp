// The kernel's terminal header, which termios2 needs, clashes with
// <termios.h>: these two look at the terminal from a file of their own.

#include "support/PtyPair.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace {

termios2 SlaveTermios(int fd) {
    termios2 tio{};
    ioctl(fd, TCGETS2, &tio);
    return tio;
}

}  // namespace

int PtyPair::SlaveRate() const {
    return int(SlaveTermios(slaveKeeper_).c_ospeed);
}

unsigned PtyPair::SlaveControlFlags() const {
    return SlaveTermios(slaveKeeper_).c_cflag;
}
