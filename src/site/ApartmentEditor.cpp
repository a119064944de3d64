#include "site/ApartmentEditor.h"

#include "foundation/BitAndStr.h"
#include "foundation/BoundSql.h"
#include "foundation/CountLimits.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"
#include "site/ApartmentFlags.h"
#include "site/ApartmentList.h"
#include "site/CallCodes.h"
#include "site/ObjectState.h"
#include "site/RowOrigin.h"
#include "site/SiteData.h"

#include <QStringList>

// ---------------------------------------------------------------- rules

ApartmentEditorContext CurrentSwitchContext() {
    ApartmentEditorContext ctx;
    if (!FDM) return ctx;
    if (SiteData::HasCurrentRow(FDM->Q_MNpk)) {
        Dataset* sw = FDM->Q_MNpk;
        ctx.idPk = sw->FieldByName(QStringLiteral("k.id_pk")).AsLargeInt();
        ctx.idPod = sw->FieldByName(QStringLiteral("p.id_pod")).AsLargeInt();
        ctx.idDom = sw->FieldByName(QStringLiteral("d.id_dom")).AsLargeInt();
    }
    ctx.idNet = SiteData::CurrentObjectId();
    if (ctx.idNet != 0) ctx.hasConsole = FDM->Q_Net->FieldByName(QStringLiteral("l_pok")).AsBool();
    if (SiteData::HasCurrentRow(FDM->Global)) {
        ctx.maskBv = FDM->Global->FieldByName(QStringLiteral("MaskBvEnabled")).AsInt();
        ctx.maskPo = FDM->Global->FieldByName(QStringLiteral("MaskPoEnabled")).AsInt();
    }
    return ctx;
}

int ApartmentKeyQuota(int typed, int objectQuota, int keysHeld) {
    int quota = typed;
    if (quota != 0 && quota < objectQuota) quota = objectQuota;
    return quota < keysHeld ? keysHeld : quota;
}

QString RowFlagColumn(RowFlag flag) {
    switch (flag) {
        case RowFlag::CallBack:
            return QStringLiteral("m_obr");
        case RowFlag::RingBack:
            return QStringLiteral("l_otz");
        case RowFlag::Video:
            return QStringLiteral("l_vid");
        case RowFlag::Block:
            return QStringLiteral("m_blk");
        case RowFlag::Call:
            return QStringLiteral("call");
        case RowFlag::Redirect:
            return QStringLiteral("l_pnp");
    }
    return {};
}

DeviceMarks RowFlagMarks(RowFlag flag) {
    DeviceMarks marks;
    switch (flag) {
        case RowFlag::CallBack:
        case RowFlag::Video:
        case RowFlag::Block:
            marks.switchMark = true;
            break;
        case RowFlag::RingBack:
        case RowFlag::Call:
            marks.panels = true;
            break;
        case RowFlag::Redirect:
            marks.console = true;
            break;
    }
    return marks;
}

QString BulkQuestion(RowFlag flag, BulkChange change) {
    struct Questions {
        const char* clear;
        const char* set;
        const char* invert;
    };
    static const Questions kQuestions[] = {
        {"Запретить обратный вызов всем?", "Разрешить обратный вызов всем?",
         "Обратить обратный вызов на противоположный?"},
        {"Запретить отзвонку всем?", "Разрешить отзвонку всем?",
         "Обратить отзвонку на противоположную?"},
        {"Запретить видеопросмотр всем?", "Разрешить видеопросмотр всем?",
         "Обратить видеопросмотр на противоположный?"},
        {"Разблокировать все трубки?", "Заблокировать все трубки?",
         "Обратить блокировку на противоположную?"},
        {"Запретить прямой вызов всем?", "Разрешить прямой вызов всем?",
         "Обратить прямой вызов на противоположный?"},
        {"Запретить перенаправление вызова всем?", "Разрешить перенаправление вызова всем?",
         "Обратить перенаправление вызова на противоположный?"},
    };
    const Questions& q = kQuestions[static_cast<int>(flag)];
    const char* text = change == BulkChange::Clear ? q.clear
                       : change == BulkChange::Set ? q.set
                                                   : q.invert;
    return QString::fromUtf8(text);
}

