#include "site/CallCodes.h"

#include "foundation/BoundSql.h"
#include "foundation/TFDM.h"
#include "platform/Dialogs.h"
#include "site/RowOrigin.h"
#include "site/SiteData.h"

#include <QVariant>

namespace CallCodes {

bool IsCodeText(const QString& code) {
    if (code.size() > kMaxLength) return false;
    for (QChar c : code)
        if (!c.isDigit() && c != QLatin1Char('.')) return false;
    return true;
}

QString DigitsOf(const QString& number) {
    QString digits;
    for (QChar c : number)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits += c;
    return digits;
}

QString OriginAfterCodeChange(const QString& origin) {
    return origin == RowOrigin::kManual ? origin : RowOrigin::kCodeByHand;
}

bool HeldInHouse(QSqlQuery& q, qint64 idDom, const QString& code, bool apartmentsOnly, bool* held,
                 QString* error) {
    QVariant found;
    const QString handsets = apartmentsOnly ? QStringLiteral(" AND NOT k.l_trub") : QString();
    if (!SiteData::QueryValue(
            q,
            QStringLiteral("SELECT k.id_kvr FROM k_kvr k JOIN k_pod p "
                           "ON k.id_pod=p.id_pod WHERE p.id_dom=? AND k.p_kvr=?") +
                handsets + QStringLiteral(" LIMIT 1"),
            {idDom, code}, &found, error))
        return false;
    *held = !found.isNull();
    return true;
}

SaveResult SaveCorrectedCode(qint64 idDom, qint64 idKvr, const QString& code) {
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty() || !FDM) return SaveResult::Empty;
    if (!IsCodeText(trimmed)) {
        Dialogs::Message(CallCodeTexts::kError, CallCodeTexts::kBadCode, DlgButtons::Ok,
                         DlgIcon::Error);
        return SaveResult::Refused;
    }
    QSqlQuery q(FDM->ConnectionDB());
    QString error;
    bool held = false;
    QVariant origin;
    bool ok = HeldInHouse(q, idDom, trimmed, true, &held, &error);
    if (ok && held) {
        Dialogs::Message(CallCodeTexts::kError, CallCodeTexts::kTakenInHouse, DlgButtons::Ok,
                         DlgIcon::Error);
        return SaveResult::Refused;
    }
    ok = ok &&
         SiteData::QueryValue(q, QStringLiteral("SELECT st_kvr FROM k_kvr WHERE id_kvr=?"), {idKvr},
                              &origin, &error) &&
         ExecBound(q, QStringLiteral("UPDATE k_kvr SET p_kvr=?, st_kvr=? WHERE id_kvr=?"),
                   {trimmed, OriginAfterCodeChange(origin.toString()), idKvr}, &error);
    if (!ok) {
        SiteData::ShowFailure(QStringLiteral("Код вызова не сохранен."), error);
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

}  // namespace CallCodes
