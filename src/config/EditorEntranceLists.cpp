#include "config/EditorEntranceLists.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"

#include <QSqlQuery>
#include <QVariant>

QString EntranceListLine(const QString& house, const QString& kodD, int nPod) {
    QString line;
    if (!house.trimmed().isEmpty())
        line = QStringLiteral("дом ") + house + QLatin1Char(' ');
    else if (!kodD.trimmed().isEmpty())
        line = QStringLiteral("дом ") + kodD + QLatin1Char(' ');
    return line + QStringLiteral("пд.№ ") + IntToStrZ(nPod, 2);
}

bool ReadEntranceListLines(QSqlDatabase db, qint64 idNet, QStringList& lines, QString* error) {
    lines.clear();
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT d.house, d.kod_d, p.n_pod FROM k_dom d"
                                  " JOIN k_pod p ON p.id_dom = d.id_dom"
                                  " WHERE d.id_net = ? ORDER BY d.id_dom, p.n_pod"),
                   {idNet}, error))
        return false;
    while (q.next())
        lines << EntranceListLine(q.value(0).toString(), q.value(1).toString(), q.value(2).toInt());
    return true;
}
