#include "netlink/AppFirmwareCatalog.h"

#include "foundation/BitAndStr.h"
#include "platform/AppPaths.h"
#include "platform/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kMagicSize = 5;
constexpr int kOldHeaderSize = 8;       // magic, BIOS, class word
constexpr int kFormat0HeaderSize = 11;  // magic, format, APP version, BIOS, class word
constexpr int kBoundsHeaderSize = 13;   // and the two compatibility bounds
constexpr int kIdentityLength = 10;
constexpr int kHeaderReadSize = kBoundsHeaderSize;

const QString kSeparatorLine = QStringLiteral(" - - - - - - - - - - - - - - - ");

int Byte(const QByteArray& bytes, int i) {
    return i >= 0 && i < bytes.size() ? quint8(bytes[i]) : 0;
}

int Le16(const QByteArray& bytes, int i) {
    return Byte(bytes, i) | (Byte(bytes, i + 1) << 8);
}

QString Dollarless(const QString& text) {
    QString out = text;
    return out.remove(QLatin1Char('$'));
}

}  // namespace

QString DollarByte(int value) {
    return QLatin1Char('$') + ByteToHex(value & 0xFF);
}

QString DollarWord(int value) {
    return DollarByte(value >> 8) + DollarByte(value & 0xFF);
}

QString WordHex(int value) {
    return ByteToHex((value >> 8) & 0xFF) + ByteToHex(value & 0xFF);
}

std::optional<AppFileHeader> ParseAppHeader(const QByteArray& bytes) {
    AppFileHeader h;
    h.magic = bytes.left(kMagicSize);
    const QByteArray magic = h.magic.toHex().toUpper();
    if (magic == kAppMagicCyrillic) {
        if (bytes.size() < kOldHeaderSize) return std::nullopt;
        h.bios = Byte(bytes, 5);
        h.classWord = Le16(bytes, 6);
        h.sectionsOffset = kOldHeaderSize;
        return h;
    }
    if (magic != kAppMagicLatin || bytes.size() < kFormat0HeaderSize) return std::nullopt;
    h.formatVersion = Byte(bytes, 5);
    h.appVersion = Le16(bytes, 6);
    h.bios = Byte(bytes, 8);
    h.classWord = Le16(bytes, 9);
    h.sectionsOffset = kFormat0HeaderSize;
    if (h.formatVersion > 0) {
        if (bytes.size() < kBoundsHeaderSize) return std::nullopt;
        h.minBios = Byte(bytes, 11);
        h.minBds = Byte(bytes, 12);
        h.sectionsOffset = kBoundsHeaderSize;
    }
    return h;
}

QString AppFirmwareCatalog::AppFolder() {
    return AppPaths::UnderProgram(QStringLiteral("APP/"));
}

QString AppFirmwareCatalog::VersionLogPath() {
    return AppFolder() + QStringLiteral("fVer.log");
}

