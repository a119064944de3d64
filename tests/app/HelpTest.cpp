#include "foundation/HelpLauncher.h"
#include "foundation/IniFile.h"
#include "foundation/SettingsFile.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace HelpTestUnit {
namespace {

// A stand-in viewer: records its arguments and waits to be closed.
QString writeFakeViewer(const TempProgramDir& dir, const QString& name) {
    const QString path = dir.file(QStringLiteral("bin/") + name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\necho \"$$ $@\" >> \"$(dirname \"$0\")/calls.txt\"\nexec sleep 30\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    return path;
}

// Each call as "pid arguments".
QStringList callLines(const TempProgramDir& dir) {
    QFile f(dir.path() + QStringLiteral("bin/calls.txt"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList calls(const TempProgramDir& dir) {
    QStringList args;
    for (const QString& line : callLines(dir)) args << line.section(QLatin1Char(' '), 1);
    return args;
}

bool processAlive(const QString& pid) {
    return QFile::exists(QStringLiteral("/proc/") + pid);
}

// The viewer records its call once it runs; wait for that.
bool waitForCalls(const TempProgramDir& dir, int count) {
    QElapsedTimer waited;
    waited.start();
    while (calls(dir).size() < count && waited.elapsed() < 10000) QTest::qWait(20);
    return calls(dir).size() >= count;
}

TEST(HelpLauncher, TopicAddressAndViewerCommands) {
    TempProgramDir dir;
    EXPECT_EQ(dir.path() + QStringLiteral("Help/HelpPr.chm::/m007.htm"),
              HelpLauncher::TopicAddress(7));
    EXPECT_EQ(QStringLiteral("m231.htm"), HelpLauncher::TopicPage(231));
    const HelpCommand x =
        HelpLauncher::CommandFor(QStringLiteral("/usr/bin/xchm"),
                                 QStringLiteral("/p/Help/HelpPr.chm"), QStringLiteral("m101.htm"));
    EXPECT_EQ(QStringLiteral("/usr/bin/xchm"), x.program);
    EXPECT_EQ(QStringList({QStringLiteral("file:/p/Help/HelpPr.chm#xchm:/m101.htm")}), x.arguments);
    const HelpCommand k =
        HelpLauncher::CommandFor(QStringLiteral("/usr/bin/kchmviewer"),
                                 QStringLiteral("/p/Help/HelpPr.chm"), QStringLiteral("m101.htm"));
    EXPECT_EQ(QStringList({QStringLiteral("-showPage"), QStringLiteral("m101.htm"),
                           QStringLiteral("/p/Help/HelpPr.chm")}),
              k.arguments);
}

TEST(HelpLauncher, SecondTopicFirstClosesTheViewerOpenedBefore) {
    TempProgramDir dir;
    dir.writeFile(QStringLiteral("Help/HelpPr.chm"), "ITSF");
    HelpLauncher help;
    help.SetViewer(writeFakeViewer(dir, QStringLiteral("xchm")));
    ASSERT_TRUE(help.ShowTopic(231));
    ASSERT_TRUE(waitForCalls(dir, 1));
    EXPECT_TRUE(help.ViewerRunning());
    ASSERT_TRUE(help.ShowTopic(1));
    EXPECT_TRUE(help.ViewerRunning());
    ASSERT_TRUE(waitForCalls(dir, 2));
    EXPECT_EQ(QStringList({QStringLiteral("file:") + dir.path() +
                               QStringLiteral("Help/HelpPr.chm#xchm:/m231.htm"),
                           QStringLiteral("file:") + dir.path() +
                               QStringLiteral("Help/HelpPr.chm#xchm:/m001.htm")}),
              calls(dir));
    ASSERT_FALSE(callLines(dir).isEmpty());
    const QString firstPid = callLines(dir)[0].section(QLatin1Char(' '), 0, 0);
    const QString secondPid = callLines(dir)[1].section(QLatin1Char(' '), 0, 0);
    EXPECT_FALSE(processAlive(firstPid));
    EXPECT_TRUE(processAlive(secondPid));
    help.CloseViewer();
    EXPECT_FALSE(help.ViewerRunning());
    EXPECT_FALSE(processAlive(secondPid));
}

TEST(HelpLauncher, WithoutAViewerOrAHelpFileItSaysWhichIsMissing) {
    TempProgramDir dir;
    const QString chm = dir.path() + QStringLiteral("Help/HelpPr.chm");
    EXPECT_EQ(HelpLauncher::NotInstalledText(QString(), chm),
              QStringLiteral("Справка не установлена.\n"
                             "Не найдена программа просмотра справки (xchm или kchmviewer).\n"
                             "Отсутствует файл ") +
                  chm + QStringLiteral("."));
    const QString viewer = writeFakeViewer(dir, QStringLiteral("xchm"));
    EXPECT_EQ(HelpLauncher::NotInstalledText(viewer, chm),
              QStringLiteral("Справка не установлена.\nОтсутствует файл ") + chm +
                  QStringLiteral("."));
    dir.writeFile(QStringLiteral("Help/HelpPr.chm"), "ITSF");
    EXPECT_EQ(HelpLauncher::NotInstalledText(viewer, chm), QString());
    EXPECT_EQ(HelpLauncher::NotInstalledText(dir.path() + QStringLiteral("Help"), chm),
              QStringLiteral("Справка не установлена.\n"
                             "Не найдена программа просмотра справки ") +
                  dir.path() + QStringLiteral("Help."));

    // Asked for a topic, the launcher tells the operator and starts nothing.
    HelpLauncher help;
    help.SetViewer(dir.path() + QStringLiteral("no-such-viewer"));
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Ошибка"),
                   QStringLiteral("Справка не установлена.\nНе найдена программа просмотра "
                                  "справки ") +
                       dir.path() + QStringLiteral("no-such-viewer."));
    EXPECT_FALSE(help.ShowTopic(100));
    EXPECT_FALSE(help.ViewerRunning());
    EXPECT_TRUE(callLines(dir).isEmpty());
}

TEST(Manual, MissingDefaultFallsBackToTheSavedPathAndWritesItBack) {
    TempProgramDir dir;
    dir.writeFile(QStringLiteral("doc/manual.pdf"), "%PDF");
    IniFile ini;
    SettingsFile::Open(ini);
    SettingsFile::WriteManualPath(ini, dir.path() + QStringLiteral("doc/manual.pdf"));
    QStringList opened;
    EXPECT_TRUE(Manual::Show(ini, [&opened](const QString& p) {
        opened << p;
        return true;
    }));
    EXPECT_EQ(QStringList({dir.path() + QStringLiteral("doc/manual.pdf")}), opened);
    IniFile back(SettingsFile::FilePath());
    back.Load();
    EXPECT_EQ(dir.path() + QStringLiteral("doc/manual.pdf"),
              SettingsFile::ReadManualPath(back, QString()));
}

TEST(Manual, ReportsAMissingFileAndAFailedOpen) {
    TempProgramDir dir;
    IniFile ini;
    SettingsFile::Open(ini);
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Отсутствует файл ") +
                                                     Manual::DefaultPath() + QStringLiteral("."));
        EXPECT_FALSE(Manual::Show(ini, [](const QString&) { return true; }));
    }
    dir.writeFile(QStringLiteral("Help/Руководство оператора RUV Kiro-2.pdf"), "%PDF");
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Ошибка открытия PDF файла."));
        EXPECT_FALSE(Manual::Show(ini, [](const QString&) { return false; }));
    }
}
}  // namespace
}  // namespace HelpTestUnit
