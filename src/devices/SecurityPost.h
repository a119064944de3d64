#pragma once
// The security-post console of an object (k_po, at most one row) as its screen
// shows and saves it, and the three object-wide settings that concern it: the
// call-back permission, the redirect of calls and the common call code with
// which call panels call the post. Every write of the console row advances its
// kf_pr as an edit does.

#include "devices/DeviceChange.h"
#include "foundation/TFDM.h"  // ProgressFn

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTime>

inline const QString kVisitorMelody = QStringLiteral("Вызов от посетителя");
inline const QString kSubscriberMelody = QStringLiteral("Вызов от абонента");
inline constexpr int kSlideWidth = 16;        // characters of a slide line
inline constexpr int kConsoleCodeLength = 5;  // the common call code
inline constexpr int kOperatorCount = 4;

// What the console screen shows of the console row.
struct SecurityPostSettings {
    int klvl = 8;  // service signal volume 0..15
    int clvl = 8;  // call melody volume 0..15
    QTime dayStart = QTime(8, 0);
    QTime nightStart = QTime(22, 0);
    QList<bool> cameras;  // the camera list, item 0 ("КМ") first
    int ncam = 5;
    int scam = 60;
    int rmto = 90;
    int dpto = 60;
    int clha = 40;
    int cldp = 30;
    int talk = 60;
    int frmi = 3;  // separator position 0..5
    QString sobj1;
    QString sobj2;
    QStringList operators = QStringList(kOperatorCount, QString());
    QString serial;
    qint64 idMel0 = 0;  // visitor melody
    qint64 idMel1 = 0;  // subscriber melody
    bool operator==(const SecurityPostSettings&) const = default;
};

// The object's settings on the console screen.
struct SecurityPostObject {
    bool hasConsole = false;   // l_pok
    bool callBack = false;     // l_obv
    bool packedCodes = false;  // farc
    QString callCode;          // p_kvr
};

// Minutes after midnight of a time, and the time of stored minutes (taken
// within one day, as a fraction of a day is).
int MinutesOfDay(const QTime& t);
QTime TimeOfMinutes(int minutes);

// The camera mask as stored: "1" for a checked item, "0" for the others.
QString CameraMask(const QList<bool>& cameras);
// count items, checked where the stored mask has "1"; items beyond the mask
// stay unchecked.
QList<bool> CamerasFromMask(const QString& mcam, int count);

// Frmi raised to one more than the longest trimmed house prefix.
int AdjustSeparatorPosition(int frmi, const QStringList& housePrefixes);
// The same for the prefixes of the object's houses.
int AdjustSeparatorPosition(QSqlDatabase db, qint64 idNet, int frmi);

// The texts a field shows when it is empty: "Пульт ПО ДАРВО", the date with
// " конф.", "Оператор 1".."Оператор 4".
QString DefaultSlideLine1();
QString DefaultSlideLine2(const QDate& today);
QString DefaultOperator(int n);  // n = 1..4

// The message that names characters a slide refuses, as a slide line tells
// them when typed and the configuration-file editor when it saves:
// "Символ "é" нельзя записать в файл пульта."
QString SlideCharsRefusedText(const QList<char32_t>& chars);

bool ReadSecurityPostObject(QSqlDatabase db, qint64 idNet, SecurityPostObject* object,
                            QString* error);

struct SecurityPostLoad {
    bool ok = false;
    bool loaded = false;   // the object has a console: the settings are its row's
    bool created = false;  // the row was created by this load
    SecurityPostObject object;
    SecurityPostSettings settings;
    QString error;
};

// LoadSecurityPost: the console row's settings for the screen, with the
// default texts in empty fields and cameraCount camera items (CamPO). An
// object with a console and no row gets one when makeMissingRow: appended
// with the table's defaults and saved once with what the screen then shows.
// Without it nothing is written, and the settings are those a new row would
// show.
SecurityPostLoad LoadSecurityPost(QSqlDatabase db, qint64 idNet, const QDate& today,
                                  bool makeMissingRow);
// The camera count of the installation (t_global.CamPO), within 8..255.
int CameraCount(QSqlDatabase db);

// SaveSecurityPost: writes the screen's settings into the console row
// without comparing: melodies still 0 take the standard ones by name, the
// separator position is adjusted to the house prefixes, texts are trimmed.
// The adjusted position is put back into *settings. An object with a console
// whose row is missing gets it here.
bool SaveSecurityPost(QSqlDatabase db, qint64 idNet, SecurityPostSettings* settings,
                      QString* error);

// "Переписать всем квартирам обратный вызов?" / "... перенаправление вызова?"
// (caption "ВНИМАНИЕ"), then every apartment row of the object gets m_obr (or
// l_pnp) := on where it differs, and every call panel and the console advance
// their kf_pr. One transaction.
DeviceChange RewriteCallBack(QSqlDatabase db, qint64 idNet, bool on,
                             const ProgressFn& progress = {}, QString* error = nullptr);
DeviceChange RewriteRedirect(QSqlDatabase db, qint64 idNet, bool on,
                             const ProgressFn& progress = {}, QString* error = nullptr);

// The common call code into the object and every console handset row, then
// kf_pr of the call panels and the console advances. An empty code, or one an
// apartment of the object holds, is refused (caption "Ошибка") with nothing
// written. One transaction.
DeviceChange SaveCommonCallCode(QSqlDatabase db, qint64 idNet, const QString& code,
                                const ProgressFn& progress = {}, QString* error = nullptr);

// Leaving the serial field with typed in it. Another console row of the
// object holding it asks whether to go there, and nothing is stored; emptying
// a stored number asks "Стереть SN?" first; an accepted form is stored
// without touching kf_pr. *shown gets what the field shows afterwards.
DeviceChange LeaveConsoleSerialField(QSqlDatabase db, qint64 idNet, const QString& typed,
                                     QString* shown, QString* error = nullptr);

// The name of a console melody, or "Мелодия не определена".
QString ConsoleMelodyName(QSqlDatabase db, qint64 idMel);

// ---- data-module operations --------------------------------------------------

// LoadSecurityPost for the current object of FDM->Q_Net, making a missing
// row only where the file can be written; Q_PO is read again and shows the
// row as loaded. A failure is reported.
SecurityPostLoad LoadSecurityPost();
// An object flag of the console screen (l_obv, farc) into the current object
// of Q_Net, written only when it differs.
bool SetCurrentObjectFlag(const QString& field, bool on);
