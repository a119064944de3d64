#pragma once
// A line of the editor's entrance lists: "дом " + the house's name (or its
// prefix when the name is blank) + " ", then "пд.№ " + the entrance number in
// two digits.

#include <QString>

QString EntranceListLine(const QString& house, const QString& kodD, int nPod);
