#pragma once
// What a call panel is wired to: the switches of its matrix row that ring it
// (link 1 or 3), and the apartment rows of a switch's entrance, where the
// handset its security-call button rings is found.

#include <QList>
#include <QSqlDatabase>
#include <QString>

inline const QString kSecurityPostRow = QStringLiteral("СПО");

struct WiredSwitch {
    qint64 idPk = 0;
    qint64 idPod = 0;
    int nNet = 0;  // network address
    int nPk = 0;   // matrix column
};

// The panel's wired switches by network address (then matrix column).
bool ReadWiredSwitches(QSqlDatabase db, qint64 idBv, QList<WiredSwitch>* wired, QString* error);
// The wired switch with id idPk, or null.
const WiredSwitch* FindWired(const QList<WiredSwitch>& wired, qint64 idPk);
// The wired switch on the lowest matrix column, or null.
const WiredSwitch* FirstByColumn(const QList<WiredSwitch>& wired);

struct EntranceRow {
    int pNom = 0;
    QString nKvr;
    QString stKvr;
};

// The apartment and handset rows of an entrance in p_nom order.
bool ReadEntranceRows(QSqlDatabase db, qint64 idPod, QList<EntranceRow>* rows, QString* error);
// p_nom of the console's handset row, 0 when there is none.
int ConsoleHandsetPnom(const QList<EntranceRow>& rows);
const EntranceRow* FindRow(const QList<EntranceRow>& rows, int pNom);
