#include "site/RawTables.h"

namespace RawTables {

const QList<Entry>& Entries() {
    static const QList<Entry> entries = {
        {QStringLiteral("Объекты"), QStringLiteral("k_net")},
        {QStringLiteral("Дома"), QStringLiteral("k_dom")},
        {QStringLiteral("Подъезды"), QStringLiteral("k_pod")},
        {QStringLiteral("Квартиры"), QStringLiteral("k_kvr")},
        {QStringLiteral("КМ"), QStringLiteral("k_pk")},
        {QStringLiteral("БВ"), QStringLiteral("k_bv")},
        {QStringLiteral("Матрица КМ"), QStringLiteral("m_pk")},
        {QStringLiteral("Матрица БВ"), QStringLiteral("m_bv")},
        {QStringLiteral("Общие параметры КМ"), QStringLiteral("t_ke")},
        {QStringLiteral("Ключи"), QStringLiteral("k_key")},
    };
    return entries;
}

QString StartTable() {
    return Entries().first().table;
}

bool OpenEntry(Dataset& table, int position, QString* error) {
    table.Close();
    if (position >= 0 && position < Entries().size())
        table.SetSelect({{QString(), Entries().at(position).table}}, QString());
    if (table.Open()) return true;
    if (error) *error = table.LastError();
    return false;
}

}  // namespace RawTables
