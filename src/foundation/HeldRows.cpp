#include "foundation/HeldRows.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"

#include <QSqlQuery>

namespace {

QString heldRowQuoted(const QString& name) {
    return QStringLiteral("«") + name.trimmed() + QStringLiteral("»");
}

// The one row of a select by key on the data module's connection; false
// when there is none (or no database is open).
bool readHeldRow(const QString& sql, qint64 id, QSqlQuery* q) {
    if (!FDM || !FDM->Connected() || id <= 0) return false;
    *q = QSqlQuery(FDM->ConnectionDB());
    return ExecBound(*q, sql, {id}, nullptr) && q->next();
}

// A house goes by its name, or by its call prefix when it has none. A name
// that is a number reads as one: "дом 12а"; any other as itself: "Корпус Б".
struct HeldHouse {
    QString name;
    QString prefix;
    QString Number() const { return name.isEmpty() ? prefix : name; }
    bool Numbered() const { return Number().isEmpty() || Number().at(0).isDigit(); }
    QString Label() const { return Numbered() ? QStringLiteral("дом ") + Number() : name; }
    QString Reference() const { return Numbered() ? Number() : heldRowQuoted(name); }
};

HeldHouse heldHouseOf(const QVariant& name, const QVariant& prefix) {
    return {name.toString().trimmed(), prefix.toString().trimmed()};
}

HeldRow heldObjectRow(const QVariant& idNet, const QString& ident) {
    return {QStringLiteral("k_net"), QStringLiteral("id_net"), idNet.toLongLong(),
            HeldRowTexts::Object(ident)};
}

HeldRow heldHouseRow(const QVariant& idDom, const HeldHouse& house) {
    return {QStringLiteral("k_dom"), QStringLiteral("id_dom"), idDom.toLongLong(),
            HeldRowTexts::House(house.name, house.prefix)};
}

HeldRow heldEntranceRow(const QVariant& idPod, int nPod, const HeldHouse& house) {
    return {QStringLiteral("k_pod"), QStringLiteral("id_pod"), idPod.toLongLong(),
            HeldRowTexts::Entrance(nPod, house.name, house.prefix)};
}

void showHeldRowRefusal(const QString& gone) {
    Dialogs::Message(QStringLiteral("Ошибка"), HeldRowTexts::NotSaved(gone), DlgButtons::Ok,
                     DlgIcon::Warning);
}

}  // namespace

namespace HeldRowTexts {

QString NotSaved(const QString& gone) {
    return gone + QStringLiteral("; изменения не сохранены.");
}

QString Object(const QString& ident) {
    return QStringLiteral("Объект ") + heldRowQuoted(ident) + QStringLiteral(" удалён");
}

QString House(const QString& name, const QString& prefix) {
    return QStringLiteral("Дом ") + heldHouseOf(name, prefix).Reference() +
           QStringLiteral(" удалён");
}

QString Entrance(int nPod, const QString& houseName, const QString& housePrefix) {
    return QStringLiteral("Подъезд %1 дома %2 удалён")
        .arg(nPod)
        .arg(heldHouseOf(houseName, housePrefix).Reference());
}

QString Panel(const QString& name) {
    return QStringLiteral("Блок вызова ") + heldRowQuoted(name) + QStringLiteral(" удалён");
}

QString Switch(int nNet) {
    return QStringLiteral("Коммутатор ") + DeviceAddrName(nNet, Globals().SepDevice).trimmed() +
           QStringLiteral(" удалён");
}

QString Apartment(const QString& number) {
    return QStringLiteral("Квартира %1 удалена").arg(number.trimmed());
}

}  // namespace HeldRowTexts

// ---------------------------------------------------------------- the look-up

HeldRowCheck::HeldRowCheck(const QSqlDatabase& db) : db_(db) {}

HeldRowCheck::~HeldRowCheck() = default;