namespace {

// A flag as written: flags above the usable count are always cleared.
bool writtenFlag(const QVector<bool>& flags, int n, int usable) {
    return n <= usable && flags.value(n);
}

// Which devices the differences between the stored row and the controls
// mark; changed tells whether anything differs at all.
DeviceMarks changedMarks(const StoredApartment& s, const ApartmentValues& v,
                         const ApartmentEditorContext& ctx, bool* changed) {
    DeviceMarks marks;
    bool any = false;
    auto differ = [&](bool differs, bool sw, bool panels, bool console) {
        if (!differs) return;
        any = true;
        marks |= DeviceMarks{sw, panels, console};
    };
    const ApartmentValues& was = s.values;
    differ(was.keys != v.keys, false, true, false);
    differ(was.callBack != v.callBack, true, false, false);
    differ(was.ringBack != v.ringBack, false, true, false);
    differ(was.video != v.video, true, false, false);
    differ(was.blocked != v.blocked, true, false, false);
    differ(was.call != v.call, false, true, true);
    differ(was.redirect != v.redirect, false, false, true);
    differ(was.number != v.number.trimmed(), false, false, false);
    differ(was.code != v.code.trimmed(), false, true, true);
    differ(TimesChanged(s, v), false, false, true);
    for (int n = ApartmentRowLimits::kFirstPanelFlag; n <= ApartmentRowLimits::kLastFlag; ++n)
        differ(writtenFlag(v.panelFlags, n, ctx.maskBv) != was.panelFlags.value(n), false, true,
               false);
    for (int n = ApartmentRowLimits::kFirstConsoleFlag; n <= ApartmentRowLimits::kLastFlag; ++n)
        differ(writtenFlag(v.consoleFlags, n, ctx.maskPo) != was.consoleFlags.value(n), false,
               false, true);
    *changed = any;
    return marks;
}

// The switch polls up to the highest terminal left in its entrance.
bool lowerPollRange(QSqlQuery& q, qint64 idPod, qint64 idPk, QString* error) {
    QVariant top;
    if (!SiteData::QueryValue(q, QStringLiteral("SELECT MAX(p_pk) FROM k_kvr WHERE id_pod=?"),
                              {idPod}, &top, error))
        return false;
    if (top.isNull()) return true;
    const int range = CountLimits::Terminal(top.toLongLong()) + 1;
    if (!ExecBound(q, QStringLiteral("SELECT n_xl, kf_pr FROM k_pk WHERE id_pk=?"), {idPk}, error))
        return false;
    if (!q.next()) return true;
    const int nXl = q.value(0).toInt();
    const int kfPr = q.value(1).toInt();
    q.finish();
    return nXl == range ||
           ExecBound(q, QStringLiteral("UPDATE k_pk SET kf_pr=?, n_xl=? WHERE id_pk=?"),
                     {KfPrAfterEdit(kfPr), range, idPk}, error);
}

bool raisePollRange(QSqlQuery& q, qint64 idPod, qint64 idPk, QString* error) {
    return ExecBound(q,
                     QStringLiteral("UPDATE k_pk SET n_xl=") + SiteData::HighestTerminalPlusOne() +
                         QStringLiteral(" WHERE id_pk=?"),
                     {idPod, idPk}, error);
}

bool exists(QSqlQuery& q, const QString& sql, const QVariantList& values, bool* found,
            QString* error) {
    QVariant v;
    if (!SiteData::QueryValue(q, sql, values, &v, error)) return false;
    *found = !v.isNull();
    return true;
}

}  // namespace

// ---------------------------------------------------------------- showing and adding

