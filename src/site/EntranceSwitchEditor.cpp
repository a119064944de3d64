#include "site/EntranceSwitchEditor.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"
#include "foundation/TerminalDistribution.h"
#include "platform/Dialogs.h"
#include "site/DeviceMarks.h"
#include "site/SiteData.h"

#include <QSqlQuery>
#include <algorithm>

using FillMethod::kNoMethod;

int IncrementModulo100(int n1kvr) {
    return n1kvr < 100 ? n1kvr : n1kvr % 100;
}

int WorkingMode(const QVariant& typeF) {
    const int mode = typeF.isNull() ? 0 : typeF.toInt();
    return mode < 0 || mode > 4 ? 0 : mode;
}

namespace {

const QString kNotSaved = QStringLiteral("Параметры коммутатора не сохранены.");

bool execOnSite(const QString& sql, const QVariantList& values, QString* error) {
    QSqlQuery q(FDM->ConnectionDB());
    return ExecBound(q, sql, values, error);
}

// The stored first handset number, or the increment where none is stored.
int storedFirstHandset(const QVariant& pFc, int increment) {
    return pFc.isNull() ? increment : pFc.toInt();
}

}  // namespace

// ---------------------------------------------------------------- reading

bool EntranceSwitchEditor::read(qint64 idPk) {
    if (!FDM || idPk == 0) return false;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    Snapshot s;
    s.idPk = idPk;
    if (!ExecBound(q,
                   QStringLiteral("SELECT k.id_pod, k.id_net, k.type_k, k.type_f, k.p_fc, k.ai, "
                                  "k.ah, k.n_xl, k.kf_pr, p.n1kvr, p.type_n, p.d_key, p.o_key, "
                                  "p.v_dvr, p.id_dom, k.n_net FROM k_pk k LEFT JOIN k_pod p "
                                  "ON p.id_pod=k.id_pod WHERE k.id_pk=?"),
                   {idPk}, &error)) {
        SiteData::ShowFailure(QStringLiteral("Коммутатор не прочитан."), error);
        return false;
    }
    if (!q.next()) return false;
    s.idPod = q.value(0).toLongLong();
    s.idNet = q.value(1).toLongLong();
    s.typeK = q.value(2).toString();
    s.typeF = q.value(3);
    s.pFc = q.value(4);
    s.ai = q.value(5).toInt();
    s.ah = q.value(6).toInt();
    s.nXl = q.value(7).toInt();
    s.kfPr = q.value(8).toInt();
    s.n1kvr = q.value(9).toInt();
    s.hotel = q.value(10).toInt() != 0;
    s.dKey = q.value(11).toInt();
    s.oKey = q.value(12).toInt();
    s.vDvr = q.value(13).toInt();
    s.idDom = q.value(14).toLongLong();
    s.nNet = q.value(15).toInt();
    q.finish();

    QVariant ranges, panels;
    // The largest terminal of an entrance without rows counts as 0.
    bool ok = ExecBound(q,
                        QStringLiteral("SELECT COUNT(*), COALESCE(MAX(p_pk), 0) FROM k_kvr "
                                       "WHERE id_pod=?"),
                        {s.idPod}, &error) &&
              q.next();
    if (ok) {
        s.rows = q.value(0).toInt();
        s.maxTerminal = CountLimits::Terminal(q.value(1).toLongLong());
    }
    q.finish();
    ok = ok &&
         SiteData::QueryValue(q,
                              QStringLiteral("SELECT p_pk FROM k_kvr WHERE id_pod=? "
                                             "ORDER BY p_nom, id_kvr LIMIT 1"),
                              {s.idPod}, &s.firstTerminal, &error) &&
         SiteData::QueryValue(q, QStringLiteral("SELECT COUNT(*) FROM t_dip WHERE id_pk=?"), {idPk},
                              &ranges, &error) &&
         SiteData::QueryValue(q,
                              QStringLiteral("SELECT COUNT(*) FROM m_bv m JOIN m_pk p "
                                             "ON m.n_pk=p.n_pk AND m.id_net=p.id_net "
                                             "JOIN k_bv b ON b.id_bv=m.id_bv "
                                             "WHERE p.id_pk=? AND (m.plus=1 OR m.plus=3)"),
                              {idPk}, &panels, &error);
    if (!ok) {
        SiteData::ShowFailure(QStringLiteral("Коммутатор не прочитан."), error);
        return false;
    }
    s.ranges = ranges.toInt();
    s.panels = panels.toInt();
    sw_ = s;
    return true;
}

