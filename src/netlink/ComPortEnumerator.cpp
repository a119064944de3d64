#include "netlink/ComPortEnumerator.h"

#include <QSerialPortInfo>

namespace {

ComPortEnumerator*& installedEnumerator() {
    static ComPortEnumerator* enumerator = nullptr;
    return enumerator;
}

}  // namespace

QList<ComPortInfo> SerialPortInfoEnumerator::Ports() const {
    QList<ComPortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ComPortInfo port;
        port.systemLocation = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        // A port without a USB identity keeps both identifiers empty.
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            port.vid = ComPorts::Hex4(info.vendorIdentifier());
            port.pid = ComPorts::Hex4(info.productIdentifier());
        }
        ports.append(port);
    }
    return ports;
}

namespace ComPorts {

QString Hex4(quint16 value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

ComPortEnumerator* SetEnumerator(ComPortEnumerator* enumerator) {
    ComPortEnumerator* previous = installedEnumerator();
    installedEnumerator() = enumerator;
    return previous;
}

QList<ComPortInfo> Ports() {
    if (installedEnumerator()) return installedEnumerator()->Ports();
    return SerialPortInfoEnumerator().Ports();
}

}  // namespace ComPorts
