#include "site/TerminalRuleRun.h"

#include "foundation/BoundSql.h"
#include "foundation/TerminalDistribution.h"

#include <QSqlQuery>
#include <QVariant>

int CommonRuleForSwitch(int kind, bool hotel) {
    return kind == TerminalRuleKind::kModulo100 && hotel ? TerminalRuleKind::kIncrementOne : kind;
}

bool ListObjectSwitches(QSqlDatabase db, qint64 idNet, QList<ObjectSwitch>* out, QString* error) {
    QSqlQuery q(db);
    // The join and order of the switch list Q_MNpk.
    if (!ExecBound(q,
                   QStringLiteral("SELECT k.id_pk, p.type_n FROM k_pk k, k_pod p, k_dom d, "
                                  "m_pk m, k_net n WHERE m.n_net = k.n_net "
                                  "AND p.id_dom = d.id_dom AND p.id_pod = k.id_pod "
                                  "AND n.id_net = d.id_net AND m.id_net = n.id_net "
                                  "AND n.id_net = ? ORDER BY d.id_dom, p.n_pod"),
                   {idNet}, error))
        return false;
    while (q.next()) out->append({q.value(0).toLongLong(), q.value(1).toInt() != 0});
    return true;
}

TerminalRunResult RedistributeObjectTerminals(QSqlDatabase db, qint64 idNet,
                                              const TerminalRuleChoice& choice,
                                              const std::function<void(int)>& afterSwitch) {
    TerminalRunResult result;
    if (!choice.Runnable()) {
        result.error = QStringLiteral("Не выбрано условие заполнения");
        return result;
    }
    QList<ObjectSwitch> switches;
    if (!ListObjectSwitches(db, idNet, &switches, &result.error)) return result;
    SqlTransaction tr(db);
    if (!tr.started()) {
        result.error = tr.LastError();
        return result;
    }
    const int callKind = choice.individual ? 1 : 2;
    for (const ObjectSwitch& sw : std::as_const(switches)) {
        const int mode = choice.individual ? 0 : CommonRuleForSwitch(choice.kind, sw.hotel);
        const TerminalResult r = RecountTerminals(db, sw.idPk, callKind, mode);
        if (!r.ok) {
            result.error = r.error;
            return result;
        }
        ++result.switches;
        if (afterSwitch) afterSwitch(result.switches);
    }
    if (!tr.Commit()) {
        result.error = tr.LastError();
        return result;
    }
    result.ok = true;
    return result;
}