bool EntranceSwitchEditor::write(const QString& what, const QString& sql,
                                 const QVariantList& values) {
    const bool ok = SiteData::WriteInOneTransaction(
        held_, what, [&](QString* error) { return execOnSite(sql, values, error); });
    read(sw_.idPk);
    return ok;
}

// ---------------------------------------------------------------- showing

bool EntranceSwitchEditor::ShowEntrance(qint64 idPk) {
    distributed_ = kNoMethod;
    pending_ = false;
    view_ = EntranceSwitchView{};
    if (!read(idPk)) {
        sw_ = Snapshot{};
        held_ = HeldRows();
        return false;
    }
    held_ = HeldRows::OfSwitch(idPk);
    int mode = kNoMethod;
    bool ok = true;
    if (sw_.typeK == EntranceSwitchTexts::kFloorSwitch) {
        view_.type = SwitchType::Floor;
        selectFloor();
        mode = kTerminalsNone;
    } else if (sw_.typeK == EntranceSwitchTexts::kApartmentSwitch) {
        view_.type = SwitchType::Apartment;
        mode = WorkingMode(sw_.typeF);
        view_.methodEnabled = true;
        view_.hundredsEnabled = true;
        // A mode above 1 shows as the last method.
        ok = applyMethod(std::min(mode, int(FillMethod::kModulo100)));
    }
    ok = correctOnShow(mode) && ok;
    showValues();
    view_.warning = warning();
    distributed_ = view_.method;
    pending_ = false;
    return ok;
}

// What showing an entrance stores: the fixed offsets of a floor switch, no
// ranges where the mode has none, the increment of the entrance, and a mode
// for a switch whose type is chosen but whose mode was never stored.
bool EntranceSwitchEditor::correctOnShow(int mode) {
    bool ok = true;
    if (view_.type == SwitchType::Floor &&
        (sw_.ah != 0 || sw_.pFc.isNull() || sw_.pFc.toInt() != 1))
        ok = write(kNotSaved, QStringLiteral("UPDATE k_pk SET kf_pr=?, ah=0, p_fc=1 WHERE id_pk=?"),
                   {KfPrAfterEdit(sw_.kfPr), sw_.idPk});
    if (view_.type == SwitchType::Apartment && mode >= kTerminalsByRanges && sw_.ranges > 0)
        ok = write(kNotSaved, QStringLiteral("DELETE FROM t_dip WHERE id_pk=?"), {sw_.idPk}) && ok;
    const int increment = IncrementModulo100(sw_.n1kvr);
    if (sw_.ai != increment)
        ok = write(kNotSaved, QStringLiteral("UPDATE k_pk SET kf_pr=?, ai=? WHERE id_pk=?"),
                   {KfPrAfterEdit(sw_.kfPr), increment, sw_.idPk}) &&
             ok;
    if (view_.type != SwitchType::None && sw_.typeF.isNull()) {
        const int stored = mode == kNoMethod ? 0 : mode;
        if (stored < kTerminalsByRanges)
            ok = write(kNotSaved, QStringLiteral("UPDATE k_pk SET type_f=?, p_fc=? WHERE id_pk=?"),
                       {stored, storedFirstHandset(sw_.pFc, increment), sw_.idPk}) &&
                 ok;
        else
            ok = write(kNotSaved, QStringLiteral("UPDATE k_pk SET type_f=? WHERE id_pk=?"),
                       {stored, sw_.idPk}) &&
                 ok;
    }
    return ok;
}

