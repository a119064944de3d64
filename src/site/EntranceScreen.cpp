#include "site/EntranceScreen.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/TFDM.h"
#include "foundation/TerminalDistribution.h"
#include "platform/Dialogs.h"
#include "site/ApartmentFlags.h"
#include "site/ObjectState.h"
#include "site/SiteData.h"

#include <QSqlQuery>

using SiteData::CurrentObjectId;

// ---------------------------------------------------------------- recount rules

bool RangesInOrder(const QList<EntranceRange>& entries, const RangeInputs& inputs) {
    for (int i = 0; i + 1 < entries.size(); ++i) {
        if (inputs.first && entries[i].first > entries[i + 1].first) return false;
        if (inputs.last && entries[i].last > entries[i + 1].last) return false;
    }
    return true;
}

namespace {

// The last number of an entrance whose first numbers alone were entered: one
// below the next entrance's first, or its own last, or one past the numbers
// given so far.
int lastFromFirsts(const QList<EntranceRange>& entries, int i, int next) {
    if (i + 1 < entries.size())
        next = entries[i + 1].first - 1;
    else if (entries[i].last > 0)
        next = entries[i].last;
    else
        next = next + 1;
    return next == 0 ? 1 : next;
}

}  // namespace

void RecountRanges(QList<EntranceRange>& entries, const RangeInputs& in) {
    int next = 1;
    for (int i = 0; i < entries.size(); ++i) {
        EntranceRange& e = entries[i];
        if (!in.first && !in.last && in.count) {
            if (e.count > 0) {
                e.first = next;
                e.last = next + e.count - 1;
                next += e.count;
            }
        } else if (!in.first && !in.last && !in.count) {
            if (e.first > 0 && e.last > 0) {
                e.count = e.last - e.first + 1;
                next += e.count;
            }
        } else if (!in.first && in.last && !in.count) {
            if (e.last > 0) {
                e.first = next;
                e.count = e.last - next + 1;
                next = e.last + 1;
            }
        } else if (!in.first && in.last && in.count) {
            if (e.last > 0) e.first = e.count <= e.last ? e.last - e.count + 1 : 0;
        } else if (in.first && !in.last && in.count) {
            if (e.count > 0) e.last = e.first + e.count - 1;
        } else if (in.first && !in.last && !in.count) {
            next = lastFromFirsts(entries, i, next);
            e.last = next;
            e.count = e.last - e.first + 1;
        } else if (in.first && in.last && !in.count) {
            e.count = e.last >= e.first ? e.last - e.first + 1 : 0;
        }
        // All three entered: nothing to recount.
    }
}

bool RangeFits(const EntranceRange& r) {
    using namespace CountLimits;
    auto within = [](int v, int least) { return v >= least && v <= kMaxApartmentNumber; };
    return within(r.first, 0) && within(r.last, kLeastApartmentValue) &&
           within(r.count, kLeastApartmentValue);
}

// ---------------------------------------------------------------- database

namespace {

struct ScreenEntranceRow {
    qint64 idPod = 0;
    int nPod = 0;
    bool hotel = false;
    EntranceRange range;
};

bool readHouseEntrances(QSqlQuery& q, qint64 idDom, QList<ScreenEntranceRow>* out, QString* error) {
    if (!ExecBound(q,
                   QStringLiteral("SELECT id_pod, type_n, n1kvr, npkvr, v_kvr, n_pod FROM k_pod "
                                  "WHERE id_dom=? ORDER BY n_pod, id_pod"),
                   {idDom}, error))
        return false;
    while (q.next()) {
        ScreenEntranceRow e;
        e.idPod = q.value(0).toLongLong();
        e.hotel = q.value(1).toInt() != 0;
        // A first number never entered counts as 1.
        e.range.first = q.isNull(2) ? 1 : q.value(2).toInt();
        e.range.last = q.value(3).toInt();
        e.range.count = q.value(4).toInt();
        e.nPod = q.value(5).toInt();
        out->append(e);
    }
    q.finish();
    return true;
}

bool clearHotelRange(QSqlQuery& q, qint64 idPod, QString* error) {
    return ExecBound(q, QStringLiteral("UPDATE k_pod SET n1kvr=0, npkvr=0 WHERE id_pod=?"), {idPod},
                     error);
}

int apartmentRows(QSqlQuery& q, qint64 idPod, QString* error, bool* ok) {
    QVariant n;
    *ok = SiteData::QueryValue(
        q, QStringLiteral("SELECT COUNT(*) FROM k_kvr WHERE id_pod=? AND NOT l_trub"), {idPod}, &n,
        error);
    return n.toInt();
}

// Writes the recounted ranges back; says whether some entrance's count now
// differs from the apartment rows it has.
bool writeRanges(QSqlQuery& q, const QList<ScreenEntranceRow>& entrances,
                 const QList<EntranceRange>& entries, bool* countsDiffer, QString* error) {
    int k = 0;
    for (const ScreenEntranceRow& e : entrances) {
        int count = e.range.count;
        if (e.hotel) {
            if (!clearHotelRange(q, e.idPod, error)) return false;
        } else {
            const EntranceRange& r = entries[k++];
            count = r.count;
            if (!ExecBound(
                    q, QStringLiteral("UPDATE k_pod SET n1kvr=?, npkvr=?, v_kvr=? WHERE id_pod=?"),
                    {r.first, r.last, r.count, e.idPod}, error))
                return false;
        }
        bool ok = false;
        if (apartmentRows(q, e.idPod, error, &ok) != count) *countsDiffer = true;
        if (!ok) return false;
    }
    return true;
}

// The number of the first entrance whose recounted range its fields cannot
// hold (sums of typed counts pass 32767 soon enough); 0 when all fit.
int entranceBeyondLimits(const QList<ScreenEntranceRow>& entrances,
                         const QList<EntranceRange>& entries) {
    int k = 0;
    for (const ScreenEntranceRow& e : entrances)
        if (!e.hotel && !RangeFits(entries[k++])) return e.nPod;
    return 0;
}

void refreshEntrances() {
    const int house = FDM->Q_Dom->RecNo();
    FDM->Q_Kvp->Close();
    FDM->Q_DPd->Reopen();
    FDM->Q_DPd->First();
    if (house > 0) FDM->Q_Dom->SetRecNo(house);
    FDM->Q_Kvp->Open();
}

}  // namespace

