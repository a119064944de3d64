#include "config/ConfigRepository.h"

#include "config/CallCodeSection.h"
#include "foundation/BoundSql.h"
#include "foundation/Globals.h"

#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

// The on/off columns of a call panel, in the order of section 0.
struct PanelSwitchColumn {
    const char* name;
    bool PanelRow::*member;
};
constexpr PanelSwitchColumn kPanelSwitchColumns[] = {
    {"bell", &PanelRow::bell}, {"auto", &PanelRow::autoKeys}, {"nrcs", &PanelRow::nrcs},
    {"dsoc", &PanelRow::dsoc}, {"ph_0", &PanelRow::ph0},      {"ph_1", &PanelRow::ph1},
    {"scud", &PanelRow::scud}, {"lrez", &PanelRow::lrez},
};

// The numeric columns of a parameter set, in the order of PkParamSetRow.
struct SetColumn {
    const char* name;
    qint64 PkParamSetRow::*member;
};
constexpr SetColumn kSetColumns[] = {
    {"t_cm", &PkParamSetRow::t_cm}, {"t_cl", &PkParamSetRow::t_cl}, {"t_dl", &PkParamSetRow::t_dl},
    {"t_vc", &PkParamSetRow::t_vc}, {"t_st", &PkParamSetRow::t_st}, {"acp1", &PkParamSetRow::acp1},
    {"acp2", &PkParamSetRow::acp2}, {"acp3", &PkParamSetRow::acp3}, {"acp4", &PkParamSetRow::acp4},
    {"t_dx", &PkParamSetRow::t_dx}, {"t_mo", &PkParamSetRow::t_mo}, {"t_bo", &PkParamSetRow::t_bo},
    {"t_wt", &PkParamSetRow::t_wt}, {"t_po", &PkParamSetRow::t_po}, {"edge", &PkParamSetRow::edge},
    {"t_ed", &PkParamSetRow::t_ed}, {"t_de", &PkParamSetRow::t_de},
};

// The flag columns of a row, flag 1 first.
QStringList panelFlagColumns() {
    QStringList cols{QStringLiteral("call"), QStringLiteral("l_otz")};
    for (int j = 3; j <= 16; ++j) cols << QStringLiteral("f_m%1").arg(j, 2, 10, QLatin1Char('0'));
    return cols;
}
QStringList consoleFlagColumns() {
    QStringList cols{QStringLiteral("l_pnp")};
    for (int j = 2; j <= 16; ++j) cols << QStringLiteral("f_p%1").arg(j, 2, 10, QLatin1Char('0'));
    return cols;
}

QString callColumns() {
    QStringList cols{QStringLiteral("v.p_kvr"), QStringLiteral("v.st_kvr"),
                     QStringLiteral("d.kod_d"), QStringLiteral("v.mtdy"), QStringLiteral("v.mtnt")};
    for (const QString& c : panelFlagColumns() + consoleFlagColumns())
        cols << QStringLiteral("v.") + c;
    return cols.join(QStringLiteral(", "));
}

qint64 orMinusOne(const QVariant& v) {
    return v.isNull() ? -1 : v.toLongLong();
}

std::optional<qint64> nullable(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    return v.toLongLong();
}

// A call-code row from the columns callColumns() lists, starting at column first.
CallCodeApartmentRow callApartment(const QSqlQuery& q, int first) {
    CallCodeApartmentRow r;
    r.pKvr = q.value(first).toString();
    r.stKvr = q.value(first + 1).toString();
    r.kodD = q.value(first + 2).toString();
    r.mtdy = orMinusOne(q.value(first + 3));
    r.mtnt = orMinusOne(q.value(first + 4));
    for (int j = 0; j < 16; ++j) r.panelFlags[j] = q.value(first + 5 + j).toLongLong() != 0;
    for (int j = 0; j < 16; ++j) r.consoleFlags[j] = q.value(first + 21 + j).toLongLong() != 0;
    return r;
}
constexpr int kCallColumnCount = 37;

