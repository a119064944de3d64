#pragma once
// The workstation's settings file "Ini/save.ini" under the program folder:
// what the main window reads at start-up and writes back when it closes.

#include "foundation/IniFile.h"
#include "foundation/ScreenServices.h"

#include <QString>

// What the main window takes from the file at start-up.
struct StartupSettings {
    QString bd;  // database folder, trailing '/'; the default one when unusable
    int sw = 800;
    int sh = 595;
    QString mx = QStringLiteral("norm");
    QString fm = QStringLiteral("ж");  // font toggles of the matrix, switch and call-panel grids
    QString fp = QStringLiteral("ж");
    QString fb = QStringLiteral("ж");
    int objectId = 0;
    int nf = 0;  // screen shown at the last exit
    KeyScreenSettings key;
};

// What the main window writes when it closes with a database open.
struct ClosingSettings {
    int sw = 800;
    int sh = 595;
    bool maximized = false;
    QString fm = QStringLiteral("ж");
    QString fp = QStringLiteral("ж");
    QString fb = QStringLiteral("ж");
    NetFormSettings net;
    KeyScreenSettings key;
    int objectId = 0;
    int nf = 0;
    QString path;  // the database folder in use
};

// Where the key readers are, section Readers: the card reader's port when
// it cannot be found by its USB description, and the folder of the kernel's
// 1-Wire devices.
struct ReaderSettings {
    QString rfidPort;  // rfid: a device name ("ttyUSB0") or path; empty for none
    QString w1Root;    // w1
};

namespace SettingsFile {

// Program folder + "Ini/save.ini".
QString FilePath();

// Creates the folder "Ini/" when missing and loads the file into ini (an
// absent file gives an empty one).
bool Open(IniFile& ini, QString* error = nullptr);

// Sections Dir, Size, Greed, Object and Key, with their defaults;
// widthMain/heightMain are the size defaults.
StartupSettings ReadStartup(const IniFile& ini, int widthMain, int heightMain);

// Sections Net and Log, as the network settings form reads them.
NetFormSettings ReadNet(const IniFile& ini);

// Writes Size, Greed, Net, Key, Object, Log and Dir, in this order and with
// their keys in order; sections the main window does not own (Help) follow
// unchanged. bd is written only when the folder compares above " ".
void WriteClosing(IniFile& ini, const ClosingSettings& s);

// Section Readers, with its defaults.
ReaderSettings ReadReaders(const IniFile& ini);

// Help/hp: the operator's manual.
QString ReadManualPath(const IniFile& ini, const QString& def);
void WriteManualPath(IniFile& ini, const QString& path);

}  // namespace SettingsFile

// Text comparison as the settings rules use it ("compares above ' '"):
// ordinal, so the empty text and a single blank are not above.
bool ComparesAbove(const QString& text, const QString& than);