RangeRecountOutcome EntranceScreen::RecountHouseRanges(qint64 idDom, const RangeInputs& inputs,
                                                       const HeldRows& held) {
    RangeRecountOutcome out;
    const qint64 idNet = CurrentObjectId();
    if (!FDM || idNet == 0) return out;
    if (Dialogs::Message(EntranceTexts::kRecountCaption, EntranceTexts::kRecountQuestion,
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return out;

    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    QList<ScreenEntranceRow> entrances;
    QList<EntranceRange> entries;
    QString stateAfter;
    const QString stateBefore = FDM->Q_Net->FieldByName(QStringLiteral("st_net")).AsString();
    SqlTransaction tr(FDM->ConnectionDB());
    if (tr.started() && !held.StillThereIn(tr)) return out;
    bool ok = tr.started() && readHouseEntrances(q, idDom, &entrances, &error);
    for (const ScreenEntranceRow& e : std::as_const(entrances)) {
        if (!ok) break;
        if (e.hotel)
            ok = clearHotelRange(q, e.idPod, &error);
        else
            entries << e.range;
    }
    out.ran = ok;
    const bool lastIsHotel = !entrances.isEmpty() && entrances.last().hotel;
    if (ok && !lastIsHotel) {
        out.orderViolated = !RangesInOrder(entries, inputs);
        if (!out.orderViolated) {
            RecountRanges(entries, inputs);
            out.beyondLimits = entranceBeyondLimits(entrances, entries);
        }
    }
    if (ok && !out.orderViolated && out.beyondLimits == 0)
        ok = writeRanges(q, entrances, entries, &out.countsDiffer, &error);
    if (ok && out.countsDiffer)
        ok = ObjectState::Apply(
            FDM->ConnectionDB(), idNet,
            [](const QString& s) { return ObjectState::AfterApartmentsRecounted(s, true); }, &error,
            &stateAfter);
    ok = SiteData::EndWrite(tr, ok, QStringLiteral("Квартиры не пересчитаны."), error);
    if (!ok) {
        out.failed = true;
        out.countsDiffer = false;
        out.beyondLimits = 0;
    } else if (out.orderViolated) {
        Dialogs::Message(EntranceTexts::kOrderCaption, EntranceTexts::kOrderViolation,
                         DlgButtons::Ok, DlgIcon::Warning);
    } else if (out.beyondLimits != 0) {
        Dialogs::Message(EntranceTexts::kOrderCaption,
                         EntranceTexts::RangeBeyondLimits(out.beyondLimits), DlgButtons::Ok,
                         DlgIcon::Warning);
    }
    refreshEntrances();
    if (ok && out.countsDiffer && stateAfter != stateBefore) SiteData::ReopenObjectKeepingPlace();
    return out;
}

bool EntranceScreen::RecountApartmentCounts() {
    if (!FDM) return false;
    const int recNo = FDM->Q_DPd->RecNo();
    const bool ok = CheckApartmentCounts(1, true);
    FDM->Q_DPd->Reopen();
    if (recNo > 0) FDM->Q_DPd->SetRecNo(recNo);
    return ok;
}

ApartmentTotals EntranceScreen::Totals(qint64 idDom) const {
    ApartmentTotals totals;
    const qint64 idNet = CurrentObjectId();
    if (!FDM || idNet == 0) return totals;
    QSqlQuery q(FDM->ConnectionDB());
    QVariant sum;
    QString error;
    // A sum over no entrance is null and shows as nothing.
    if (SiteData::QueryValue(q, QStringLiteral("SELECT SUM(v_kvr) AS ss FROM k_pod WHERE id_dom=?"),
                             {idDom}, &sum, &error) &&
        !sum.isNull())
        totals.house = QString::number(sum.toLongLong());
    if (SiteData::QueryValue(q, QStringLiteral("SELECT SUM(v_kvr) AS ss FROM k_pod WHERE id_net=?"),
                             {idNet}, &sum, &error) &&
        !sum.isNull())
        totals.object = QString::number(sum.toLongLong());
    return totals;
}

// ---------------------------------------------------------------- field edits

namespace {

using SiteData::PostCurrentRow;

// Writes one field of the row whose key is id; the dataset stays on the row
// it was on, as the operator may already have moved to the next one.
bool setField(Dataset* ds, const QString& keyField, qint64 id, const QString& field,
              const QVariant& value, const QString& what, const HeldRows& held) {
    const int recNo = ds->RecNo();
    if (!ds->Locate(keyField, id)) return false;
    bool ok = true;
    if (ds->FieldByName(field).Value() != value) {
        ds->FieldByName(field).SetValue(value);
        ok = PostCurrentRow(held, ds, what);
    }
    if (recNo > 0 && ds->RecNo() != recNo) ds->SetRecNo(recNo);
    return ok;
}

}  // namespace

bool EntranceScreen::SetHotelNumbering(bool hotel, const HeldRows& held) {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_DPd)) return false;
    Field typeN = FDM->Q_DPd->FieldByName(QStringLiteral("type_n"));
    if (typeN.AsBool() == hotel) return true;
    typeN.SetValue(hotel ? 1 : 0);
    return PostCurrentRow(held, FDM->Q_DPd, QStringLiteral("Нумерация подъезда не изменена."));
}

