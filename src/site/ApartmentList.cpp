#include "site/ApartmentList.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "platform/Dialogs.h"
#include "site/ApartmentFlags.h"
#include "site/CallCodes.h"
#include "site/DeviceMarks.h"
#include "site/ObjectState.h"
#include "site/RowOrigin.h"
#include "site/SiteData.h"

#include <QHash>
#include <QSqlQuery>

// ---------------------------------------------------------------- hotel numbering

namespace {

const QString kZeroText = QStringLiteral("0");

// The floor after the one of a numbered row: its number without the last
// digits positions, plus one. A number no longer than the positions is on
// floor 0.
bool nextFloor(const QString& number, int digits, QString* floor) {
    const QString head = number.left(qMax(0, int(number.size()) - digits));
    if (head.isEmpty()) {
        *floor = QStringLiteral("1");
        return true;
    }
    bool ok = false;
    const qint64 n = head.toLongLong(&ok);
    if (ok) *floor = QString::number(n + 1);
    return ok;
}

}  // namespace

FloorStep NumberOneFloor(QVector<NumberingRow>& rows, int cursor, const HotelNumbering& n) {
    FloorStep step;
    const int size = int(rows.size());
    step.cursor = qBound(0, cursor, size);
    if (n.perFloor <= 0 || size == 0) return step;
    // Back to the last row numbered so far (handsets and manual rows carry no
    // floor); without one this is the first floor, from the first row.
    int p = qMin(step.cursor, size) - 1;
    while (p >= 0 && (rows[p].skipped || rows[p].number <= kZeroText)) --p;
    QString floor = QStringLiteral("1");
    if (p >= 0 && !nextFloor(rows[p].number, n.digits, &floor)) {
        step.ok = false;
        step.badNumber = rows[p].number;
        return step;
    }
    int row = p + 1;
    const int first = n.firstPosition > 0 ? 1 : 0;
    for (int position = first; position < first + n.perFloor; ++position) {
        while (row < size && rows[row].skipped) ++row;
        if (row >= size) break;
        rows[row].number = floor + PadLeft(QString::number(position), QLatin1Char('0'), n.digits);
        rows[row].changed = true;
        ++row;
    }
    step.cursor = row;
    return step;
}

FloorStep NumberAllFloors(QVector<NumberingRow>& rows, int cursor, const HotelNumbering& n) {
    FloorStep step;
    step.cursor = cursor;
    if (n.perFloor <= 0) return step;
    while (step.cursor < rows.size()) {
        step = NumberOneFloor(rows, step.cursor, n);
        if (!step.ok) break;
    }
    return step;
}

// ---------------------------------------------------------------- rows of an entrance

namespace {

struct ListRow {
    qint64 id = 0;
    QString number;
    QString code;
    QString origin;
    bool handset = false;
};

bool readEntranceRows(QSqlQuery& q, qint64 idPod, QVector<ListRow>* out, QString* error) {
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_kvr, n_kvr, p_kvr, st_kvr, l_trub FROM k_kvr "
                                  "WHERE id_pod=? ORDER BY p_nom, id_kvr"),
                   {idPod}, error))
        return false;
    while (q.next())
        out->append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                     q.value(3).toString(), q.value(4).toInt() != 0});
    q.finish();
    return true;
}

struct EntranceInfo {
    qint64 idDom = 0;
    qint64 idNet = 0;
    int vKvr = 0;
};

bool readEntrance(QSqlQuery& q, qint64 idPod, EntranceInfo* out, QString* error) {
    if (!ExecBound(q, QStringLiteral("SELECT id_dom, id_net, v_kvr FROM k_pod WHERE id_pod=?"),
                   {idPod}, error))
        return false;
    const bool found = q.next();
    if (found) *out = {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toInt()};
    q.finish();
    if (!found && error) *error = QStringLiteral("Подъезд %1 не найден").arg(idPod);
    return found;
}

// Calls work inside one transaction; a failure is shown and undoes them all.
bool inTransaction(const QString& what, const std::function<bool(QSqlQuery&, QString*)>& work) {
    return SiteData::WriteInOneTransaction(what, [&](QString* error) {
        QSqlQuery q(FDM->ConnectionDB());
        return work(q, error);
    });
}