void AppFirmwareCatalog::ListAppFiles(QStringList& log,
                                      const std::function<void()>& processEvents) {
    ReadVersionLog(log);
    // The list shows what the folder holds now, also when it holds nothing.
    files_.clear();
    const QFileInfoList found =
        QDir(AppFolder()).entryInfoList({QStringLiteral("*.usb")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : found) {
        if (processEvents) processEvents();
        TAppFile record;
        record.f[kAfFileName] = file.absoluteFilePath();
        files_.append(record);
    }
    for (int i = 0; i < files_.size(); ++i) ReadAppHeader(i, log);
}

bool AppFirmwareCatalog::ReadVersionLog(QStringList& log) {
    QFile file(VersionLogPath());
    if (!file.exists()) {
        log << QStringLiteral("Файл \"APP\\fVer.log\" не существует!");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        log << QStringLiteral("Файл \"APP\\fVer.log\" не может быть открыт!");
        return false;
    }
    versionLog_.clear();
    // Hex fields compare as text, with upper-case identities.
    const QStringList lines =
        QString::fromLatin1(file.readAll()).toUpper().split(QLatin1Char('\n'));
    for (QString line : lines) {
        while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
        if (line.size() <= kIdentityLength) continue;
        versionLog_.append({line.mid(0, 2), line.mid(2, 4), line.mid(6, 4), line.mid(10, 1)});
    }
    return true;
}

void AppFirmwareCatalog::ReadAppHeader(int index, QStringList& log) {
    if (index < 0 || index >= files_.size()) return;
    TAppFile& record = files_[index];
    const QString name = record.f[kAfFileName];
    log << kSeparatorLine << QStringLiteral("Чтение файла ") + name;
    QByteArray bytes;
    QFile file(name);
    if (file.open(QIODevice::ReadOnly)) bytes = file.read(kHeaderReadSize);
    log << FromCp1251(bytes.left(kMagicSize));
    const std::optional<AppFileHeader> header = ParseAppHeader(bytes);
    if (!header) {
        log << QStringLiteral("Чужой файл: ") + name;
        record.f[kAfMark] = QStringLiteral("S");
        record.f[kAfLogMatch].clear();
        return;
    }
    if (header->formatVersion >= 0)
        log << QStringLiteral("Версия формата файла: ") + DollarByte(header->formatVersion) +
                   QStringLiteral(". Версия APP:=") + DollarWord(*header->appVersion) +
                   QLatin1Char('.');
    record.f[kAfBios] = DollarByte(header->bios);
    log << QStringLiteral("версия BIOS:=") + record.f[kAfBios];
    log << QStringLiteral("Идентификатор устройства:=") + DollarWord(header->classWord);

    QString flag;
    if (header->formatVersion > 0) {
        record.f[kAfMinBios] = ByteToHex(*header->minBios);
        flag = *header->minBios <= header->bios ? QStringLiteral("1") : QStringLiteral("0");
        log << QStringLiteral("Версия минимально совместимого BIOS:=") + record.f[kAfMinBios] +
                   QLatin1Char('.');
        record.f[kAfMinBds] = ByteToHex(*header->minBds);
        log << QStringLiteral("Версия минимально совместимого BDS:=") + record.f[kAfMinBds] +
                   QLatin1Char('.');
    } else {
        record.f[kAfMinBios] = QStringLiteral("00");
        record.f[kAfMinBds] = QStringLiteral("00");
    }
    record.f[kAfClassWord] = WordHex(header->classWord);
    const int app = header->appVersion.value_or(0);
    record.f[kAfApp] = app != 0 ? DollarWord(app) : QStringLiteral("0");

    if (MatchAppVersion(index)) {
        const QString match = record.f[kAfLogMatch];
        if (match.size() > kIdentityLength) LogCompatibility(match.mid(kIdentityLength, 1), log);
        return;
    }
    const AppVersionEntry entry{ByteToHex(header->bios),
                                header->appVersion ? WordHex(*header->appVersion) : QString(),
                                record.f[kAfClassWord], flag};
    versionLog_.append(entry);
    record.f[kAfLogMatch] = entry.Joined();
    LogCompatibility(flag, log);
}

void AppFirmwareCatalog::LogCompatibility(const QString& flag, QStringList& log) const {
    if (flag == QLatin1String("0"))
        log << QStringLiteral("Не совместим с предыдущей версией BIOS.");
    else if (flag == QLatin1String("1"))
        log << QStringLiteral("Cовместим с предыдущей версией BIOS.");
}

bool AppFirmwareCatalog::MatchAppVersion(int index) {
    if (index < 0 || index >= files_.size()) return false;
    TAppFile& record = files_[index];
    record.f[kAfLogMatch].clear();
    const QString identity =
        Dollarless(record.f[kAfBios] + record.f[kAfApp] + record.f[kAfClassWord]);
    if (identity.size() != kIdentityLength) {
        record.f[kAfMark] = QStringLiteral("N");
        return false;
    }
    bool found = false;
    for (const AppVersionEntry& entry : versionLog_) {
        if (entry.bios != identity.mid(0, 2) || entry.app != identity.mid(2, 4) ||
            entry.classWord != identity.mid(6, 4))
            continue;
        record.f[kAfLogMatch] = entry.Joined();
        found = true;
    }
    return found;
}

int AppFirmwareCatalog::FindAppForDevice(const QString& identity) const {
    if (identity.size() != kIdentityLength) return -2;
    const QString id = identity.toUpper();
    const QString bios = id.mid(0, 2);
    const QString classWord = id.mid(6, 4);
    QString app = id.mid(2, 4);
    // A device without a firmware of its own reports FFFE or FFFF.
    if (app == QLatin1String("FFFE") || app == QLatin1String("FFFF")) app = QStringLiteral("0000");

    std::optional<AppVersionEntry> choice;
    for (const AppVersionEntry& entry : versionLog_) {
        if (entry.classWord != classWord || !(entry.app > app)) continue;
        if (entry.bios > bios) {
            // A newer BIOS is chosen only when the firmware suits the older one.
            if (entry.flag == QLatin1String("1"))
                choice = entry;
            else
                choice.reset();
        } else if (!choice) {
            choice = entry;
        }
    }
    if (!choice) return -2;
    const QString joined = choice->Joined();
    for (int i = int(files_.size()) - 1; i >= 0; --i)
        if (files_[i].f[kAfLogMatch] == joined) return i;
    return -1;
}
