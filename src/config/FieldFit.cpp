#include "config/FieldFit.h"

#include "foundation/BitAndStr.h"
#include "platform/Cp1251.h"

namespace {

quint64 mask(int width) {
    return (quint64(1) << width) - 1;
}

qint64 fitted(qint64 stored, int width, FieldFit fit, qint64 offset) {
    // Unsigned arithmetic: stored − offset must not overflow for any stored value.
    const quint64 lowBits = (quint64(stored) - quint64(offset)) & mask(width);
    const bool below = stored < offset;
    switch (fit) {
        case FieldFit::LowBits:
            return qint64(lowBits);
        case FieldFit::LowBitsOrZero:
            return below ? 0 : qint64(lowBits);
        case FieldFit::Capped:
            if (below) return 0;
            return qint64(qMin(quint64(stored) - quint64(offset), mask(width)));
    }
    return 0;
}

QString deviceLine(const QString& device, const QString& sentence) {
    if (device.isEmpty() || sentence.isEmpty()) return sentence;
    return device + QStringLiteral(": ") + sentence.front().toLower() + sentence.mid(1);
}

}  // namespace

qint64 FitField(ConfigLogs& logs, const QString& field, qint64 stored, int width, FieldFit fit,
                qint64 offset) {
    const int w = qBound(1, width, 62);
    return TellWritten(logs, field, stored, offset, offset + qint64(mask(w)),
                       fitted(stored, w, fit, offset));
}

qint64 TellWritten(ConfigLogs& logs, const QString& field, qint64 stored, qint64 lowest,
                   qint64 highest, qint64 written) {
    if (stored >= lowest && stored <= highest) return written;
    const NarrowedValue n{logs.device, field, stored, written, lowest, highest};
    logs.narrowed << n;
    logs.result << NarrowedValueLine(n);
    return written;
}

QString NarrowedValueLine(const NarrowedValue& n) {
    const QString bound = n.stored > n.highest ? WithNumber(u" больше ", n.highest)
                                               : WithNumber(u" меньше ", n.lowest);
    const QString sentence = QStringLiteral("Значение ") + n.field + WithNumber(u" = ", n.stored) +
                             bound + WithNumber(u", записано ", n.written) + QLatin1Char('.');
    return deviceLine(n.device, sentence);
}

QString DeviceLine(const ConfigLogs& logs, const QString& sentence) {
    return deviceLine(logs.device, sentence);
}

QByteArray FitText(ConfigLogs& logs, const QString& field, const QString& text, int chars) {
    const QString kept = LeftChars(text, chars);
    QByteArray bytes = Cp1251DisplayBytes(kept);
    const NarrowedText n{logs.device,       field,           text,
                         FromCp1251(bytes), CharCount(text), Cp1251UncarriedChars(kept)};
    bytes.append(QByteArray(qMax<qsizetype>(0, chars - bytes.size()), ' '));
    if (n.storedChars <= chars && n.standIns.isEmpty()) return bytes;
    logs.narrowedTexts << n;
    logs.result << NarrowedTextLines(n);
    return bytes;
}

QString FitMask(ConfigLogs& logs, const QString& field, const QString& mask, int width,
                MaskKeeps keeps) {
    const qsizetype chars = CharCount(mask);
    const bool last = keeps == MaskKeeps::Last;
    const QString kept = chars <= width ? mask
                         : last         ? mask.mid(LeftChars(mask, chars - width).size())
                                        : LeftChars(mask, width);
    NarrowedText n{logs.device, field, mask, {}, chars, {}, QLatin1Char('0'), last};
    for (char32_t c : kept.toUcs4()) {
        const bool bit = c == U'0' || c == U'1';
        if (!bit && !n.standIns.contains(c)) n.standIns << c;
        n.written += bit ? QChar(char16_t(c)) : QLatin1Char('0');
    }
    if (n.storedChars > width || !n.standIns.isEmpty()) {
        logs.narrowedTexts << n;
        logs.result << NarrowedTextLines(n);
    }
    return last ? PadLeft(n.written, QLatin1Char('0'), width)
                : PadRight(n.written, QLatin1Char('0'), width);
}

QStringList NarrowedTextLines(const NarrowedText& n) {
    QStringList lines;
    const qsizetype width = CharCount(n.written);
    if (n.storedChars > width)
        lines << deviceLine(n.device,
                            QStringLiteral("Текст ") + n.field + WithNumber(u" длиннее ", width) +
                                WithNumber(u" символов (", n.storedChars) +
                                (n.keptLast ? WithNumber(u"), записаны последние ", width)
                                            : WithNumber(u"), записаны первые ", width)) +
                                QStringLiteral(": \"") + n.written + QStringLiteral("\"."));
    if (n.standIns.isEmpty()) return lines;
    const bool one = n.standIns.size() == 1;
    lines << deviceLine(
        n.device, QStringLiteral("В тексте ") + n.field +
                      (one ? QStringLiteral(" символ ") : QStringLiteral(" символы ")) +
                      CharNamesForMessage(n.standIns) +
                      (one ? QStringLiteral(" нельзя записать в файл, вместо него записан \"")
                           : QStringLiteral(" нельзя записать в файл, вместо каждого записан \"")) +
                      n.standIn + QStringLiteral("\"."));
    return lines;
}