// The wiring of a call panel to the switches of its matrix row (QwBpo, Q_Bkk).
const char* kPanelWiring =
    " FROM m_bv v, m_pk m, k_pk k, k_pod p, k_dom d"
    " WHERE m.n_pk = v.n_pk AND v.id_net = m.id_net AND k.id_pk = m.id_pk"
    " AND p.id_pod = k.id_pod AND p.id_dom = d.id_dom AND v.id_bv = ?";

// The names of numeric columns listed with their record members.
template <typename Column, std::size_t N>
QStringList columnNames(const Column (&columns)[N]) {
    QStringList names;
    for (const Column& c : columns) names << QString::fromLatin1(c.name);
    return names;
}

// The numeric columns from position first on into their members; a NULL
// column is named in the row's nullColumns, since no field can be built from it.
template <typename Row, typename Column, std::size_t N>
void takeNumbers(const QSqlQuery& q, int first, const Column (&columns)[N], Row& row) {
    for (const Column& c : columns) {
        const QVariant v = q.value(first++);
        if (v.isNull()) row.nullColumns << QString::fromLatin1(c.name);
        row.*c.member = v.toLongLong();
    }
}

// The switch of Q_MNpk: switch, entrance, house and matrix column of the object.
const char* kSwitchFrom =
    " FROM k_pk k, k_pod p, k_dom d, m_pk m"
    " WHERE m.n_net = k.n_net AND p.id_dom = d.id_dom AND p.id_pod = k.id_pod"
    " AND d.id_net = ? AND m.id_net = ?";

}  // namespace

ConfigRepository::ConfigRepository(QSqlDatabase db) : db_(db) {}

bool ConfigRepository::run(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    q.setForwardOnly(true);
    if (ExecBound(q, sql, values, &error_)) return true;
    error_ = QStringLiteral("Ошибка чтения базы данных: ") + error_;
    return false;
}

bool ConfigRepository::forEachRow(const QString& sql, const QVariantList& values,
                                  const std::function<void(const QSqlQuery&)>& each) {
    QSqlQuery q(db_);
    if (!run(q, sql, values)) return false;
    while (q.next()) each(q);
    return true;
}

template <typename Row, typename Fill>
bool ConfigRepository::firstRow(const QString& sql, const QVariantList& values,
                                std::optional<Row>& out, Fill fill) {
    out.reset();
    return forEachRow(sql, values, [&](const QSqlQuery& q) {
        if (!out) out = fill(q);
    });
}

bool ConfigRepository::ReadObject(qint64 idNet, std::optional<ConfigObjectRow>& out) {
    return firstRow(
        "SELECT id_net, id_nom, flbv, flpo, farc, incr, l_pok, v_key FROM k_net WHERE id_net = ?",
        {idNet}, out, [](const QSqlQuery& q) {
            ConfigObjectRow o;
            o.idNet = q.value(0).toLongLong();
            o.idNom = q.value(1).toLongLong();
            o.flbv = q.value(2).toString();
            o.flpo = q.value(3).toString();
            o.farc = q.value(4).toLongLong() != 0;
            o.incr = q.value(5).toInt();
            o.lPok = q.value(6).toLongLong() != 0;
            o.vKey = q.value(7).toLongLong();
            return o;
        });
}

bool ConfigRepository::ReadSepDevice(int& out) {
    out = Globals().SepDevice;
    return forEachRow("SELECT SepDevice FROM t_global LIMIT 1", {}, [&](const QSqlQuery& q) {
        if (!q.value(0).isNull()) out = q.value(0).toInt();
    });
}

