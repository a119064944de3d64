#include "support/SimulatedInstallation.h"

#include <QSqlQuery>
#include <QVariant>

SimulatedInstallation::SimulatedInstallation() {
    ports.AddAdapter(pty.SlavePath());
}

SimDevice SimulatedInstallation::MakeDevice(int address, int sepDevice) {
    SimDevice device = address == sepDevice ? SimDevice::Console(address)
                       : address < 64       ? SimDevice::Switch(address)
                                            : SimDevice::CallPanel(address - 64);
    device.configStart = kConfigStart;
    device.configEnd = kConfigEnd;
    // Serial numbers apart, so that a mix-up of devices shows.
    device.serial = QByteArray(address < 64 ? "B" : "C") +
                    QByteArray::number(100000000 + address);
    return device;
}

QList<int> SimulatedInstallation::AddDevicesOf(QSqlDatabase db, qint64 idNet, int sepDevice) {
    QList<int> found;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT n_net FROM k_pk WHERE id_net = ? ORDER BY n_net"));
    q.addBindValue(idNet);
    if (q.exec())
        while (q.next()) found << q.value(0).toInt();
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM k_po WHERE id_net = ?"));
    q.addBindValue(idNet);
    if (q.exec() && q.next() && q.value(0).toInt() > 0) found << sepDevice;
    q.prepare(QStringLiteral("SELECT n_net FROM k_bv WHERE id_net = ? ORDER BY n_net"));
    q.addBindValue(idNet);
    if (q.exec())
        while (q.next()) found << q.value(0).toInt();
    QList<SimDevice> devices;
    for (int address : found) devices << MakeDevice(address, sepDevice);
    AddDevices(devices);
    return found;
}

void SimulatedInstallation::AddDevices(const QList<SimDevice>& devices) {
    for (const SimDevice& device : devices) {
        addresses_ << device.address;
        indexes_ << bus.AddDevice(device);
    }
}

QList<SimDevice> SimulatedInstallation::Devices() const {
    QList<SimDevice> devices;
    for (int index : indexes_) devices << bus.Device(index);
    return devices;
}

int SimulatedInstallation::IndexOf(int address) const {
    const qsizetype at = addresses_.indexOf(address);
    return at < 0 ? -1 : indexes_[at];
}

SimDevice SimulatedInstallation::DeviceAt(int address) const {
    const int index = IndexOf(address);
    return index < 0 ? SimDevice() : bus.Device(index);
}

std::chrono::microseconds SimulatedInstallation::WireTime() const {
    constexpr qint64 kBitsPerFrame = qint64(DeviceBusSimulator::kFrameSize) * 10;
    qint64 frames = 0;
    for (const QByteArray& request : bus.Received()) {
        const int to = quint8(request.size() > 1 ? request[1] : 0);
        frames += 1 + (to == DeviceBusSimulator::kAdapterAddress || addresses_.contains(to));
    }
    return std::chrono::microseconds(frames * kBitsPerFrame * 1'000'000 / 9600);
}
