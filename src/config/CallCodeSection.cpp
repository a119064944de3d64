#include "config/CallCodeSection.h"

#include "config/ConfigFileBuilder.h"
#include "config/ConfigImage.h"
#include "config/FlagSection.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"

namespace {

constexpr int kCallCodeVersion = 1;
constexpr int kCallCodeSection = 3;
constexpr int kMaxCodeLength = 5;
constexpr int kPaddedCodeLength = 6;
const QString kStartMark = QStringLiteral("111");

// Entry selectors after a set first bit.
enum Selector : int { kSmallStep = 0, kRoundUp = 1, kDifference = 2, kAbsolute = 3 };

// The increment flag is one bit; the round-up entries must use the same value
// the reader takes from that bit.
int clampIncrement(int incr) {
    return incr >= 1 ? 1 : 0;
}

bool allDigits(const QString& s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

qint64 powerOfTen(int k) {
    qint64 p = 1;
    while (k-- > 0) p *= 10;
    return p;
}

int trailingZeros(qint64 v) {
    const QString t = num(v);
    int k = 0;
    for (qsizetype i = t.size() - 1; i >= 0 && t.at(i) == QLatin1Char('0'); --i) ++k;
    return k;
}

// The k of a round-up entry that gives v after prev, or 0 when none does.
int roundUpDigits(qint64 prev, qint64 v, int incr) {
    if (v < 10 || v % 10 != incr) return 0;
    const qint64 t = v - incr;
    int k = trailingZeros(t);
    if (k < 1 || k > 3) return 0;
    const int prevDigits = int(num(prev).size());
    if (prevDigits <= k) k = prevDigits - 1;
    if (k < 1) return 0;
    const qint64 p = powerOfTen(k);
    return t / p == prev / p + 1 ? k : 0;
}

// The code stream of one section: the first byte, then values or entries.
class CodeStreamWriter {
  public:
    CodeStreamWriter(bool packed, int incr) : packed_(packed), incr_(incr) {
        bits_.Add(packed ? (incr == 1 ? 3 : 1) : 0, 8);
        if (packed) bits_.Add(7, 3);  // the start mark
    }

    void Add(qint64 v) {
        if (!packed_ || first_)
            bits_.Add(v, kCallCodeBits);
        else
            addEntry(v);
        prev_ = v;
        first_ = false;
    }

    QString Finish() {
        if (packed_) bits_.Add(7, 3);  // a set first bit and the absolute selector
        bits_.Add(kCallCodeEndMarker, kCallCodeBits);
        return bits_.Text();
    }

  private:
    void addEntry(qint64 v) {
        const qint64 d = v - prev_;
        if (d == 1) {
            bits_.Add(0, 1);
            return;
        }
        bits_.Add(1, 1);
        if (d == 2 || d == 3) {
            bits_.Add(kSmallStep, 2);
            bits_.Add(d - 2, 1);
        } else if (const int k = d >= 4 ? roundUpDigits(prev_, v, incr_) : 0) {
            bits_.Add(kRoundUp, 2);
            bits_.Add(k - 1, 2);
        } else if (d >= 4 && d < 1024) {
            const int w = int(IntToBin(d).size()) - 3;
            bits_.Add(kDifference, 2);
            bits_.Add(w, 3);
            bits_.Add(d - (qint64(1) << (w + 2)), w + 2);
        } else {
            bits_.Add(kAbsolute, 2);
            bits_.Add(v, kCallCodeBits);
        }
    }

    bool packed_;
    int incr_;
    bool first_ = true;
    qint64 prev_ = 0;
    BitsLowFirst bits_;
};

// Reads one entry of a packed stream; false when the section ends inside it.
bool readEntry(SectionReader& r, qint64 prev, int incr, qint64& v, bool& stepOne) {
    qint64 s = 0, m = 0, x = 0;
    stepOne = false;
    if (!r.Take(1, s)) return false;
    if (s == 0) {
        stepOne = true;
        v = prev + 1;
        return true;
    }
    if (!r.Take(2, m)) return false;
    switch (m) {
        case kSmallStep:
            if (!r.Take(1, x)) return false;
            v = prev + 2 + x;
            return true;
        case kRoundUp: {
            if (!r.Take(2, x)) return false;
            const qint64 p = powerOfTen(int(x) + 1);
            v = (prev / p + 1) * p + incr;
            return true;
        }
        case kDifference: {
            qint64 w = 0;
            if (!r.Take(3, w) || !r.Take(int(w) + 2, x)) return false;
            v = prev + (qint64(1) << (w + 2)) + x;
            return true;
        }
        default:
            return r.Take(kCallCodeBits, v);
    }
}

struct CodeWalk {
    bool headerRead = false;
    bool packed = false;
    QString incrementChar;
    QString badMark;  // the start mark when it is not 111
};

// Walks the values of a section text, end marker included, calling
// visit(value, first, stepOne) until it returns false, the end marker is
// read or the section ends.
template <typename Visit>
CodeWalk walkCodes(const QString& sectionText, Visit visit) {
    CodeWalk w;
    SectionReader r(sectionText);
    QString head;
    if (!r.TakeBits(8, head)) return w;
    w.headerRead = true;
    w.packed = head.at(7) == QLatin1Char('1');
    w.incrementChar = head.mid(6, 1);
    const int incr = head.at(6) == QLatin1Char('1') ? 1 : 0;
    if (!r.Has(kCallCodeBits)) return w;
    qint64 v = 0;
    if (!w.packed) {
        for (bool first = true; r.Take(kCallCodeBits, v); first = false)
            if (!visit(v, first, false) || v == kCallCodeEndMarker) break;
        return w;
    }
    QString mark;
    r.TakeBits(3, mark);
    if (mark != kStartMark) w.badMark = mark;  // decoding goes on as if it were right
    if (!r.Take(kCallCodeBits, v) || !visit(v, true, false)) return w;
    bool stepOne = false;
    for (qint64 prev = v; prev != kCallCodeEndMarker && r.Remaining() > 0; prev = v)
        if (!readEntry(r, prev, incr, v, stepOne) || !visit(v, false, stepOne)) break;
    return w;
}

QString badMarkText(const QString& mark) {
    return QStringLiteral("Ошибка упаковки кодов вызова ") + mark;
}

QString countErrorText(qint64 missing) {
    return WithNumber(u"Ошибка в количестве:= ", missing);
}

// ---- the write screen's pass ----

QString tooLongText() {
    return QStringLiteral(
        "Длина кода вызова с префиксом дома превышает 5 символов! Операция прервана.");
}

enum class CodeFault { None, TooLong, NotNumber };

// The code text of a row as the pass writes it, with its value.
CodeFault apartmentCode(const CallCodePass& pass, const CallCodeApartmentRow& row, QString& c,
                        qint64& v) {
    c = row.pKvr.trimmed();
    if (c.isEmpty()) {
        c = QStringLiteral("111111");
    } else if (c == QStringLiteral("0")) {
        c = QStringLiteral("111110");
    } else {
        const QString prefix = row.kodD.trimmed();
        if (pass.withPrefix && !row.IsConsoleHandset() && !prefix.isEmpty()) {
            // Padded, never cut: a code longer than the others keeps every digit.
            c = prefix + PadLeft(c, QLatin1Char('0'), qMax(pass.prefixWidth, int(c.size())));
        }
        // The length is checked on the code itself, before any padding.
        if (c.size() > kMaxCodeLength) return CodeFault::TooLong;
    }
    return CallCodeValue(c, v) ? CodeFault::None : CodeFault::NotNumber;
}

void reportFault(CodeFault fault, const QString& c, bool packed, bool first, ConfigLogs& logs) {
    if (fault == CodeFault::NotNumber) {
        const QString text = QStringLiteral("Код вызова \"") + c +
                             QStringLiteral("\" содержит не только цифры! Операция прервана.");
        TellInResults(logs, text);
        Dialogs::Message(QStringLiteral("ОШИБКА!!!"), text, DlgButtons::Ok, DlgIcon::Error);
        return;
    }
    if (!packed)
        logs.detail << QStringLiteral("ошибка в кв = ") + c;
    else if (first)
        logs.detail << QStringLiteral("ошибка в кв. = ") + c;
    else
        logs.result << tooLongText();
    Dialogs::Message(QStringLiteral("ОШИБКА!!!"), tooLongText(), DlgButtons::Ok, DlgIcon::Error);
    logs.summary << tooLongText();  // the results name the reason the file is not made
    if (packed && first)
        logs.result << QStringLiteral("ОШИБКА!!!")
                    << QStringLiteral(
                           "Длина кода вызова с префиксом дома превышает 5 символов! "
                           "Операция по записи кодов вызова прервана.");
}

QString codeLine(const QString& c, const CallCodeApartmentRow& row, bool packed, bool first) {
    if (!packed) return QStringLiteral("кв = ") + c;
    if (first)
        return (row.IsConsoleHandset() ? QStringLiteral("ППО = ") : QStringLiteral("1 кв. = ")) + c;
    const QString padded =
        c.startsWith(QLatin1Char('0')) ? PadLeft(c, QLatin1Char('1'), kPaddedCodeLength) : c;
    return QStringLiteral("кв = ") + padded;
}

// Appends the row's flag group, lowest flag first, to a text kept in payload
// order (it is reversed once complete).
void addFlagGroup(const std::array<bool, 16>& flags, const QString& selection, QString& lowFirst) {
    for (int j = 0; j < 16; ++j)
        if (j < selection.size() && selection.at(j) == QLatin1Char('1'))
            lowFirst.append(flags[j] ? QLatin1Char('1') : QLatin1Char('0'));
}

void addConsoleTimes(qint64 day, qint64 night, CallCodeResult& res) {
    if (day < 0 || night < 0) {
        res.poTimeMask.append(QLatin1Char('0'));
        return;
    }
    res.poTimeMask.append(QLatin1Char('1'));
    res.poTimeWords << day << night << res.poTimeWords.size() / 3 + 1;
}

void logPassStart(bool packed, ConfigLogs& logs) {
    if (packed) {
        logs.result << QStringLiteral("Упакованные коды вызова.");
        logs.detail << QStringLiteral("упак ");
    } else {
        logs.result << QStringLiteral("Неупакованные коды вызова.");
        logs.detail << WithNumber(u"неупак ww:=", 0);
    }
}

// Section 3 closed from a finished pass.
CallCodeResult closeSection(CallCodeResult res, ConfigLogs& logs) {
    if (!res.ok) return res;
    logs.detail << WithNumber(u"длина 3 sec бит ", res.payload.size());
    QString payload = res.payload;
    res.section = WrapSection(payload, kCallCodeSection, kCallCodeVersion, &logs.result);
    return res;
}

}  // namespace

bool CallCodeValue(const QString& code, qint64& value) {
    QString c = code;
    if (c.isEmpty()) c = QStringLiteral("111111");
    if (c.size() > kPaddedCodeLength || !allDigits(c)) return false;
    if (c.startsWith(QLatin1Char('0'))) c = PadLeft(c, QLatin1Char('1'), kPaddedCodeLength);
    const qint64 v = c.toLongLong();
    if (v >= kCallCodeEndMarker) return false;  // would not fit, or read as the end
    value = v;
    return true;
}

QString CallCodeText(qint64 value) {
    const QString t = num(value);
    if (t.size() <= kMaxCodeLength) return t;
    qsizetype i = 0;
    while (i < t.size() && t.at(i) == QLatin1Char('1')) ++i;
    return t.mid(i);
}

QString PoTimeText(qint64 minutes) {
    if (minutes < 0) return QString();
    QString text;
    text.reserve(8);
    AppendNumber(text, minutes / 60, 2);
    text += QLatin1Char(':');
    AppendNumber(text, minutes % 60, 2);
    return text;
}

bool PoTimeMinutes(const QString& text, qint64& minutes) {
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 2 || parts[0].isEmpty() || parts[1].size() != 2 || !allDigits(parts[0]) ||
        !allDigits(parts[1]) || parts[0].size() > 2)
        return false;
    const qint64 h = parts[0].toLongLong(), m = parts[1].toLongLong();
    if (h > 23 || m > 59) return false;
    minutes = h * 60 + m;
    return true;
}

