#include "KeyObjectFixture.h"

#include "foundation/BoundSql.h"

#include <QSqlRecord>

namespace {
const QString kStatus = QStringLiteral("АРМ 01.03.2024");
}

void KeyObjectFixture::SetUp() {
    dm_ = std::make_unique<TFDM>();
    QString error;
    ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
    {
        SqlTransaction seeding(dm_->ConnectionDB());
        seedSite();
        seedDevices();
        seedKeys();
        ASSERT_TRUE(seeding.Commit());
    }
    ASSERT_TRUE(dm_->OpenAllTables()) << dm_->LastError().toStdString();
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", objectId_));
}

void KeyObjectFixture::Exec(const QString& sql, const QVariantList& values) {
    QSqlQuery q(dm_->ConnectionDB());
    QString error;
    ASSERT_TRUE(ExecBound(q, sql, values, &error))
        << sql.toStdString() << ": " << error.toStdString();
}

QVariant KeyObjectFixture::Scalar(const QString& sql, const QVariantList& values) {
    QSqlQuery q(dm_->ConnectionDB());
    if (!ExecBound(q, sql, values, nullptr) || !q.next()) return QVariant();
    return q.value(0);
}

int KeyObjectFixture::insert(const QString& sql, const QVariantList& values) {
    QSqlQuery q(dm_->ConnectionDB());
    QString error;
    EXPECT_TRUE(ExecBound(q, sql, values, &error))
        << sql.toStdString() << ": " << error.toStdString();
    return q.lastInsertId().toInt();
}

