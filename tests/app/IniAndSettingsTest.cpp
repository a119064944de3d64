#include "MainWindowFixture.h"
#include "app/TFMainVesk.h"
#include "foundation/IniFile.h"
#include "foundation/SettingsFile.h"
#include "platform/AppPaths.h"
#include "platform/Cp1251.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempProgramDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace IniAndSettingsTestUnit {
namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

TEST(IniFile, KeepsFirstSeenOrderAndFindsNamesWithoutCase) {
    IniFile ini;
    ini.Parse(
        QStringLiteral("\xEF\xBB\xBF; comment\n[Size]\r\nsw=1024\r\nsh = 700\n"
                       "junk line\n[dir]\nbd=/a=b/\n[SIZE]\nmx=max\n"));
    EXPECT_EQ(QStringList({QStringLiteral("Size"), QStringLiteral("dir")}), ini.Sections());
    EXPECT_EQ(QStringList({QStringLiteral("sw"), QStringLiteral("sh"), QStringLiteral("mx")}),
              ini.Keys(QStringLiteral("size")));
    EXPECT_EQ(700, ini.ReadInteger(QStringLiteral("Size"), QStringLiteral("SH"), 0));
    EXPECT_EQ(QStringLiteral("/a=b/"),
              ini.ReadString(QStringLiteral("Dir"), QStringLiteral("bd"), {}));
    // Re-writing a key keeps its place.
    ini.WriteInteger(QStringLiteral("Size"), QStringLiteral("sw"), 800);
    EXPECT_EQ(QStringLiteral("[Size]\nsw=800\nsh=700\nmx=max\n\n[dir]\nbd=/a=b/\n\n"),
              ini.ToText());
}

TEST(IniFile, TypedReadsFallBackOnBadValues) {
    IniFile ini;
    ini.Parse(QStringLiteral("[K]\nn=abc\nb0=0\nb1=1\nb5=5\nbx=yes\n"));
    EXPECT_EQ(7, ini.ReadInteger(QStringLiteral("K"), QStringLiteral("n"), 7));
    EXPECT_EQ(7, ini.ReadInteger(QStringLiteral("K"), QStringLiteral("missing"), 7));
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("K"), QStringLiteral("b0"), true));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("K"), QStringLiteral("b1"), false));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("K"), QStringLiteral("b5"), false));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("K"), QStringLiteral("bx"), true));
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("K"), QStringLiteral("bx"), false));
}

TEST(IniFile, SavesUtf8AndReadsItBackWithoutLineBreaksInValues) {
    TempProgramDir dir;
    IniFile ini(dir.path() + QStringLiteral("sub/x.ini"));
    ini.WriteString(QStringLiteral("Greed"), QStringLiteral("fm"), QStringLiteral("ж"));
    ini.WriteString(QStringLiteral("Log"), QStringLiteral("lg"), QStringLiteral("a\nb"));
    ASSERT_TRUE(ini.Save());
    IniFile back(ini.path());
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(QStringLiteral("ж"),
              back.ReadString(QStringLiteral("Greed"), QStringLiteral("fm"), {}));
    EXPECT_EQ(QStringLiteral("a b"),
              back.ReadString(QStringLiteral("Log"), QStringLiteral("lg"), {}));
    EXPECT_EQ(QByteArray("[Greed]\nfm=\xD0\xB6\n\n[Log]\nlg=a b\n\n"),
              readText(ini.path()).toUtf8());
}

TEST(SettingsFile, OpenCreatesTheFolderAndAnEmptyFileGivesTheDefaults) {
    TempProgramDir dir;
    IniFile ini;
    ASSERT_TRUE(SettingsFile::Open(ini));
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("Ini")).exists());
    EXPECT_EQ(dir.path() + QStringLiteral("Ini/save.ini"), ini.path());

    const StartupSettings s = SettingsFile::ReadStartup(ini, 1000, 600);
    EXPECT_EQ(dir.path() + QStringLiteral("DB_ARM/"), s.bd);
    EXPECT_EQ(1000, s.sw);
    EXPECT_EQ(600, s.sh);
    EXPECT_EQ(QStringLiteral("norm"), s.mx);
    EXPECT_EQ(QStringLiteral("ж"), s.fm);
    EXPECT_EQ(QStringLiteral("ж"), s.fp);
    EXPECT_EQ(QStringLiteral("ж"), s.fb);
    EXPECT_EQ(0, s.objectId);
    EXPECT_EQ(0, s.nf);
    EXPECT_EQ(4, s.key.an);
    EXPECT_EQ(1, s.key.rb);
    EXPECT_TRUE(s.key.am);
    EXPECT_FALSE(s.key.al);
    EXPECT_TRUE(s.key.au);
    EXPECT_FALSE(s.key.bp);
    EXPECT_TRUE(s.key.ai);
}

