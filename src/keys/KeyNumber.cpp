#include "keys/KeyNumber.h"

#include "foundation/BitAndStr.h"

namespace KeyNumber {

bool IsHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

QString FilterDigits(const QString& text) {
    QString digits;
    for (QChar c : text) {
        // Only the Latin a-f become digits; other letters are dropped.
        if (c >= QLatin1Char('a') && c <= QLatin1Char('f')) c = c.toUpper();
        if (IsHexDigit(c)) digits += c;
        if (digits.size() == kFullDigits) break;
    }
    return digits;
}

QString FullNumber(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.size() < kMinDigits) return QString();
    return PadLeft(text, QLatin1Char('0'), kFullDigits);
}

QString PanelCode(const QString& fullNumber) {
    return fullNumber.right(kPanelDigits);
}

bool IsEmptySlot(QStringView number) {
    return number.endsWith(QLatin1String("FFFFFF"));
}

QString CellPanelKey(const QString& cell) {
    const QString key = cell.trimmed().toUpper();
    if (key.size() != kPanelDigits) return QString();
    for (QChar c : key)
        if (!IsHexDigit(c)) return QString();
    return key;
}

QString EmptySlotNote(const QString& number) {
    return QStringLiteral("Ключ %1 не введен: FFFFFF - метка пустой ячейки").arg(number);
}

}  // namespace KeyNumber

namespace KeyLabel {

QString Dated(const QString& mark, const QDate& date) {
    return mark + date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString ArmStatus(const QDate& date) {
    return Dated(QStringLiteral("АРМ "), date);
}

QString Automatic(int keysInList, int digits) {
    return IntToStrZ(keysInList + 1, digits);
}

QString Widened(const QString& label, int digits) {
    QString text = label.trimmed();
    if (!text.isEmpty() && text.size() >= digits) return label;
    if (text.isEmpty()) text = QStringLiteral("0");
    return text.size() < digits ? PadLeft(text, QLatin1Char('0'), digits) : text;
}

}  // namespace KeyLabel

namespace KeySort {

int AfterTitleClick(int current, int column) {
    if (column < 0 || column > 2) return current;
    const int ascending = 2 * column + 1;
    return current == ascending ? ascending + 1 : ascending;
}

QString OrderClause(int state) {
    static const char* const kColumns[] = {"un_key", "s_met", "status"};
    if (state < 1 || state > 6) return QString();
    QString clause = QStringLiteral("ORDER BY ") + QLatin1String(kColumns[(state - 1) / 2]);
    if (state % 2 == 0) clause += QStringLiteral(" DESC");
    return clause;
}

}  // namespace KeySort
