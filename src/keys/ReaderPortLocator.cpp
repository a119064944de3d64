#include "keys/ReaderPortLocator.h"

#include "foundation/SettingsFile.h"
#include "netlink/NetPortDiscovery.h"

#include <QFileInfo>

namespace {

ReaderPortLocator*& installedLocator() {
    static ReaderPortLocator* locator = nullptr;
    return locator;
}

QString devicePath(const QString& port) {
    return port.startsWith(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
}

}  // namespace

ReaderPort SystemReaderPortLocator::Find(const QString& description) {
    // With several readers plugged in the last one listed is taken.
    NetPortChoice port;
    FindComPortByName(port, description);
    ReaderPort found{port.port, port.vid, port.pid};
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
    ReaderPortLocator* previous = installedLocator();
    installedLocator() = locator;
    return previous;
}

ReaderPort Find(const QString& description) {
    if (installedLocator()) return installedLocator()->Find(description);
    SystemReaderPortLocator system;
    return system.Find(description);
}

}  // namespace ReaderPorts