bool ConfigRepository::ReadSwitch(qint64 idNet, int nNet, std::optional<SwitchRow>& out) {
    const QString sql = QStringLiteral(
                            "SELECT k.id_pk, k.id_pod, k.n_net, k.type_k, k.id_ke, k.id_mvv,"
                            " k.id_mot, k.m_vo, k.m_vb, k.n_xl, k.p_fc, k.rsrv, k.n_vid, k.kf_pr") +
                        QString::fromLatin1(kSwitchFrom) +
                        QStringLiteral(" AND k.n_net = ? ORDER BY d.id_dom, p.n_pod LIMIT 1");
    return firstRow(sql, {idNet, idNet, nNet}, out, [](const QSqlQuery& q) {
        SwitchRow s;
        s.idPk = q.value(0).toLongLong();
        s.idPod = q.value(1).toLongLong();
        s.nNet = q.value(2).toInt();
        s.typeK = q.value(3).toString();
        s.idKe = q.value(4).toLongLong();
        s.idMvv = q.value(5).toLongLong();
        s.idMot = q.value(6).toLongLong();
        s.mVo = q.value(7).toString();
        s.mVb = q.value(8).toString();
        if (q.value(9).isNull()) s.nullColumns << QStringLiteral("n_xl");
        s.nXl = q.value(9).toLongLong();
        if (q.value(10).isNull()) s.nullColumns << QStringLiteral("p_fc");
        s.pFc = q.value(10).toLongLong();
        s.rsrv = nullable(q.value(11));
        s.nVid = nullable(q.value(12));
        s.kfPr = q.value(13).toInt();
        return s;
    });
}

bool ConfigRepository::ReadParamSet(qint64 idKe, std::optional<PkParamSetRow>& out) {
    const QStringList cols =
        QStringList{QStringLiteral("id_ke"), QStringLiteral("name")} + columnNames(kSetColumns);
    const QString sql = QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) +
                        QStringLiteral(" FROM t_ke WHERE id_ke = ?");
    return firstRow(sql, {idKe}, out, [](const QSqlQuery& q) {
        PkParamSetRow set;
        set.idKe = q.value(0).toLongLong();
        set.name = q.value(1).toString();
        takeNumbers(q, 2, kSetColumns, set);
        return set;
    });
}

bool ConfigRepository::ReadTractPanels(qint64 idPk, QList<QList<int>>& out) {
    out = QList<QList<int>>(15);
    return forEachRow(
        "SELECT m.tract, m.n_net FROM m_bv m, k_pk k, m_pk p"
        " WHERE m.n_pk = p.n_pk AND m.id_net = p.id_net AND k.id_pk = p.id_pk"
        " AND (m.plus = 1 OR m.plus = 3) AND p.id_pk = ? AND m.tract BETWEEN 1 AND 15"
        " ORDER BY m.tract, m.n_net",
        {idPk}, [&](const QSqlQuery& q) { out[q.value(0).toInt() - 1] << q.value(1).toInt(); });
}

bool ConfigRepository::ReadEntranceApartments(qint64 idPod, QList<SwitchApartmentRow>& out) {
    out.clear();
    return forEachRow(
        "SELECT m_obr, m_blk, l_vid FROM k_kvr WHERE id_pod = ? ORDER BY p_nom, id_kvr", {idPod},
        [&](const QSqlQuery& q) {
            out << SwitchApartmentRow{q.value(0).toLongLong() != 0, q.value(1).toLongLong() != 0,
                                      q.value(2).toLongLong() != 0};
        });
}

bool ConfigRepository::readMelody(qint64 idMel, const QString& useA, const QString& useB,
                                  std::optional<MelodyRow>& out) {
    if (!firstRow("SELECT id_mel, name FROM t_mel WHERE id_mel = ? AND (forr = ? OR forr = ?)",
                  {idMel, useA, useB}, out, [](const QSqlQuery& q) {
                      return MelodyRow{q.value(0).toLongLong(), q.value(1).toString(), {}};
                  }))
        return false;
    if (!out) return true;
    return forEachRow("SELECT leng, gerc, noot FROM t_bp WHERE id_mel = ? ORDER BY nom, rowid",
                      {idMel}, [&](const QSqlQuery& q) {
                          out->notes
                              << MelodyNoteRow{q.value(0).toLongLong(), q.value(1).toLongLong(),
                                               q.value(2).toLongLong()};
                      });
}

bool ConfigRepository::ReadSwitchMelody(qint64 idMel, std::optional<MelodyRow>& out) {
    return readMelody(idMel, QStringLiteral("отзвонка"), QStringLiteral("вызов"), out);
}