void EntranceSwitchEditor::showValues() {
    view_.maxHandset = sw_.nXl > 0 ? sw_.nXl : sw_.rows + 1;
    view_.increment = IncrementModulo100(sw_.n1kvr);
    view_.firstHandset = storedFirstHandset(sw_.pFc, view_.increment);
    view_.hundreds = sw_.ah;
    view_.keysPerApartment = sw_.dKey;
    view_.commonKeys = sw_.oKey;
    view_.gates = sw_.panels - sw_.vDvr;
}

// A distribution that no longer matches the stored rule, read from the first
// row of the entrance.
QString EntranceSwitchEditor::warning() const {
    if (sw_.firstTerminal.isNull()) return {};
    const int first = sw_.firstTerminal.toInt();
    if (view_.type == SwitchType::Apartment && view_.method == FillMethod::kModulo100 &&
        first != view_.increment)
        return EntranceSwitchTexts::kWarnIncrement;
    if (view_.type == SwitchType::Apartment && view_.method == FillMethod::kFirstHandset &&
        first != view_.firstHandset)
        return EntranceSwitchTexts::kWarnFirstHandset;
    if (view_.type == SwitchType::Floor && first != 0) return EntranceSwitchTexts::kWarnFloor;
    return {};
}

// ---------------------------------------------------------------- type and method

void EntranceSwitchEditor::selectFloor() {
    view_.method = kNoMethod;
    view_.methodEnabled = false;
    view_.maxHandset = sw_.rows + 1;
    view_.hundredsEnabled = false;
}

bool EntranceSwitchEditor::ChooseFloorSwitch() {
    if (sw_.idPk == 0) return false;
    view_.type = SwitchType::Floor;
    bool ok = true;
    // The rows are counted as the file holds them when the choice is written.
    if (sw_.typeK != EntranceSwitchTexts::kFloorSwitch)
        ok = write(kNotSaved,
                   QStringLiteral("UPDATE k_pk SET type_k=?, ah=0, p_fc=1, type_f=3, n_xl=") +
                       SiteData::RowsPlusOne() + QStringLiteral(" WHERE id_pk=?"),
                   {EntranceSwitchTexts::kFloorSwitch, sw_.idPod, sw_.idPk});
    selectFloor();
    view_.hundreds = sw_.ah;
    view_.firstHandset = storedFirstHandset(sw_.pFc, view_.increment);
    view_.warning.clear();
    return ok;
}

bool EntranceSwitchEditor::ChooseApartmentSwitch() {
    if (sw_.idPk == 0) return false;
    view_.type = SwitchType::Apartment;
    view_.methodEnabled = true;
    int method = view_.method == kNoMethod ? FillMethod::kFirstHandset : view_.method;
    if (sw_.hotel && method == FillMethod::kModulo100) method = FillMethod::kFirstHandset;
    bool ok = true;
    if (sw_.typeK != EntranceSwitchTexts::kApartmentSwitch)
        ok = write(kNotSaved,
                   QStringLiteral("UPDATE k_pk SET type_k=?, type_f=?, n_xl=") +
                       SiteData::HighestTerminalPlusOne() + QStringLiteral(" WHERE id_pk=?"),
                   {EntranceSwitchTexts::kApartmentSwitch, method, sw_.idPod, sw_.idPk});
    view_.maxHandset = sw_.maxTerminal + 1;
    view_.hundredsEnabled = true;
    return applyMethod(method) && ok;
}

bool EntranceSwitchEditor::ChooseMethod(int method) {
    if (sw_.idPk == 0 || view_.type != SwitchType::Apartment) return false;
    if (method != FillMethod::kFirstHandset && method != FillMethod::kModulo100) return false;
    return applyMethod(method);
}