int CallCodePrefixWidth(const QList<CallCodeApartmentRow>& objectRows) {
    int width = 0;
    for (const CallCodeApartmentRow& row : objectRows) {
        const QString c = row.pKvr.trimmed();
        if (row.IsConsoleHandset() || c.isEmpty() || c.startsWith(QLatin1Char('0'))) continue;
        width = qMax(width, int(c.size()));
    }
    return width;
}

CallCodeResult EncodeCallCodes(const CallCodePass& pass, ConfigLogs& logs) {
    CallCodeResult res;
    // A packed stream needs a first code; without any the empty unpacked form is written.
    const bool packed = pass.packed && !pass.apartments.isEmpty();
    const int incr = clampIncrement(pass.incr);
    logPassStart(packed, logs);
    CodeStreamWriter stream(packed, incr);
    QString flagsLowFirst;
    for (int n = 1; n <= pass.apartments.size(); ++n) {
        const CallCodeApartmentRow& row = pass.apartments[n - 1];
        const bool first = n == 1;
        QString c;
        qint64 v = 0;
        const CodeFault fault = apartmentCode(pass, row, c, v);
        if (fault != CodeFault::None) {
            reportFault(fault, c, packed, first, logs);
            return res;
        }
        logs.detail << codeLine(c, row, packed, first);
        stream.Add(v);
        if (pass.kind == kCallCodesPanel) {
            addFlagGroup(row.panelFlags, pass.flagSelection, flagsLowFirst);
            if (pass.consoleHandsetOrdinal + 1 == n && !row.IsConsoleHandset()) {
                const QString warning =
                    QStringLiteral("Предупреждение, индекс трубки ППО не совпадает с трубкой ППО.");
                logs.result << warning;
                logs.summary << warning;
            }
        } else {
            addFlagGroup(row.consoleFlags, pass.flagSelection, flagsLowFirst);
            addConsoleTimes(row.mtdy, row.mtnt, res);
        }
    }
    res.payload = stream.Finish();
    res.callFlagText = ReverseStr(flagsLowFirst);
    res.ok = true;
    return res;
}

