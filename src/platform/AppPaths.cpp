#include "platform/AppPaths.h"

#include <QCoreApplication>

namespace {
QString& overrideDir() {
    static QString dir;
    return dir;
}
}  // namespace

namespace AppPaths {

QString NormalizeDir(const QString& dir) {
    QString d = dir;
    d.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!d.isEmpty() && !d.endsWith(QLatin1Char('/'))) d += QLatin1Char('/');
    return d;
}

QString ProgramDir() {
    if (!overrideDir().isEmpty()) return overrideDir();
    if (QCoreApplication::instance()) return NormalizeDir(QCoreApplication::applicationDirPath());
    return QStringLiteral("./");
}

void SetProgramDirForTests(const QString& dir) {
    overrideDir() = NormalizeDir(dir);
}

QString UnderProgram(const QString& relative) {
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return ProgramDir() + rel;
}

QString DefaultDbDir() {
    return UnderProgram(QStringLiteral("DB_ARM/"));
}

}  // namespace AppPaths