bool writeNumbers(QSqlQuery& q, const QVector<ListRow>& rows, const QVector<NumberingRow>& numbers,
                  QString* error) {
    for (int i = 0; i < rows.size(); ++i) {
        if (!numbers[i].changed) continue;
        if (!ExecBound(q, QStringLiteral("UPDATE k_kvr SET n_kvr=?, p_kvr=? WHERE id_kvr=?"),
                       {numbers[i].number, numbers[i].number, rows[i].id}, error))
            return false;
    }
    return true;
}

// Sets kvv_t of the entrance and of its house to 1: their codes want checking.
bool markUnchecked(QSqlQuery& q, qint64 idPod, qint64 idDom, QString* error) {
    return ExecBound(q, QStringLiteral("UPDATE k_pod SET kvv_t=1 WHERE id_pod=?"), {idPod},
                     error) &&
           ExecBound(q, QStringLiteral("UPDATE k_dom SET kvv_t=1 WHERE id_dom=?"), {idDom}, error);
}

}  // namespace

int ApartmentList::NumberFloors(qint64 idPod, int cursor, const HotelNumbering& n, bool all) {
    if (!FDM) return cursor;
    QVector<ListRow> rows;
    QVector<NumberingRow> numbers;
    FloorStep step;
    step.cursor = cursor;
    const bool ok = inTransaction(
        QStringLiteral("Квартиры не пронумерованы."), [&](QSqlQuery& q, QString* error) {
            if (!readEntranceRows(q, idPod, &rows, error)) return false;
            for (const ListRow& r : std::as_const(rows))
                numbers.append({r.number, r.handset || r.origin == RowOrigin::kManual, false});
            step = all ? NumberAllFloors(numbers, cursor, n) : NumberOneFloor(numbers, cursor, n);
            return writeNumbers(q, rows, numbers, error);
        });
    if (ok && !step.ok)
        Dialogs::Message(ApartmentListTexts::kError,
                         ApartmentListTexts::kNoFloor + step.badNumber + QStringLiteral("»!"),
                         DlgButtons::Ok, DlgIcon::Error);
    return ok && step.ok ? step.cursor : -1;
}

// ---------------------------------------------------------------- codes from numbers

bool ApartmentList::CodesFromNumbers(qint64 idPod) {
    if (!FDM) return false;
    bool repeated = false;
    const bool ok = inTransaction(QStringLiteral("Коды вызова не изменены."), [&](QSqlQuery& q,
                                                                                  QString* error) {
        QVector<ListRow> rows;
        EntranceInfo entrance;
        if (!readEntrance(q, idPod, &entrance, error) || !readEntranceRows(q, idPod, &rows, error))
            return false;
        bool changed = false;
        for (int i = 0; i < rows.size() && !repeated; ++i) {
            ListRow& row = rows[i];
            if (row.handset) continue;
            const QString code = CallCodes::DigitsOf(row.number);
            int first = 0;
            while (first < rows.size() && rows[first].code != code) ++first;
            if (first < i) {
                repeated = true;
            } else if (row.code != code) {
                row.code = code;
                row.origin = CallCodes::OriginAfterCodeChange(row.origin);
                changed = true;
                if (!ExecBound(q,
                               QStringLiteral("UPDATE k_kvr SET p_kvr=?, st_kvr=? "
                                              "WHERE id_kvr=?"),
                               {row.code, row.origin, row.id}, error))
                    return false;
            }
        }
        // Codes changed before a repeat stay changed, and want checking.
        return !changed || markUnchecked(q, idPod, entrance.idDom, error);
    });
    if (ok && repeated)
        Dialogs::Message(ApartmentListTexts::kError, ApartmentListTexts::kCodeRepeated,
                         DlgButtons::Ok, DlgIcon::Error);
    return ok && !repeated;
}

// ---------------------------------------------------------------- checks