CallCodeResult EncodeBvSection3(const ConfigObjectRow& object, const PanelRow& panel,
                                const QList<CallCodeApartmentRow>& apartments, int prefixWidth,
                                qint64 consoleHandsetOrdinal, int sepDevice, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("бв сек 3"))
                << DeviceAddrName(panel.nNet, sepDevice) + QStringLiteral("  ") + panel.nBv
                << QStringLiteral("Коды вызова квартир:");
    CallCodePass pass;
    pass.kind = kCallCodesPanel;
    pass.packed = panel.farc;
    pass.withPrefix = panel.bvType == 1;
    pass.prefixWidth = prefixWidth;
    pass.flagSelection = object.flbv;
    pass.incr = object.incr;
    pass.consoleHandsetOrdinal = consoleHandsetOrdinal;
    pass.apartments = apartments;
    return closeSection(EncodeCallCodes(pass, logs), logs);
}

CallCodeResult EncodePoSection3(const ConfigObjectRow& object,
                                const QList<CallCodeApartmentRow>& apartments, int prefixWidth,
                                ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("ППО сек 3"))
                << QStringLiteral("Коды вызова:");
    CallCodePass pass;
    pass.kind = kCallCodesConsole;
    pass.packed = object.farc;
    pass.withPrefix = true;
    pass.prefixWidth = prefixWidth;
    pass.flagSelection = object.flpo;
    pass.incr = object.incr;
    pass.apartments = apartments;
    return closeSection(EncodeCallCodes(pass, logs), logs);
}

