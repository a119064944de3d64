#pragma once
// The serial ports the system has, as the port search needs them: where each
// one is, what its USB description and maker say, and its USB vendor and
// product identifiers. The program lists them through QSerialPortInfo; tests
// install a list of their own.

#include <QList>
#include <QString>

struct ComPortInfo {
    QString systemLocation;  // the device path, "/dev/ttyUSB0"
    QString description;     // the USB product text; empty when the port has none
    QString manufacturer;
    QString vid;  // 4 upper-case hexadecimal digits; empty without a USB identity
    QString pid;
};

class ComPortEnumerator {
  public:
    virtual ~ComPortEnumerator() = default;
    virtual QList<ComPortInfo> Ports() const = 0;
};

// The system's serial ports.
class SerialPortInfoEnumerator : public ComPortEnumerator {
  public:
    QList<ComPortInfo> Ports() const override;
};

namespace ComPorts {

// 4 upper-case hexadecimal digits of a USB identifier.
QString Hex4(quint16 value);

// Installs an enumerator (not owned); nullptr returns to the system's.
// Returns the previous one.
ComPortEnumerator* SetEnumerator(ComPortEnumerator* enumerator);
QList<ComPortInfo> Ports();

}  // namespace ComPorts