bool ConfigRepository::ReadSwitchFileInput(qint64 idNet, int nNet,
                                           std::optional<SwitchFileInput>& out) {
    out.reset();
    SwitchFileInput in;
    std::optional<ConfigObjectRow> object;
    std::optional<SwitchRow> sw;
    if (!ReadObject(idNet, object) || !ReadSwitch(idNet, nNet, sw)) return false;
    if (!object || !sw) return true;
    in.object = *object;
    in.device = *sw;
    if (!ReadSepDevice(in.sepDevice) || !ReadParamSet(sw->idKe, in.paramSet) ||
        !ReadTractPanels(sw->idPk, in.tractPanels) ||
        !ReadEntranceApartments(sw->idPod, in.apartments) ||
        !ReadSwitchMelody(sw->idMvv, in.callMelody) ||
        !ReadSwitchMelody(sw->idMot, in.ringBackMelody))
        return false;
    out = in;
    return true;
}

bool ConfigRepository::ReadPanel(qint64 idNet, int nNet, std::optional<PanelRow>& out) {
    QStringList cols{QStringLiteral(
        "id_bv, id_net, n_net, bv_type, n_bv, farc, n_nt0, sl, ot, kfilt, blato, adrpk, adrcs,"
        " rsrv")};
    for (const PanelSwitchColumn& c : kPanelSwitchColumns) cols << QString::fromLatin1(c.name);
    for (int i = 0; i < 10; ++i) cols << QStringLiteral("ocode") + QString::number(i);
    const QString sql = QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) +
                        QStringLiteral(
                            " FROM k_bv WHERE id_net = ? AND n_net = ?"
                            " ORDER BY id_bv LIMIT 1");
    return firstRow(sql, {idNet, nNet}, out, [](const QSqlQuery& q) {
        PanelRow p;
        p.idBv = q.value(0).toLongLong();
        p.idNet = q.value(1).toLongLong();
        p.nNet = q.value(2).toInt();
        p.bvType = q.value(3).toInt();
        p.nBv = q.value(4).toString();
        p.farc = q.value(5).toLongLong() != 0;
        p.nNt0 = q.value(6).toInt();
        p.sl = q.value(7).toLongLong();
        p.ot = q.value(8).toLongLong();
        p.kfilt = q.value(9).toLongLong();
        p.blato = q.value(10).toLongLong();
        p.adrpk = q.value(11).toLongLong();
        p.adrcs = orMinusOne(q.value(12));
        p.rsrv = q.value(13).toLongLong();
        int i = 14;
        for (const PanelSwitchColumn& c : kPanelSwitchColumns)
            p.*c.member = q.value(i++).toLongLong() != 0;
        for (QString& code : p.ocode) code = q.value(i++).toString();
        return p;
    });
}

bool ConfigRepository::ReadConsole(qint64 idNet, std::optional<ConsoleRow>& out) {
    QStringList cols{QStringLiteral("id_po"),   QStringLiteral("id_net"), QStringLiteral("n_net"),
                     QStringLiteral("kf_pr"),   QStringLiteral("lrez"),   QStringLiteral("id_mel0"),
                     QStringLiteral("id_mel1"), QStringLiteral("mcam"),   QStringLiteral("sobj1"),
                     QStringLiteral("sobj2"),   QStringLiteral("sus1"),   QStringLiteral("sus2"),
                     QStringLiteral("sus3"),    QStringLiteral("sus4")};
    const int firstNumeric = int(cols.size());
    cols += columnNames(kConsoleNumericColumns);
    const QString sql = QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) +
                        QStringLiteral(" FROM k_po WHERE id_net = ? ORDER BY id_po LIMIT 1");
    return firstRow(sql, {idNet}, out, [firstNumeric](const QSqlQuery& q) {
        ConsoleRow c;
        c.idPo = q.value(0).toLongLong();
        c.idNet = q.value(1).toLongLong();
        c.nNet = q.value(2).toInt();
        c.kfPr = q.value(3).toInt();
        c.lrez = q.value(4).toLongLong() != 0;
        c.idMel0 = q.value(5).toLongLong();
        c.idMel1 = q.value(6).toLongLong();
        c.mcam = q.value(7).toString();
        c.sobj1 = q.value(8).toString();
        c.sobj2 = q.value(9).toString();
        c.sus1 = q.value(10).toString();
        c.sus2 = q.value(11).toString();
        c.sus3 = q.value(12).toString();
        c.sus4 = q.value(13).toString();
        takeNumbers(q, firstNumeric, kConsoleNumericColumns, c);
        return c;
    });
}

