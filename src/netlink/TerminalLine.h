#pragma once
// The line settings of a serial port, put on its terminal device in one step
// through the kernel's termios2, which takes any rate in bits per second: the
// rates with a standard terminal speed keep their constant, the others
// (14400, 56000, 128000, 256000) go as an exact rate.
//
// Kept apart from every file that includes <termios.h>: the kernel's own
// terminal header, which termios2 needs, defines the same names differently.

#include "netlink/ComPortTypes.h"

struct TerminalLine {
    TBaudRate baudRate = br9600;
    TByteSize byteSize = bs8;
    TParity parity = paNone;
    TStopBits stopBits = sb1;
};

// One stop-bit setting serves the line: with 5-bit bytes it means 1.5 stop
// bits, with longer bytes 2. So 1.5 stop bits go only with 5-bit bytes, and
// 2 stop bits only with 6 to 8.
bool TerminalCanExpress(const TerminalLine& line);

// Raw mode with these settings, DTR and RTS left to the caller. False when
// the line cannot be expressed, the device is no terminal, or the driver puts
// in another rate than the one asked; the terminal is then left as it was.
bool ApplyTerminalLine(int fd, const TerminalLine& line);
