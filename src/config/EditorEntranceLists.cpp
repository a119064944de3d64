#include "config/EditorEntranceLists.h"

#include "foundation/BitAndStr.h"

QString EntranceListLine(const QString& house, const QString& kodD, int nPod) {
    QString line;
    if (!house.trimmed().isEmpty())
        line = QStringLiteral("дом ") + house + QLatin1Char(' ');
    else if (!kodD.trimmed().isEmpty())
        line = QStringLiteral("дом ") + kodD + QLatin1Char(' ');
    return line + QStringLiteral("пд.№ ") + IntToStrZ(nPod, 2);
}