bool ConfigRepository::ReadConsoleMelody(qint64 idMel, std::optional<MelodyRow>& out) {
    // The melodies the console screen offers (Q_MelP).
    return readMelody(idMel, QStringLiteral("посетитель"), QStringLiteral("абонент"), out);
}

bool ConfigRepository::ReadConsoleSwitches(qint64 idNet, QList<ConsoleSwitchRow>& out) {
    out.clear();
    QList<qint64> entrances;
    const QString sql = QStringLiteral("SELECT k.id_pk, k.n_net, k.id_pod") +
                        QString::fromLatin1(kSwitchFrom) +
                        QStringLiteral(" ORDER BY k.n_net, k.id_pk");
    if (!forEachRow(sql, {idNet, idNet}, [&](const QSqlQuery& q) {
            ConsoleSwitchRow s;
            s.idPk = q.value(0).toLongLong();
            s.nNet = q.value(1).toInt();
            out << s;
            entrances << q.value(2).toLongLong();
        }))
        return false;
    for (qsizetype i = 0; i < out.size(); ++i) {
        ConsoleSwitchRow& s = out[i];
        // The panels of Q_MNbv: matrix cells of the switch's column wired with plus 1 or 3.
        if (!forEachRow("SELECT b.n_net FROM m_bv m, k_pk k, k_bv b, m_pk p"
                        " WHERE m.id_bv = b.id_bv AND m.n_pk = p.n_pk AND m.id_net = p.id_net"
                        " AND k.id_pk = p.id_pk AND (m.plus = 1 OR m.plus = 3) AND k.id_pk = ?"
                        " ORDER BY m.n_pk, m.n_bv",
                        {s.idPk},
                        [&](const QSqlQuery& q) { s.panels << q.value(0).toLongLong(); }) ||
            !readCallApartments(
                QStringLiteral("SELECT ") + callColumns() +
                    QStringLiteral(" FROM k_kvr v, k_pod p, k_dom d"
                                   " WHERE p.id_pod = v.id_pod AND d.id_dom = p.id_dom"
                                   " AND v.id_pod = ? ORDER BY v.p_nom, v.id_kvr"),
                {entrances[i]}, s.apartments))
            return false;
    }
    return true;
}

bool ConfigRepository::ReadConsoleFileInput(qint64 idNet, std::optional<ConsoleFileInput>& out) {
    out.reset();
    ConsoleFileInput in;
    std::optional<ConfigObjectRow> object;
    if (!ReadObject(idNet, object)) return false;
    if (!object) return true;
    in.object = *object;
    if (!ReadSepDevice(in.sepDevice) || !ReadConsole(idNet, in.console) ||
        !ReadConsoleSwitches(idNet, in.switches) || !ReadObjectCallCodes(idNet, in.objectCallCodes))
        return false;
    if (in.console && (!ReadConsoleMelody(in.console->idMel0, in.visitorMelody) ||
                       !ReadConsoleMelody(in.console->idMel1, in.subscriberMelody)))
        return false;
    out = in;
    return true;
}

bool ConfigRepository::readCallApartments(const QString& sql, const QVariantList& values,
                                          QList<CallCodeApartmentRow>& out) {
    out.clear();
    return forEachRow(sql, values, [&](const QSqlQuery& q) { out << callApartment(q, 0); });
}

bool ConfigRepository::ReadPanelCallApartments(qint64 idBv, QList<CallCodeApartmentRow>& out) {
    return readCallApartments(
        QStringLiteral("SELECT ") + callColumns() +
            QStringLiteral(
                " FROM m_bv b, m_pk m, k_pk k, k_pod p, k_dom d, k_kvr v"
                " WHERE m.n_pk = b.n_pk AND b.id_net = m.id_net AND k.id_pk = m.id_pk"
                " AND p.id_pod = k.id_pod AND p.id_dom = d.id_dom AND v.id_pod = p.id_pod"
                " AND b.id_bv = ? AND (b.plus = 1 OR b.plus = 3)"
                " ORDER BY k.n_net, b.rowid, v.p_nom, v.id_kvr"),
        {idBv}, out);
}

