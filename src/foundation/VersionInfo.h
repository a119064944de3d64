#pragma once
// The program's version strings, the ten standard keys of a version resource
// in their usual order. The values come from the build.

#include <QList>
#include <QString>

struct VersionString {
    QString key;
    QString value;
};

// The running program's strings; empty values where the build sets none.
QList<VersionString> ProgramVersionStrings();

// The two lists of the about box: "key = " texts and their values, for the
// keys with a non-empty value; "Информации по версии не найдено" alone in the
// first list when no value is set at all.
struct AboutLists {
    QStringList keys;
    QStringList values;
};
AboutLists MakeAboutLists(const QList<VersionString>& strings);
