#include "netlink/ComPortTypes.h"

int BaudRateValue(TBaudRate rate) {
    static constexpr int kRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                     19200, 38400, 56000, 57600, 115200, 128000, 256000};
    const int index = static_cast<int>(rate);
    if (index < 0 || index >= static_cast<int>(std::size(kRates))) return 0;
    return kRates[index];
}

TComErrors ErrorsBetween(const LineErrorCounters& before, const LineErrorCounters& now,
                         TParity parity) {
    TComErrors errors;
    if (now.frame != before.frame) errors |= ceFrame;
    if (now.parity != before.parity && parity != paNone) errors |= ceRxParity;
    if (now.overrun != before.overrun) errors |= ceOverrun;
    if (now.bufferOverrun != before.bufferOverrun) errors |= ceRxOver;
    if (now.brk != before.brk) errors |= ceBreak;
    return errors;
}
