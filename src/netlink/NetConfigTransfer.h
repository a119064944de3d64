#pragma once
// Moving a device's configuration image over the device network: ReadCnf
// reads the configuration memory of one device packet by packet and
// SaveReadCnf stores it as a new file in the object's read folder, with a
// header made from the device's class information; WriteCnf writes a
// configuration file into a device packet by packet, skipping the packets
// whose bytes the device already holds, and marks the device's record.
//
// A packet read counts only when the device echoes the address asked for
// and brings 1 to the asked count of bytes; a packet written counts when the
// device confirmed it or a read-back shows its bytes. A write that misses a
// packet, a stop and a lost port are each reported as such and mark nothing;
// a read that fails or is stopped saves nothing.

#include "netlink/NetOpContext.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class NetDeviceTables;

struct NetReadResult {
    NetOpOutcome outcome = NetOpOutcome::Failed;
    QString savedFile;  // the file the image went to
};

struct NetWriteResult {
    NetOpOutcome outcome = NetOpOutcome::Failed;
    int packets = 0;      // packets the device holds now (written or already there)
    int skipped = 0;      // of those, packets it held already
    bool marked = false;  // the device's record was marked written
};

// The 29 header bytes of a file read from a device: its address, class mask,
// identifier, identities and memory bounds as its class information gives
// them, 0x80, and the producer mark C3 of a file read from a device.
QByteArray DeviceFileHeader(const NetDeviceTables& tables, int address, int sepDevice);

class NetConfigTransfer {
  public:
    explicit NetConfigTransfer(NetOpContext& ctx);

    // Reads the configuration image of the device and, when complete and not
    // stopped, saves it. The device need not be selected.
    NetReadResult ReadCnf(int address);
    // Stores the header and the image as a new file under the device's name
    // (never over an existing one); returns its path, empty when nothing was
    // saved (an empty image, or a file error, which is reported).
    QString SaveReadCnf(int address, const QByteArray& image);
    // Writes the object's file of the device (fromObject), or chosenFile,
    // into the device; the object's file marks the device's record.
    NetWriteResult WriteCnf(int address, bool fromObject, const QString& chosenFile = QString());

    // Puts a finished temporary file in place of target without replacing
    // an existing one (DurableFile::Commit); tests wrap it.
    std::function<bool(const QString& temp, const QString& target, QString* error)> commitFile;

  private:
    struct Place {
        int start = 0, end = 0;
    };
    enum class PacketResult { Written, Skipped, Failed };
    struct LoadedFile {
        QByteArray bytes;  // at most what any device could hold, and one byte more
        qint64 size = 0;   // the file's size
    };

    Place MemoryOf(int address) const;
    bool Selector(int address) const;
    // One read packet: the bytes, or nothing when no acceptable answer came
    // (sent tells whether the request went out at all).
    std::optional<QByteArray> ReadPacket(int address, int at, int count, bool* sent,
                                         QString* answerText);
    NetOpOutcome ReadImage(int address, QByteArray& image);
    void ReportReadFailure(const QString& sentHex, const QString& answerText);

    std::optional<LoadedFile> LoadFile(const QString& path);
    // The bytes the device receives, or nothing when the file is refused.
    std::optional<QByteArray> CheckFile(int address, const LoadedFile& file);
    bool CheckPlace(int address, qint64 size, bool match);
    NetOpOutcome WritePackets(int address, const QByteArray& payload, NetWriteResult& result);
    PacketResult WritePacket(int address, int at, const QByteArray& bytes);
    void ReportWriteOutcome(int address, NetWriteResult& result, bool fromObject);
    void ReportFileFailure();

    QString WriteText(int address, const QString& tail) const;
    void Log1(const QString& line) const;
    void Log2(const QString& line) const;

    NetOpContext& ctx_;
};
