#pragma once
// Writing new firmware (the variable part of a device's program, APP) from a
// firmware file into one network device or into the USB adapter itself.
//
// The whole file is checked before the first packet: its header, and that
// every frame holds 1 to 22 bytes, the frames fill each section exactly, no
// byte lies past the end and the data ends with a size-0 word or right after
// a whole section. The file's identity is then compared with what the device
// reported of itself; only a file that fits goes out, frame by frame, as
// memory-write packets, with one repeat pass for the packets left
// unanswered. The upload counts as complete only when every packet was
// answered.

#include "netlink/AppFirmwareCatalog.h"
#include "netlink/NetOpContext.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// One section of a firmware file: where its data goes in the device, and
// the frames it comes in.
struct AppSection {
    int start = 0;
    QList<QByteArray> frames;
};

struct AppFileImage {
    AppFileHeader header;
    QList<AppSection> sections;
};

enum class AppFileFault { None, ForeignMagic, Damaged };

// The header and sections of a firmware file; fault tells why there are none.
std::optional<AppFileImage> ParseAppFile(const QByteArray& bytes, AppFileFault* fault = nullptr);

// What a device reported of itself that decides whether a file fits it.
struct AppDeviceIdentity {
    int bios = 0;
    int classWord = 0;
    std::optional<int> bds;  // unknown when the device reported none
};

// The identity of a device from its class and serial-number answers: BIOS
// and class word from text 1, the BDS version from hex digits 2-3 of text 2.
// The adapter (127) is class FFFF with the BIOS version of its version reply.
AppDeviceIdentity DeviceIdentityOf(const NetDeviceTables& tables, int address);

enum class AppFit { Fits, OtherDevice, IncompatibleBios };

// Whether a file of this header fits the device. classWordText is the file's
// class word as its firmware record holds it (4 hex digits), compared with
// the version log when the BIOS versions differ.
AppFit CheckAppFit(const AppFileHeader& header, const AppDeviceIdentity& device,
                   const QList<AppVersionEntry>& versionLog, const QString& classWordText);

class NetAppUpload {
  public:
    // fileIndex: the file's record in AppFiles. For the adapter (127), -1
    // lets the operator choose the file and -2 or less takes APP/usb20s.usb.
    explicit NetAppUpload(NetOpContext& ctx) : ctx_(ctx) {}

    NetOpOutcome UploadApp(int address, int fileIndex);

    // The initial folder of the file choice; blank: the program's APP/.
    QString appFolder;

    // Caption and filter of the file choice.
    static QString ChooseCaption();
    static QString ChooseFilter();
    // The record index of the file in AppFiles, appended when not there.
    static int AppFileIndex(NetDeviceTables& tables, const QString& fileName);

  private:
    std::optional<QString> AdapterFile(int fileIndex);
    NetOpOutcome UploadFile(int address, const QString& fileName, int fileIndex);
    std::optional<AppFileImage> LoadImage(const QString& fileName);
    bool Fits(int address, const AppFileImage& image, int fileIndex);
    NetOpOutcome SendImage(int address, const AppFileImage& image);
    // One packet sent (up to three tries) and its answer awaited.
    enum class PacketResult { Answered, Unanswered, PortLost };
    PacketResult SendPacket(const TNetFrame& request, int address, int at);
    PacketResult RepeatUnanswered(int address);
    NetOpOutcome ReportPortLost();
    void ReadClassAfterUpload(int address);

    void Log1(const QString& line) const;
    void Log2(const QString& line) const;
    void LogAdapter(const QString& line) const;
    void Log2AndAdapter(const QString& line) const;

    NetOpContext& ctx_;
    bool adapter_ = false;
    bool portLost_ = false;
    QString fileName_;
    struct Pending {
        TNetFrame request;
        int at = 0;
    };
    QList<Pending> unanswered_;
};
