#include "devices/ConsoleHardware.h"

#include "foundation/BoundSql.h"

#include <QSqlQuery>
#include <QVariant>

const QList<int>& SeparatorGlyphCodes() {
    static const QList<int> codes = [] {
        QList<int> c;
        for (int i = 1; i <= 10; ++i) c << i;
        for (int i = 13; i <= 19; ++i) c << i;
        c << 21 << 22;
        for (int i = 28; i <= 31; ++i) c << i;
        for (int i = 33; i <= 44; ++i) c << i;
        c << 46 << 47 << 45 << 170;
        return c;
    }();
    return codes;
}

int GlyphOfCode(int code) {
    return int(SeparatorGlyphCodes().indexOf(code));
}

int SeparatorCode(const QVariant& stored) {
    bool ok = false;
    const int code = stored.toString().trimmed().toInt(&ok);
    return ok ? code : kDefaultSeparatorCode;
}

namespace {

const QString kColumns = QStringLiteral(
    "busy, blato, npce, adccl, adccm, adcch, adchl, adchm, adchh, cbto, exec, frmc, lrez");

struct ConsoleHardwareRow {
    qint64 idPo = 0;
    int kfPr = 0;
    ConsoleHardware hw;
    bool frmcIsNumber = false;  // else the shown default is still to be stored
};

bool ReadRow(QSqlDatabase db, qint64 idNet, ConsoleHardwareRow* row, bool* found, QString* error) {
    QSqlQuery q(db);
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_po, kf_pr, ") + kColumns +
                       QStringLiteral(" FROM k_po WHERE id_net=? ORDER BY id_po"),
                   {idNet}, error))
        return false;
    *found = q.next();
    if (!*found) return true;
    row->idPo = q.value(0).toLongLong();
    row->kfPr = q.value(1).toInt();
    int* fields[] = {&row->hw.busy,  &row->hw.blato, &row->hw.npce,  &row->hw.adccl,
                     &row->hw.adccm, &row->hw.adcch, &row->hw.adchl, &row->hw.adchm,
                     &row->hw.adchh, &row->hw.cbto,  &row->hw.exec};
    for (int i = 0; i < 11; ++i) *fields[i] = q.value(2 + i).toInt();
    row->hw.frmc = SeparatorCode(q.value(13));
    q.value(13).toString().trimmed().toInt(&row->frmcIsNumber);
    row->hw.lrez = q.value(14).toInt() != 0;
    return true;
}

ConsoleHardwareWrite WriteConsoleRow(QSqlDatabase db, const ConsoleHardwareRow& row,
                                     const QString& assignments, const QVariantList& values) {
    return UpdateAsEdit(db, QStringLiteral("k_po"), QStringLiteral("id_po"), row.idPo, row.kfPr,
                        assignments, values);
}

}  // namespace

bool ReadConsoleHardware(QSqlDatabase db, qint64 idNet, ConsoleHardware* hw, bool* found,
                         QString* error) {
    ConsoleHardwareRow row;
    if (!ReadRow(db, idNet, &row, found, error)) return false;
    if (*found) *hw = row.hw;
    return *found;
}

ConsoleHardwareWrite WriteHardwareFields(QSqlDatabase db, qint64 idNet, const ConsoleHardware& hw) {
    ConsoleHardwareRow row;
    bool found = false;
    QString error;
    if (!ReadRow(db, idNet, &row, &found, &error)) return DeviceWrite::Failed(error);
    if (!found) return DeviceWrite::Unchanged();
    return WriteConsoleRow(
        db, row,
        QStringLiteral("busy=?, blato=?, npce=?, adccl=?, adccm=?, adcch=?, adchl=?, "
                       "adchm=?, adchh=?, frmc=?, exec=?, cbto=?, lrez=?"),
        {hw.busy, hw.blato, hw.npce, hw.adccl, hw.adccm, hw.adcch, hw.adchl, hw.adchm, hw.adchh,
         hw.frmc, hw.exec, hw.cbto, int(hw.lrez)});
}

ConsoleHardwareWrite SaveUnprotectedHardware(QSqlDatabase db, qint64 idNet,
                                             const ConsoleHardware& hw) {
    ConsoleHardwareRow row;
    bool found = false;
    QString error;
    if (!ReadRow(db, idNet, &row, &found, &error)) return DeviceWrite::Failed(error);
    if (!found || (row.hw.exec == hw.exec && row.hw.cbto == hw.cbto && row.hw.lrez == hw.lrez &&
                   row.frmcIsNumber && row.hw.frmc == hw.frmc))
        return DeviceWrite::Unchanged();
    return WriteConsoleRow(db, row, QStringLiteral("exec=?, cbto=?, lrez=?, frmc=?"),
                           {hw.exec, hw.cbto, int(hw.lrez), hw.frmc});
}
