#include "devices/SerialNumber.h"

namespace SerialNumber {

namespace {

bool isLeadLetter(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('J');
}

bool digitsOnly(QStringView text) {
    for (QChar c : text)
        if (!c.isDigit() || c.unicode() > 0x7F) return false;
    return true;
}

}  // namespace

bool TypedCharAllowed(Kind kind, const QString& text, QChar typed) {
    const QChar c = typed.toUpper();
    if (c == QLatin1Char('\b') || c == QLatin1Char('\r')) return true;
    const bool dotPasses = kind == Kind::Switch && c == QLatin1Char('.');
    if (text.trimmed().size() >= kMaxLength) return dotPasses;
    if (dotPasses) return true;
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (text.isEmpty()) return digit || isLeadLetter(c);
    return digit;
}

QString Normalised(const QString& typed) {
    QString s = typed.trimmed().toUpper();
    if (s.size() == 9) s.prepend(QLatin1Char('A'));
    return s;
}

bool Accepted(Kind kind, const QString& s) {
    if (s.isEmpty()) return true;
    if (!digitsOnly(QStringView(s).mid(1))) return false;
    if (s.size() == kMaxLength) return isLeadLetter(s.front());
    return kind != Kind::Console && s.size() == 6 && s.front().isDigit();
}

}  // namespace SerialNumber
