#include "site/ApartmentRow.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "site/ApartmentFlags.h"

#include <QStringList>

namespace {

// Minutes within one day, whatever was stored.
int withinDay(int minutes) {
    return ((minutes % ApartmentRowLimits::kDayMinutes) + ApartmentRowLimits::kDayMinutes) %
           ApartmentRowLimits::kDayMinutes;
}

}  // namespace

bool ReadApartment(QSqlQuery& q, qint64 idKvr, StoredApartment* out, QString* error) {
    QStringList flags;
    for (int n = ApartmentRowLimits::kFirstPanelFlag; n <= ApartmentRowLimits::kLastFlag; ++n)
        flags << QStringLiteral("k.") + FlagColumn("f_m", n);
    for (int n = ApartmentRowLimits::kFirstConsoleFlag; n <= ApartmentRowLimits::kLastFlag; ++n)
        flags << QStringLiteral("k.") + FlagColumn("f_p", n);
    if (!ExecBound(q,
                   QStringLiteral("SELECT k.id_kvr, k.id_pod, k.id_net, p.id_dom, k.p_nom, "
                                  "k.st_kvr, k.x_key, k.y_key, k.mtdy, k.mtnt, k.n_kvr, k.p_kvr, "
                                  "k.Fam, k.Nam, k.Och, k.p_pk, k.call, k.l_otz, k.l_vid, "
                                  "k.m_blk, k.l_trub, k.m_obr, k.l_pnp, ") +
                       flags.join(QStringLiteral(", ")) +
                       QStringLiteral(" FROM k_kvr k LEFT JOIN k_pod p ON p.id_pod=k.id_pod "
                                      "WHERE k.id_kvr=?"),
                   {idKvr}, error))
        return false;
    if (!q.next()) {
        if (error) *error = QStringLiteral("Строка %1 не найдена").arg(idKvr);
        return false;
    }
    StoredApartment r;
    r.idKvr = q.value(0).toLongLong();
    r.idPod = q.value(1).toLongLong();
    r.idNet = q.value(2).toLongLong();
    r.idDom = q.value(3).toLongLong();
    r.pNom = q.value(4).toInt();
    r.origin = q.value(5).toString();
    r.keys = q.value(6);
    r.keysHeld = q.value(7).toInt();
    r.mtdy = q.value(8).isNull() ? -1 : q.value(8).toInt();
    r.mtnt = q.value(9).isNull() ? -1 : q.value(9).toInt();
    ApartmentValues& v = r.values;
    v.number = q.value(10).toString();
    v.code = q.value(11).toString();
    v.fam = q.value(12).toString();
    v.nam = q.value(13).toString();
    v.och = q.value(14).toString();
    v.keys = q.value(6).toInt();
    v.terminal = q.value(15).toInt();
    v.call = q.value(16).toInt() != 0;
    v.ringBack = q.value(17).toInt() != 0;
    v.video = q.value(18).toInt() != 0;
    v.blocked = q.value(19).toInt() != 0;
    v.handset = q.value(20).toInt() != 0;
    v.callBack = q.value(21).toInt() != 0;
    v.redirect = q.value(22).toInt() != 0;
    int column = 23;
    for (int n = ApartmentRowLimits::kFirstPanelFlag; n <= ApartmentRowLimits::kLastFlag; ++n)
        v.panelFlags[n] = q.value(column++).toInt();
    for (int n = ApartmentRowLimits::kFirstConsoleFlag; n <= ApartmentRowLimits::kLastFlag; ++n)
        v.consoleFlags[n] = q.value(column++).toInt();
    v.followsConsole = r.mtdy == -1;
    v.dayMinutes = r.mtdy;
    v.nightMinutes = r.mtnt;
    q.finish();
    *out = r;
    return true;
}

ConsoleTimes ReadConsoleTimes(qint64 idNet, bool objectHasConsole) {
    ConsoleTimes times;
    if (!FDM || idNet == 0) return times;
    auto read = [&] {
        QSqlQuery q(FDM->ConnectionDB());
        QString error;
        if (!ExecBound(q,
                       QStringLiteral("SELECT mtdy, mtnt FROM k_po WHERE id_net=? "
                                      "ORDER BY id_po LIMIT 1"),
                       {idNet}, &error) ||
            !q.next())
            return;
        times = {true, withinDay(q.value(0).toInt()), withinDay(q.value(1).toInt())};
    };
    read();
    // An object without a console gets no console row by being looked at.
    if (!times.found && objectHasConsole) {
        Hooks().LoadSecurityPost();
        read();
    }
    return times;
}

ApartmentValues ValuesToShow(const StoredApartment& row, const ConsoleTimes& console) {
    ApartmentValues v = row.values;
    v.followsConsole = row.mtdy == -1;
    v.dayMinutes = v.followsConsole ? console.day : withinDay(row.mtdy);
    v.nightMinutes = v.followsConsole || row.mtnt < 0 ? console.night : withinDay(row.mtnt);
    return v;
}

bool ReadApartmentToShow(qint64 idKvr, qint64 idNet, bool objectHasConsole, ApartmentValues* out) {
    if (!FDM || idKvr == 0) return false;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    StoredApartment row;
    if (!ReadApartment(q, idKvr, &row, &error)) return false;
    *out = ValuesToShow(row, ReadConsoleTimes(idNet, objectHasConsole));
    return true;
}

int RoundToTenMinutes(int minutes) {
    return withinDay(int(RoundHalfAway(minutes / 10.0)) * 10);
}

int StoredTime(bool followsConsole, int pickerMinutes) {
    return followsConsole ? -1 : withinDay(pickerMinutes);
}

bool TimesChanged(const StoredApartment& row, const ApartmentValues& shown) {
    return StoredTime(shown.followsConsole, shown.dayMinutes) != row.mtdy ||
           StoredTime(shown.followsConsole, shown.nightMinutes) != row.mtnt;
}

QString StoredText(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isNull() ? QStringLiteral("") : trimmed;
}

QString NameCase(const QString& name) {
    const QString trimmed = StoredText(name);
    if (trimmed.isEmpty()) return trimmed;
    return trimmed.left(1).toUpper() + trimmed.mid(1).toLower();
}
