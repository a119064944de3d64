#pragma once
// The current object's device records as the network devices screen changes
// them: the configuration-file state after a file was written into a device,
// and the serial numbers the network reports. Each change is one record
// edited and posted at once through the data module's datasets, which are
// then refreshed as the device editors expect.

#include <QString>
#include <QVariant>

#include <optional>

class TFDM;

// The current object's device records (switches, console, call panels) read
// now, each as its first reader would; false, with the data module's
// LastError(), when one cannot be read: a list that cannot be read is not an
// object without devices.
bool ReadDeviceRecords(TFDM& dm);

// Which record of the object stands for a network address.
enum class NetRecordKind { None, Switch, Console, CallPanel };
// Switches below sepDevice, the console at it, call panels from 64 to 126.
NetRecordKind RecordKindOfAddress(int address, int sepDevice);

// A device record as the serial-number check reads it.
struct NetDeviceRecord {
    int nNet = 0;
    int number = 0;  // the name's number: n_net for a switch, n_nt0 for a call panel
    QString serial;  // trimmed
};

class NetDeviceRecords {
  public:
    explicit NetDeviceRecords(TFDM& dm) : dm_(dm) {}

    // Sets kf_pr to "written to the device" in the record of the address;
    // false when the object has no such record or the database refused
    // (LastError() is then not empty). Record lists that cannot be read are
    // such a refusal.
    bool MarkFileWritten(int address, int sepDevice);

    // The object's record of a kind that holds this serial number, and the
    // one at this address (the console: the object's console record).
    std::optional<NetDeviceRecord> WithSerial(NetRecordKind kind, const QString& serial);
    std::optional<NetDeviceRecord> AtAddress(NetRecordKind kind, int address);
    // Stores the serial number into the record at the address.
    bool StoreSerial(NetRecordKind kind, int address, const QString& serial);

    QString LastError() const { return error_; }

  private:
    bool openRecords();
    bool locate(NetRecordKind kind, int address);
    bool post(NetRecordKind kind, const char* field, const QVariant& value);

    TFDM& dm_;
    QString error_;
};