bool EntranceScreen::SetEntranceField(qint64 idPod, const QString& field, const QString& text,
                                      const HeldRows& held) {
    if (!FDM) return false;
    QVariant value;
    if (field == QStringLiteral("nm_pod")) {
        value = LeftChars(text, EntranceLimits::kEntranceName);
    } else if (field == QStringLiteral("n1kvr") || field == QStringLiteral("npkvr") ||
               field == QStringLiteral("v_kvr")) {
        bool number = true;
        const int n = text.trimmed().toInt(&number);
        if (!text.trimmed().isEmpty() && (!number || n < 0 || n > EntranceLimits::kMaxNumber))
            return false;
        if (!text.trimmed().isEmpty()) value = n;
    } else {
        return false;
    }
    return setField(FDM->Q_DPd, QStringLiteral("id_pod"), idPod, field, value,
                    QStringLiteral("Подъезд не изменен."), held);
}

bool EntranceScreen::SetHouseName(qint64 idDom, const QString& name, const HeldRows& held) {
    if (!FDM) return false;
    return setField(FDM->Q_Dom, QStringLiteral("id_dom"), idDom, QStringLiteral("house"),
                    LeftChars(name, EntranceLimits::kHouseName), QStringLiteral("Дом не изменен."),
                    held);
}

// ---------------------------------------------------------------- keys and masks

int EntranceScreen::KeysPerApartment() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Net)) return EntranceLimits::kDefaultKeys;
    const Field vKey = FDM->Q_Net->FieldByName(QStringLiteral("v_key"));
    if (vKey.IsNull()) return EntranceLimits::kDefaultKeys;
    return qBound(0, vKey.AsInt(), EntranceLimits::kMaxKeys);
}

QStringList EntranceScreen::FlagNames(const QString& table) const {
    QStringList names;
    if (!FDM) return names;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    if (!ExecBound(q, QStringLiteral("SELECT namf FROM t_fl WHERE tabl=? ORDER BY tabl, nomf"),
                   {table}, &error))
        return names;
    while (q.next()) names << q.value(0).toString();
    return names;
}

QString EntranceScreen::CallPanelMask() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Net)) return QString();
    return FDM->Q_Net->FieldByName(QStringLiteral("flbv")).AsString();
}

QString EntranceScreen::ConsoleMask() const {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Net)) return QString();
    return FDM->Q_Net->FieldByName(QStringLiteral("flpo")).AsString();
}

bool EntranceScreen::SaveFlagMasks(const QString& flbv, const QString& flpo) {
    if (!FDM || !SiteData::HasCurrentRow(FDM->Q_Net)) return false;
    Dataset* net = FDM->Q_Net;
    net->FieldByName(QStringLiteral("flbv")).SetValue(PaddedFlagMask(flbv));
    net->FieldByName(QStringLiteral("flpo")).SetValue(PaddedFlagMask(flpo));
    return PostCurrentRow(net, QStringLiteral("Маски флагов не сохранены."));
}
