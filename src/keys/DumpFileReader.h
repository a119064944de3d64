#pragma once
// What both key dump readers share: the file read whole (a dump is a few
// kilobytes of device memory, so anything above a megabyte is not one), and
// the parse console's line for one byte.

#include "foundation/TFDM.h"  // ProgressFn

#include <QByteArray>
#include <QString>

#include <optional>

constexpr qint64 kMaxDumpFileBytes = 1024 * 1024;

enum class DumpFileStatus { Ok, TooLarge, Unreadable };

// Reads the file into bytes; the file is closed on every way out. error says
// why it could not be read.
DumpFileStatus ReadDumpFileBytes(const QString& path, QByteArray& bytes, QString* error);

// The folder a dump's open dialog starts in: dbFolder + "Data/" +
// "FlRead/Fl_" (dumps read from the network) or "FlWrite/Fl_" + the current
// object's id_nom, "0" without an object.
QString DumpFilesFolder(const QString& dbFolder, bool writtenFolder, std::optional<qint64> idNom);

namespace DumpConsole {

// "! Возможно файл не соответствует структуре !"
QString NotThisStructure();

// "bt" + the address as 8 decimal digits [+ " $" + it as 8 hexadecimal
// digits] + ":  " + the byte's 8 bits + separator (" - ", or " - не ключ "
// for a byte of an empty БЭКУ slot) + its 2 hexadecimal digits.
QString ByteLine(qint64 address, quint8 byte, bool withHex,
                 const QString& separator = QStringLiteral(" - "));

// The key text of a little-endian slot: each byte as two hexadecimal digits,
// the last byte first.
QString SlotKey(const char* bytes, int width);

// The 8 bits of a byte, most significant first.
QString Bits(quint8 byte);

}  // namespace DumpConsole

// Reports a byte-by-byte parse to the gauge now and then, not at every byte.
class DumpGauge {
  public:
    DumpGauge(const ProgressFn& progress, qint64 maximum);
    ~DumpGauge();
    DumpGauge(const DumpGauge&) = delete;
    DumpGauge& operator=(const DumpGauge&) = delete;

    void SetMaximum(qint64 maximum);
    void At(qint64 position);

  private:
    void report(bool visible);

    ProgressFn progress_;
    qint64 maximum_;
    qint64 position_ = 0;
    qint64 reported_ = -1;
};
