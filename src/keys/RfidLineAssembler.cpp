#include "keys/RfidLineAssembler.h"

#include "foundation/BitAndStr.h"
#include "keys/KeyNumber.h"

namespace {

constexpr int kCardDigits = 8;

QString logLine(int count, const QString& line) {
    QString shown = line;
    while (shown.endsWith(QLatin1Char('\r'))) shown.chop(1);
    return QStringLiteral("countBuf:=%1 %2").arg(count).arg(shown);
}

}  // namespace

QString RfidCardNumber(const QString& line) {
    const qsizetype bracket = line.indexOf(QLatin1Char('['));
    // The bracket, its 8 characters and at least one more (the line end).
    if (bracket < 0 || bracket + 1 + kCardDigits + 1 > line.size()) return QString();
    QString digits;
    for (QChar c : line.mid(bracket + 1, kCardDigits).toUpper())
        if (KeyNumber::IsHexDigit(c)) digits += c;
    if (digits.size() != kCardDigits) return QString();
    QString number;
    for (int pair = kCardDigits - 2; pair >= 0; pair -= 2) number += digits.mid(pair, 2);
    return PadLeft(number, QLatin1Char('0'), KeyNumber::kFullDigits);
}

QList<RfidReaderOutput> RfidLineAssembler::Feed(const QByteArray& bytes) {
    QList<RfidReaderOutput> out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        ++count_;
        if (c == '\n') continue;  // the line ends at CR; an LF only follows it
        line_ += QChar::fromLatin1(c);
        if (c == '\r') {
            // The LF right behind belongs to this line's bytes.
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++count_;
                ++i;
            }
            completeLine(out);
        } else if (line_.size() >= kMaxLineLength) {
            cutLine(out);
        }
    }
    return out;
}

void RfidLineAssembler::completeLine(QList<RfidReaderOutput>& out) {
    RfidReaderOutput line{logLine(count_, line_), RfidCardNumber(line_)};
    const bool emptySlot = KeyNumber::IsEmptySlot(line.number);
    const QString number = line.number;
    if (emptySlot) line.number.clear();
    out << line;
    if (emptySlot) out << RfidReaderOutput{KeyNumber::EmptySlotNote(number), QString()};
    Clear();
}

void RfidLineAssembler::cutLine(QList<RfidReaderOutput>& out) {
    out << RfidReaderOutput{logLine(count_, line_), QString()};
    out << RfidReaderOutput{
        QStringLiteral("Строка без CR длиннее %1 символов отброшена").arg(kMaxLineLength),
        QString()};
    Clear();
}

void RfidLineAssembler::Clear() {
    line_.clear();
    count_ = 0;
}