bool ApartmentEditor::ShowApartment(const ApartmentEditorContext& ctx, qint64 idKvr,
                                    ApartmentValues* out) {
    rowChanged_ = false;
    rowAdding_ = false;
    kind_ = AddKind::kNone;
    return ReadApartmentToShow(idKvr, ctx.idNet, ctx.hasConsole, out);
}

void ApartmentEditor::BeginAdd(const ApartmentEditorContext& ctx, qint64 current,
                               ApartmentValues* values) {
    if (!FDM || ctx.idPod == 0) return;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    SiteData::ObjectDefaults object;
    StoredApartment currentRow;
    bool haveCurrent = current != 0 && ReadApartment(q, current, &currentRow, &error);
    QVariant lastTerminal, lastPNom;
    bool ok = SiteData::ReadObjectDefaults(q, ctx.idNet, &object, &error) &&
              ExecBound(q,
                        QStringLiteral("SELECT p_pk, p_nom FROM k_kvr WHERE id_pod=? "
                                       "ORDER BY p_nom DESC, id_kvr DESC LIMIT 1"),
                        {ctx.idPod}, &error);
    const bool empty = !ok || !q.next();
    if (!empty) {
        lastTerminal = q.value(0);
        lastPNom = q.value(1);
    }
    q.finish();
    if (!ok) {
        SiteData::ShowFailure(QStringLiteral("Трубка не добавлена."), error);
        return;
    }
    rowAdding_ = true;
    values->handset = true;
    values->keys = object.vKey;
    values->callBack = object.callBack;
    values->ringBack = PaddedFlagMask(object.flbv).at(1) == QLatin1Char('1');
    values->number = ApartmentEditorTexts::kNewHandset;
    values->code.clear();
    const ConsoleTimes console = ReadConsoleTimes(ctx.idNet, ctx.hasConsole);
    values->dayMinutes = console.day;
    values->nightMinutes = console.night;
    if (empty) {
        values->call = true;
        values->terminal = 1;
        newPNom_ = 1;
    } else {
        if (haveCurrent) values->call = currentRow.values.call;
        values->terminal = CountLimits::Terminal(lastTerminal.toLongLong()) + 1;
        newPNom_ = CountLimits::EntranceRow(lastPNom.toLongLong()) + 1;
    }
    kind_ = AddKind::kHandset;
    if (!ctx.hasConsole) return;
    // One console handset per entrance.
    bool consoleHandset = false;
    if (!exists(q, QStringLiteral("SELECT 1 FROM k_kvr WHERE id_pod=? AND st_kvr=? LIMIT 1"),
                {ctx.idPod, RowOrigin::kConsole}, &consoleHandset, &error) ||
        consoleHandset)
        return;
    if (Dialogs::Message(ApartmentEditorTexts::kConsoleHandsetCaption,
                         ApartmentEditorTexts::kConsoleHandsetQuestion, DlgButtons::YesNo,
                         DlgIcon::Question) != DlgAnswer::Yes)
        return;
    values->code = object.code;
    values->number = RowOrigin::kConsoleNumber;
    kind_ = AddKind::kConsole;
}

// ---------------------------------------------------------------- saving

bool ApartmentEditor::newRowAllowed(const ApartmentEditorContext& ctx,
                                    const ApartmentValues& values) {
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    bool terminalTaken = false, numberTaken = false;
    if (!exists(q, QStringLiteral("SELECT 1 FROM k_kvr WHERE id_pod=? AND p_pk=? LIMIT 1"),
                {ctx.idPod, values.terminal}, &terminalTaken, &error) ||
        !exists(q, QStringLiteral("SELECT 1 FROM k_kvr WHERE id_pod=? AND n_kvr=? LIMIT 1"),
                {ctx.idPod, values.number.trimmed()}, &numberTaken, &error)) {
        SiteData::ShowFailure(QStringLiteral("Трубка не добавлена."), error);
        return false;
    }
    if (terminalTaken)
        Dialogs::Message(ApartmentRowTexts::kError, ApartmentEditorTexts::kTerminalTaken,
                         DlgButtons::Ok, DlgIcon::Error);
    if (numberTaken)
        Dialogs::Message(ApartmentRowTexts::kError, ApartmentEditorTexts::kNumberTaken,
                         DlgButtons::Ok, DlgIcon::Error);
    return !terminalTaken && !numberTaken;
}

