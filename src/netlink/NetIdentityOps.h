#pragma once
// Who a device is rather than what it holds: its serial number, the
// object's identifier written into it, its network address given by its
// serial number or sent back to its jumpers, the database object that
// matches the devices on the network, and the test of the network against
// the current object, which can store the serial numbers found.

#include "netlink/NetOpContext.h"
#include "netlink/TNetFrame.h"

#include <QString>

#include <array>
#include <optional>

// Results of ChangeAddrBySN besides the address the device has now.
constexpr int kAddrNothingDone = -1;
constexpr int kAddrRefused = -2;
constexpr int kAddrNoDevice = -3;

// The programming-mode address at which a device without a valid address
// answers: 128 switch, 136 call panel, 144 console.
int ProgrammingModeAddress(int address, int sepDevice);
// A serial number as a device reports it: a letter A..J and nine digits.
bool IsDeviceSerialNumber(const QString& text);

class NetIdentityOps {
  public:
    explicit NetIdentityOps(NetOpContext& ctx) : ctx_(ctx) {}

    // Asks the device for its serial number; the answer goes into the
    // device tables. Returns the number, empty when none came.
    QString ReadDevSN(int address);
    // Writes the current object's identifier (id_nom) into the device.
    NetOpOutcome ChangeNetId(int address);
    // Gives the device whose serial number the configured-device line holds
    // the address the line names. line: the selected line of the configured
    // list, none when nothing is selected. Returns the device's address, or
    // kAddrNothingDone, kAddrRefused or kAddrNoDevice.
    int ChangeAddrBySN(const std::optional<QString>& line);
    // Sends the switch back to the address of its jumpers. line: the
    // selected line of the found-device list.
    NetOpOutcome ResetKmAddr(int address, const std::optional<QString>& line);
    // Offers the objects whose entrances and call panels match the devices
    // that answered; true when the operator chose one (it is current then).
    bool FindObjectByNet();
    // Compares the network with the current object's configured devices
    // (configuredLines, the configured-device list) and can store the serial
    // numbers the object's records lack.
    NetOpOutcome TestNet(const QStringList& configuredLines);

  private:
    struct Target {
        int address = -1;
        int first = 0, last = 0;  // the range of addresses of the kind
        int programming = 0;      // the kind's programming-mode address
    };
    std::optional<Target> TargetOfLine(const QString& line) const;
    int FoundAddress(const Target& target, const QString& serial) const;
    bool TargetTaken(const Target& target, const QString& serial);
    int MoveDevice(int candidate, const Target& target, const QString& serial,
                   const std::array<int, 3>& password);
    std::optional<std::array<int, 3>> PasswordForChange();

    // TestNet's steps.
    void AskConfiguredDevices(const QStringList& configuredLines);
    void ReadFoundSerials();
    void DrainPending();
    void CheckSerials(bool& asked, bool& store);
    void CheckSerial(int address, const QString& serial, bool& asked, bool& store);

    bool WaitWhilePending(const TNetFrame& request, int firstAttempts);
    void Log1(const QString& line) const;
    void Log2(const QString& line) const;

    NetOpContext& ctx_;
};
