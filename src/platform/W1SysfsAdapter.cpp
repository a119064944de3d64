#include "platform/W1SysfsAdapter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr quint8 kReadRom = 0x33;
constexpr int kRomBytes = 8;
const QString kAdapterFamily = QStringLiteral("81");

QByteArray readSmallFile(const QString& path, qint64 limit) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.read(limit);
}

}  // namespace

QString W1SysfsAdapter::DefaultRoot() {
    return QStringLiteral("/sys/bus/w1/devices");
}

W1SysfsAdapter::W1SysfsAdapter(const QString& root) : root_(root) {}

bool W1SysfsAdapter::Load() {
    return QFileInfo(root_).isDir();
}

// One session per bus master, as one program holds an adapter.
qint32 W1SysfsAdapter::StartSession(qint16 portNumber, qint16, qint32*) {
    if (!Load()) return -201;
    for (qint16 port : std::as_const(sessions_))
        if (port == portNumber) return 0;
    const qint32 handle = nextHandle_++;
    sessions_.insert(handle, portNumber);
    return handle;
}

QString W1SysfsAdapter::masterPath(qint32 session) const {
    return QDir(root_).filePath(QStringLiteral("w1_bus_master%1").arg(sessions_.value(session)));
}

bool W1SysfsAdapter::masterPresent(qint32 session) const {
    return QFileInfo(masterPath(session)).isDir();
}

qint16 W1SysfsAdapter::Setup(qint32 session) {
    if (!sessions_.contains(session)) return OneWireCode::kSessionNotValid;
    return masterPresent(session) ? 1 : 3;
}

// The touch keys the bus master lists now.
QStringList W1SysfsAdapter::keySlaves(qint32 session) const {
    static const QRegularExpression slaveName(QStringLiteral("^([0-9a-fA-F]{2})-[0-9a-fA-F]{12}$"));
    const QString listed = QString::fromLatin1(readSmallFile(
        QDir(masterPath(session)).filePath(QStringLiteral("w1_master_slaves")), 65536));
    QStringList keys;
    for (const QString& line : listed.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = slaveName.match(line.trimmed());
        if (m.hasMatch() && m.captured(1).compare(kAdapterFamily, Qt::CaseInsensitive) != 0)
            keys << line.trimmed();
    }
    return keys;
}

qint16 W1SysfsAdapter::TouchReset(qint32 session) {
    if (!sessions_.contains(session)) return OneWireCode::kSessionNotValid;
    if (!masterPresent(session)) return OneWireCode::kAdapterLost;
    return keySlaves(session).isEmpty() ? 0 : 1;
}

// What a Read ROM gives on the line: every key answers at once and the line
// ANDs their bits (the CRC then fails); a key that left before its bytes
// could be read answers nothing, and nothing reads as ones.
QByteArray W1SysfsAdapter::lineRom(const QStringList& slaves) const {
    QByteArray rom(kRomBytes, char(0xFF));
    for (const QString& slave : slaves) {
        const QByteArray id =
            readSmallFile(QDir(root_).filePath(slave + QStringLiteral("/id")), kRomBytes + 1);
        if (id.size() != kRomBytes) continue;
        for (int i = 0; i < kRomBytes; ++i) rom[i] = char(quint8(rom[i]) & quint8(id[i]));
    }
    return rom;
}

qint16 W1SysfsAdapter::BlockStream(qint32 session, quint8* buffer, qint16 length) {
    if (!sessions_.contains(session)) return OneWireCode::kSessionNotValid;
    if (!masterPresent(session)) return OneWireCode::kAdapterLost;
    if (length <= 0 || !buffer) return 0;
    // The kernel gives no raw access to the line: only the Read ROM exchange
    // can be answered from what it found.
    if (buffer[0] != kReadRom) return OneWireCode::kNotSupported;
    const QByteArray rom = lineRom(keySlaves(session));
    for (int i = 1; i < length; ++i) buffer[i] = i <= kRomBytes ? quint8(rom[i - 1]) : 0xFF;
    return length;
}

void W1SysfsAdapter::Close(qint32) {}

void W1SysfsAdapter::EndSession(qint32 session) {
    sessions_.remove(session);
}
