#include "foundation/HeldRows.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>

namespace HeldRowTexts {

QString NotSaved(const QString& gone) {
    return gone + QStringLiteral("; изменения не сохранены.");
}

QString Switch(int nNet) {
    return QStringLiteral("Коммутатор ") + DeviceAddrName(nNet, Globals().SepDevice).trimmed() +
           QStringLiteral(" удалён");
}

QString Apartment(const QString& number) {
    return QStringLiteral("Квартира %1 удалена").arg(number.trimmed());
}

}  // namespace HeldRowTexts

namespace {

QString quoted(const QString& name) {
    return QStringLiteral("«") + name.trimmed() + QStringLiteral("»");
}

// The one row of a select by key on the data module's connection; false
// when there is none (or no database is open).
bool readRow(const QString& sql, qint64 id, QSqlQuery* q) {
    if (!FDM || !FDM->Connected() || id <= 0) return false;
    *q = QSqlQuery(FDM->ConnectionDB());
    return ExecBound(*q, sql, {id}, nullptr) && q->next();
}

HeldRow objectRow(const QVariant& idNet, const QString& ident) {
    return {QStringLiteral("k_net"), QStringLiteral("id_net"), idNet.toLongLong(),
            QStringLiteral("Объект ") + quoted(ident) + QStringLiteral(" удалён")};
}

// A house goes by its name, or by its call prefix when it has none. A name
// that is a number reads as one: "дом 12а"; any other as itself: "Корпус Б".
struct House {
    QString name;
    QString prefix;
    QString Number() const { return name.isEmpty() ? prefix : name; }
    bool Numbered() const { return Number().isEmpty() || Number().at(0).isDigit(); }
    QString Label() const { return Numbered() ? QStringLiteral("дом ") + Number() : name; }
    QString Reference() const { return Numbered() ? Number() : quoted(name); }
};

HeldRow houseRow(const QVariant& idDom, const House& house) {
    return {QStringLiteral("k_dom"), QStringLiteral("id_dom"), idDom.toLongLong(),
            QStringLiteral("Дом ") + house.Reference() + QStringLiteral(" удалён")};
}

HeldRow entranceRow(const QVariant& idPod, int nPod, const House& house) {
    return {QStringLiteral("k_pod"), QStringLiteral("id_pod"), idPod.toLongLong(),
            QStringLiteral("Подъезд %1 дома %2 удалён").arg(nPod).arg(house.Reference())};
}

}  // namespace

// ---------------------------------------------------------------- taking

void HeldRows::takeGround() {
    if (!FDM) return;
    reading_ = FDM->Ground().Reading();
    currentObject_ = FDM->Ground().CurrentObject();
}

HeldRows HeldRows::OfObject(qint64 idNet) {
    HeldRows held;
    QSqlQuery q;
    if (!readRow(QStringLiteral("SELECT ident FROM k_net WHERE id_net=?"), idNet, &q)) return held;
    held.object_ = q.value(0).toString().trimmed();
    held.rows_ << objectRow(idNet, held.object_);
    held.takeGround();
    return held;
}

HeldRows HeldRows::OfConsole(qint64 idNet) {
    HeldRows held = OfObject(idNet);
    QSqlQuery q;
    if (!held.Holds() ||
        !readRow(QStringLiteral("SELECT id_po FROM k_po WHERE id_net=? ORDER BY id_po"), idNet, &q))
        return {};
    held.thing_ = QStringLiteral("ППО");
    held.rows_ << HeldRow{QStringLiteral("k_po"), QStringLiteral("id_po"), q.value(0).toLongLong(),
                          QStringLiteral("Пульт поста охраны удалён")};
    return held;
}

