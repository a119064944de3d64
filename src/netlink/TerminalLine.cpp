#include "netlink/TerminalLine.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace {

// The standard terminal speed of a rate; false for a rate that has none.
bool StandardSpeed(TBaudRate rate, tcflag_t& speed) {
    switch (rate) {
        case br110:
            speed = B110;
            return true;
        case br300:
            speed = B300;
            return true;
        case br600:
            speed = B600;
            return true;
        case br1200:
            speed = B1200;
            return true;
        case br2400:
            speed = B2400;
            return true;
        case br4800:
            speed = B4800;
            return true;
        case br9600:
            speed = B9600;
            return true;
        case br19200:
            speed = B19200;
            return true;
        case br38400:
            speed = B38400;
            return true;
        case br57600:
            speed = B57600;
            return true;
        case br115200:
            speed = B115200;
            return true;
        default:
            return false;
    }
}

tcflag_t CharSizeFlag(TByteSize size) {
    switch (size) {
        case bs5:
            return CS5;
        case bs6:
            return CS6;
        case bs7:
            return CS7;
        case bs8:
            return CS8;
    }
    return CS8;
}

tcflag_t ParityFlags(TParity parity) {
    switch (parity) {
        case paNone:
            return 0;
        case paOdd:
            return PARENB | PARODD;
        case paEven:
            return PARENB;
        case paMark:
            return PARENB | CMSPAR | PARODD;
        case paSpace:
            return PARENB | CMSPAR;
    }
    return 0;
}

// Raw mode as cfmakeraw makes it, without software or hardware flow control.
void MakeRaw(termios2& tio) {
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                     IXANY | INPCK | IGNPAR);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // With one byte as minimum an empty queue reads as "try again" on the
    // non-blocking descriptor, and an end of file means the device hung up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = 17;
    tio.c_cc[VSTOP] = 19;
}

void SetFraming(termios2& tio, const TerminalLine& line) {
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CREAD | CLOCAL | CharSizeFlag(line.byteSize) | ParityFlags(line.parity);
    if (line.parity != paNone) tio.c_iflag |= INPCK;
    if (line.stopBits != sb1) tio.c_cflag |= CSTOPB;
}

// Input runs at the output's rate (no input speed of its own).
void SetRate(termios2& tio, TBaudRate rate) {
    tcflag_t speed;
    if (!StandardSpeed(rate, speed)) speed = BOTHER;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= speed;
    tio.c_ispeed = tio.c_ospeed = speed_t(BaudRateValue(rate));
}

}  // namespace

bool TerminalCanExpress(const TerminalLine& line) {
    if (BaudRateValue(line.baudRate) <= 0) return false;
    if (line.stopBits == sb1_5) return line.byteSize == bs5;
    if (line.stopBits == sb2) return line.byteSize != bs5;
    return true;
}

bool ApplyTerminalLine(int fd, const TerminalLine& line) {
    if (!TerminalCanExpress(line)) return false;
    termios2 before{};
    if (ioctl(fd, TCGETS2, &before) != 0) return false;
    termios2 tio = before;
    MakeRaw(tio);
    SetFraming(tio, line);
    SetRate(tio, line.baudRate);
    if (ioctl(fd, TCSETS2, &tio) != 0) return false;
    // A driver that cannot run at the rate puts in one it can: that is refused,
    // not used, as the devices on the line would not understand it.
    termios2 now{};
    const bool taken =
        ioctl(fd, TCGETS2, &now) == 0 && now.c_ospeed == speed_t(BaudRateValue(line.baudRate));
    if (!taken) ioctl(fd, TCSETS2, &before);
    return taken;
}