namespace {

// How many apartments of the house hold each call code.
bool houseCodeCounts(QSqlQuery& q, qint64 idDom, QHash<QString, int>* out, QString* error) {
    if (!ExecBound(q,
                   QStringLiteral("SELECT k.p_kvr, COUNT(*) FROM k_kvr k JOIN k_pod p "
                                  "ON k.id_pod=p.id_pod WHERE p.id_dom=? AND NOT k.l_trub "
                                  "AND k.p_kvr IS NOT NULL GROUP BY k.p_kvr"),
                   {idDom}, error))
        return false;
    while (q.next()) out->insert(q.value(0).toString(), q.value(1).toInt());
    q.finish();
    return true;
}

CodeCheck checkRows(const QVector<ListRow>& rows, const QHash<QString, int>& counts,
                    const std::function<void()>& step) {
    CodeCheck check;
    for (int i = 0; i < rows.size(); ++i) {
        step();
        const QString code = rows[i].code.trimmed();
        if (code.isEmpty() && !rows[i].handset) return {false, ApartmentListTexts::kEmptyCode, i};
        if (!code.isEmpty() && counts.value(rows[i].code) > 1)
            return {false, ApartmentListTexts::kCodeTaken, i};
    }
    return check;
}

bool houseMarkFromEntrances(QSqlQuery& q, qint64 idNet, qint64 idDom, int* sum, QString* error) {
    QVariant total;
    if (!SiteData::QueryValue(q,
                              QStringLiteral("SELECT SUM(kvv_t) AS ss FROM k_pod "
                                             "WHERE id_net=? AND id_dom=?"),
                              {idNet, idDom}, &total, error))
        return false;
    *sum = total.toInt();
    return ExecBound(q,
                     QStringLiteral("UPDATE k_dom SET kvv_t=? WHERE id_dom=? AND kvv_t IS NOT ?"),
                     {*sum, idDom, *sum}, error);
}

}  // namespace

void ApartmentList::step() {
    if (!progress_ || gaugeMax_ <= 0) return;
    gauge_ = qMin(gauge_ + 1, gaugeMax_);
    progress_(gauge_, gaugeMax_, true);
}

CodeCheck ApartmentList::CheckEntranceCallCodes(qint64 idPod) {
    CodeCheck check;
    if (!FDM) return check;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    QVector<ListRow> rows;
    EntranceInfo entrance;
    QHash<QString, int> counts;
    if (!readEntrance(q, idPod, &entrance, &error) || !readEntranceRows(q, idPod, &rows, &error) ||
        !houseCodeCounts(q, entrance.idDom, &counts, &error)) {
        SiteData::ShowFailure(QStringLiteral("Коды вызова не проверены."), error);
        return {false, error, -1};
    }
    return checkRows(rows, counts, [this] { step(); });
}

// The entrance's mark kvv_t (1: a check failed) and its house's sum of them.
bool ApartmentList::markEntrance(qint64 idPod, bool failed) {
    return inTransaction(
        QStringLiteral("Отметка проверки не сохранена."), [&](QSqlQuery& q, QString* error) {
            EntranceInfo entrance;
            int sum = 0;
            const int mark = failed ? 1 : 0;
            return readEntrance(q, idPod, &entrance, error) &&
                   ExecBound(q,
                             QStringLiteral("UPDATE k_pod SET kvv_t=? WHERE "
                                            "id_pod=? AND kvv_t IS NOT ?"),
                             {mark, idPod, mark}, error) &&
                   houseMarkFromEntrances(q, entrance.idNet, entrance.idDom, &sum, error);
        });
}

int ApartmentList::CheckAndMarkEntrance(qint64 idPod) {
    const CodeCheck check = CheckEntranceCallCodes(idPod);
    if (!check.ok && check.row >= 0)
        Dialogs::Message(ApartmentListTexts::kError, check.text, DlgButtons::Ok, DlgIcon::Error);
    markEntrance(idPod, !check.ok);
    return check.ok ? -1 : check.row;
}