bool HeldRowCheck::present(const HeldRow& row) {
    const QString name = row.table + QLatin1Char('.') + row.key;
    std::shared_ptr<BoundStatement>& lookup = lookups_[name];
    if (!lookup)
        lookup = std::make_shared<BoundStatement>(db_, QStringLiteral("SELECT 1 FROM ") +
                                                           row.table + QStringLiteral(" WHERE ") +
                                                           row.key + QStringLiteral("=?"));
    if (!lookup->Prepared()) {
        error_ = lookup->LastError();
        return false;
    }
    lookup->Bind(0, row.id);
    if (!lookup->Next()) {
        error_ = lookup->LastError();
        return false;
    }
    lookup->Next();  // past the one row: the statement lets go of the file
    return true;
}

int HeldRowCheck::FirstGone(const QList<HeldRow>& rows) {
    error_.clear();
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].id <= 0 || !present(rows[i])) return i;
    return -1;
}

// ---------------------------------------------------------------- taking

HeldRows HeldRows::taken() {
    HeldRows held;
    held.taken_ = true;
    return held;
}

void HeldRows::takeGround() {
    if (!FDM) return;
    reading_ = FDM->Ground().Reading();
    currentObject_ = FDM->Ground().CurrentObject();
}

HeldRows HeldRows::OfObject(qint64 idNet) {
    HeldRows held = taken();
    QSqlQuery q;
    if (!readHeldRow(QStringLiteral("SELECT ident FROM k_net WHERE id_net=?"), idNet, &q))
        return held;
    held.object_ = q.value(0).toString().trimmed();
    held.rows_ << heldObjectRow(idNet, held.object_);
    held.takeGround();
    return held;
}

HeldRows HeldRows::OfConsole(qint64 idNet) {
    HeldRows held = OfObject(idNet);
    QSqlQuery q;
    if (!held.Holds() ||
        !readHeldRow(QStringLiteral("SELECT id_po FROM k_po WHERE id_net=? ORDER BY id_po"), idNet,
                     &q))
        return taken();
    held.thing_ = QStringLiteral("ППО");
    held.rows_ << HeldRow{QStringLiteral("k_po"), QStringLiteral("id_po"), q.value(0).toLongLong(),
                          QStringLiteral("Пульт поста охраны удалён")};
    return held;
}

HeldRows HeldRows::OfObjectHouses(qint64 idNet) {
    HeldRows held = OfObject(idNet);
    QSqlQuery q;
    if (!held.Holds() ||
        !readHeldRow(QStringLiteral("SELECT d.id_dom, d.house, d.kod_d, p.id_pod, p.n_pod "
                                    "FROM k_dom d LEFT JOIN k_pod p ON p.id_dom=d.id_dom "
                                    "WHERE d.id_net=? ORDER BY d.id_dom, p.n_pod, p.id_pod"),
                     idNet, &q))
        return held;
    qint64 lastHouse = 0;
    do {
        const HeldHouse house = heldHouseOf(q.value(1), q.value(2));
        if (q.value(0).toLongLong() != lastHouse) held.rows_ << heldHouseRow(q.value(0), house);
        lastHouse = q.value(0).toLongLong();
        if (!q.value(3).isNull())
            held.rows_ << heldEntranceRow(q.value(3), q.value(4).toInt(), house);
    } while (q.next());
    return held;
}

HeldRows HeldRows::OfHouse(qint64 idDom) {
    HeldRows held = taken();
    QSqlQuery q;
    if (!readHeldRow(QStringLiteral("SELECT n.id_net, n.ident, d.house, d.kod_d "
                                    "FROM k_dom d JOIN k_net n ON n.id_net=d.id_net "
                                    "WHERE d.id_dom=?"),
                     idDom, &q))
        return held;
    const HeldHouse house = heldHouseOf(q.value(2), q.value(3));
    held.object_ = q.value(1).toString().trimmed();
    held.house_ = house.Label();
    held.thing_ = held.house_;
    held.rows_ << heldObjectRow(q.value(0), held.object_) << heldHouseRow(idDom, house);
    held.takeGround();
    return held;
}

