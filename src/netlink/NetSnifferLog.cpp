#include "netlink/NetSnifferLog.h"

#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>

QString NetSnifferLog::DefaultPath() {
    return AppPaths::UnderProgram(QStringLiteral("LOG/log1.log"));
}

QString NetSnifferLog::ResolvePath(const QString& fileName) {
    QString name = fileName.trimmed();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty()) return DefaultPath();
    if (QFileInfo(name).isRelative()) return AppPaths::UnderProgram(name);
    return name;
}

bool NetSnifferLog::Open(const QString& fileName, bool append) {
    Close();
    const QString path = ResolvePath(fileName);
    QDir().mkpath(QFileInfo(path).absolutePath());
    file_.setFileName(path);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | QIODevice::Text | (append ? QIODevice::Append : QIODevice::Truncate);
    return file_.open(mode);
}

void NetSnifferLog::Close() {
    if (file_.isOpen()) file_.close();
}

QString NetSnifferLog::FormatLine(QChar direction, const QString& hexLine, const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) + QLatin1Char(' ') + direction +
           QLatin1Char(' ') + hexLine + QLatin1Char('\n');
}

bool NetSnifferLog::Write(QChar direction, const QString& hexLine, const QDateTime& when) {
    if (!file_.isOpen()) return false;
    const QByteArray line = FormatLine(direction, hexLine, when).toUtf8();
    const bool written = file_.write(line) == line.size();
    return file_.flush() && written;
}
