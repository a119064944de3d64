#include "foundation/CheckedDatabases.h"

#include "foundation/IniFile.h"
#include "platform/AppPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sys/stat.h>

namespace {

const QString kCheckedSection = QStringLiteral("Checked");

QString memoPath() {
    return AppPaths::UnderProgram(QStringLiteral("Ini/db_check.ini"));
}

// A file's name as an INI key: its path may hold any character.
QString keyOf(const QString& file) {
    const QByteArray path = QFileInfo(file).absoluteFilePath().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex());
}

// Size, time of change to the nanosecond and the header's change counter;
// empty when the file cannot be read, or a log of writes lies beside it
// (its changes are not in the file yet).
QString fingerprint(const QString& file) {
    if (QFileInfo::exists(file + QStringLiteral("-wal")) ||
        QFileInfo::exists(file + QStringLiteral("-journal")))
        return QString();
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0) return QString();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    const QByteArray header = f.read(28);
    if (header.size() < 28) return QString();
    const quint32 changes = qFromBigEndian<quint32>(header.constData() + 24);
    return QStringLiteral("%1 %2.%3 %4")
        .arg(qint64(st.st_size))
        .arg(qint64(st.st_mtim.tv_sec))
        .arg(qint64(st.st_mtim.tv_nsec))
        .arg(changes);
}

}  // namespace

namespace CheckedDatabases {

bool Unchanged(const QString& file) {
    IniFile memo(memoPath());
    if (!memo.Load()) return false;
    const QString now = fingerprint(file);
    return !now.isEmpty() && memo.ReadString(kCheckedSection, keyOf(file), QString()) == now;
}

void Remember(const QString& file) {
    const QString now = fingerprint(file);
    if (now.isEmpty() || !QDir().mkpath(QFileInfo(memoPath()).absolutePath())) return;
    IniFile memo(memoPath());
    memo.Load();
    if (memo.ReadString(kCheckedSection, keyOf(file), QString()) == now) return;
    memo.WriteString(kCheckedSection, keyOf(file), now);
    memo.Save();
}

}  // namespace CheckedDatabases
