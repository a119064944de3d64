#pragma once
// One apartment or handset row (k_kvr) as the apartment editor and the
// residents screen show and save it: its values as the controls hold them,
// the row as stored, the console's day and night times a row may follow, and
// the rules both screens share for the times and the call code.

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>

namespace ApartmentRowTexts {
inline const QString kError = QStringLiteral("Ошибка");
inline const QString kCodeTaken = QStringLiteral("Данный код вызова занят!");
}  // namespace ApartmentRowTexts

namespace ApartmentRowLimits {
constexpr int kMaxKeys = 1000;  // x_key
constexpr int kNameWidth = 50;  // Fam, Nam, Och
constexpr int kDayMinutes = 1440;
constexpr int kFirstPanelFlag = 3;    // f_m03 .. f_m16
constexpr int kFirstConsoleFlag = 2;  // f_p02 .. f_p16
constexpr int kLastFlag = 16;
}  // namespace ApartmentRowLimits

// The values of a row as the controls hold them.
struct ApartmentValues {
    QString number;  // n_kvr
    QString code;    // p_kvr
    QString fam, nam, och;
    int keys = 0;      // x_key
    int terminal = 0;  // p_pk
    bool call = false;
    bool ringBack = false;       // l_otz
    bool video = false;          // l_vid
    bool blocked = false;        // m_blk
    bool handset = false;        // l_trub
    bool callBack = false;       // m_obr
    bool redirect = false;       // l_pnp
    bool followsConsole = true;  // STime: the row keeps the console's times
    int dayMinutes = 0;          // the pickers, minutes after midnight
    int nightMinutes = 0;
    // Flags 3..16 of the call panels and 2..16 of the console, by number.
    QVector<bool> panelFlags = QVector<bool>(ApartmentRowLimits::kLastFlag + 1, false);
    QVector<bool> consoleFlags = QVector<bool>(ApartmentRowLimits::kLastFlag + 1, false);
};

// A row as stored.
struct StoredApartment {
    qint64 idKvr = 0;
    qint64 idPod = 0;
    qint64 idNet = 0;
    qint64 idDom = 0;
    int pNom = 0;
    QString origin;    // st_kvr
    QVariant keys;     // x_key, may be null
    int keysHeld = 0;  // y_key
    int mtdy = -1;
    int mtnt = -1;
    ApartmentValues values;  // the stored values; the pickers hold mtdy/mtnt
};

bool ReadApartment(QSqlQuery& q, qint64 idKvr, StoredApartment* out, QString* error);

// The console's times of object idNet. A missing console row is made (as the
// console screen makes it) only for an object that has a console.
struct ConsoleTimes {
    bool found = false;
    int day = 0;
    int night = 0;
};
ConsoleTimes ReadConsoleTimes(qint64 idNet, bool objectHasConsole);

// The row's values for the controls: a row that follows the console's times
// shows them in the pickers.
ApartmentValues ValuesToShow(const StoredApartment& row, const ConsoleTimes& console);

// Row idKvr of object idNet as the controls show it; false when it cannot be
// read.
bool ReadApartmentToShow(qint64 idKvr, qint64 idNet, bool objectHasConsole, ApartmentValues* out);

// A picker left: its time rounded to tens of minutes, within one day.
int RoundToTenMinutes(int minutes);
// mtdy/mtnt as written: -1 while the row follows the console.
int StoredTime(bool followsConsole, int pickerMinutes);
// Whether the times to write differ from the stored ones.
bool TimesChanged(const StoredApartment& row, const ApartmentValues& shown);

// A text as stored: trimmed, and empty rather than null.
QString StoredText(const QString& text);
// A name as stored: trimmed, its first letter in upper case and the rest in
// lower case; blanks give an empty name.
QString NameCase(const QString& name);