QStringList KeyObjectFixture::TableRows(const QString& sql) {
    QStringList rows;
    QSqlQuery q(dm_->ConnectionDB());
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

void KeyObjectFixture::Reload() {
    ASSERT_TRUE(dm_->OpenAllTables()) << dm_->LastError().toStdString();
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", objectId_));
}

void KeyObjectFixture::Reconnect() {
    dm_->Disconnect();
    QString error;
    ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
}

int KeyObjectFixture::ApartmentId(int entrance, int pNom) {
    return Count("SELECT id_kvr FROM k_kvr WHERE id_pod=? AND p_nom=?",
                 {entranceIds_[entrance], pNom});
}

// The object screen's rows and the entrance screen's generation.
void KeyObjectFixture::seedSite() {
    objectId_ = insert(
        "INSERT INTO k_net (ident, adres, id_nom, v_pod, v_kal, l_pok, st_net, v_key, p_kvr,"
        " v_dom) VALUES ('Дом на Садовой', 'ул. Садовая, 12', 0, 3, 1, 1, 'закрыто', ?, '99', 2)",
        {kObjectKeyQuota});
    Exec("UPDATE k_net SET id_nom=id_net WHERE id_net=?", {objectId_});
    for (int h = 0; h < 2; ++h)
        houseIds_[h] =
            insert("INSERT INTO k_dom (id_net, house, kod_d, v_pod, v_kvr) VALUES (?, ?, ?, ?, ?)",
                   {objectId_, QString::number(h + 1), QString::number(h + 1), h == 0 ? 2 : 1,
                    h == 0 ? 80 : 40});
    const int plan[3][3] = {{0, 1, 1}, {0, 2, 41}, {1, 1, 1}};  // house, entrance, first
    for (int e = 0; e < 3; ++e) {
        const int first = plan[e][2];
        entranceIds_[e] = insert(
            "INSERT INTO k_pod (id_net, id_dom, n_pod, v_dvr, v_kvr, n1kvr, npkvr, type_n)"
            " VALUES (?, ?, ?, 1, ?, ?, ?, 0)",
            {objectId_, houseIds_[plan[e][0]], plan[e][1], kApartments, first,
             first + kApartments - 1});
        seedApartments(e, first);
    }
}

void KeyObjectFixture::seedApartments(int entrance, int firstNumber) {
    for (int pos = 1; pos <= kApartments; ++pos) {
        const QString number = QString::number(firstNumber + pos - 1);
        insert(
            "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, p_pk, x_key, st_kvr, f_k03,"
            " l_trub, m_obr, l_vid) VALUES (?, ?, ?, ?, ?, 0, ?, 'нет', 1, 0, 0, 0)",
            {objectId_, entranceIds_[entrance], pos, number, number, kObjectKeyQuota});
    }
    insert(
        "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr, p_pk, x_key, st_kvr, f_k03,"
        " l_trub, m_obr, l_vid, mtdy, mtnt) VALUES (?, ?, ?, 'пост охраны', '99', 0, 0, 'СПО', 1,"
        " 1, 0, 0, -1, -1)",
        {objectId_, entranceIds_[entrance], kApartments + 1});
}

// The matrix links as the matrix rebuild numbers them (the gate first, then
// the entrance panels; each switch column gets its door, then the gate) and
// the records the device synchronisation makes from them, in that row order.
void KeyObjectFixture::seedDevices() {
    const int first[3] = {1, 41, 1};
    for (int e = 0; e < 3; ++e) {
        const int column = e + 1;
        switchIds_[e] = insert(
            "INSERT INTO k_pk (id_pod, id_net, id_ke, id_mvv, id_mot, m_vo, m_vb, p_fc, n_net,"
            " type_k, type_f, ai, ah, kf_pr) VALUES (?, ?, 1, 1, 2, '11000000', '11000000', 1, ?,"
            " 'Торвин', 0, ?, 0, 0)",
            {entranceIds_[e], objectId_, column, first[e]});
        insert(
            "INSERT INTO m_pk (id_net, n_pk, n_pod, kod_d, v_dvr, n_net, id_pk, id_dom, nm_pod)"
            " VALUES (?, ?, ?, ?, 1, ?, ?, ?, ?)",
            {objectId_, column, e == 1 ? 2 : 1, e == 2 ? "2" : "1", column, switchIds_[e],
             houseIds_[e == 2 ? 1 : 0],
             QStringLiteral("Л-%1").arg(column, 2, 10, QLatin1Char('0'))});
    }
    auto panel = [this](int nt0, int type, const QString& name) {
        return insert(
            "INSERT INTO k_bv (id_net, n_net, n_nt0, n_bv, bv_type, nrcs, l_pok, l_kns, farc,"
            " l_use, kf_pr, blato) VALUES (?, ?, ?, ?, ?, 1, 1, 0, 0, 1, 0, 31)",
            {objectId_, 64 + nt0, nt0, name, type});
    };
    auto wire = [this](int nt0, int type, const QString& row, int column, int tract) {
        insert(
            "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, id_bv, tract,"
            " nm_bv, l_use) VALUES (?, ?, ?, ?, ?, ?, 1, 0, ?, '', 1)",
            {objectId_, row, column, type, 64 + nt0, nt0, tract});
    };
    const QString gateRow = QStringLiteral("БВ калитки 01");
    for (int e = 0; e < 3; ++e) {
        wire(kEntrancePanelNt0 + e, 0,
             QStringLiteral("БВ подъезда %1. 01 вход").arg(e + 1, 2, 10, QLatin1Char('0')), e + 1,
             1);
        wire(kGateNt0, 1, gateRow, e + 1, 2);
    }
    const char* const names[3] = {"БВ02 дом 1 -  1. 01 вх", "БВ03 дом 1 -  2. 01 вх",
                                  "БВ04 дом 2 -  1. 01 вх"};
    entrancePanelIds_[0] = panel(kEntrancePanelNt0, 0, QString::fromUtf8(names[0]));
    gateId_ = panel(kGateNt0, 1, QStringLiteral("БВ01 калитка "));
    for (int e = 1; e < 3; ++e)
        entrancePanelIds_[e] = panel(kEntrancePanelNt0 + e, 0, QString::fromUtf8(names[e]));
    Exec(
        "UPDATE m_bv SET id_bv=(SELECT id_bv FROM k_bv WHERE k_bv.n_net=m_bv.n_net AND"
        " k_bv.id_net=m_bv.id_net) WHERE id_net=?",
        {objectId_});
}

QString KeyObjectFixture::nextKey() {
    return QStringLiteral("%1").arg(++keyCounter_, 12, 16, QLatin1Char('0')).toUpper();
}

// Keys as the key screen stores them, with the counters the data module keeps.
void KeyObjectFixture::seedKeys() {
    const QString sql = QStringLiteral(
        "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met, status, l_del)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0)");
    auto key = [&](int idPod, int idKvr, int label) {
        const QString number = nextKey();
        insert(sql, {number, idPod, number.right(6), idKvr, objectId_, idKvr < 0 ? 1 : 0,
                     QStringLiteral("%1").arg(label, 4, 10, QLatin1Char('0')), kStatus});
    };
    for (int e = 0; e < 3; ++e) {
        for (int pos = 1; pos <= 5; ++pos) {
            const int idKvr = ApartmentId(e, pos);
            key(entranceIds_[e], idKvr, 1);
            key(entranceIds_[e], idKvr, 2);
            Exec("UPDATE k_kvr SET y_key=2 WHERE id_kvr=?", {idKvr});
        }
        for (int label = 1; label <= 3; ++label) key(entranceIds_[e], -1, label);
        Exec("UPDATE k_pod SET o_key=3, o_rky=3 WHERE id_pod=?", {entranceIds_[e]});
    }
    key(gateId_, -2, 1);
    key(gateId_, -2, 2);
}
