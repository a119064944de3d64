#pragma once
// The per-address tables of the device network (addresses 0 to 127): the last
// class reply of each address with its answer count, the decoded class fields,
// the texts of each device, and the firmware files found on disk. Every index
// that comes from the wire is checked before it reaches a table.

#include "netlink/TNetFrame.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

constexpr int kNetAddressCount = 128;
constexpr int kNetReplySlotSize = 32;
constexpr int kReplyStoredByte = 30;  // 1 when a class reply is stored
constexpr int kReplyCountByte = 31;   // answers counted for the address

// Fields of TNetDeviceInfo.
enum NetDeviceField {
    kNdAddress = 0,
    kNdFormat = 1,  // length code of the class reply minus 2; below 1: no class answer
    kNdSelector = 2,
    kNdAlpha = 3,
    kNdNidHigh = 4,
    kNdNidLow = 5,
    kNdPtg1 = 6,
    kNdPtg2 = 7,  // the device kind word
    kNdConfigStart = 8,
    kNdConfigEnd = 9,
    kNdAppVersion = 10,
    kNdDtg1 = 11,
    kNdDtg2 = 12,
    kNdAtg1 = 13,
    kNdAtg2 = 14,
    kNdCnfVersion = 15,  // days after 2000-12-30
    kNdCnfUnchanged = 16,
    kNdFieldCount = 17,
};

// Texts of NetDeviceTexts.
enum NetDeviceText {
    kTextSerial = 0,
    kTextPtg = 1,
    kTextDtg = 2,
    kTextFormat = 3,  // the format description, or the ATG identity
    kTextClassMask = 4,
    kTextCount = 5,
};

struct TNetDeviceInfo {
    std::array<int, kNdFieldCount> f{};
    int& operator[](int i) { return f[size_t(i)]; }
    int operator[](int i) const { return f[size_t(i)]; }
    // The network identifier NID (field 4 × 65536 + field 5).
    qint64 Nid() const { return qint64(f[kNdNidHigh]) * 65536 + f[kNdNidLow]; }
};

// One firmware file of the APP folder: ten texts (file name, versions, marks).
struct TAppFile {
    std::array<QString, 10> f;
};

// One line of the firmware version log: which firmware exists for which BIOS
// and device class, and whether it may go into a device with an older BIOS.
struct AppVersionEntry {
    QString bios;       // 2 hexadecimal digits
    QString app;        // the firmware version, 4 hexadecimal digits, high byte first
    QString classWord;  // 4 hexadecimal digits
    QString flag;       // "1" the firmware suits an older BIOS too, "0" it does not
    QString Joined() const { return bios + app + classWord + flag; }
};

// What the class information window shows of one device.
struct NetClassInfo {
    QStringList lines;
    QString serial;          // for the serial-number field; empty when not a serial number
    int serialAddress = -1;  // the device it belongs to
};

class NetDeviceTables {
  public:
    using Reply = std::array<quint8, kNetReplySlotSize>;

    std::array<Reply, kNetAddressCount> NetReplies{};
    std::array<TNetDeviceInfo, kNetAddressCount> NetDevices{};
    std::array<std::array<QString, kTextCount>, kNetAddressCount> NetDeviceTexts;
    QList<TAppFile> AppFiles;
    QList<AppVersionEntry> AppVersionLog;

    static bool InTable(int a) { return a >= 0 && a < kNetAddressCount; }

    int AnswerCount(int a) const { return InTable(a) ? NetReplies[size_t(a)][kReplyCountByte] : 0; }
    bool ReplyStored(int a) const {
        return InTable(a) && NetReplies[size_t(a)][kReplyStoredByte] != 0;
    }
    int Selector(int a) const { return InTable(a) ? NetDevices[size_t(a)][kNdSelector] : 0; }
    QString Text(int a, int text) const;

    // Stores a class reply as received, with the answer count of the address.
    void StoreReply(int a, const TNetFrame& reply, int count);
    // Clears the reply slot of one address (before it is asked again).
    void ClearReply(int a);
    // Clears the reply slots of the devices 0..126 (at link start).
    void ClearDeviceReplies();
    // Clears every table entry of one address.
    void ClearAddress(int a);
    // Clears the three per-address tables.
    void ClearAll();

    // Decodes the stored class reply of a (0..126) into NetDevices and NetDeviceTexts.
    void ParseClassReply(int a);

    // The found-device list: one line per answer counted at a.
    void AddDeviceListLine(int a, QStringList& list, int sepDevice) const;
    void BuildDeviceList(QStringList& list, int sepDevice) const;
    NetClassInfo ShowClassInfo(int a, int sepDevice) const;
};

// The serial number of a serial-number answer (bytes 8+s to 17+s): a letter
// A to J and nine digits, or "Не доступно.".
QString DecodeSerialNumber(const TNetFrame& answer, int selector);
// The DTG identity of a serial-number answer with a length code of 23 or more
// (6 hex digits), else empty.
QString DecodeDtgIdentity(const TNetFrame& answer, int selector);
// A text the class window takes as a serial number.
bool LooksLikeSerialNumber(const QString& text);
