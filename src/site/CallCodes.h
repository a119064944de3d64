#pragma once
// Call codes of apartments: what a typed code may hold, the code made from an
// apartment number, what a row's origin becomes when its code is set by hand,
// and the correction of a repeated code (the dialog FRedVV stores it here).

#include <QSqlQuery>
#include <QString>

namespace CallCodeTexts {
inline const QString kError = QStringLiteral("Ошибка");
inline const QString kTakenInHouse = QStringLiteral("Данный код вызова уже задан в этом доме!");
inline const QString kBadCode =
    QStringLiteral("Код вызова может содержать только цифры и точку, не более 5 символов!");
}  // namespace CallCodeTexts

namespace CallCodes {

constexpr int kMaxLength = 5;

// Digits and "." only, at most five characters (empty is allowed here).
bool IsCodeText(const QString& code);
// The digits of an apartment number ("12а" gives "12").
QString DigitsOf(const QString& number);
// A code set by hand marks the row "код", so that the next generation keeps
// it; a manual row stays manual.
QString OriginAfterCodeChange(const QString& origin);

// Whether some row of house idDom holds code; apartmentsOnly leaves the
// handsets out.
bool HeldInHouse(QSqlQuery& q, qint64 idDom, const QString& code, bool apartmentsOnly, bool* held,
                 QString* error);

enum class SaveResult { Saved, Empty, Refused, Failed };

// "Сохранить" of the correction: the code (trimmed) becomes the call code of
// row idKvr unless an apartment of house idDom already holds it. A refusal
// and a failure are shown.
SaveResult SaveCorrectedCode(qint64 idDom, qint64 idKvr, const QString& code);

}  // namespace CallCodes