// The method group's choice: a hotel entrance cannot count modulo 100; the
// method differing from the stored mode is stored with its first handset.
bool EntranceSwitchEditor::applyMethod(int method) {
    view_.portsCaption = EntranceSwitchTexts::kDistribute;
    if (method == FillMethod::kModulo100 && sw_.hotel) method = FillMethod::kFirstHandset;
    view_.method = method;
    view_.increment = IncrementModulo100(sw_.n1kvr);
    if (method == FillMethod::kFirstHandset) {
        view_.firstHandset = storedFirstHandset(sw_.pFc, view_.increment);
        view_.firstHandsetShown = true;
    } else {
        view_.firstHandset = view_.increment;
        view_.firstHandsetShown = false;
    }
    if (sw_.typeF.toInt() == method) return true;
    return write(kNotSaved, QStringLiteral("UPDATE k_pk SET type_f=?, p_fc=? WHERE id_pk=?"),
                 {method, view_.firstHandset, sw_.idPk});
}

void EntranceSwitchEditor::SetFirstHandset(int value) {
    view_.firstHandset = value;
}

void EntranceSwitchEditor::FirstHandsetLeft(int value) {
    view_.firstHandset = value;
    if (sw_.idPk != 0 && (sw_.pFc.isNull() || sw_.pFc.toInt() != value)) pending_ = true;
}

// ---------------------------------------------------------------- distribution

int EntranceSwitchEditor::firstTerminalFor(int method) const {
    return method == FillMethod::kModulo100 ? view_.increment : view_.firstHandset;
}

bool EntranceSwitchEditor::Distribute() {
    if (sw_.idPk == 0 || view_.type == SwitchType::None) return false;
    const qint64 idPk = sw_.idPk;
    const TerminalResult r = WriteHeld<TerminalResult>(held_, [&] {
        if (view_.type == SwitchType::Floor)
            return AssignTerminals(FDM->ConnectionDB(), idPk, kTerminalsNone, 1);
        const int method = view_.method == kNoMethod ? FillMethod::kFirstHandset : view_.method;
        return AssignTerminals(FDM->ConnectionDB(), idPk, method, firstTerminalFor(method));
    });
    if (!r.ok) {
        if (!r.error.isEmpty())
            SiteData::ShowFailure(QStringLiteral("Клеммы не распределены."), r.error);
        return false;
    }
    return ShowEntrance(idPk);
}

void EntranceSwitchEditor::ConfirmDistribution(qint64 currentObject) {
    if (sw_.idPk == 0) return;
    // A close after the object changed has nothing to do with its switches.
    if (sw_.idNet != currentObject) {
        Forget();
        return;
    }
    if (view_.method != distributed_) {
        if (Dialogs::Message(EntranceSwitchTexts::kError,
                             EntranceSwitchTexts::kMethodNotDistributed, DlgButtons::YesNo,
                             DlgIcon::Question) == DlgAnswer::Yes)
            Distribute();
        else if (view_.type == SwitchType::Apartment && distributed_ != kNoMethod)
            applyMethod(distributed_);
        else
            distributed_ = view_.method;
    }
    if (pending_) Distribute();
}

void EntranceSwitchEditor::Forget() {
    sw_ = Snapshot{};
    held_ = HeldRows();
    view_ = EntranceSwitchView{};
    distributed_ = kNoMethod;
    pending_ = false;
}

// ---------------------------------------------------------------- slots and offsets

bool EntranceSwitchEditor::SaveKeysPerApartment(int value, KeySlotScope scope) {
    if (sw_.idPk == 0 || value < 0 || value > EntranceSwitchLimits::kMaxKeysPerApartment)
        return false;
    QString where = QStringLiteral("id_pod=?");
    QVariant key = sw_.idPod;
    if (scope == KeySlotScope::House) {
        where = QStringLiteral("id_dom=?");
        key = sw_.idDom;
    } else if (scope == KeySlotScope::Object) {
        where = QStringLiteral("id_dom IN (SELECT id_dom FROM k_dom WHERE id_net=?)");
        key = sw_.idNet;
    }
    const bool ok = write(QStringLiteral("Места для ключей не сохранены."),
                          QStringLiteral("UPDATE k_pod SET d_key=? WHERE ") + where, {value, key});
    view_.keysPerApartment = sw_.dKey;
    return ok;
}

