#include "site/ObjectScreen.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/Globals.h"
#include "foundation/HeldRows.h"
#include "foundation/NavigationHooks.h"
#include "foundation/SettingsFile.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"
#include "site/ObjectState.h"
#include "site/SiteData.h"

#include <QDate>
#include <QSqlQuery>

namespace {

const QString kBlankName = QStringLiteral(" ");
// The object list's own filter: objects being restored are not listed.
const QString kListed = QStringLiteral("NOT st_net LIKE 'восст%'");
constexpr qint64 kNetworkIdSpan = 16777215;  // 0xFFFFFF
constexpr int kObjectFlagCount = 16;

Dataset* objectList() {
    return FDM ? FDM->Q_Net : nullptr;
}

bool objectListed() {
    return SiteData::HasCurrentRow(objectList());
}

qint64 currentIdNet() {
    return SiteData::CurrentObjectId();
}

// The object list read again, on the object idNet; its detail datasets
// (houses, entrances, switches, keys, ...) follow it. A list not read yet
// reads fresh rows on first use anyway.
void showObject(qint64 idNet) {
    Dataset* net = objectList();
    if (!net) return;
    if (net->IsOpen()) net->Reopen();
    if (!net->Locate(QStringLiteral("id_net"), idNet)) net->First();
}

bool countRows(QSqlQuery& q, const QString& table, const QString& key, qint64 id, int* out,
               QString* error) {
    QVariant v;
    if (!SiteData::QueryValue(q,
                              QStringLiteral("SELECT COUNT(*) FROM ") + table +
                                  QStringLiteral(" WHERE ") + key + QStringLiteral("=?"),
                              {id}, &v, error))
        return false;
    *out = v.toInt();
    return true;
}

struct ObjectHouseRow {
    qint64 idDom = 0;
    QVariant kodD;
    int vPod = 0;
};

bool readHouses(QSqlQuery& q, qint64 idNet, QList<ObjectHouseRow>* out, QString* error) {
    if (!ExecBound(
            q,
            QStringLiteral("SELECT id_dom, kod_d, v_pod FROM k_dom WHERE id_net=? ORDER BY id_dom"),
            {idNet}, error))
        return false;
    while (q.next()) out->append({q.value(0).toLongLong(), q.value(1), q.value(2).toInt()});
    q.finish();
    return true;
}

struct ObjectEntranceRow {
    qint64 idPod = 0;
    int nPod = 0;
};

bool readEntrances(QSqlQuery& q, qint64 idDom, QList<ObjectEntranceRow>* out, QString* error) {
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_pod, n_pod FROM k_pod WHERE id_dom=? "
                                  "ORDER BY n_pod, id_pod"),
                   {idDom}, error))
        return false;
    while (q.next()) out->append({q.value(0).toLongLong(), q.value(1).toInt()});
    q.finish();
    return true;
}

bool hasNumber(const QList<ObjectEntranceRow>& entrances, int nPod) {
    for (const ObjectEntranceRow& e : entrances)
        if (e.nPod == nPod) return true;
    return false;
}

// Removes an entrance with its apartment rows, its switch record and the keys
// registered in it (apartment and common keys). Gate keys stay: their id_pod
// names a gate call panel (k_bv.id_bv), which may equal this entrance's id by
// chance and belong to another object, and no gate panel goes with an entrance.
bool deleteEntrance(QSqlQuery& q, qint64 idPod, QString* error) {
    return ExecBound(q, QStringLiteral("DELETE FROM k_kvr WHERE id_pod=?"), {idPod}, error) &&
           ExecBound(q, QStringLiteral("DELETE FROM k_pk WHERE id_pod=?"), {idPod}, error) &&
           ExecBound(q, QStringLiteral("DELETE FROM k_key WHERE id_pod=? AND id_kvr > -2"), {idPod},
                     error) &&
           ExecBound(q, QStringLiteral("DELETE FROM k_pod WHERE id_pod=?"), {idPod}, error);
}