qint64 ApartmentList::CheckObject() {
    const qint64 idNet = SiteData::CurrentObjectId();
    if (!FDM || idNet == 0) return 0;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    QVariant rows;
    QList<QPair<qint64, qint64>> entrances;  // id_dom, id_pod
    bool ok = SiteData::QueryValue(q, QStringLiteral("SELECT COUNT(*) FROM k_kvr WHERE id_net=?"),
                                   {idNet}, &rows, &error) &&
              ExecBound(q,
                        QStringLiteral("SELECT p.id_dom, p.id_pod FROM k_pod p JOIN k_dom d "
                                       "ON p.id_dom=d.id_dom WHERE d.id_net=? "
                                       "ORDER BY d.id_dom, p.n_pod, p.id_pod"),
                        {idNet}, &error);
    while (ok && q.next()) entrances.append({q.value(0).toLongLong(), q.value(1).toLongLong()});
    q.finish();
    if (!ok) {
        SiteData::ShowFailure(QStringLiteral("Коды вызова не проверены."), error);
        return 0;
    }
    gauge_ = 0;
    gaugeMax_ = rows.toInt();
    qint64 lastFailed = 0;
    bool failed = false;
    for (int i = 0; i < entrances.size(); ++i) {
        const qint64 idPod = entrances[i].second;
        const bool passed = CheckEntranceCallCodes(idPod).ok;
        if (!passed) lastFailed = idPod;
        if (!markEntrance(idPod, !passed)) return lastFailed;
        const bool houseEnds =
            i + 1 == entrances.size() || entrances[i + 1].first != entrances[i].first;
        if (!houseEnds) continue;
        // A house whose entrances' marks add up above 0 fails too.
        int sum = 0;
        if (!houseMarkFromEntrances(q, idNet, entrances[i].first, &sum, &error)) break;
        if (sum > 0) failed = true;
    }
    if (progress_) progress_(0, 0, false);
    gaugeMax_ = 0;
    if (failed || lastFailed != 0)
        Dialogs::Message(ApartmentListTexts::kError, ApartmentListTexts::kTestFailed,
                         DlgButtons::Ok, DlgIcon::Error);
    else
        Dialogs::Message(ApartmentListTexts::kSuccess, ApartmentListTexts::kTestPassed,
                         DlgButtons::Ok, DlgIcon::Information);
    return lastFailed;
}

// ---------------------------------------------------------------- insert and delete

namespace {

struct InsertPlan {
    EntranceInfo entrance;
    int position = 0;  // p_nom the new row comes after
};

bool findInsertPosition(QSqlQuery& q, qint64 idPod, const QString& after, int* position,
                        bool* found, QString* error) {
    *found = true;
    if (after == kZeroText) {
        *position = 0;
        return true;
    }
    QVariant pNom;
    if (!SiteData::QueryValue(q,
                              QStringLiteral("SELECT p_nom FROM k_kvr WHERE id_pod=? AND n_kvr=? "
                                             "ORDER BY p_nom LIMIT 1"),
                              {idPod, after}, &pNom, error))
        return false;
    *found = !pNom.isNull();
    *position = pNom.toInt();
    return true;
}

bool appendManualRow(QSqlQuery& q, qint64 idNet, qint64 idPod, int pNom, const QString& number,
                     const QString& code, qint64* id, QString* error) {
    SiteData::ObjectDefaults d;
    if (!SiteData::ReadObjectDefaults(q, idNet, &d, error)) return false;
    QStringList columns = {QStringLiteral("id_net"), QStringLiteral("id_pod"),
                           QStringLiteral("p_nom"),  QStringLiteral("n_kvr"),
                           QStringLiteral("p_kvr"),  QStringLiteral("x_key"),
                           QStringLiteral("m_obr"),  QStringLiteral("st_kvr")};
    QVariantList values = {
        idNet, idPod, pNom, number, code, d.vKey, d.callBack ? 1 : 0, RowOrigin::kManual};
    for (const auto& flag : NewApartmentFlags(d.flbv, d.flpo)) {
        columns << flag.first;
        values << (flag.second ? 1 : 0);
    }
    QStringList marks;
    for (int i = 0; i < values.size(); ++i) marks << QStringLiteral("?");
    return InsertReturningKey(
        q,
        QStringLiteral("INSERT INTO k_kvr (") + columns.join(QStringLiteral(", ")) +
            QStringLiteral(", p_pk, mtdy, mtnt, l_del, l_trub, l_vid) VALUES (") +
            marks.join(QStringLiteral(", ")) + QStringLiteral(", 0, -1, -1, 0, 0, 0)"),
        values, QStringLiteral("id_kvr"), id, error);
}

// The entrance's switch and every call panel ringing it want a new file.
bool markDevicesEdited(QSqlQuery& q, qint64 idPod, QString* error) {
    return DeviceMarking::AdvanceFileStates(q, QStringLiteral("k_pk"), QStringLiteral("id_pk"),
                                            QStringLiteral("id_pod=?"), {idPod}, error) &&
           DeviceMarking::AdvanceFileStates(
               q, QStringLiteral("k_bv"), QStringLiteral("id_bv"),
               QStringLiteral("id_bv IN (SELECT m.id_bv FROM k_pk k "
                              "JOIN m_pk p ON p.id_pk=k.id_pk "
                              "JOIN m_bv m ON m.n_pk=p.n_pk AND m.id_net=p.id_net "
                              "WHERE k.id_pod=? AND (m.plus=1 OR m.plus=3))"),
               {idPod}, error);
}

}  // namespace

