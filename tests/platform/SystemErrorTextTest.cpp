// The operating system's reasons as the operator reads them: Russian, and a
// sentence of their own.

#include "platform/DurableFile.h"
#include "platform/SystemErrorText.h"
#include "support/QtPrinters.h"
#include "support/ReadOnlyPath.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

namespace SystemErrorTextTestUnit {
namespace {

TEST(SystemErrorText, ReasonsAreRussianWhetherGivenByNumberOrByTheSystemsWords) {
    EXPECT_EQ(SystemReason(EACCES), "Нет прав доступа.");
    EXPECT_EQ(SystemReason(ENOENT), "Нет такого файла или папки.");
    EXPECT_EQ(SystemReason(ENOSPC), "На диске нет места.");
    EXPECT_EQ(SystemReason(EROFS), "Файловая система доступна только для чтения.");
    EXPECT_EQ(SystemReason(4095), "Системная ошибка 4095.");

    EXPECT_EQ(SystemReason(QStringLiteral("Permission denied")), "Нет прав доступа.");
    EXPECT_EQ(SystemReason(QStringLiteral(" No such file or directory ")),
              "Нет такого файла или папки.");
    EXPECT_EQ(SystemReason(QString::fromLocal8Bit(std::strerror(EISDIR))),
              "Это папка, а не файл.");
    // Words it does not know stay, but as a sentence.
    EXPECT_EQ(SystemReason(QStringLiteral("unknown error")), "Unknown error.");
    EXPECT_EQ(SystemReason(QStringLiteral("Отказано в доступе.")), "Отказано в доступе.");
}

TEST(SystemErrorText, TheReasonFollowsItsSentenceAfterAFullStop) {
    EXPECT_EQ(WithReason(QStringLiteral("Файл /a/b.bin не сохранен"), SystemReason(EACCES)),
              "Файл /a/b.bin не сохранен. Нет прав доступа.");
    EXPECT_EQ(WithReason(QStringLiteral("Ошибка!"), QStringLiteral("нет места")),
              "Ошибка! Нет места.");
    EXPECT_EQ(WithReason(QStringLiteral("Ошибка записи"), QString()), "Ошибка записи.");
}

TEST(SystemErrorText, AFileThatCannotBeWrittenSaysWhyInRussian) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ReadOnlyPath locked(folder);
    if (!locked.Active()) GTEST_SKIP() << "no way to make a folder read-only here";
    QString error;
    EXPECT_FALSE(DurableFile::Write(folder + QStringLiteral("/a.txt"), "x", &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral(". Нет прав доступа.")) ||
                error.endsWith(QStringLiteral(". Операция не разрешена.")))
        << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("denied"))) << error.toStdString();
}
}  // namespace
}  // namespace SystemErrorTextTestUnit