bool EntranceSwitchEditor::SaveCommonKeys(int value, bool wholeObject) {
    if (sw_.idPk == 0 || value < 0 || value > EntranceSwitchLimits::kMaxCommonKeys) return false;
    const bool ok = SiteData::WriteInOneTransaction(
        held_, QStringLiteral("Места для ключей не сохранены."), [&](QString* error) {
            QSqlQuery q(FDM->ConnectionDB());
            QList<qint64> entrances;
            if (!wholeObject) {
                entrances << sw_.idPod;
            } else {
                if (!ExecBound(q,
                               QStringLiteral("SELECT p.id_pod FROM k_pod p JOIN k_dom d "
                                              "ON p.id_dom=d.id_dom WHERE d.id_net=?"),
                               {sw_.idNet}, error))
                    return false;
                while (q.next()) entrances << q.value(0).toLongLong();
                q.finish();
            }
            // Each entrance keeps room at least for the common keys it holds.
            for (qint64 idPod : std::as_const(entrances)) {
                QVariant held;
                if (!SiteData::QueryValue(q,
                                          QStringLiteral("SELECT COUNT(*) FROM k_key "
                                                         "WHERE id_kvr=-1 AND id_pod=?"),
                                          {idPod}, &held, error) ||
                    !ExecBound(
                        q, QStringLiteral("UPDATE k_pod SET o_key=? WHERE id_pod=?"),
                        {std::max(value, CountLimits::CountedKeys(held.toLongLong())), idPod},
                        error))
                    return false;
            }
            return true;
        });
    read(sw_.idPk);
    view_.commonKeys = sw_.oKey;
    return ok;
}

bool EntranceSwitchEditor::SaveHundreds(int value) {
    if (sw_.idPk == 0 || value < 0 || value > EntranceSwitchLimits::kMaxHundreds) return false;
    if (value == sw_.ah) return true;
    // The panels dial the hundreds: their files change, the switch's does not.
    const bool ok = SiteData::WriteInOneTransaction(held_, kNotSaved, [&](QString* error) {
        QSqlQuery q(FDM->ConnectionDB());
        return ExecBound(q, QStringLiteral("UPDATE k_pk SET ah=? WHERE id_pk=?"), {value, sw_.idPk},
                         error) &&
               DeviceMarking::AdvanceWiredPanels(q, sw_.idPk, error);
    });
    read(sw_.idPk);
    view_.hundreds = sw_.ah;
    return ok;
}

bool EntranceSwitchEditor::TypeTerminal(qint64 idKvr, int terminal) {
    if (sw_.idPk == 0 || terminal < 0 || terminal > EntranceSwitchLimits::kMaxTerminal)
        return false;
    const bool apartmentSwitch = view_.type == SwitchType::Apartment;
    const bool ok = SiteData::WriteInOneTransaction(
        held_, QStringLiteral("Номер клеммы не сохранен."), [&](QString* error) {
            QSqlQuery q(FDM->ConnectionDB());
            if (!ExecBound(q, QStringLiteral("UPDATE k_kvr SET p_pk=? WHERE id_kvr=? AND id_pod=?"),
                           {terminal, idKvr, sw_.idPod}, error))
                return false;
            // An apartment switch polls up to the highest terminal of the entrance.
            if (apartmentSwitch && !ExecBound(q,
                                              QStringLiteral("UPDATE k_pk SET n_xl=") +
                                                  SiteData::HighestTerminalPlusOne() +
                                                  QStringLiteral(" WHERE id_pk=?"),
                                              {sw_.idPod, sw_.idPk}, error))
                return false;
            return DeviceMarking::AdvanceFileStates(q, QStringLiteral("k_pk"),
                                                    QStringLiteral("id_pk"),
                                                    QStringLiteral("id_pk=?"), {sw_.idPk}, error);
        });
    read(sw_.idPk);
    if (apartmentSwitch) view_.maxHandset = sw_.nXl;
    view_.warning = warning();
    return ok;
}