qint64 ApartmentList::Insert(qint64 idPod, const QString& after, const QString& number,
                             const QString& code) {
    const QString afterNumber = after.trimmed();
    const QString newNumber = LeftChars(number.trimmed(), ApartmentWidths::kNumber);
    const QString newCode = code.trimmed();
    if (!FDM || afterNumber.isEmpty() || newNumber.isEmpty() || newCode.isEmpty()) return 0;
    if (!CallCodes::IsCodeText(newCode)) {
        Dialogs::Message(CallCodeTexts::kError, CallCodeTexts::kBadCode, DlgButtons::Ok,
                         DlgIcon::Error);
        return 0;
    }
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    EntranceInfo entrance;
    bool held = false;
    bool found = false;
    int position = 0;
    if (!readEntrance(q, idPod, &entrance, &error) ||
        !CallCodes::HeldInHouse(q, entrance.idDom, newCode, false, &held, &error) ||
        (!held && !findInsertPosition(q, idPod, afterNumber, &position, &found, &error))) {
        SiteData::ShowFailure(QStringLiteral("Квартира не вставлена."), error);
        return 0;
    }
    if (held) {
        Dialogs::Message(ApartmentListTexts::kError, CallCodeTexts::kTakenInHouse, DlgButtons::Ok,
                         DlgIcon::Error);
        return 0;
    }
    if (!found) {
        Dialogs::Message(ApartmentListTexts::kSearchCaption, ApartmentListTexts::kNumberNotFound,
                         DlgButtons::Ok, DlgIcon::Information);
        return 0;
    }
    qint64 id = 0;
    const bool ok = inTransaction(QStringLiteral("Квартира не вставлена."), [&](QSqlQuery& w,
                                                                                QString* e) {
        return ExecBound(
                   w, QStringLiteral("UPDATE k_kvr SET p_nom=p_nom+1 WHERE id_pod=? AND p_nom>?"),
                   {idPod, position}, e) &&
               appendManualRow(w, entrance.idNet, idPod, position + 1, newNumber, newCode, &id,
                               e) &&
               SiteData::CountApartment(w, idPod, 1, e) &&
               markUnchecked(w, idPod, entrance.idDom, e) && markDevicesEdited(w, idPod, e) &&
               SiteData::MoveStateAfterApartments(entrance.idNet, e);
    });
    return ok ? id : 0;
}