bool PackCallCodes(bool packed, int kind, const QList<CallCodeRecord>& records, int incr,
                   CallCodePack& out) {
    out = CallCodePack();
    CodeStreamWriter stream(packed && !records.isEmpty(), clampIncrement(incr));
    QString flagsLowFirst;
    CallCodeResult times;
    for (int i = 0; i < records.size(); ++i) {
        const CallCodeRecord& rec = records[i];
        const QString code = rec.code.trimmed();
        qint64 v = 0;
        if (rec.codeAsRead.Unedited(rec.code)) {
            v = BinToInt(rec.codeAsRead.bits);
        } else if (code.size() > kMaxCodeLength || !CallCodeValue(code, v)) {
            out.error = QStringLiteral("Код вызова \"") + rec.code +
                        WithNumber(u"\" в строке ", i + 1) +
                        QStringLiteral(": нужно число не длиннее 5 цифр.");
            return false;
        }
        stream.Add(v);
        flagsLowFirst.append(ReverseStr(rec.flags));
        if (kind != kCallCodesConsole) continue;
        const QString blank = QStringLiteral(" ");
        if (!(rec.dayTime >= blank && rec.nightTime >= blank)) {
            addConsoleTimes(-1, -1, times);
            continue;
        }
        qint64 day = 0, night = 0;
        if (!PoTimeMinutes(rec.dayTime, day) || !PoTimeMinutes(rec.nightTime, night)) {
            out.error = WithNumber(u"Время переключения день-ночь в строке ", i + 1) +
                        QStringLiteral(" (\"") + rec.dayTime + QStringLiteral("\", \"") +
                        rec.nightTime + QStringLiteral("\"): нужно чч:мм.");
            return false;
        }
        addConsoleTimes(day, night, times);
    }
    out.payload = stream.Finish();
    out.flagText = ReverseStr(flagsLowFirst);
    out.poTimeMask = times.poTimeMask;
    out.poTimeWords = times.poTimeWords;
    return true;
}

