#include "foundation/SettingsFile.h"

#include "platform/AppPaths.h"
#include "platform/W1SysfsAdapter.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

bool ComparesAbove(const QString& text, const QString& than) {
    return text.compare(than) > 0;
}

namespace SettingsFile {

namespace {
const QString kBlankSetting = QStringLiteral(" ");
const QString kBold0 = QStringLiteral("ж");

// A folder of the old Windows program: a drive letter or backslashes.
bool isWindowsPath(const QString& path) {
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    return path.contains(QLatin1Char('\\')) || drive.match(path).hasMatch();
}

// An empty value, and a Windows folder that cannot exist here, count as a
// missing key: the database is looked for in the default folder.
QString savedDbFolder(const QString& value) {
    if (!ComparesAbove(value, kBlankSetting) || isWindowsPath(value))
        return AppPaths::DefaultDbDir();
    return AppPaths::NormalizeDir(value);
}
}  // namespace

QString FilePath() {
    return AppPaths::UnderProgram(QStringLiteral("Ini/save.ini"));
}

bool Open(IniFile& ini, QString* error) {
    const QString path = FilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error) *error = QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath());
        ini = IniFile(path);
        return false;
    }
    ini = IniFile(path);
    return ini.Load(error);
}

StartupSettings ReadStartup(const IniFile& ini, int widthMain, int heightMain) {
    StartupSettings s;
    s.bd = savedDbFolder(ini.ReadString(QStringLiteral("Dir"), QStringLiteral("bd"), QString()));
    s.sw = ini.ReadInteger(QStringLiteral("Size"), QStringLiteral("sw"), widthMain);
    s.sh = ini.ReadInteger(QStringLiteral("Size"), QStringLiteral("sh"), heightMain);
    s.mx = ini.ReadString(QStringLiteral("Size"), QStringLiteral("mx"), QStringLiteral("norm"));
    s.fm = ini.ReadString(QStringLiteral("Greed"), QStringLiteral("fm"), kBold0);
    s.fp = ini.ReadString(QStringLiteral("Greed"), QStringLiteral("fp"), kBold0);
    s.fb = ini.ReadString(QStringLiteral("Greed"), QStringLiteral("fb"), kBold0);
    s.objectId = ini.ReadInteger(QStringLiteral("Object"), QStringLiteral("id"), 0);
    s.nf = ini.ReadInteger(QStringLiteral("Object"), QStringLiteral("nf"), 0);
    const QString key = QStringLiteral("Key");
    s.key.an = ini.ReadInteger(key, QStringLiteral("an"), 4);
    s.key.rb = ini.ReadInteger(key, QStringLiteral("rb"), 1);
    s.key.am = ini.ReadBool(key, QStringLiteral("am"), true);
    s.key.al = ini.ReadBool(key, QStringLiteral("al"), false);
    s.key.au = ini.ReadBool(key, QStringLiteral("au"), true);
    s.key.bp = ini.ReadBool(key, QStringLiteral("bp"), false);
    s.key.ai = ini.ReadBool(key, QStringLiteral("ai"), true);
    return s;
}

NetFormSettings ReadNet(const IniFile& ini) {
    NetFormSettings n;
    const QString net = QStringLiteral("Net");
    n.cr = ini.ReadInteger(net, QStringLiteral("cr"), n.cr);
    n.cm = ini.ReadString(net, QStringLiteral("cm"), n.cm);
    n.wn = ini.ReadInteger(net, QStringLiteral("wn"), n.wn);
    n.lc = ini.ReadBool(net, QStringLiteral("lc"), n.lc);
    n.lg = ini.ReadString(QStringLiteral("Log"), QStringLiteral("lg"), n.lg);
    return n;
}

void WriteClosing(IniFile& ini, const ClosingSettings& s) {
    IniFile out(ini.path());
    const QString size = QStringLiteral("Size");
    out.WriteInteger(size, QStringLiteral("sw"), s.sw);
    out.WriteInteger(size, QStringLiteral("sh"), s.sh);
    out.WriteString(size, QStringLiteral("mx"),
                    s.maximized ? QStringLiteral("max") : QStringLiteral("norm"));
    const QString greed = QStringLiteral("Greed");
    out.WriteString(greed, QStringLiteral("fm"), s.fm);
    out.WriteString(greed, QStringLiteral("fp"), s.fp);
    out.WriteString(greed, QStringLiteral("fb"), s.fb);
    const QString net = QStringLiteral("Net");
    out.WriteInteger(net, QStringLiteral("cr"), s.net.cr);
    out.WriteString(net, QStringLiteral("cm"),
                    ComparesAbove(s.net.cm, kBlankSetting) ? s.net.cm : QStringLiteral("0"));
    out.WriteInteger(net, QStringLiteral("wn"), s.net.wn);
    out.WriteBool(net, QStringLiteral("lc"), s.net.lc);
    const QString key = QStringLiteral("Key");
    out.WriteInteger(key, QStringLiteral("an"), s.key.an);
    out.WriteInteger(key, QStringLiteral("rb"), s.key.rb);
    out.WriteBool(key, QStringLiteral("am"), s.key.am);
    out.WriteBool(key, QStringLiteral("al"), s.key.al);
    out.WriteBool(key, QStringLiteral("au"), s.key.au);
    out.WriteBool(key, QStringLiteral("bp"), s.key.bp);
    out.WriteBool(key, QStringLiteral("ai"), s.key.ai);
    out.WriteInteger(QStringLiteral("Object"), QStringLiteral("id"), s.objectId);
    out.WriteInteger(QStringLiteral("Object"), QStringLiteral("nf"), s.nf);
    out.WriteString(QStringLiteral("Log"), QStringLiteral("lg"),
                    ComparesAbove(s.net.lg, kBlankSetting) ? s.net.lg : QString());
    if (ComparesAbove(s.path, kBlankSetting))
        out.WriteString(QStringLiteral("Dir"), QStringLiteral("bd"), s.path);
    // Keep what belongs to others (the manual path) and any folder not replaced.
    for (const QString& section : ini.Sections())
        for (const QString& k : ini.Keys(section))
            if (!out.ValueExists(section, k))
                out.WriteString(section, k, ini.ReadString(section, k, QString()));
    ini = out;
}

ReaderSettings ReadReaders(const IniFile& ini) {
    const QString readers = QStringLiteral("Readers");
    ReaderSettings r;
    r.rfidPort = ini.ReadString(readers, QStringLiteral("rfid"), QString()).trimmed();
    r.w1Root = ini.ReadString(readers, QStringLiteral("w1"), QString()).trimmed();
    if (r.w1Root.isEmpty()) r.w1Root = W1SysfsAdapter::DefaultRoot();
    return r;
}

QString ReadManualPath(const IniFile& ini, const QString& def) {
    return ini.ReadString(QStringLiteral("Help"), QStringLiteral("hp"), def);
}

void WriteManualPath(IniFile& ini, const QString& path) {
    ini.WriteString(QStringLiteral("Help"), QStringLiteral("hp"), path);
}

}  // namespace SettingsFile
