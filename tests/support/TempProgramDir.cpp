#include "support/TempProgramDir.h"

#include "platform/AppPaths.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

TempProgramDir::TempProgramDir() {
    EXPECT_TRUE(dir_.isValid());
    AppPaths::SetProgramDirForTests(path());
}

TempProgramDir::~TempProgramDir() {
    AppPaths::SetProgramDirForTests(QString());
}

QString TempProgramDir::path() const {
    return AppPaths::NormalizeDir(dir_.path());
}

QString TempProgramDir::file(const QString& relative) const {
    const QString full = path() + relative;
    QDir().mkpath(QFileInfo(full).absolutePath());
    return full;
}

void TempProgramDir::writeFile(const QString& relative, const QByteArray& bytes) const {
    QFile f(file(relative));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
