#include "platform/DataSizeText.h"

#include <QLocale>
#include <QStringList>

namespace {

// "байт" after 1, 5..20, 21, 25..; "байта" after 2..4, 22..24 and so on.
QString bytesWord(qint64 n) {
    const qint64 lastTwo = n % 100;
    const qint64 last = n % 10;
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) return QStringLiteral("байта");
    return QStringLiteral("байт");
}

}  // namespace

QString DataSizeText(qint64 bytes) {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    if (bytes < 1024) return russian.toString(bytes) + QLatin1Char(' ') + bytesWord(qMax<qint64>(0, bytes));
    static const QStringList units = {QStringLiteral("КБ"), QStringLiteral("МБ"),
                                      QStringLiteral("ГБ"), QStringLiteral("ТБ"),
                                      QStringLiteral("ПБ"), QStringLiteral("ЭБ")};
    double value = double(bytes);
    int unit = -1;
    while (value >= 1024 && unit + 1 < units.size()) {
        value /= 1024;
        ++unit;
    }
    return russian.toString(value, 'f', 2) + QLatin1Char(' ') + units[unit];
}