CallCodeUnpack UnpackCallCodes(int count, const QString& sectionText) {
    CallCodeUnpack u;
    const int n = qMax(count, 0);
    u.records.resize(n);
    qint64 remaining = qint64(n) + 1;
    int next = 0;
    const CodeWalk w = walkCodes(sectionText, [&](qint64 v, bool, bool) {
        // The end marker counts, but leaves its record with an empty code.
        if (v != kCallCodeEndMarker && next < n) {
            CallCodeRecord& r = u.records[next];
            r.code = CallCodeText(v);
            // A packed step past the end marker gives no value a field can hold back.
            if (v < kCallCodeEndMarker) r.codeAsRead = {BitField(v, kCallCodeBits), r.code};
            u.decoded = next + 1;
        }
        ++next;
        return --remaining > 0;
    });
    u.packed = w.packed;
    u.incrementChar = w.incrementChar;
    if (remaining > 0)
        u.error = countErrorText(remaining);
    else
        u.error = w.badMark.isEmpty() ? QStringLiteral(" ") : badMarkText(w.badMark);
    return u;
}

QStringList DecodeCallCodes(const QString& sectionText, int announced) {
    QStringList lines{ConfigReadHeading(QStringLiteral("БВ,ПО СЕКЦИЯ 3"))};
    QStringList values;
    qint64 counter = qint64(qMax(announced, 0)) + 1;
    bool exceeded = false;
    const CodeWalk w = walkCodes(sectionText, [&](qint64 v, bool first, bool stepOne) {
        values << (first     ? QStringLiteral("X1:= ")
                   : stepOne ? QStringLiteral("+1 X:= ")
                             : QStringLiteral("X:= ")) +
                      num(v);
        if (--counter > 0 || v == kCallCodeEndMarker) return true;
        exceeded = true;
        values << QStringLiteral(
            "Количество квартир, представленных далее, превышает сумму квартир подъездов!");
        return false;
    });
    if (w.headerRead) {
        lines << (w.packed ? QStringLiteral(" Упакованные коды ")
                           : QStringLiteral(" Неупакованные коды "))
              << QStringLiteral("инкрементация ") + w.incrementChar;
    }
    if (!w.badMark.isEmpty()) lines << badMarkText(w.badMark);
    lines << values << WithNumber(u"Количество трубок:= ", announced);
    if (!exceeded && counter > 0) lines << countErrorText(counter);
    return lines;
}

bool EncodeCallCodeSections(int kind, bool packed, int incr, const QList<CallCodeRecord>& records,
                            const QString& dataMask, const QString& defaultMask,
                            CallCodeSections& out, QStringList* log) {
    out = CallCodeSections();
    CallCodePack pack;
    if (!PackCallCodes(packed, kind, records, incr, pack)) {
        out.error = pack.error;
        return false;
    }
    QString codes = pack.payload;
    out.section3 = WrapSection(codes, kCallCodeSection, kCallCodeVersion, log);
    QString flags = FlagSectionPayload(dataMask, defaultMask, pack.flagText);
    out.section4 = WrapSection(flags, 4, kCallCodeVersion, log);
    out.poTimeMask = pack.poTimeMask;
    out.poTimeWords = pack.poTimeWords;
    return true;
}