TEST(SettingsFile, AnEmptyOrWindowsDatabaseFolderMeansTheDefaultOne) {
    TempProgramDir dir;
    const QString defaultDir = dir.path() + QStringLiteral("DB_ARM/");
    for (const char* value :
         {"", " ", "C:\\ARM\\DB_ARM\\", "D:/ARM/DB_ARM", "\\\\srv\\arm\\", "db\\arm"}) {
        IniFile ini;
        ini.Parse(QStringLiteral("[Dir]\nbd=") + QString::fromUtf8(value));
        EXPECT_EQ(defaultDir, SettingsFile::ReadStartup(ini, 800, 595).bd) << value;
    }
    IniFile ini;
    ini.Parse(QStringLiteral("[Dir]\nbd=/srv/arm/db"));
    EXPECT_EQ(QStringLiteral("/srv/arm/db/"), SettingsFile::ReadStartup(ini, 800, 595).bd);
}

TEST(IniFile, AFileOfTheOldWindowsProgramIsReadAsWindows1251) {
    TempProgramDir dir;
    // "ж", "н" and a Cyrillic folder name, as the old program wrote them.
    dir.writeFile(QStringLiteral("Ini/save.ini"),
                  "[Greed]\r\nfm=\xE6\r\nfp=\xED\r\n[Dir]\r\nbd=/srv/\xC1\xC4/\r\n");
    IniFile ini;
    ASSERT_TRUE(SettingsFile::Open(ini));
    const StartupSettings s = SettingsFile::ReadStartup(ini, 800, 595);
    EXPECT_EQ(QStringLiteral("ж"), s.fm);
    EXPECT_EQ(QStringLiteral("н"), s.fp);
    EXPECT_EQ(QStringLiteral("/srv/БД/"), s.bd);
    // UTF-8 stays UTF-8, even where its bytes would also be Windows-1251 text.
    EXPECT_EQ(QStringLiteral("ж"), IniFile::DecodeText("\xD0\xB6"));
    EXPECT_EQ(QStringLiteral("Рж"), IniFile::DecodeText("\xD0\xE6"));
}

// The program started on a settings file whose lines come in either
// encoding: each line is read on its own, so the database folder it names,
// Cyrillic letters and all, opens and is written back however another line
// is written, one stray byte in it included.
TEST(SettingsFile, EachLineOfTheSettingsIsReadInItsOwnEncoding) {
    TestDatabase database;
    const QString folder = database.programDir().path() + QStringLiteral("Базы/Объект №1/");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(database.dbPath(), folder + QLatin1String(AppPaths::kDbFileName)));
    const QByteArray utf8 = "bd=" + folder.toUtf8(), cp1251 = "bd=" + ToCp1251(folder);
    const struct {
        const char* what;
        QList<QByteArray> lines;  // the first under [Dir], the rest under [Net] or their own
        QString fm;               // the plain grid font the file sets
    } files[] = {
        {"all in UTF-8", {utf8, "cm=COM1", "[Greed]", "fm=\xD0\xB6"}, QStringLiteral("ж")},
        {"a stray byte in another key", {utf8, "cm=COM1\xFF"}, QStringLiteral("ж")},
        {"a line of the old program", {utf8, "[Greed]", "fm=\xED"}, QStringLiteral("н")},
        {"the folder in Windows-1251 beside UTF-8",
         {cp1251, "cm=COM1", "[Greed]", "fm=\xD0\xB6"},
         QStringLiteral("ж")},
        {"lines ending in CR LF", {utf8 + "\r", "cm=COM1\xFF\r"}, QStringLiteral("ж")},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        QByteArray text = "[Dir]\n" + f.lines.first() + "\n[Net]\n";
        for (const QByteArray& line : f.lines.mid(1)) text += line + "\n";
        database.programDir().writeFile(QStringLiteral("Ini/save.ini"), text);
        {
            ScriptedDialogs dialogs;
            TheWholeProgram program;
            ASSERT_TRUE(FMainVesk);
            EXPECT_EQ(folder, FMainVesk->DatabaseFolder());
            EXPECT_EQ(f.fm, FMainVesk->GridToggle(QStringLiteral("fm")));
        }
        IniFile saved(database.programDir().path() + QStringLiteral("Ini/save.ini"));
        ASSERT_TRUE(saved.Load());
        EXPECT_EQ(folder, saved.ReadString(QStringLiteral("Dir"), QStringLiteral("bd"), {}));
    }
}