HeldRows HeldRows::OfEntrance(qint64 idPod) {
    HeldRows held;
    QSqlQuery q;
    if (!readRow(QStringLiteral("SELECT n.id_net, n.ident, d.id_dom, d.house, d.kod_d, p.n_pod "
                                "FROM k_pod p JOIN k_dom d ON d.id_dom=p.id_dom "
                                "JOIN k_net n ON n.id_net=d.id_net WHERE p.id_pod=?"),
                 idPod, &q))
        return held;
    const House house{q.value(3).toString().trimmed(), q.value(4).toString().trimmed()};
    held.object_ = q.value(1).toString().trimmed();
    held.house_ = house.Label();
    const int nPod = q.value(5).toInt();
    held.entrance_ = QStringLiteral("%1, подъезд %2").arg(held.house_).arg(nPod);
    held.thing_ = held.entrance_;
    held.rows_ << objectRow(q.value(0), held.object_) << houseRow(q.value(2), house)
               << entranceRow(idPod, nPod, house);
    held.takeGround();
    return held;
}

HeldRows HeldRows::OfSwitch(qint64 idPk) {
    QSqlQuery q;
    if (!readRow(QStringLiteral("SELECT id_pod, n_net FROM k_pk WHERE id_pk=?"), idPk, &q))
        return {};
    const int nNet = q.value(1).toInt();
    HeldRows held = OfEntrance(q.value(0).toLongLong());
    if (!held.Holds()) return held;
    held.thing_ = DeviceAddrName(nNet, Globals().SepDevice).trimmed();
    held.rows_ << HeldRow{QStringLiteral("k_pk"), QStringLiteral("id_pk"), idPk,
                          HeldRowTexts::Switch(nNet)};
    return held;
}

HeldRows HeldRows::OfPanel(qint64 idBv) {
    QSqlQuery q;
    if (!readRow(QStringLiteral("SELECT id_net, n_bv FROM k_bv WHERE id_bv=?"), idBv, &q))
        return {};
    const QString name = q.value(1).toString().trimmed();
    HeldRows held = OfObject(q.value(0).toLongLong());
    if (!held.Holds()) return held;
    held.thing_ = name;
    held.rows_ << HeldRow{QStringLiteral("k_bv"), QStringLiteral("id_bv"), idBv,
                          QStringLiteral("Блок вызова ") + quoted(name) +
                              QStringLiteral(" удалён")};
    return held;
}

HeldRows HeldRows::With(const HeldRow& row) const {
    HeldRows held = *this;
    held.rows_ << row;
    return held;
}

// ---------------------------------------------------------------- reading

qint64 HeldRows::Id(const QString& table) const {
    for (const HeldRow& row : rows_)
        if (row.table == table) return row.id;
    return 0;
}

QString HeldRows::Name() const {
    return thing_.isEmpty() ? object_ : object_ + QStringLiteral(", ") + thing_;
}

QString HeldRows::EntranceName() const {
    return object_ + QStringLiteral(", ") + entrance_;
}

QString HeldRows::HouseName() const {
    return object_ + QStringLiteral(", ") + house_;
}

QString HeldRows::Titled(const QString& caption, const QString& name) const {
    return Holds() ? caption + QStringLiteral(" — ") + name : caption;
}

// ---------------------------------------------------------------- checking

// A row that cannot be read counts as gone: nothing is written over it.
bool HeldRows::present(const HeldRow& row) const {
    QSqlQuery q;
    return readRow(QStringLiteral("SELECT 1 FROM ") + row.table + QStringLiteral(" WHERE ") +
                       row.key + QStringLiteral("=?"),
                   row.id, &q);
}

QString HeldRows::Gone() const {
    for (const HeldRow& row : rows_)
        if (!present(row)) return row.gone;
    return {};
}

bool HeldRows::Stands() const {
    return Holds() && FDM && FDM->Ground().Reading() == reading_ &&
           FDM->Ground().CurrentObject() == currentObject_ && Gone().isEmpty();
}

bool HeldRows::StillThere() const {
    if (!Holds()) return false;  // nothing shown, nothing to save
    const QString gone = Gone();
    if (gone.isEmpty()) return true;
    Dialogs::Message(QStringLiteral("Ошибка"), HeldRowTexts::NotSaved(gone), DlgButtons::Ok,
                     DlgIcon::Warning);
    return false;
}