bool ConfigRepository::ReadConsoleCallApartments(qint64 idNet, QList<CallCodeApartmentRow>& out) {
    return readCallApartments(
        QStringLiteral("SELECT ") + callColumns() +
            QStringLiteral(" FROM k_kvr v, k_pk k, k_pod p, k_dom d, m_pk m"
                           " WHERE m.n_net = k.n_net AND p.id_dom = d.id_dom"
                           " AND p.id_pod = k.id_pod AND d.id_net = ? AND m.id_net = ?"
                           " AND v.id_pod = p.id_pod"
                           " ORDER BY k.n_net, k.id_pk, v.p_nom, v.id_kvr"),
        {idNet, idNet}, out);
}

bool ConfigRepository::ReadObjectCallCodes(qint64 idNet, QList<CallCodeApartmentRow>& out) {
    out.clear();
    return forEachRow("SELECT p_kvr, st_kvr FROM k_kvr WHERE id_net = ?", {idNet},
                      [&](const QSqlQuery& q) {
                          CallCodeApartmentRow r;
                          r.pKvr = q.value(0).toString();
                          r.stKvr = q.value(1).toString();
                          out << r;
                      });
}

bool ConfigRepository::readKeys(const QString& sql, qint64 id, QStringList& out) {
    out.clear();
    return forEachRow(sql, {id}, [&](const QSqlQuery& q) { out << q.value(0).toString(); });
}

bool ConfigRepository::readPanelApartments(PanelEntranceRow& e) {
    e.apartments.clear();
    QHash<qint64, int> byId;
    if (!forEachRow(QStringLiteral("SELECT ") + callColumns() +
                        QStringLiteral(", v.id_kvr, v.x_key, v.y_key FROM k_kvr v, k_pod p, k_dom d"
                                       " WHERE v.id_pod = p.id_pod AND p.id_dom = d.id_dom"
                                       " AND v.id_pod = ? ORDER BY v.p_nom, v.id_kvr"),
                    {e.idPod}, [&](const QSqlQuery& q) {
                        PanelApartmentRow a;
                        a.call = callApartment(q, 0);
                        byId.insert(q.value(kCallColumnCount).toLongLong(),
                                    int(e.apartments.size()));
                        a.xKey = q.value(kCallColumnCount + 1).toLongLong();
                        a.yKey = q.value(kCallColumnCount + 2).toLongLong();
                        e.apartments << a;
                    }))
        return false;
    return forEachRow(
        "SELECT y.id_kvr, y.bv_key FROM k_key y, k_kvr r"
        " WHERE y.id_kvr = r.id_kvr AND r.id_pod = ? ORDER BY y.rowid",
        {e.idPod}, [&](const QSqlQuery& q) {
            const auto at = byId.constFind(q.value(0).toLongLong());
            if (at != byId.constEnd()) e.apartments[*at].keys << q.value(1).toString();
        });
}

bool ConfigRepository::ReadPanelEntrances(qint64 idNet, qint64 idBv, QList<PanelEntranceRow>& out) {
    out.clear();
    if (!forEachRow(QStringLiteral("SELECT p.id_pod, k.id_pk, k.n_net, m.n_pk, v.plus, k.p_fc,"
                                   " k.ah, p.d_key, p.o_key") +
                        QString::fromLatin1(kPanelWiring) +
                        QStringLiteral(" AND (v.plus = 1 OR v.plus = 3) ORDER BY k.n_net, v.rowid"),
                    {idBv}, [&](const QSqlQuery& q) {
                        PanelEntranceRow e;
                        e.idPod = q.value(0).toLongLong();
                        e.idPk = q.value(1).toLongLong();
                        e.nNet = q.value(2).toInt();
                        e.nPk = q.value(3).toInt();
                        e.plus = q.value(4).toInt();
                        e.pFc = q.value(5).toLongLong();
                        e.ah = q.value(6).toLongLong();
                        e.dKey = q.value(7).toLongLong();
                        e.oKey = q.value(8).toLongLong();
                        out << e;
                    }))
        return false;
    for (PanelEntranceRow& e : out)
        if (!readEntranceContent(idNet, e)) return false;
    return true;
}

