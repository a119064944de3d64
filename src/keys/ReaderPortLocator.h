#pragma once
// Where the card reader is: the serial port whose USB description names it,
// else the port the settings file names (section Readers, key rfid) when that
// device exists. Behind an interface, so the program's general port discovery
// can serve it later and tests can point it at a pseudo-terminal.

#include <QString>

struct ReaderPort {
    QString port;  // a device name ("ttyUSB0") or a path; empty when none was found
    QString vid;   // 4 upper-case hexadecimal digits, or empty
    QString pid;
};

class ReaderPortLocator {
  public:
    virtual ~ReaderPortLocator() = default;
    virtual ReaderPort Find(const QString& description) = 0;
};

// The program's own: the system's serial ports, then the settings file.
class SystemReaderPortLocator : public ReaderPortLocator {
  public:
    ReaderPort Find(const QString& description) override;
};

namespace ReaderPorts {

// The card reader's USB description.
inline const QString kRfidDescription = QStringLiteral("USB IronLogic RFID Reader");

// Installs a locator (not owned); nullptr returns to the program's own.
// Returns the previous one.
ReaderPortLocator* SetLocator(ReaderPortLocator* locator);
ReaderPort Find(const QString& description);

}  // namespace ReaderPorts