// A code another apartment of the house holds is refused and emptied; an
// empty code is refused too.
bool ApartmentEditor::codeAccepted(const ApartmentEditorContext& ctx, const QString& storedCode,
                                   ApartmentValues* values) {
    const QString code = values->code.trimmed();
    if (!code.isEmpty() && !CallCodes::IsCodeText(code)) {
        Dialogs::Message(ApartmentRowTexts::kError, CallCodeTexts::kBadCode, DlgButtons::Ok,
                         DlgIcon::Error);
        return false;
    }
    if (!code.isEmpty() && (rowAdding_ || code != storedCode.trimmed())) {
        QSqlQuery q(FDM->ConnectionDB());
        QString error;
        bool held = false;
        if (!CallCodes::HeldInHouse(q, ctx.idDom, code, true, &held, &error)) {
            SiteData::ShowFailure(QStringLiteral("Код вызова не проверен."), error);
            return false;
        }
        if (held) {
            Dialogs::Message(ApartmentRowTexts::kError, ApartmentRowTexts::kCodeTaken,
                             DlgButtons::Ok, DlgIcon::Error);
            values->code.clear();
        }
    }
    if (values->code.trimmed().isEmpty()) {
        Dialogs::Message(ApartmentRowTexts::kError, ApartmentEditorTexts::kEmptyCode,
                         DlgButtons::Ok, DlgIcon::Error);
        values->code.clear();
        return false;
    }
    return true;
}

ApartmentSaveOutcome ApartmentEditor::Save(const ApartmentEditorContext& ctx, qint64 idKvr,
                                           ApartmentValues* values) {
    ApartmentSaveOutcome out;
    if (!FDM || ctx.idPod == 0 || (!rowAdding_ && idKvr == 0)) return out;
    StoredApartment stored;
    bool changed = true;
    DeviceMarks marks{true, true, true};
    if (rowAdding_) {
        if (!newRowAllowed(ctx, *values)) return out;
    } else {
        QSqlQuery q(FDM->ConnectionDB());
        QString error;
        if (!ReadApartment(q, idKvr, &stored, &error)) {
            SiteData::ShowFailure(QStringLiteral("Изменения не сохранены."), error);
            return out;
        }
        marks = changedMarks(stored, *values, ctx, &changed);
    }
    if (!codeAccepted(ctx, stored.values.code, values)) {
        rowChanged_ = false;
        return out;
    }
    rowChanged_ = changed;
    if (!changed) {
        marks_ = DeviceMarks{};
        return out;
    }
    marks_ |= marks;
    qint64 id = idKvr;
    if (!write(ctx, rowAdding_ ? nullptr : &stored, *values, &id)) return out;
    out.written = true;
    out.idKvr = id;
    out.keysChanged = rowAdding_ || stored.values.keys != values->keys;
    rowChanged_ = false;
    rowAdding_ = false;
    kind_ = AddKind::kNone;
    return out;
}

