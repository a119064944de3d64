#pragma once
// What the network devices screen shows apart from the link itself: its
// commands, the addresses it offers to add, the object's configured devices
// with their file marks and serial numbers, and the object's file folders.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class TFDM;

// The screen's commands; the index selects the operation.
const QStringList& NetCommandCaptions();
// The captions the list shows after a font change.
const QStringList& NetCommandSecondCaptions();
constexpr int kNetCommandCount = 11;

// The 127 items of the address choice; the item index is the address.
QStringList DeviceChoiceItems();

// One device of the object as its record stores it.
struct ConfiguredDevice {
    int address = 0;
    int kfPr = 0;
    QString serial;
};

// The line of a configured device: its file mark, its name without the first
// letter ("КМ05", "ПО  ", "БВ03") and " SN " + its serial number when it has one.
QString ConfiguredDeviceLine(const ConfiguredDevice& device, int sepDevice);
// The name part of that line.
QString ConfiguredDeviceName(int address, int sepDevice);

// The current object's switches, its console (only when the object has one)
// and its call panels, in that order, from the data module's datasets, which
// are opened where they are closed. When one does not open, the list is empty
// and error says why.
QList<ConfiguredDevice> ConfiguredDevices(TFDM& dm, int sepDevice, QString* error = nullptr);
// The device of the object at address, when it has a record.
std::optional<ConfiguredDevice> ConfiguredDeviceAt(TFDM& dm, int address, int sepDevice);

// Replaces the line that names the device; false when no line does.
bool ReplaceConfiguredLine(QStringList& lines, int address, const QString& line, int sepDevice);

// The object folders of configuration files, shared with the write and read
// screens: they are numbered by the object's id_net, which never changes, so
// that a new network identifier (id_nom) does not hide the files made before.
namespace NetFolders {

// The database folder the link works in: dbFolder when it is set, else the
// program's "DB_ARM/".
QString Base(const QString& dbFolder);
// The current object's number in the folder names (k_net.id_net), 0
// without an object (or without a data module).
qint64 ObjectId(TFDM* dm);
// The write screen's folder of the object: files made for the devices.
QString WriteFolder(const QString& dbFolder, TFDM* dm);
// Base + "Data/FlRead/Fl_" + the number: files read from the devices.
QString ReadFolder(const QString& dbFolder, TFDM* dm);
// The file name of a device without ".bin": "ckm" + the switch's address,
// "cpo00" for the console, "cbv" + the call panel's number (address - 64).
QString FileStem(int address, int sepDevice);

}  // namespace NetFolders
