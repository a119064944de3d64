#pragma once
// The device network of one object on the simulated bus: the pseudo-terminal
// listed as the adapter's port ("DARVO CWN USB", 0403:6001), the adapter, and
// one simulated device per device record of the object, at the address the
// record gives (switches at n_net, the console at SepDevice, call panels at
// 64 + their number), each with room for the largest configuration file.
// It also counts what went over the wire, for the time the frames take at
// 9600 baud, and keeps the clock the link's pauses go by.

#include "support/DeviceBusSimulator.h"
#include "support/FakeComPorts.h"
#include "support/PtyPair.h"
#include "support/SimulatedBusClock.h"

#include <QList>
#include <QSqlDatabase>

#include <chrono>

class SimulatedInstallation {
  public:
    // Room for the largest file of any kind behind the usual start.
    static constexpr int kConfigStart = 0x2800;
    static constexpr int kConfigEnd = 0x2800 + 17408;

    SimulatedInstallation();

    // One device per record of the object; returns the addresses, in the
    // order switches, console, call panels.
    QList<int> AddDevicesOf(QSqlDatabase db, qint64 idNet, int sepDevice);
    // The simulated device at address; a default device when there is none.
    SimDevice DeviceAt(int address) const;
    // Every device as it is now, and devices moved over from another line
    // (after that line was lost), keeping what they hold.
    QList<SimDevice> Devices() const;
    void AddDevices(const QList<SimDevice>& devices);
    // The index of the device at address for the bus, -1 when there is none.
    int IndexOf(int address) const;
    const QList<int>& Addresses() const { return addresses_; }

    // A device of the kind its address says, with room for any file.
    static SimDevice MakeDevice(int address, int sepDevice);

    // The time the frames received so far and their answers take on the wire
    // at 9600 baud 8N1: every request, and one 30-byte answer to each request
    // for the adapter or a device that is there (a poll of an empty address
    // has none).
    std::chrono::microseconds WireTime() const;

    QString Port() const { return pty.SlavePath(); }

    PtyPair pty;
    DeviceBusSimulator bus{pty};
    SimulatedBusClock clock{bus};
    FakeComPorts ports;

  private:
    QList<int> addresses_;
    QList<int> indexes_;
};
