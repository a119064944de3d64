#pragma once
// The firmware files of the APP folder and the version log "APP/fVer.log":
// what each file holds (read from its header), which log line describes it,
// and which file is the newer firmware for a device.

#include "netlink/NetDeviceTables.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Fields of a TAppFile record.
enum AppFileField {
    kAfFileName = 0,
    kAfBios = 1,       // "$" + 2 hex digits
    kAfClassWord = 2,  // 4 hex digits, high byte first
    kAfApp = 3,        // "$HH$LL", or "0" without an APP version
    kAfLogMatch = 4,   // the version-log entry that describes the file, joined
    kAfMinBios = 5,    // 2 hex digits, "00" when the header has none
    kAfMinBds = 6,
    kAfMark = 7,  // "S" foreign file, "N" its identity is no 10 characters
};

// The header of a firmware file.
struct AppFileHeader {
    QByteArray magic;        // the first 5 bytes
    int formatVersion = -1;  // -1: the old layout without a format byte
    std::optional<int> appVersion;
    int bios = 0;
    int classWord = 0;
    std::optional<int> minBios;  // the lowest BIOS that accepts the file
    std::optional<int> minBds;
    int sectionsOffset = 0;  // where the file's data sections begin
};

// The two magics: "ДАРВО" with a Cyrillic or a Latin third letter.
inline constexpr char kAppMagicCyrillic[] = "C4C0D0C2CE";
inline constexpr char kAppMagicLatin[] = "C4C050C2CE";

// A byte as "$HH", and a 16-bit value as "$HH$LL", high byte first.
QString DollarByte(int value);
QString DollarWord(int value);
// A 16-bit value as four hexadecimal digits, high byte first.
QString WordHex(int value);

// The header from the first bytes of a file; empty for a foreign magic, and
// for a file that ends inside its header.
std::optional<AppFileHeader> ParseAppHeader(const QByteArray& bytes);

class AppFirmwareCatalog {
  public:
    AppFirmwareCatalog(QList<TAppFile>& files, QList<AppVersionEntry>& versionLog)
        : files_(files), versionLog_(versionLog) {}

    // Program folder + "APP/" and its version log.
    static QString AppFolder();
    static QString VersionLogPath();

    // Reads the version log, then lists every firmware file of the APP
    // folder and reads its header. log receives what the result log shows.
    void ListAppFiles(QStringList& log, const std::function<void()>& processEvents = {});
    // Replaces the version log by the lines of APP/fVer.log; false when the
    // file is missing or unreadable (said in log).
    bool ReadVersionLog(QStringList& log);
    // Fills the record's fields from its file's header and its log entry,
    // adding an entry for a file no line describes.
    void ReadAppHeader(int index, QStringList& log);
    // Whether the version log describes the file (field 4 gets the entry).
    bool MatchAppVersion(int index);
    // The record of a newer firmware for a device whose identity is BIOS
    // version, APP version and class word (10 hex digits); -1 when the log
    // names one that is not on disk, -2 when there is none.
    int FindAppForDevice(const QString& identity) const;

  private:
    void LogCompatibility(const QString& flag, QStringList& log) const;

    QList<TAppFile>& files_;
    QList<AppVersionEntry>& versionLog_;
};