HeldRows HeldRows::OfEntrance(qint64 idPod) {
    QSqlQuery q;
    if (!readHeldRow(QStringLiteral("SELECT d.id_dom, d.house, d.kod_d, p.n_pod FROM k_pod p "
                                    "JOIN k_dom d ON d.id_dom=p.id_dom WHERE p.id_pod=?"),
                     idPod, &q))
        return taken();
    HeldRows held = OfHouse(q.value(0).toLongLong());
    if (!held.Holds()) return held;
    const int nPod = q.value(3).toInt();
    held.entrance_ = QStringLiteral("%1, подъезд %2").arg(held.house_).arg(nPod);
    held.thing_ = held.entrance_;
    held.rows_ << heldEntranceRow(idPod, nPod, heldHouseOf(q.value(1), q.value(2)));
    return held;
}

HeldRows HeldRows::OfSwitch(qint64 idPk) {
    QSqlQuery q;
    if (!readHeldRow(QStringLiteral("SELECT id_pod, n_net FROM k_pk WHERE id_pk=?"), idPk, &q))
        return taken();
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
    if (!readHeldRow(QStringLiteral("SELECT id_net, n_bv FROM k_bv WHERE id_bv=?"), idBv, &q))
        return taken();
    const QString name = q.value(1).toString().trimmed();
    HeldRows held = OfObject(q.value(0).toLongLong());
    if (!held.Holds()) return held;
    held.thing_ = name;
    held.rows_ << HeldRow{QStringLiteral("k_bv"), QStringLiteral("id_bv"), idBv,
                          HeldRowTexts::Panel(name)};
    return held;
}

HeldRows HeldRows::With(const HeldRow& row) const {
    HeldRows held = *this;
    held.rows_ << row;
    held.taken_ = true;
    return held;
}

HeldRows HeldRows::With(const HeldRows& more) const {
    if (!Holds()) {
        HeldRows held = more;
        held.taken_ = taken_ || more.taken_;
        return held;
    }
    HeldRows held = *this;
    held.taken_ = true;
    for (const HeldRow& row : more.rows_) {
        bool known = false;
        for (const HeldRow& mine : std::as_const(held.rows_))
            known = known || (mine.table == row.table && mine.id == row.id);
        if (!known) held.rows_ << row;
    }
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
QString HeldRows::Gone() const {
    if (rows_.isEmpty()) return {};
    if (!FDM || !FDM->Connected()) return rows_.first().gone;
    HeldRowCheck check(FDM->ConnectionDB());
    const int gone = check.FirstGone(rows_);
    return gone < 0 ? QString() : rows_[gone].gone;
}

bool HeldRows::Stands() const {
    return Holds() && FDM && FDM->Ground().Reading() == reading_ &&
           FDM->Ground().CurrentObject() == currentObject_ && Gone().isEmpty();
}

bool HeldRows::StillThere() const {
    if (!Holds()) return false;  // nothing shown, nothing to save
    const QString gone = Gone();
    if (gone.isEmpty()) return true;
    showHeldRowRefusal(gone);
    return false;
}

bool HeldRows::StillThereIn(SqlTransaction& tr) const {
    if (!taken_) return true;
    const QString gone = Holds() ? Gone() : QString();
    if (Holds() && gone.isEmpty()) return true;
    // Undone before the box comes up: no write of this copy's holds the file
    // meanwhile. Rows that were gone when taken have no name to tell.
    tr.Rollback();
    if (!gone.isEmpty()) showHeldRowRefusal(gone);
    return false;
}

HeldRows::Outcome HeldRows::Write(const std::function<bool(QString* error)>& write,
                                  QString* error) const {
    error->clear();
    if (!FDM) return Outcome::Failed;
    SqlTransaction tr(FDM->ConnectionDB());
    if (!tr.started()) {
        *error = tr.LastError();
        return Outcome::Failed;
    }
    if (!StillThereIn(tr)) return Outcome::Refused;
    if (write(error) && tr.Commit()) return Outcome::Written;
    if (error->isEmpty()) *error = tr.LastError();
    tr.Rollback();
    return Outcome::Failed;
}