namespace {

struct DeletedRow {
    qint64 idPod = 0;
    QString origin;
    bool handset = false;
};

bool readRow(QSqlQuery& q, qint64 idKvr, DeletedRow* out, QString* error) {
    if (!ExecBound(q, QStringLiteral("SELECT id_pod, st_kvr, l_trub FROM k_kvr WHERE id_kvr=?"),
                   {idKvr}, error))
        return false;
    const bool found = q.next();
    if (found) *out = {q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toInt() != 0};
    q.finish();
    return found;
}

bool objectFlag(QSqlQuery& q, const QString& sql, qint64 idNet, bool* out, QString* error) {
    QVariant v;
    if (!SiteData::QueryValue(q, sql, {idNet}, &v, error)) return false;
    *out = v.toInt() != 0;
    return true;
}

// Positions 1, 2, 3, ... in the order the rows stand.
bool renumberEntrance(QSqlQuery& q, qint64 idPod, QString* error) {
    QList<qint64> ids;
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_kvr FROM k_kvr WHERE id_pod=? ORDER BY p_nom, id_kvr"),
                   {idPod}, error))
        return false;
    while (q.next()) ids << q.value(0).toLongLong();
    q.finish();
    for (int i = 0; i < ids.size(); ++i)
        if (!ExecBound(q, QStringLiteral("UPDATE k_kvr SET p_nom=? WHERE id_kvr=?"),
                       {i + 1, ids[i]}, error))
            return false;
    return true;
}

}  // namespace

bool ApartmentList::Delete(qint64 idKvr) {
    if (!FDM) return false;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    DeletedRow row;
    EntranceInfo entrance;
    bool console = false;
    bool panels = false;
    if (!readRow(q, idKvr, &row, &error)) return false;
    if (!readEntrance(q, row.idPod, &entrance, &error) ||
        !objectFlag(q, QStringLiteral("SELECT l_pok FROM k_net WHERE id_net=?"), entrance.idNet,
                    &console, &error) ||
        !objectFlag(q, QStringLiteral("SELECT COUNT(*) FROM k_bv WHERE id_net=?"), entrance.idNet,
                    &panels, &error)) {
        SiteData::ShowFailure(QStringLiteral("Строка не удалена."), error);
        return false;
    }
    const bool apartment = !row.handset && row.origin == RowOrigin::kManual;
    if (row.handset && row.origin == RowOrigin::kConsole && console) {
        Dialogs::Message(ApartmentListTexts::kForbidden, ApartmentListTexts::kConsoleHandset,
                         DlgButtons::Ok, DlgIcon::Warning);
        return false;
    }
    if (!row.handset && !apartment) return false;
    if (Dialogs::Message(
            ApartmentListTexts::kDeleteCaption,
            row.handset ? ApartmentListTexts::kDeleteHandset : ApartmentListTexts::kDeleteApartment,
            DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return false;
    return inTransaction(QStringLiteral("Строка не удалена."), [&](QSqlQuery& w, QString* e) {
        // The keys of the row go with it: nothing else could ever reach them.
        return ExecBound(w, QStringLiteral("DELETE FROM k_key WHERE id_kvr=?"), {idKvr}, e) &&
               ExecBound(w, QStringLiteral("DELETE FROM k_kvr WHERE id_kvr=?"), {idKvr}, e) &&
               (!apartment || SiteData::CountApartment(w, row.idPod, -1, e)) &&
               renumberEntrance(w, row.idPod, e) &&
               (!panels || SiteData::MoveStateAfterApartments(entrance.idNet, e));
    });
}

bool ApartmentList::SetFloorStart(int incr) {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Net)) return false;
    Dataset* net = FDM->Q_Net;
    const int value = qBound(0, incr, 1);
    if (net->FieldByName(QStringLiteral("incr")).AsInt() == value) return true;
    net->FieldByName(QStringLiteral("incr")).SetValue(value);
    return SiteData::PostCurrentRow(net, QStringLiteral("Начальная позиция не сохранена."));
}

// ---------------------------------------------------------------- views

void RefreshApartmentViews(qint64 idKvr) {
    if (!FDM) return;
    Dataset* list = FDM->Q_Kvp;
    const int recNo = list->IsOpen() ? list->RecNo() : 0;
    SiteData::ReopenObjectKeepingPlace();
    FDM->ReopenApartments();
    FDM->ReopenSwitches();
    FDM->ReopenCallBlocks();
    FDM->ReopenKeys();
    if (idKvr == 0 || !list->Locate(QStringLiteral("id_kvr"), idKvr))
        if (recNo > 0) list->SetRecNo(recNo);
}
