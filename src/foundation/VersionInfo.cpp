#include "foundation/VersionInfo.h"

#include <QStringList>

#ifndef ARM_VERSION
#define ARM_VERSION ""
#endif

QList<VersionString> ProgramVersionStrings() {
    const QString version = QStringLiteral(ARM_VERSION);
    return {
        {QStringLiteral("CompanyName"), QString()},
        {QStringLiteral("FileDescription"), QStringLiteral("АРМ сервис APM ZAZ-Kiro-2")},
        {QStringLiteral("FileVersion"), version},
        {QStringLiteral("InternalName"), QStringLiteral("arm")},
        {QStringLiteral("LegalCopyright"), QString()},
        {QStringLiteral("LegalTrademarks"), QString()},
        {QStringLiteral("OriginalFilename"), QStringLiteral("arm")},
        {QStringLiteral("ProductName"), QStringLiteral("APM ZAZ-Kiro-2")},
        {QStringLiteral("ProductVersion"), version},
        {QStringLiteral("Comments"), QString()},
    };
}

AboutLists MakeAboutLists(const QList<VersionString>& strings) {
    AboutLists lists;
    for (const VersionString& s : strings) {
        if (s.value.isEmpty()) continue;
        lists.keys << s.key + QStringLiteral(" = ");
        lists.values << s.value;
    }
    if (lists.keys.isEmpty()) lists.keys << QStringLiteral("Информации по версии не найдено");
    return lists;
}