// The row with its marks, the switch's poll range and the object's state
// after an add, in one transaction.
bool ApartmentEditor::write(const ApartmentEditorContext& ctx, const StoredApartment* stored,
                            const ApartmentValues& v, qint64* id) {
    const bool adding = stored == nullptr;
    return SiteData::WriteInOneTransaction(
        ctx.held, QStringLiteral("Изменения не сохранены."), [&](QString* error) {
            QSqlQuery q(FDM->ConnectionDB());
            QString number = LeftChars(StoredText(v.number), ApartmentWidths::kNumber);
            QString code = StoredText(v.code);
            if (adding && kind_ == AddKind::kConsole) {
                SiteData::ObjectDefaults object;
                if (!SiteData::ReadObjectDefaults(q, ctx.idNet, &object, error)) return false;
                code = object.code;
                number = RowOrigin::kConsoleNumber;
            }
            QStringList columns = {
                QStringLiteral("x_key"), QStringLiteral("m_obr"), QStringLiteral("l_otz"),
                QStringLiteral("l_vid"), QStringLiteral("m_blk"), QStringLiteral("l_pnp"),
                QStringLiteral("call"),  QStringLiteral("n_kvr"), QStringLiteral("p_kvr"),
                QStringLiteral("p_pk"),  QStringLiteral("mtdy"),  QStringLiteral("mtnt")};
            QVariantList values = {v.keys,
                                   int(v.callBack),
                                   int(v.ringBack),
                                   int(v.video),
                                   int(v.blocked),
                                   int(v.redirect),
                                   int(v.call),
                                   number,
                                   code,
                                   v.terminal,
                                   StoredTime(v.followsConsole, v.dayMinutes),
                                   StoredTime(v.followsConsole, v.nightMinutes)};
            for (int n = ApartmentRowLimits::kFirstPanelFlag; n <= ApartmentRowLimits::kLastFlag;
                 ++n) {
                columns << FlagColumn("f_m", n);
                values << int(writtenFlag(v.panelFlags, n, ctx.maskBv));
            }
            for (int n = ApartmentRowLimits::kFirstConsoleFlag; n <= ApartmentRowLimits::kLastFlag;
                 ++n) {
                columns << FlagColumn("f_p", n);
                values << int(writtenFlag(v.consoleFlags, n, ctx.maskPo));
            }
            if (adding) {
                columns << QStringLiteral("id_net") << QStringLiteral("id_pod")
                        << QStringLiteral("p_nom") << QStringLiteral("st_kvr")
                        << QStringLiteral("l_trub");
                values << ctx.idNet << ctx.idPod << newPNom_
                       << (kind_ == AddKind::kConsole ? RowOrigin::kConsole : RowOrigin::kManual)
                       << int(v.handset);
                QStringList marks;
                for (int i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
                if (!InsertReturningKey(q,
                                        QStringLiteral("INSERT INTO k_kvr (") +
                                            columns.join(QStringLiteral(", ")) +
                                            QStringLiteral(") VALUES (") +
                                            marks.join(QStringLiteral(", ")) + QLatin1Char(')'),
                                        values, QStringLiteral("id_kvr"), id, error))
                    return false;
                // The switch polls up to the highest terminal of the entrance, the
                // new one or one another copy gave meanwhile; a new apartment counts.
                if (!raisePollRange(q, ctx.idPod, ctx.idPk, error) ||
                    (!v.handset && !SiteData::CountApartment(q, ctx.idPod, 1, error)))
                    return false;
            } else {
                QStringList sets;
                for (const QString& c : std::as_const(columns)) sets << c + QStringLiteral("=?");
                values << stored->idKvr;
                if (!ExecBound(q,
                               QStringLiteral("UPDATE k_kvr SET ") +
                                   sets.join(QStringLiteral(", ")) +
                                   QStringLiteral(" WHERE id_kvr=?"),
                               values, error))
                    return false;
            }
            return DeviceMarking::ApplyAfterRowSave(q, ctx.idNet, ctx.idPod, marks_, error) &&
                   (!adding || SiteData::MoveStateAfterApartments(ctx.idNet, error));
        });
}

// ---------------------------------------------------------------- deleting

bool ApartmentEditor::Delete(const ApartmentEditorContext& ctx, qint64 idKvr) {
    using namespace ApartmentListTexts;
    if (!FDM || idKvr == 0) return false;
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    StoredApartment row;
    if (!ReadApartment(q, idKvr, &row, &error)) return false;
    const bool handset = row.values.handset;
    if (handset && row.origin == RowOrigin::kConsole && ctx.hasConsole) {
        Dialogs::Message(kForbidden, kConsoleHandset, DlgButtons::Ok, DlgIcon::Warning);
        return false;
    }
    if (!handset && row.origin != RowOrigin::kManual) return false;
    if (Dialogs::Message(kDeleteCaption, handset ? kDeleteHandset : kDeleteApartment,
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return false;
    // Other rows keep their p_nom: the call panels address handsets by it.
    return SiteData::WriteInOneTransaction(
        ctx.held, QStringLiteral("Строка не удалена."), [&](QString* e) {
            if (!ExecBound(q, QStringLiteral("DELETE FROM k_key WHERE id_kvr=?"), {idKvr}, e) ||
                !ExecBound(q, QStringLiteral("DELETE FROM k_kvr WHERE id_kvr=?"), {idKvr}, e))
                return false;
            const bool devices = handset
                                     ? lowerPollRange(q, row.idPod, ctx.idPk, e)
                                     : SiteData::CountApartment(q, row.idPod, -1, e) &&
                                           DeviceMarking::AdvanceFileStates(
                                               q, QStringLiteral("k_pk"), QStringLiteral("id_pk"),
                                               QStringLiteral("id_pk=?"), {ctx.idPk}, e);
            return devices && SiteData::MoveStateAfterApartments(row.idNet, e);
        });
}

// ---------------------------------------------------------------- whole entrance

bool ApartmentEditor::applyNow(const ApartmentEditorContext& ctx, const QString& what,
                               const QString& statement, const QVariantList& values,
                               const DeviceMarks& marks) {
    marks_ |= marks;
    return SiteData::WriteInOneTransaction(ctx.held, what, [&](QString* error) {
        QSqlQuery q(FDM->ConnectionDB());
        return ExecBound(q, statement, values, error) &&
               DeviceMarking::ApplyToSwitch(q, ctx.idNet, ctx.idPk, marks, error);
    });
}

bool ApartmentEditor::Bulk(const ApartmentEditorContext& ctx, RowFlag flag, BulkChange change) {
    if (!FDM || ctx.idPod == 0) return false;
    // Call-back goes to the console: without one it is only ever cleared.
    if (flag == RowFlag::CallBack && change != BulkChange::Clear && !ctx.hasConsole) return false;
    if (Dialogs::Message(ApartmentEditorTexts::kBulkCaption, BulkQuestion(flag, change),
                         DlgButtons::YesNo, DlgIcon::Question) != DlgAnswer::Yes)
        return false;
    const QString column = RowFlagColumn(flag);
    const QString value = change == BulkChange::Clear ? QStringLiteral("0")
                          : change == BulkChange::Set ? QStringLiteral("1")
                                                      : QStringLiteral("NOT ") + column;
    return applyNow(ctx, QStringLiteral("Изменения не сохранены."),
                    QStringLiteral("UPDATE k_kvr SET ") + column + QLatin1Char('=') + value +
                        QStringLiteral(" WHERE id_pod=?"),
                    {ctx.idPod}, RowFlagMarks(flag));
}

bool ApartmentEditor::Toggle(const ApartmentEditorContext& ctx, qint64 idKvr, RowFlag flag) {
    if (!FDM || idKvr == 0) return false;
    if (flag == RowFlag::CallBack && !ctx.hasConsole) return false;
    const QString column = RowFlagColumn(flag);
    return applyNow(ctx, QStringLiteral("Изменения не сохранены."),
                    QStringLiteral("UPDATE k_kvr SET ") + column + QStringLiteral("=NOT ") +
                        column + QStringLiteral(" WHERE id_kvr=?"),
                    {idKvr}, RowFlagMarks(flag));
}

bool ApartmentEditor::MarkConfigChanged(const ApartmentEditorContext& ctx) {
    if (!FDM || !marks_.Any() || ctx.idPk == 0) return true;
    return SiteData::WriteInOneTransaction(
        ctx.held, QStringLiteral("Отметка изменений не сохранена."), [&](QString* error) {
            QSqlQuery q(FDM->ConnectionDB());
            return DeviceMarking::ApplyToSwitch(q, ctx.idNet, ctx.idPk, marks_, error);
        });
}