TEST(SettingsFile, ClosingWritesEverySectionAndKeyInOrderAndKeepsTheManualPath) {
    IniFile ini(QStringLiteral("/nowhere/save.ini"));
    ini.Parse(QStringLiteral("[Help]\nhp=/doc/manual.pdf\n[Dir]\nbd=/old/\n[Object]\nid=9\n"));
    ClosingSettings s;
    s.sw = 1024;
    s.sh = 700;
    s.maximized = true;
    s.fm = QStringLiteral("н");
    s.net = {3, QStringLiteral("/dev/ttyUSB0"), 250, true, QStringLiteral("net.log")};
    s.key = {6, 2, false, true, false, true, false};
    s.objectId = 12;
    s.nf = 4;
    s.path = QStringLiteral("/db/");
    SettingsFile::WriteClosing(ini, s);
    EXPECT_EQ(QStringLiteral("[Size]\nsw=1024\nsh=700\nmx=max\n\n"
                             "[Greed]\nfm=н\nfp=ж\nfb=ж\n\n"
                             "[Net]\ncr=3\ncm=/dev/ttyUSB0\nwn=250\nlc=1\n\n"
                             "[Key]\nan=6\nrb=2\nam=0\nal=1\nau=0\nbp=1\nai=0\n\n"
                             "[Object]\nid=12\nnf=4\n\n"
                             "[Log]\nlg=net.log\n\n"
                             "[Dir]\nbd=/db/\n\n"
                             "[Help]\nhp=/doc/manual.pdf\n\n"),
              ini.ToText());
}

TEST(SettingsFile, BlankTextsFollowTheirWriteRules) {
    IniFile ini;
    ini.Parse(QStringLiteral("[Dir]\nbd=/kept/\n"));
    ClosingSettings s;
    s.net.cm = QStringLiteral(" ");
    s.net.lg = QStringLiteral(" ");
    s.path = QString();
    SettingsFile::WriteClosing(ini, s);
    EXPECT_EQ(QStringLiteral("0"), ini.ReadString(QStringLiteral("Net"), QStringLiteral("cm"), {}));
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("Log"), QStringLiteral("lg")));
    EXPECT_EQ(QString(),
              ini.ReadString(QStringLiteral("Log"), QStringLiteral("lg"), QStringLiteral("x")));
    EXPECT_EQ(QStringLiteral("/kept/"),
              ini.ReadString(QStringLiteral("Dir"), QStringLiteral("bd"), {}));
    EXPECT_EQ(QStringLiteral("norm"),
              ini.ReadString(QStringLiteral("Size"), QStringLiteral("mx"), {}));
}

TEST(SettingsFile, NetAndLogReadForTheNetworkForm) {
    IniFile ini;
    ini.Parse(QStringLiteral("[Net]\ncr=5\ncm=COM3\nwn=40\nlc=1\n[Log]\nlg=/tmp/p.log\n"));
    const NetFormSettings n = SettingsFile::ReadNet(ini);
    EXPECT_EQ(5, n.cr);
    EXPECT_EQ(QStringLiteral("COM3"), n.cm);
    EXPECT_EQ(40, n.wn);
    EXPECT_TRUE(n.lc);
    EXPECT_EQ(QStringLiteral("/tmp/p.log"), n.lg);
}
}  // namespace
}  // namespace IniAndSettingsTestUnit
