#include "netlink/NetDevicesScreen.h"

#include "config/ConfigRecords.h"
#include "config/ConfigWriteScreen.h"
#include "foundation/BitAndStr.h"
#include "foundation/SettingsFile.h"
#include "foundation/TFDM.h"
#include "netlink/NetDeviceRecords.h"
#include "platform/AppPaths.h"

namespace {

constexpr int kDeviceChoiceCount = 127;

// The values of one column in the rows of a dataset.
struct NetRowReader {
    Dataset* ds;
    QVariant Value(int row, const char* field) const {
        return ds->Value(row, ds->FieldIndex(QLatin1String(field)));
    }
};

bool ListedObjectHasConsole(TFDM& dm) {
    return !dm.Q_Net->IsEmpty() && dm.Q_Net->FieldByName(QStringLiteral("l_pok")).AsInt() != 0;
}

void AppendRecords(Dataset* ds, const char* serialField, QList<ConfiguredDevice>& out) {
    const NetRowReader rows{ds};
    for (int row = 0; row < ds->RecordCount(); ++row)
        out.append({rows.Value(row, "n_net").toInt(), rows.Value(row, "kf_pr").toInt(),
                    rows.Value(row, serialField).toString()});
}

// The console's line stands at the console's address whatever its record says.
void AppendConsole(TFDM& dm, int sepDevice, QList<ConfiguredDevice>& out) {
    if (!ListedObjectHasConsole(dm) || dm.Q_PO->IsEmpty()) return;
    const NetRowReader rows{dm.Q_PO};
    out.append({sepDevice, rows.Value(0, "kf_pr").toInt(), rows.Value(0, "sn_po").toString()});
}

std::optional<ConfiguredDevice> FindAddress(const QList<ConfiguredDevice>& devices, int address) {
    for (const ConfiguredDevice& device : devices)
        if (device.address == address) return device;
    return std::nullopt;
}

}  // namespace

const QStringList& NetCommandCaptions() {
    static const QStringList captions = {
        QStringLiteral("Основная информация (запрос класса) устройства"),
        QStringLiteral("Запрос серийного номера устройства"),
        QStringLiteral("Сохранение конфигурационного файла сетевого устройства"),
        QStringLiteral("Запись конфигурационного файла в сетевое устройство"),
        QStringLiteral("Заливка переменной части программы AПП в сетевое устройство"),
        QStringLiteral("Смена ID объекта для сетевого устройства"),
        QStringLiteral("Смена сетевого адреса устройства в сети по его серийному номеру в объекте"),
        QStringLiteral("Поиск объекта по параметрам сети"),
        QStringLiteral("Тест сети по конфигурации объекта"),
        QStringLiteral("Запись КФ по выбору в сетевое устройств"),
        QStringLiteral("Сброс сетевого адреса Велта на перемычки"),
    };
    return captions;
}

const QStringList& NetCommandSecondCaptions() {
    static const QStringList captions = [] {
        QStringList c = NetCommandCaptions();
        c[1] = QStringLiteral("Запрос серийного номера");
        c[2] = QStringLiteral("Сохранение конфигурационного файла сетевого усьтройства");
        c[6] = QStringLiteral("Смена сетевого адреса устройства по его серийному номеру в объекте");
        c[9] = QStringLiteral("Запись КФ по выбору в сетевое устройство");
        return c;
    }();
    return captions;
}

QStringList DeviceChoiceItems() {
    QStringList items;
    for (int a = 0; a < kDeviceChoiceCount; ++a) {
        if (a <= 49)
            items << QStringLiteral("СКМ") + IntToStrZ(a, 2);
        else if (a <= 62)
            items << QStringLiteral("устройство ") + QString::number(a);
        else if (a == 63)
            items << QStringLiteral("СПО пост охраны");
        else if (a <= 113)
            items << QStringLiteral("СБВ") + IntToStrZ(a - kFirstPanelAddress, 2);
        else if (a <= 125)
            items << QStringLiteral("устройство ") + QString::number(a);
        else
            items << QStringLiteral("СУС");
    }
    return items;
}

QString ConfiguredDeviceName(int address, int sepDevice) {
    return DeviceAddrName(address, sepDevice).mid(1);
}

QString ConfiguredDeviceLine(const ConfiguredDevice& device, int sepDevice) {
    QString line = KfPrMark(device.kfPr) + ConfiguredDeviceName(device.address, sepDevice);
    const QString serial = device.serial.trimmed();
    if (!serial.isEmpty()) line += QStringLiteral(" SN ") + serial;
    return line;
}

QList<ConfiguredDevice> ConfiguredDevices(TFDM& dm, int sepDevice, QString* error) {
    QList<ConfiguredDevice> devices;
    // Records left in the detail datasets belong to no object then.
    if (dm.Q_Net->IsEmpty()) return devices;
    if (!ReadDeviceRecords(dm)) {
        if (error) *error = dm.LastError();
        return devices;
    }
    AppendRecords(dm.Q_pk, "sn_pk", devices);
    AppendConsole(dm, sepDevice, devices);
    AppendRecords(dm.Q_bv, "sn_bv", devices);
    return devices;
}

std::optional<ConfiguredDevice> ConfiguredDeviceAt(TFDM& dm, int address, int sepDevice) {
    QList<ConfiguredDevice> devices;
    if (dm.Q_Net->IsEmpty() || !ReadDeviceRecords(dm)) return std::nullopt;
    if (address < sepDevice)
        AppendRecords(dm.Q_pk, "sn_pk", devices);
    else if (address == sepDevice)
        AppendConsole(dm, sepDevice, devices);
    else
        AppendRecords(dm.Q_bv, "sn_bv", devices);
    return FindAddress(devices, address);
}

bool ReplaceConfiguredLine(QStringList& lines, int address, const QString& line, int sepDevice) {
    const QString name = ConfiguredDeviceName(address, sepDevice);
    for (QString& existing : lines) {
        if (!existing.contains(name)) continue;
        existing = line;
        return true;
    }
    return false;
}

namespace NetFolders {

QString Base(const QString& dbFolder) {
    return ComparesAbove(dbFolder, QStringLiteral(" ")) ? AppPaths::NormalizeDir(dbFolder)
                                                        : AppPaths::DefaultDbDir();
}

qint64 ObjectId(TFDM* dm) {
    if (!dm || dm->Q_Net->IsEmpty()) return 0;
    return dm->Q_Net->FieldByName(QStringLiteral("id_net")).AsLargeInt();
}

QString WriteFolder(const QString& dbFolder, TFDM* dm) {
    return WriteFolderFor(dbFolder, ObjectId(dm));
}

QString ReadFolder(const QString& dbFolder, TFDM* dm) {
    return Base(dbFolder) + QStringLiteral("Data/FlRead/Fl_") + QString::number(ObjectId(dm));
}

QString FileStem(int address, int sepDevice) {
    if (address < sepDevice) return QStringLiteral("ckm") + IntToStrZ(address, 2);
    if (address == sepDevice) return QStringLiteral("cpo") + IntToStrZ(address - sepDevice, 2);
    return QStringLiteral("cbv") + IntToStrZ(address - kFirstPanelAddress, 2);
}

}  // namespace NetFolders
