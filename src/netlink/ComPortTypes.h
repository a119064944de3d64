#pragma once
// Settings, event and error sets of the serial port component.

#include <QFlags>

enum TBaudRate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};

// Bits per second of each TBaudRate, in its order.
int BaudRateValue(TBaudRate rate);

enum TByteSize { bs5, bs6, bs7, bs8 };
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopBits { sb1, sb1_5, sb2 };

// How the reader thread hands port events to the thread that owns the port:
// smThreadSync runs the handlers there and waits for them, smWindowSync posts
// one call per event without waiting, smNone runs them in the reader thread.
enum TSyncMethod { smThreadSync, smWindowSync, smNone };

enum TComError {
    ceFrame = 0x01,
    ceRxParity = 0x02,
    ceOverrun = 0x04,
    ceBreak = 0x08,
    ceIO = 0x10,
    ceMode = 0x20,
    ceRxOver = 0x40,
    ceTxFull = 0x80,
};
Q_DECLARE_FLAGS(TComErrors, TComError)
Q_DECLARE_OPERATORS_FOR_FLAGS(TComErrors)

enum TComEvent {
    evRxChar = 0x01,
    evTxEmpty = 0x02,
    evRing = 0x04,
    evCTS = 0x08,
    evDSR = 0x10,
    evRLSD = 0x20,
    evError = 0x40,
    evRx80Full = 0x80,
};
Q_DECLARE_FLAGS(TComEvents, TComEvent)
Q_DECLARE_OPERATORS_FOR_FLAGS(TComEvents)

// Order in which the events of one wake-up reach their handlers.
inline constexpr TComEvent kComEventDispatchOrder[] = {evError, evRxChar, evTxEmpty, evRing,
                                                       evCTS,   evDSR,    evRLSD,    evRx80Full};

// Modem lines that are on.
enum TComSignal { csCTS = 0x01, csDSR = 0x02, csRing = 0x04, csRLSD = 0x08 };
Q_DECLARE_FLAGS(TComSignals, TComSignal)
Q_DECLARE_OPERATORS_FOR_FLAGS(TComSignals)

// Running totals of the driver's line-error counters.
struct LineErrorCounters {
    quint64 frame = 0;
    quint64 overrun = 0;
    quint64 parity = 0;
    quint64 brk = 0;
    quint64 bufferOverrun = 0;
    bool operator==(const LineErrorCounters&) const = default;
};

// The errors that happened between two readings of the counters. A parity
// error counts only when the line uses parity.
TComErrors ErrorsBetween(const LineErrorCounters& before, const LineErrorCounters& now,
                         TParity parity);