// Removes a house with every entrance it has (see deleteEntrance).
bool deleteHouse(QSqlQuery& q, qint64 idDom, QString* error) {
    QList<ObjectEntranceRow> entrances;
    if (!readEntrances(q, idDom, &entrances, error)) return false;
    for (const ObjectEntranceRow& e : std::as_const(entrances))
        if (!deleteEntrance(q, e.idPod, error)) return false;
    return ExecBound(q, QStringLiteral("DELETE FROM k_dom WHERE id_dom=?"), {idDom}, error);
}

// The houses and entrances the object has.
bool readCounts(QSqlQuery& q, qint64 idNet, ObjectCounts* out, QString* error) {
    return countRows(q, QStringLiteral("k_dom"), QStringLiteral("id_net"), idNet, &out->houses,
                     error) &&
           countRows(q, QStringLiteral("k_pod"), QStringLiteral("id_net"), idNet, &out->entrances,
                     error);
}

// What k_net says of the object's counts and state.
struct StoredObject {
    QVariant vDom;
    int vPod = 0;
    QString state;
};

bool readStored(QSqlQuery& q, qint64 idNet, StoredObject* out, QString* error) {
    if (!ExecBound(q, QStringLiteral("SELECT v_dom, v_pod, st_net FROM k_net WHERE id_net=?"),
                   {idNet}, error))
        return false;
    if (!q.next()) {
        if (error) *error = QStringLiteral("Объект %1 не найден").arg(idNet);
        return false;
    }
    *out = {q.value(0), q.value(1).toInt(), q.value(2).toString()};
    q.finish();
    return true;
}

bool countsDiffer(const StoredObject& stored, int houses, int entrances) {
    return stored.vDom.isNull() || stored.vDom.toInt() != houses || stored.vPod != entrances;
}

bool writeCounts(QSqlQuery& q, qint64 idNet, int houses, int entrances, QString* error) {
    return ExecBound(q, QStringLiteral("UPDATE k_net SET v_dom=?, v_pod=? WHERE id_net=?"),
                     {houses, entrances, idNet}, error);
}

bool writeHeader(QSqlQuery& q, qint64 idNet, const ObjectHeader& header, const QString& state,
                 QString* error) {
    return ExecBound(
        q, QStringLiteral("UPDATE k_net SET l_pok=?, ident=?, adres=?, st_net=? WHERE id_net=?"),
        {header.console ? 1 : 0, header.name, header.address,
         LeftChars(ObjectState::AfterHeaderSaved(state), ObjectState::kWidth), idNet},
        error);
}

bool readFlagNames(QSqlQuery& q, QList<FlagNameRow>* out, QString* error) {
    if (!ExecBound(q, QStringLiteral("SELECT tabl, nomf FROM t_fl ORDER BY nomf"), {}, error))
        return false;
    while (q.next()) out->append({q.value(0).toString(), q.value(1).toInt()});
    q.finish();
    return true;
}

// A listed object named so, other than idNet (0: any); 0 when there is none.
qint64 listedObjectNamed(const QString& name, qint64 otherThan) {
    QSqlQuery q(FDM->ConnectionDB());
    QVariant found;
    QString error;
    SiteData::QueryValue(
        q,
        QStringLiteral("SELECT id_net FROM k_net WHERE ident=? AND id_net<>? AND ") + kListed +
            QStringLiteral(" ORDER BY id_net DESC LIMIT 1"),
        {name, otherThan}, &found, &error);
    return found.toLongLong();
}

