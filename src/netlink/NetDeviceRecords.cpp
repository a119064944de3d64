#include "netlink/NetDeviceRecords.h"

#include "config/ConfigRecords.h"
#include "foundation/BitAndStr.h"
#include "foundation/TFDM.h"
#include "netlink/TNetFrame.h"

namespace {

struct KindColumns {
    Dataset* ds = nullptr;
    const char* serial = nullptr;
    const char* number = nullptr;  // the column the device's name numbers by
};

KindColumns ColumnsOf(TFDM& dm, NetRecordKind kind) {
    switch (kind) {
        case NetRecordKind::Switch:
            return {dm.Q_pk, "sn_pk", "n_net"};
        case NetRecordKind::Console:
            return {dm.Q_PO, "sn_po", "n_net"};
        case NetRecordKind::CallPanel:
            return {dm.Q_bv, "sn_bv", "n_nt0"};
        case NetRecordKind::None:
            break;
    }
    return {};
}

QVariant ValueAt(const Dataset* ds, int row, const char* field) {
    return ds->Value(row, ds->FieldIndex(QLatin1String(field)));
}

NetDeviceRecord RecordAt(const KindColumns& c, int row) {
    return {ValueAt(c.ds, row, "n_net").toInt(), ValueAt(c.ds, row, c.number).toInt(),
            ValueAt(c.ds, row, c.serial).toString().trimmed()};
}

}  // namespace

NetRecordKind RecordKindOfAddress(int address, int sepDevice) {
    if (address < 0) return NetRecordKind::None;
    if (address == sepDevice) return NetRecordKind::Console;
    if (address < sepDevice) return NetRecordKind::Switch;
    if (address >= kFirstPanelAddress && address < kAdapterAddress) return NetRecordKind::CallPanel;
    return NetRecordKind::None;
}

bool ReadDeviceRecords(TFDM& dm) {
    return dm.EnsureRead({dm.Q_pk, dm.Q_PO, dm.Q_bv});
}

bool NetDeviceRecords::openRecords() {
    if (ReadDeviceRecords(dm_)) return true;
    error_ = dm_.LastError();
    return false;
}

bool NetDeviceRecords::locate(NetRecordKind kind, int address) {
    const KindColumns c = ColumnsOf(dm_, kind);
    if (!c.ds || dm_.Q_Net->IsEmpty() || !openRecords() || c.ds->IsEmpty()) return false;
    // An object has one console, whatever network number its record holds.
    if (kind == NetRecordKind::Console) {
        c.ds->First();
        return true;
    }
    return c.ds->Locate(QStringLiteral("n_net"), address);
}

bool NetDeviceRecords::post(NetRecordKind kind, const char* field, const QVariant& value) {
    Dataset* ds = ColumnsOf(dm_, kind).ds;
    ds->Edit();
    ds->FieldByName(QLatin1String(field)).SetValue(value);
    if (!ds->Post()) {
        error_ = ds->LastError();
        ds->Cancel();
        return false;
    }
    // The lists that show the records follow the change.
    bool reopened = true;
    if (kind == NetRecordKind::Switch) reopened = dm_.ReopenSwitches();
    if (kind == NetRecordKind::CallPanel) reopened = dm_.ReopenCallBlocks();
    if (!reopened) error_ = dm_.LastError();
    return reopened;
}

bool NetDeviceRecords::MarkFileWritten(int address, int sepDevice) {
    error_.clear();
    const NetRecordKind kind = RecordKindOfAddress(address, sepDevice);
    if (kind == NetRecordKind::None || !locate(kind, address)) return false;
    return post(kind, "kf_pr", kKfPrWritten);
}

std::optional<NetDeviceRecord> NetDeviceRecords::WithSerial(NetRecordKind kind,
                                                            const QString& serial) {
    const KindColumns c = ColumnsOf(dm_, kind);
    if (!c.ds || dm_.Q_Net->IsEmpty() || serial.trimmed().isEmpty() || !openRecords())
        return std::nullopt;
    for (int row = 0; row < c.ds->RecordCount(); ++row) {
        const NetDeviceRecord record = RecordAt(c, row);
        if (record.serial == serial.trimmed()) return record;
    }
    return std::nullopt;
}

std::optional<NetDeviceRecord> NetDeviceRecords::AtAddress(NetRecordKind kind, int address) {
    const KindColumns c = ColumnsOf(dm_, kind);
    if (!locate(kind, address)) return std::nullopt;
    return RecordAt(c, c.ds->RecNo() - 1);
}

bool NetDeviceRecords::StoreSerial(NetRecordKind kind, int address, const QString& serial) {
    error_.clear();
    if (!locate(kind, address)) return false;
    return post(kind, ColumnsOf(dm_, kind).serial, serial);
}
