#pragma once
// Failures of the serial port component: one fixed text per failing operation.

#include <QString>

#include <functional>
#include <stdexcept>

// The numbers are the ones the link layer and the key readers refer to.
enum class ComFault {
    NoSuchPort = 1,
    PortBusy = 2,
    WriteFailed = 3,
    ReadFailed = 4,
    BadAsyncRecord = 5,
    PurgeFailed = 6,
    AsyncStatusFailed = 7,
    LineSettingsFailed = 8,
    TimeoutsFailed = 9,
    BufferSizesFailed = 10,
    InputStateFailed = 11,
    ModemStatusFailed = 12,
    LineControlFailed = 13,
    PropertyWhileOpen = 14,
};

QString ComFaultText(ComFault fault);

class EComPort : public std::runtime_error {
  public:
    explicit EComPort(ComFault fault);

    ComFault Fault() const { return fault_; }
    // The text shown to the operator.
    QString Message() const { return ComFaultText(fault_); }

  private:
    ComFault fault_;
};

// Runs call; a port failure is told to the operator under "Ошибка" instead of
// passing on. False when the call failed so.
bool RunTellingPortFault(const std::function<void()>& call);