bool ConfigRepository::ReadPanelLinkedEntrances(qint64 idNet, qint64 idBv,
                                                QList<PanelLinkedEntranceRow>& out) {
    out.clear();
    if (!forEachRow(
            QStringLiteral("SELECT p.id_pod, p.o_key") + QString::fromLatin1(kPanelWiring) +
                QStringLiteral(" AND v.plus = 2 ORDER BY m.n_net, v.rowid"),
            {idBv}, [&](const QSqlQuery& q) {
                out << PanelLinkedEntranceRow{q.value(0).toLongLong(), q.value(1).toLongLong(), {}};
            }))
        return false;
    for (PanelLinkedEntranceRow& l : out)
        if (!readLinkedKeys(idNet, l)) return false;
    return true;
}

// ---------------------------------------------------------------- a pass's reads

namespace {

// The entrances of an object's houses: those a pass reads at once.
const QString kObjectEntrances = QStringLiteral(
    "SELECT p.id_pod FROM k_pod p, k_dom d WHERE p.id_dom = d.id_dom AND d.id_net = ?");
const QString kCommonKeyCodes = QStringLiteral(
    "SELECT bv_key FROM k_key WHERE id_pod = ? AND id_kvr = -1"
    " GROUP BY bv_key ORDER BY MIN(rowid)");
const QString kLinkedKeys = QStringLiteral(
    "SELECT bv_key FROM k_key WHERE id_pod = ? AND id_kvr > -2"
    " GROUP BY bv_key ORDER BY MIN(rowid)");

}  // namespace

bool ConfigRepository::readEntranceContent(qint64 idNet, PanelEntranceRow& e) {
    if (reads_) {
        QSet<qint64> read;
        if (!readObjectEntrances(idNet, read)) return false;
        if (read.contains(e.idPod)) {
            const ConfigPassReads::Entrance content = reads_->entrances.value(e.idPod);
            e.apartments = content.apartments;
            e.commonKeys = content.commonKeys;
            return true;
        }
    }
    return readPanelApartments(e) && readKeys(kCommonKeyCodes, e.idPod, e.commonKeys);
}

// The object's entrances, their apartments with their keys and their common
// keys, read by one statement each as the panels' own reads would give them
// entrance by entrance.
bool ConfigRepository::readObjectEntrances(qint64 idNet, QSet<qint64>& ids) {
    const auto known = reads_->entrancesOfObject.constFind(idNet);
    if (known != reads_->entrancesOfObject.constEnd()) {
        ids = *known;
        return true;
    }
    ids.clear();
    if (!forEachRow(kObjectEntrances, {idNet},
                    [&](const QSqlQuery& q) { ids.insert(q.value(0).toLongLong()); }))
        return false;
    QHash<qint64, ConfigPassReads::Entrance>& entrances = reads_->entrances;
    QHash<qint64, QPair<qint64, int>> byId;  // id_kvr -> entrance and position
    if (!forEachRow(
            QStringLiteral("SELECT ") + callColumns() +
                QStringLiteral(", v.id_kvr, v.x_key, v.y_key, v.id_pod"
                               " FROM k_kvr v, k_pod p, k_dom d"
                               " WHERE v.id_pod = p.id_pod AND p.id_dom = d.id_dom"
                               " AND d.id_net = ? ORDER BY v.id_pod, v.p_nom, v.id_kvr"),
            {idNet},
            [&](const QSqlQuery& q) {
                PanelApartmentRow a;
                a.call = callApartment(q, 0);
                a.xKey = q.value(kCallColumnCount + 1).toLongLong();
                a.yKey = q.value(kCallColumnCount + 2).toLongLong();
                const qint64 idPod = q.value(kCallColumnCount + 3).toLongLong();
                QList<PanelApartmentRow>& list = entrances[idPod].apartments;
                byId.insert(q.value(kCallColumnCount).toLongLong(), {idPod, int(list.size())});
                list << a;
            }) ||
        !forEachRow("SELECT y.id_kvr, y.bv_key FROM k_key y, k_kvr r, k_pod p, k_dom d"
                    " WHERE y.id_kvr = r.id_kvr AND r.id_pod = p.id_pod AND p.id_dom = d.id_dom"
                    " AND d.id_net = ? ORDER BY y.rowid",
                    {idNet},
                    [&](const QSqlQuery& q) {
                        const auto at = byId.constFind(q.value(0).toLongLong());
                        if (at != byId.constEnd())
                            entrances[at->first].apartments[at->second].keys
                                << q.value(1).toString();
                    }) ||
        !forEachRow(QStringLiteral("SELECT id_pod, bv_key FROM k_key WHERE id_kvr = -1"
                                   " AND id_pod IN (") +
                        kObjectEntrances +
                        QStringLiteral(") GROUP BY id_pod, bv_key ORDER BY MIN(rowid)"),
                    {idNet}, [&](const QSqlQuery& q) {
                        entrances[q.value(0).toLongLong()].commonKeys << q.value(1).toString();
                    }))
        return false;
    reads_->entrancesOfObject.insert(idNet, ids);
    return true;
}