bool isDigits(const QString& text) {
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

// ---------------------------------------------------------------- panel

ObjectPanelValues ObjectScreen::LoadObjectPanel(QString* headline) {
    ObjectPanelValues v;
    if (!objectListed()) {
        if (headline) *headline = ObjectScreenTexts::kNoObjectHeadline;
        return v;
    }
    Dataset* net = objectList();
    auto field = [net](const char* name) { return net->FieldByName(QString::fromLatin1(name)); };
    const QVariant storedHouses = field("v_dom").Value();
    v.houses = storedHouses.toInt();
    // An empty count shows the houses there are; the next save of the
    // houses stores it (showing the panel writes nothing).
    if (storedHouses.isNull() || v.houses == 0) {
        QSqlQuery q(FDM->ConnectionDB());
        QString error;
        countRows(q, QStringLiteral("k_dom"), QStringLiteral("id_net"), currentIdNet(), &v.houses,
                  &error);
    }
    v.entrances = field("v_pod").AsInt();
    v.gates = field("v_kal").AsInt();
    v.console = field("l_pok").AsBool();
    v.address = field("adres").AsString();
    v.name = field("ident").AsString();
    if (headline) *headline = ObjectScreenTexts::kEditHeadline + v.name + QLatin1Char('.');
    editMark_ = 2;
    holdShown(v.houses);
    return v;
}

// The panel's saves write the object, its houses and their entrances as the
// panel showed them, and nothing once another copy of the program removed
// one of them.
void ObjectScreen::holdShown(int houses) {
    held_ = HeldRows::OfObjectHouses(currentIdNet());
    shownHouses_ = houses;
}

void ObjectScreen::BeginNewObject() {
    editMark_ = 0;
    newMark_ = 2;
    held_ = HeldRows();
    shownHouses_ = 0;
}

void ObjectScreen::BeginEditObject() {
    newMark_ = 0;
}

void ObjectScreen::ClearMarks() {
    newMark_ = 0;
    editMark_ = 0;
}

// ---------------------------------------------------------------- houses

HousesSaveOutcome ObjectScreen::SaveHouses(const ObjectPanelValues& panel) {
    HousesSaveOutcome out;
    out.panel = panel;
    ObjectPanelValues& p = out.panel;
    p.houses = qMin(p.houses, ObjectLimits::kMaxHouses);
    p.gates = qBound(0, p.gates, ObjectLimits::kMaxGates);
    // Every house has at least one entrance.
    if (p.entrances < p.houses) p.entrances = p.houses;

    if (newMark_ > 0) {
        const bool named = ComparesAbove(p.name.trimmed(), kBlankName);
        const bool addressed = ComparesAbove(p.address.trimmed(), kBlankName);
        if (!addressed) out.focus = PanelField::Address;
        if (!named) out.focus = PanelField::Name;
        out.newObjectEntry = named && addressed;
        if (!*out.newObjectEntry) return out;
    }

    std::optional<ObjectHeader> header;
    if (editMark_ > 0 && objectListed()) header = changedHeader(&p);

    if (p.houses <= 0) {
        // The header alone, when it changed.
        ObjectCounts written;
        if (header && writeHouseRows(currentIdNet(), HouseChange{}, header, &written))
            editMark_ = 0;
        out.focus = PanelField::Houses;
        return out;
    }

    if (newMark_ > 0) {
        const bool inserted = SaveObjectHeader(p);
        out.newObjectEntry = false;
        if (!inserted) {
            out.hidePanel = true;
            return out;
        }
        out.objectInserted = true;
        newMark_ = 0;
    }

    if (!adjustHouseRows(currentIdNet(), header, &p)) return out;
    // A following entrance save then only closes the panel.
    if (header) editMark_ = 0;
    out.showHouses = true;
    out.focus = PanelField::FirstPrefix;
    return out;
}

// The header of the current, existing object as the panel has it, when it
// differs from the shown one; a name another listed object has is refused
// and the stored one kept, while the rest is still saved.
std::optional<ObjectHeader> ObjectScreen::changedHeader(ObjectPanelValues* panel) const {
    Dataset* net = objectList();
    const QString storedName = net->FieldByName(QStringLiteral("ident")).AsString();
    const bool changed =
        panel->name.trimmed() != storedName ||
        panel->address.trimmed() != net->FieldByName(QStringLiteral("adres")).AsString() ||
        panel->console != net->FieldByName(QStringLiteral("l_pok")).AsBool();
    if (!changed) return std::nullopt;
    QString name = LeftChars(panel->name.trimmed(), ObjectWidths::kName);
    if (listedObjectNamed(name, currentIdNet()) != 0) {
        Dialogs::Message(ObjectScreenTexts::kError, ObjectScreenTexts::kNameRepeated,
                         DlgButtons::Ok, DlgIcon::Error);
        panel->name = storedName;
        name = storedName;
    }
    return ObjectHeader{name, LeftChars(panel->address.trimmed(), ObjectWidths::kAddress),
                        panel->console};
}

bool ObjectScreen::SaveObjectHeader(const ObjectPanelValues& panel) {
    if (Dialogs::Message(ObjectScreenTexts::kConfirmNewCaption, ObjectScreenTexts::kConfirmNew,
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return false;
    const QString name = LeftChars(panel.name.trimmed(), ObjectWidths::kName);
    if (const qint64 namesake = listedObjectNamed(name, 0)) {
        Dialogs::Message(ObjectScreenTexts::kNameExistsCaption, ObjectScreenTexts::kNameExists,
                         DlgButtons::Ok, DlgIcon::Warning);
        objectList()->Locate(QStringLiteral("id_net"), namesake);
        return false;
    }

    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    QList<FlagNameRow> flags;
    if (!readFlagNames(q, &flags, &error)) {
        SiteData::ShowFailure(QStringLiteral("Объект не сохранен."), error);
        return false;
    }
    const FlagMasks masks = FlagMasksOf(flags);
    SqlTransaction tr(FDM->ConnectionDB());
    qint64 idNet = 0;
    bool ok = tr.started() &&
              InsertReturningKey(
                  q,
                  QStringLiteral("INSERT INTO k_net (adres, d_beg, l_pok, v_dom, v_pod, "
                                 "v_kal, ident, st_net, p_kvr, farc, flbv, flpo) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, '000', 0, ?, ?)"),
                  {LeftChars(panel.address.trimmed(), ObjectWidths::kAddress),
                   QDate::currentDate().toString(Qt::ISODate), panel.console ? 1 : 0, panel.houses,
                   panel.entrances, qBound(0, panel.gates, ObjectLimits::kMaxGates), name,
                   ObjectState::AfterObjectInserted(), masks.flbv, masks.flpo},
                  QStringLiteral("id_net"), &idNet, &error);
    ok = ok && ExecBound(q, QStringLiteral("UPDATE k_net SET id_nom=? WHERE id_net=?"),
                         {NetworkIdOf(idNet), idNet}, &error);
    if (!SiteData::EndWrite(tr, ok, QStringLiteral("Объект не сохранен."), error)) return false;
    showObject(idNet);
    editMark_ = 1;
    return true;
}

// Appends or (when the operator agrees) removes houses to the count of the
// panel, then writes the object's counts. A count the engineer left as the
// panel showed it asks for no house to come or go: the houses stay as the
// file holds them, whatever another copy of the program did meanwhile.
bool ObjectScreen::adjustHouseRows(qint64 idNet, const std::optional<ObjectHeader>& header,
                                   ObjectPanelValues* panel) {
    HouseChange change;
    if (panel->houses != shownHouses_) {
        QSqlQuery q(FDM->ConnectionDB());
        QString error;
        int have = 0;
        if (!countRows(q, QStringLiteral("k_dom"), QStringLiteral("id_net"), idNet, &have,
                       &error)) {
            SiteData::ShowFailure(QStringLiteral("Дома не сохранены."), error);
            return false;
        }
        change.wanted = panel->houses;
        if (have > panel->houses) {
            // Nothing is asked over rows another copy of the program removed.
            if (held_.Holds() && !held_.StillThere()) return false;
            change.removeExtra =
                Dialogs::Message(ObjectScreenTexts::kDeleteHousesCaption,
                                 ObjectScreenTexts::kDeleteHouses, DlgButtons::YesNo,
                                 DlgIcon::Question) == DlgAnswer::Yes;
            // The houses stay, and so does their count.
            if (!change.removeExtra) change.wanted = have;
        }
    }
    ObjectCounts written;
    if (!writeHouseRows(idNet, change, header, &written)) return false;
    panel->houses = written.houses;
    panel->entrances = written.entrances;
    return true;
}

bool ObjectScreen::writeHouseRows(qint64 idNet, const HouseChange& change,
                                  const std::optional<ObjectHeader>& header,
                                  ObjectCounts* written) {
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    QList<ObjectHouseRow> houses;
    ObjectCounts counts;
    StoredObject stored;
    SqlTransaction tr(FDM->ConnectionDB());
    if (tr.started() && !held_.StillThereIn(tr)) {
        showObject(idNet);
        return false;
    }
    bool ok = tr.started() && readHouses(q, idNet, &houses, &error) &&
              readStored(q, idNet, &stored, &error);
    if (ok && header) ok = writeHeader(q, idNet, *header, stored.state, &error);
    const int wanted = change.wanted.value_or(int(houses.size()));
    for (int i = int(houses.size()); ok && i < wanted; ++i)
        ok = ExecInsert(q,
                        QStringLiteral("INSERT INTO k_dom (id_net, v_pod, kod_d, st_dom) "
                                       "VALUES (?, 1, '', ?)"),
                        {idNet, ObjectScreenTexts::kHouseAdded}, &error);
    // The last houses go first.
    while (ok && change.removeExtra && houses.size() > wanted)
        ok = deleteHouse(q, houses.takeLast().idDom, &error);
    ok = ok && readCounts(q, idNet, &counts, &error);
    if (ok && countsDiffer(stored, counts.houses, counts.entrances))
        ok = writeCounts(q, idNet, counts.houses, counts.entrances, &error);
    const QString what = header && !change.wanted ? QStringLiteral("Объект не сохранен.")
                                                  : QStringLiteral("Дома не сохранены.");
    if (!SiteData::EndWrite(tr, ok, what, error)) {
        showObject(idNet);
        return false;
    }
    *written = counts;
    showObject(idNet);
    holdShown(counts.houses);
    return true;
}

bool ObjectScreen::setHouseField(qint64 idDom, const QString& field, const QVariant& value) {
    Dataset* houses = FDM ? FDM->Q_Dom : nullptr;
    if (!houses || !houses->Locate(QStringLiteral("id_dom"), idDom)) return false;
    houses->FieldByName(field).SetValue(value);
    return SiteData::PostCurrentRow(held_, houses, QStringLiteral("Дом не изменен."));
}

bool ObjectScreen::SetHousePrefix(qint64 idDom, const QString& prefix) {
    if (prefix.size() > ObjectWidths::kPrefix || !isDigits(prefix)) return false;
    return setHouseField(idDom, QStringLiteral("kod_d"), prefix);
}

bool ObjectScreen::SetHouseEntrances(qint64 idDom, int entrances) {
    if (entrances < 0 || entrances > ObjectLimits::kMaxHouseEntrances) return false;
    return setHouseField(idDom, QStringLiteral("v_pod"), entrances);
}

// ---------------------------------------------------------------- normalisation

std::optional<ObjectCounts> ObjectScreen::Normalise() {
    // A new object not saved yet has nothing to bring in line; the current
    // object of the list is someone else's.
    const bool work = objectListed() && newMark_ == 0;
    ClearMarks();
    if (!work) return std::nullopt;
    const qint64 idNet = currentIdNet();
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    QList<ObjectHouseRow> houses;
    QList<QVariant> columnPrefixes;
    ObjectCounts counts;
    StoredObject stored;
    SqlTransaction tr(FDM->ConnectionDB());
    bool ok = tr.started() && readHouses(q, idNet, &houses, &error) &&
              ExecBound(q, QStringLiteral("SELECT kod_d FROM m_pk WHERE id_net=? ORDER BY n_pk"),
                        {idNet}, &error);
    while (ok && q.next()) columnPrefixes << q.value(0);
    q.finish();
    int total = 0;
    for (const ObjectHouseRow& h : std::as_const(houses)) {
        int entrances = 0;
        ok = ok && countRows(q, QStringLiteral("k_pod"), QStringLiteral("id_dom"), h.idDom,
                             &entrances, &error);
        if (!ok) break;
        if (h.vPod != entrances)
            ok = ExecBound(q, QStringLiteral("UPDATE k_dom SET v_pod=? WHERE id_dom=?"),
                           {entrances, h.idDom}, &error);
        total += entrances;
        // The saved matrix knows the prefix of the house whose last entrance is
        // column "total".
        if (ok && total > 0 && total <= columnPrefixes.size()) {
            const QString prefix = columnPrefixes[total - 1].toString();
            if (h.kodD.toString() != prefix)
                ok = ExecBound(q, QStringLiteral("UPDATE k_dom SET kod_d=? WHERE id_dom=?"),
                               {prefix, h.idDom}, &error);
        }
        if (ok && entrances == 0)
            ok =
                ExecBound(q, QStringLiteral("DELETE FROM k_dom WHERE id_dom=?"), {h.idDom}, &error);
    }
    ok = ok && readCounts(q, idNet, &counts, &error) && readStored(q, idNet, &stored, &error);
    if (ok && countsDiffer(stored, counts.houses, counts.entrances))
        ok = writeCounts(q, idNet, counts.houses, counts.entrances, &error);
    ok = SiteData::EndWrite(tr, ok, QStringLiteral("Дома не приведены в порядок."), error);
    showObject(idNet);
    if (!ok) return std::nullopt;
    holdShown(counts.houses);
    return counts;
}

// ---------------------------------------------------------------- entrances

EntranceSaveResult ObjectScreen::SaveEntrances(ObjectCounts* counts) {
    if (editMark_ == 0 || !objectListed()) return EntranceSaveResult::Saved;
    const qint64 idNet = currentIdNet();
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    QList<ObjectHouseRow> houses;
    QVariant sum;
    if (!readHouses(q, idNet, &houses, &error) ||
        !SiteData::QueryValue(q,
                              QStringLiteral("SELECT SUM(v_pod) AS ss FROM k_dom WHERE id_net=?"),
                              {idNet}, &sum, &error)) {
        SiteData::ShowFailure(QStringLiteral("Подъезды не сохранены."), error);
        return EntranceSaveResult::Failed;
    }

    QList<QVariant> prefixes;
    for (const ObjectHouseRow& h : std::as_const(houses)) prefixes << h.kodD;
    if (PrefixRepeated(prefixes)) {
        Dialogs::Message(ObjectScreenTexts::kError, ObjectScreenTexts::kPrefixRepeated,
                         DlgButtons::Ok, DlgIcon::Error);
        return EntranceSaveResult::PrefixRepeated;
    }
    // A sum equal to the limit still fits.
    if (sum.toInt() > Globals().MaxDevice) {
        Dialogs::Message(ObjectScreenTexts::kError, ObjectScreenTexts::kTooManyEntrances,
                         DlgButtons::Ok, DlgIcon::Error);
        if (const std::optional<ObjectCounts> normalised = Normalise()) *counts = *normalised;
        editMark_ = 1;
        return EntranceSaveResult::TooManyEntrances;
    }

    StoredObject before;
    SqlTransaction tr(FDM->ConnectionDB());
    if (tr.started() && !held_.StillThereIn(tr)) {
        showObject(idNet);
        return EntranceSaveResult::Failed;
    }
    bool ok = tr.started() && readStored(q, idNet, &before, &error);
    bool appended = false;
    int k = 0;  // advances only in houses that grow
    for (const ObjectHouseRow& h : std::as_const(houses)) {
        QList<ObjectEntranceRow> entrances;
        ok = ok && readEntrances(q, h.idDom, &entrances, &error);
        if (!ok) break;
        const int wanted = qMax(0, h.vPod);
        if (entrances.size() > wanted) {
            // The last entrances go first.
            while (ok && entrances.size() > wanted)
                ok = deleteEntrance(q, entrances.takeLast().idPod, &error);
            if (ok && entrances.isEmpty())
                ok = ExecBound(q, QStringLiteral("DELETE FROM k_dom WHERE id_dom=?"), {h.idDom},
                               &error);
        } else if (wanted > entrances.size()) {
            for (int i = 1; ok && i <= wanted; ++i) {
                ++k;
                if (hasNumber(entrances, i)) continue;
                ok = ExecInsert(q,
                                QStringLiteral("INSERT INTO k_pod (id_net, id_dom, v_kvr, v_dvr, "
                                               "n_pod, nm_pod) VALUES (?, ?, 0, 1, ?, ?)"),
                                {idNet, h.idDom, i, DefaultEntranceName(k)}, &error);
                appended = true;
            }
        }
    }
    ObjectCounts now;
    ok = ok && readCounts(q, idNet, &now, &error);
    const bool changed = ok && countsDiffer(before, now.houses, now.entrances);
    if (changed) ok = writeCounts(q, idNet, now.houses, now.entrances, &error);
    const QString state = LeftChars(
        ObjectState::AfterEntrancesSaved(before.state, changed, appended), ObjectState::kWidth);
    if (ok && state != before.state)
        ok = ExecBound(q, QStringLiteral("UPDATE k_net SET st_net=? WHERE id_net=?"),
                       {state, idNet}, &error);
    if (!SiteData::EndWrite(tr, ok, QStringLiteral("Подъезды не сохранены."), error)) {
        showObject(idNet);
        return EntranceSaveResult::Failed;
    }
    *counts = now;
    showObject(idNet);
    holdShown(now.houses);
    FDM->ReopenSwitches();
    FDM->ReopenKeys();
    newMark_ = 0;
    return EntranceSaveResult::Saved;
}

EntrancesSaveOutcome ObjectScreen::SaveEntrancesAndRebuild() {
    EntrancesSaveOutcome out;
    const bool editing = editMark_ != 0 && objectListed();
    ObjectCounts counts;
    out.result = SaveEntrances(&counts);
    switch (out.result) {
        case EntranceSaveResult::Saved:
            if (editMark_ > 0) Hooks().RebuildDevices();
            ClearMarks();
            out.hidePanel = true;
            out.countsKnown = editing;
            break;
        case EntranceSaveResult::PrefixRepeated:
            out.focus = PanelField::Prefix;
            break;
        case EntranceSaveResult::TooManyEntrances:
            out.focus = PanelField::HouseEntrances;
            out.countsKnown = true;
            break;
        case EntranceSaveResult::Failed:
            break;
    }
    out.houses = counts.houses;
    out.entrances = counts.entrances;
    return out;
}

void ObjectScreen::LeaveForMatrix() {
    if (objectListed() && editMark_ > 0) Normalise();
    editMark_ = 0;
}

// ---------------------------------------------------------------- rules

bool PrefixRepeated(const QList<QVariant>& prefixes) {
    auto blank = [](const QVariant& v) { return v.isNull() || v.toString().isEmpty(); };
    for (int i = 0; i < prefixes.size(); ++i) {
        if (i > 0 && blank(prefixes[i])) return true;
        for (int j = 0; j < i; ++j)
            if (!prefixes[j].isNull() && !prefixes[i].isNull() &&
                prefixes[j].toString() == prefixes[i].toString())
                return true;
    }
    return false;
}

FlagMasks FlagMasksOf(const QList<FlagNameRow>& flags) {
    FlagMasks m{QString(2 * kObjectFlagCount, QLatin1Char('0')),
                QString(2 * kObjectFlagCount, QLatin1Char('0'))};
    for (const FlagNameRow& f : flags) {
        if (f.nomf < 1 || f.nomf > kObjectFlagCount) continue;
        const QString table = f.tabl.trimmed();
        QString* mask = table == QStringLiteral("БВ")    ? &m.flbv
                        : table == QStringLiteral("ППО") ? &m.flpo
                                                         : nullptr;
        if (!mask) continue;
        (*mask)[f.nomf - 1] = QLatin1Char('1');
        (*mask)[f.nomf + kObjectFlagCount - 1] = QLatin1Char('1');
    }
    return m;
}

qint64 NetworkIdOf(qint64 idNet) {
    if (idNet <= kNetworkIdSpan) return idNet;
    return (idNet - 1) % kNetworkIdSpan + 1;
}

QString DefaultEntranceName(int k) {
    return QStringLiteral("Л-") + IntToStrZ(k, 2);
}

int HouseGridRows(int panelHeight, int gridTop, int rowHeight, int houses) {
    if (houses <= 0) return 0;
    int rows = qMin(4, houses);
    if (rowHeight > 0 && gridTop + rows * rowHeight > panelHeight) {
        const double fit = double(panelHeight - gridTop) / rowHeight - 1;
        rows = int(qBound(qint64(1), RoundHalfAway(fit), qint64(houses)));
    }
    return rows;
}
