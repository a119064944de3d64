#include "keys/ReaderPortLocator.h"

#include "foundation/SettingsFile.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

ReaderPortLocator*& installed() {
    static ReaderPortLocator* locator = nullptr;
    return locator;
}

QString hex4(quint16 value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QString devicePath(const QString& port) {
    return port.startsWith(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
}

}  // namespace

ReaderPort SystemReaderPortLocator::Find(const QString& description) {
    ReaderPort found;
    // With several readers plugged in the last one listed is taken.
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.description() != description) continue;
        found.port = info.portName();
        found.vid = info.hasVendorIdentifier() ? hex4(info.vendorIdentifier()) : QString();
        found.pid = info.hasProductIdentifier() ? hex4(info.productIdentifier()) : QString();
    }
    if (!found.port.isEmpty()) return found;
    IniFile ini;
    SettingsFile::Open(ini);
    const QString named = SettingsFile::ReadReaders(ini).rfidPort;
    // A named port that is not plugged in is no reader.
    if (!named.isEmpty() && QFileInfo::exists(devicePath(named))) found.port = named;
    return found;
}

namespace ReaderPorts {

ReaderPortLocator* SetLocator(ReaderPortLocator* locator) {
    ReaderPortLocator* previous = installed();
    installed() = locator;
    return previous;
}

ReaderPort Find(const QString& description) {
    if (installed()) return installed()->Find(description);
    SystemReaderPortLocator system;
    return system.Find(description);
}

}  // namespace ReaderPorts
