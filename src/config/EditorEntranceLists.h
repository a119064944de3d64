#pragma once
// The entrance lists of the editor's key parts: one line per entrance of
// every house of the object, "дом " + the house's name (or its prefix when
// the name is blank) + " ", then "пд.№ " + the entrance number in two digits.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

QString EntranceListLine(const QString& house, const QString& kodD, int nPod);

// The lines of the object's entrances, houses in the order they were made,
// entrances by number. False when the database fails (error says why).
bool ReadEntranceListLines(QSqlDatabase db, qint64 idNet, QStringList& lines, QString* error);