bool ConfigRepository::readLinkedKeys(qint64 idNet, PanelLinkedEntranceRow& l) {
    if (!reads_) return readKeys(kLinkedKeys, l.idPod, l.keys);
    QSet<qint64> read;
    if (!readObjectEntrances(idNet, read)) return false;
    if (!read.contains(l.idPod)) return readKeys(kLinkedKeys, l.idPod, l.keys);
    if (!reads_->linkedObjects.contains(idNet)) {
        if (!forEachRow(QStringLiteral("SELECT id_pod, bv_key FROM k_key WHERE id_kvr > -2"
                                       " AND id_pod IN (") +
                            kObjectEntrances +
                            QStringLiteral(") GROUP BY id_pod, bv_key ORDER BY MIN(rowid)"),
                        {idNet}, [&](const QSqlQuery& q) {
                            reads_->linkedKeys[q.value(0).toLongLong()] << q.value(1).toString();
                        }))
            return false;
        reads_->linkedObjects.insert(idNet);
    }
    l.keys = reads_->linkedKeys.value(l.idPod);
    return true;
}

bool ConfigRepository::readPrefixWidth(qint64 idNet, int& width) {
    if (reads_) {
        const auto known = reads_->prefixWidths.constFind(idNet);
        if (known != reads_->prefixWidths.constEnd()) {
            width = *known;
            return true;
        }
    }
    QList<CallCodeApartmentRow> objectCodes;
    if (!ReadObjectCallCodes(idNet, objectCodes)) return false;
    width = CallCodePrefixWidth(objectCodes);
    if (reads_) reads_->prefixWidths.insert(idNet, width);
    return true;
}

bool ConfigRepository::ReadGateKeys(qint64 idBv, QStringList& out) {
    return readKeys(QStringLiteral("SELECT bv_key FROM k_key WHERE id_kvr = -2 AND id_pod = ?"
                                   " ORDER BY s_met, rowid"),
                    idBv, out);
}

bool ConfigRepository::ReadPanelFileInput(qint64 idNet, int nNet,
                                          std::optional<PanelFileInput>& out) {
    out.reset();
    PanelFileInput in;
    std::optional<ConfigObjectRow> object;
    std::optional<PanelRow> panel;
    if (!ReadObject(idNet, object) || !ReadPanel(idNet, nNet, panel)) return false;
    if (!object || !panel) return true;
    in.object = *object;
    in.device = *panel;
    if (!ReadSepDevice(in.sepDevice) || !ReadPanelEntrances(idNet, panel->idBv, in.entrances) ||
        !readPrefixWidth(idNet, in.prefixWidth) ||
        !ReadPanelLinkedEntrances(idNet, panel->idBv, in.linkedEntrances))
        return false;
    if (panel->bvType == 1 && !ReadGateKeys(panel->idBv, in.gateKeys)) return false;
    out = in;
    return true;
}
