#include "config/TPoParams.h"

#include "config/ConfigFileBuilder.h"
#include "config/ConfigImage.h"
#include "config/FieldFit.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"
#include "platform/Cp1251.h"
#include "platform/Dialogs.h"

namespace {

constexpr int kPoParamsSection = 0;
constexpr int kPoParamsVersion = 1;
constexpr int kNoteBits = 4;
constexpr int kCharBits = 8;
constexpr int kTextBits = kPoTextChars * kCharBits;
const QChar kBlankChar = QLatin1Char(' ');

enum class PoField { Number, Cameras, Separator };

// The fields before the melodies, in record order, which is also their order
// from payload bit 0.
struct PoFieldInfo {
    QString TPoParams::*member;
    int width;
    PoField kind;
    const char* writeLabel;
    const char* readLabel;
    qint64 ConsoleRow::*column;    // the database column (numbers and the separator)
    qint64 PoParamValues::*value;  // the editor's value (numbers only)
};

constexpr PoFieldInfo kPoFields[] = {
    {&TPoParams::klvl, 4, PoField::Number, "KLVL:=", "KLVL:= ", &ConsoleRow::klvl,
     &PoParamValues::klvl},
    {&TPoParams::clvl, 4, PoField::Number, "CLVL:=", "CLVL:= ", &ConsoleRow::clvl,
     &PoParamValues::clvl},
    {&TPoParams::mtdy, 12, PoField::Number, "MTDY:=", "MTDY:= ", &ConsoleRow::mtdy,
     &PoParamValues::mtdy},
    {&TPoParams::mtnt, 12, PoField::Number, "MTNT:=", "MTNT:= ", &ConsoleRow::mtnt,
     &PoParamValues::mtnt},
    {&TPoParams::mcam, 16, PoField::Cameras, "MCAM:=", "маска MCAM: ", nullptr, nullptr},
    {&TPoParams::ncam, 8, PoField::Number, "NCAM:=", "NCAM:= ", &ConsoleRow::ncam,
     &PoParamValues::ncam},
    {&TPoParams::scam, 8, PoField::Number, "SCAM:=", "SCAM:= ", &ConsoleRow::scam,
     &PoParamValues::scam},
    {&TPoParams::busy, 16, PoField::Number, "BUSY:=", "BUSY:= ", &ConsoleRow::busy,
     &PoParamValues::busy},
    {&TPoParams::blato, 16, PoField::Number, "BLATO:=", "BLATO:= ", &ConsoleRow::blato,
     &PoParamValues::blato},
    {&TPoParams::npce, 16, PoField::Number, "NPCE:=", "NPCE:= ", &ConsoleRow::npce,
     &PoParamValues::npce},
    {&TPoParams::cbto, 8, PoField::Number, "CBTO:=", "CBTO:= ", &ConsoleRow::cbto,
     &PoParamValues::cbto},
    {&TPoParams::rmto, 8, PoField::Number, "RMTO:=", "RMTO:= ", &ConsoleRow::rmto,
     &PoParamValues::rmto},
    {&TPoParams::dpto, 8, PoField::Number, "DPTO:=", "DPTO:= ", &ConsoleRow::dpto,
     &PoParamValues::dpto},
    {&TPoParams::exec, 8, PoField::Number, "EXEC:=", "EXEC:= ", &ConsoleRow::exec,
     &PoParamValues::exec},
    {&TPoParams::clha, 8, PoField::Number, "CLHA:=", "CLHA:= ", &ConsoleRow::clha,
     &PoParamValues::clha},
    {&TPoParams::cldp, 8, PoField::Number, "CLDP:=", "CLDP:= ", &ConsoleRow::cldp,
     &PoParamValues::cldp},
    {&TPoParams::talk, 8, PoField::Number, "TALK:=", "TALK:= ", &ConsoleRow::talk,
     &PoParamValues::talk},
    {&TPoParams::frmi, 8, PoField::Number, "FRMi:=", "FRMi:= ", &ConsoleRow::frmi,
     &PoParamValues::frmi},
    {&TPoParams::frmc, 8, PoField::Separator, "FRMc:=", "FRMc:= ", &ConsoleRow::frmc, nullptr},
    {&TPoParams::adccl, 8, PoField::Number, "ADCcL:=", "ADCcL:= ", &ConsoleRow::adccl,
     &PoParamValues::adccl},
    {&TPoParams::adccm, 8, PoField::Number, "ADCcM:=", "ADCcM:= ", &ConsoleRow::adccm,
     &PoParamValues::adccm},
    {&TPoParams::adcch, 8, PoField::Number, "ADCcH:=", "ADCcH:= ", &ConsoleRow::adcch,
     &PoParamValues::adcch},
    {&TPoParams::adchl, 8, PoField::Number, "ADChL:=", "ADChL:= ", &ConsoleRow::adchl,
     &PoParamValues::adchl},
    {&TPoParams::adchm, 8, PoField::Number, "ADChM:=", "ADChM:= ", &ConsoleRow::adchm,
     &PoParamValues::adchm},
    {&TPoParams::adchh, 8, PoField::Number, "ADChH:=", "ADChH:= ", &ConsoleRow::adchh,
     &PoParamValues::adchh},
};

// The six texts in record order.
struct PoTextInfo {
    QString TPoParams::*member;
    QString ConsoleRow::*stored;
    const char* column;  // the k_po column, as the operator knows it
    QString PoParamValues::*value;
    const char* writeLabel;
    const char* readLabel;
};

constexpr PoTextInfo kTexts[] = {
    {&TPoParams::sobj1, &ConsoleRow::sobj1, "sobj1", &PoParamValues::sobj1,
     "SOBJ1:=", " Cлайд объекта: "},
    {&TPoParams::sobj2, &ConsoleRow::sobj2, "sobj2", &PoParamValues::sobj2,
     "SOBJ2:=", " Cлайд объекта: "},
    {&TPoParams::sus1, &ConsoleRow::sus1, "sus1", &PoParamValues::sus1,
     "SUS1:=", " Слайд оператора 1: "},
    {&TPoParams::sus2, &ConsoleRow::sus2, "sus2", &PoParamValues::sus2,
     "SUS2:=", " Слайд оператора 2: "},
    {&TPoParams::sus3, &ConsoleRow::sus3, "sus3", &PoParamValues::sus3,
     "SUS3:=", " Слайд оператора 3: "},
    {&TPoParams::sus4, &ConsoleRow::sus4, "sus4", &PoParamValues::sus4,
     "SUS4:=", " Слайд оператора 4: "},
};

qint64 fieldMax(int width) {
    return (qint64(1) << width) - 1;
}

// A value as its field holds it: capped at the field's largest value rather
// than wrapped (65536 timeout steps must not become 0), a negative one as 0.
QString cappedField(qint64 value, int width) {
    return BitField(qBound<qint64>(0, value, fieldMax(width)), width);
}

// The k_po column of a member, as the operator knows it.
const char* columnName(qint64 ConsoleRow::*member) {
    for (const ConsoleColumn& c : kConsoleNumericColumns)
        if (c.member == member) return c.name;
    return "";
}

// The same for the write screen, telling the engineer about a capped value.
QString columnField(qint64 value, int width, const QString& column, ConfigLogs& logs) {
    return BitField(FitField(logs, column, value, width, FieldFit::Capped), width);
}

// ---- texts ----

// A text as 16 characters of 8 bits each, character 1 first; a cut or a
// character the file cannot carry is told.
QString textField(const QString& text, const QString& column, ConfigLogs& logs) {
    const QByteArray bytes = FitText(logs, column, text, kPoTextChars);
    QString bits;
    bits.reserve(kTextBits);
    for (char b : bytes) bits += BitField(quint8(b), kCharBits);
    return bits;
}

// A text field's characters as the logs and the editor show them, a byte that
// shows nothing as its mark; a character the section did not fill shows nothing.
QString textOf(const QString& field) {
    QByteArray bytes;
    for (int c = 0; c < kPoTextChars; ++c) {
        const QStringView bits = QStringView(field).mid(c * kCharBits, kCharBits);
        if (!bits.contains(kBlankChar)) bytes.append(char(BinToInt(bits)));
    }
    return FromCp1251Visible(bytes);
}

bool aboveBlank(const QString& text) {
    return text > QStringLiteral(" ");
}

// An object slide as the writers choose it: the text trimmed when it is
// above a blank, else the default. A text whose trimmed form starts below a
// blank (a control character behind the blanks) takes the default too:
// written trimmed, it would read back below a blank and become the default
// at the next save, so a file saved twice would differ.
QString objectSlide(const QString& given, const QString& fallback) {
    if (!aboveBlank(given)) return fallback;
    const QString t = given.trimmed();
    return t.isEmpty() || aboveBlank(t) ? t : fallback;
}

// The six texts as the writers choose them: the stored text trimmed, or its default.
std::array<QString, 6> chosenTexts(const std::array<QString, 6>& given) {
    std::array<QString, 6> out;
    out[0] = objectSlide(given[0], PoDefaultObjectSlide(QDate::currentDate()));
    out[1] = objectSlide(given[1], QStringLiteral("С Добрым утром!"));
    for (int i = 2; i < 6; ++i)
        out[i] = !given[i].isEmpty() ? given[i].trimmed() : WithNumber(u"ОПЕРАТОР ", i - 1);
    return out;
}

// The six fields; a slide the editor holds unedited (asRead) keeps the file's bits.
void setTexts(TPoParams& p, const std::array<QString, 6>& given, ConfigLogs& logs,
              const std::array<FieldAsRead, 6>& asRead = {}) {
    const std::array<QString, 6> texts = chosenTexts(given);
    for (int i = 0; i < 6; ++i)
        p.*kTexts[i].member =
            asRead[i].Unedited(given[i])
                ? asRead[i].bits
                : textField(texts[i], QString::fromLatin1(kTexts[i].column), logs);
}

// ---- melodies ----

// The notes a melody that is not found gets: (0, 0), (1, 2), (3, 4), (5, 6), (7, 8).
void defaultMelody(std::array<TPoNote, kPoNotes>& mel) {
    for (int i = 1; i <= kPoNotes; ++i) {
        mel[i - 1].noot = cappedField(2 * i - 3, kNoteBits);
        mel[i - 1].leng = cappedField(2 * i - 2, kNoteBits);
    }
}

void melodyFromDB(std::array<TPoNote, kPoNotes>& mel, const std::optional<MelodyRow>& melody,
                  ConfigLogs& logs) {
    if (!melody) {
        defaultMelody(mel);
        return;
    }
    if (melody->notes.size() > kPoNotes)
        logs.result << QStringLiteral("Мелодия \"") + melody->name +
                           WithNumber(u"\": нот ", melody->notes.size()) +
                           WithNumber(u", в файл записаны первые ", kPoNotes) + QLatin1Char('.');
    for (int k = 0; k < kPoNotes && k < melody->notes.size(); ++k) {
        const QString note = QStringLiteral(" (мелодия \"") + melody->name +
                             WithNumber(u"\", нота ", k + 1) + QLatin1Char(')');
        mel[k].noot =
            columnField(melody->notes[k].noot, kNoteBits, QStringLiteral("noot") + note, logs);
        mel[k].leng =
            columnField(melody->notes[k].leng, kNoteBits, QStringLiteral("leng") + note, logs);
    }
}

QStringList melodyLines(const std::array<TPoNote, kPoNotes>& mel, const QString& nootLabel,
                        const QString& lengLabel) {
    QStringList lines;
    for (const TPoNote& n : mel)
        lines << nootLabel + num(BinToInt(n.noot)) << lengLabel + num(BinToInt(n.leng));
    return lines;
}

// A melody grid cell as a number; an empty cell is 0. False when it is not a number.
bool noteCell(const QString& cell, qint64& value) {
    if (cell < QStringLiteral(" ")) {
        value = 0;
        return true;
    }
    bool ok = false;
    value = cell.toLongLong(&ok);
    return ok;
}

bool melodyFromCells(std::array<TPoNote, kPoNotes>& mel,
                     const std::array<PoNoteCells, kPoNotes>& cells, const QString& title,
                     QString* error) {
    if (!aboveBlank(cells[0].leng)) {
        defaultMelody(mel);
        return true;
    }
    for (int i = 0; i < kPoNotes; ++i) {
        qint64 noot = 0, leng = 0;
        if (!noteCell(cells[i].noot, noot) || !noteCell(cells[i].leng, leng)) {
            if (error)
                *error = title + WithNumber(u": в строке ", i + 1) +
                         QStringLiteral(" не число (\"") + cells[i].leng +
                         QStringLiteral("\", \"") + cells[i].noot + QStringLiteral("\").");
            return false;
        }
        mel[i].noot = cappedField(noot, kNoteBits);
        mel[i].leng = cappedField(leng, kNoteBits);
    }
    return true;
}

// ---- logs ----

QString shownField(const TPoParams& p, const PoFieldInfo& f) {
    const QString& v = p.*f.member;
    return f.kind == PoField::Cameras ? v : num(BinToInt(v));
}

QStringList writeLines(const TPoParams& p) {
    QStringList lines;
    for (const PoFieldInfo& f : kPoFields)
        lines << QString::fromUtf8(f.writeLabel) + shownField(p, f);
    lines << QStringLiteral("Мелодия вызова посетителем")
          << melodyLines(p.mel0, QStringLiteral("Нота "), QStringLiteral("Длит."))
          << QStringLiteral("Мелодия вызова абонентом")
          << melodyLines(p.mel1, QStringLiteral("Нота "), QStringLiteral("Длит."));
    for (const PoTextInfo& t : kTexts)
        lines << QString::fromUtf8(t.writeLabel) + textOf(p.*t.member);
    lines << p.extra;
    return lines;
}

QStringList readLines(const TPoParams& p) {
    QStringList lines;
    for (const PoFieldInfo& f : kPoFields)
        lines << QString::fromUtf8(f.readLabel) + shownField(p, f);
    const QString nootLabel = QStringLiteral("Номер ноты   ");
    const QString lengLabel = QStringLiteral("Длительность ");
    lines << QStringLiteral("Мелодия вызова посетителем")
          << melodyLines(p.mel0, nootLabel, lengLabel)
          << QStringLiteral("Мелодия вызова абонентом ")
          << melodyLines(p.mel1, nootLabel, lengLabel);
    for (const PoTextInfo& t : kTexts)
        lines << QString::fromUtf8(t.readLabel) + textOf(p.*t.member);
    lines << p.extra;
    return lines;
}

QString missingValuesText(const QStringList& columns) {
    // A NULL would silently become 0 in the device; the engineer fills it in first.
    return QStringLiteral("Параметры ППО заданы не полностью, нет значений: ") +
           columns.join(QStringLiteral(", "));
}

}  // namespace

QString PoDefaultObjectSlide(const QDate& day) {
    return day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" конф.");
}

void InitPoParams(TPoParams& p) {
    for (const PoFieldInfo& f : kPoFields) p.*f.member = QString(f.width, kBlankChar);
    for (auto* mel : {&p.mel0, &p.mel1})
        for (TPoNote& n : *mel)
            n = {QString(kNoteBits, kBlankChar), QString(kNoteBits, kBlankChar)};
    for (const PoTextInfo& t : kTexts) p.*t.member = QString(kTextBits, kBlankChar);
    p.extra.clear();
}

void PoParamsFromDB(TPoParams& p, const ConsoleRow& console,
                    const std::optional<MelodyRow>& visitor,
                    const std::optional<MelodyRow>& subscriber, ConfigLogs* logs) {
    InitPoParams(p);
    ConfigLogs untold;
    ConfigLogs& told = logs ? *logs : untold;
    for (const PoFieldInfo& f : kPoFields) {
        if (f.kind == PoField::Cameras) {
            p.*f.member =
                ReverseStr(FitMask(told, QStringLiteral("mcam"), console.mcam.trimmed(), f.width));
            continue;
        }
        p.*f.member = columnField(console.*f.column, f.width,
                                  QString::fromLatin1(columnName(f.column)), told);
    }
    melodyFromDB(p.mel0, visitor, told);
    melodyFromDB(p.mel1, subscriber, told);
    std::array<QString, 6> given;
    for (int i = 0; i < 6; ++i) given[i] = console.*kTexts[i].stored;
    setTexts(p, given, told);
}

QString PoParamsToBits(const TPoParams& p) {
    QString text;
    for (const PoFieldInfo& f : kPoFields) {
        const QString& v = p.*f.member;
        text.prepend(f.kind == PoField::Cameras ? ReverseStr(v) : v);
    }
    for (const auto* mel : {&p.mel0, &p.mel1}) {
        for (const TPoNote& n : *mel) {
            text.prepend(n.noot);
            text.prepend(n.leng);
        }
    }
    for (const PoTextInfo& t : kTexts) {
        const QString& field = p.*t.member;
        for (int c = 0; c < kPoTextChars; ++c)
            text.prepend(QStringView(field).mid(c * kCharBits, kCharBits));
    }
    text.prepend(p.extra);
    return text.trimmed();
}

void PoParamsFromBits(const QString& sectionText, TPoParams& p) {
    InitPoParams(p);
    SectionReader r(sectionText);
    QString bits;
    for (const PoFieldInfo& f : kPoFields) {
        if (!r.TakeBits(f.width, bits)) continue;  // a field that does not fit stays blank
        p.*f.member = f.kind == PoField::Cameras ? ReverseStr(bits) : bits;
    }
    for (auto* mel : {&p.mel0, &p.mel1}) {
        for (TPoNote& n : *mel) {
            if (r.TakeBits(kNoteBits, bits)) n.noot = bits;
            if (r.TakeBits(kNoteBits, bits)) n.leng = bits;
        }
    }
    for (const PoTextInfo& t : kTexts) {
        QString& field = p.*t.member;
        for (int c = 0; c < kPoTextChars; ++c)
            if (r.TakeBits(kCharBits, bits)) field.replace(c * kCharBits, kCharBits, bits);
    }
    if (r.Remaining() > 0) p.extra = r.Rest();
}

bool EncodePoSection0(const ConfigObjectRow& object, const ConsoleRow& console,
                      const std::optional<MelodyRow>& visitor,
                      const std::optional<MelodyRow>& subscriber, QString& section,
                      ConfigLogs& logs) {
    section.clear();
    QString payload;
    if (object.lPok) {
        if (!console.nullColumns.isEmpty()) {
            const QString text = missingValuesText(console.nullColumns);
            Dialogs::Message(QStringLiteral("Ошибка"), text, DlgButtons::Ok, DlgIcon::Error);
            TellInResults(logs, text);  // the results keep the reason after the box is gone
            return false;
        }
        TPoParams p;
        PoParamsFromDB(p, console, visitor, subscriber, &logs);
        logs.detail << ConfigWriteHeading(QStringLiteral("ППО сек 0"))
                    << QStringLiteral("Основные параметры:") << writeLines(p);
        payload = PoParamsToBits(p);
    }
    logs.detail << WithNumber(u"длина 0 sec po бит ", payload.size());
    section = WrapSection(payload, kPoParamsSection, kPoParamsVersion, &logs.result);
    return true;
}

QStringList DecodePoSection0(const QString& sectionText) {
    TPoParams p;
    PoParamsFromBits(sectionText, p);
    QStringList lines{ConfigReadHeading(QStringLiteral("ПО    СЕКЦИЯ 0"))};
    lines << readLines(p);
    return lines;
}

QString PoCameraItems(const QString& mcam, int cameraCount) {
    const int count = qBound(1, cameraCount, kPoCameraItems);
    const QString field = ReverseStr(PadLeft(mcam, kBlankChar, kPoCameraItems));  // bit 15 first
    QString items = field.right(count) + ReverseStr(field.left(kPoCameraItems - count));
    for (QChar& c : items)
        if (c != QLatin1Char('1')) c = QLatin1Char('0');
    return items;
}

QString PoCameraField(const QString& items, int cameraCount) {
    const int count = qBound(1, cameraCount, kPoCameraItems);
    QString all = PadRight(items, QLatin1Char('0'), kPoCameraItems);
    for (QChar& c : all)
        if (c != QLatin1Char('1')) c = QLatin1Char('0');
    return ReverseStr(ReverseStr(all.mid(count)) + all.left(count));
}

PoParamValues DecodePoParams(const QString& sectionText, int cameraCount) {
    TPoParams p;
    PoParamsFromBits(sectionText, p);
    PoParamValues v;
    for (const PoFieldInfo& f : kPoFields)
        if (f.value) v.*f.value = BinToInt(p.*f.member);
    v.cameras = PoCameraItems(p.mcam, cameraCount);
    v.frmc = num(BinToInt(p.frmc));
    for (int i = 0; i < kPoNotes; ++i) {
        v.visitor[i] = {num(BinToInt(p.mel0[i].leng)), num(BinToInt(p.mel0[i].noot))};
        v.subscriber[i] = {num(BinToInt(p.mel1[i].leng)), num(BinToInt(p.mel1[i].noot))};
    }
    for (int i = 0; i < 6; ++i) {
        const QString& field = p.*kTexts[i].member;
        v.*kTexts[i].value = PadRight(textOf(field), kBlankChar, kPoTextChars);
        // A slide the section holds in part is made anew when saved, as an absent one is.
        if (!field.contains(kBlankChar)) v.slidesAsRead[i] = {field, v.*kTexts[i].value};
    }
    v.extra = p.extra;
    return v;
}

bool EncodePoParams(const PoParamValues& v, QString& section, QStringList* log, QString* error,
                    int cameraCount) {
    TPoParams p;
    InitPoParams(p);
    bool ok = false;
    const qint64 frmc = v.frmc.trimmed().toLongLong(&ok);
    if (!ok) {
        if (error)
            *error =
                QStringLiteral("Код шаблонного знака \"") + v.frmc + QStringLiteral("\" не число.");
        return false;
    }
    for (const PoFieldInfo& f : kPoFields) {
        if (f.value) p.*f.member = cappedField(v.*f.value, f.width);
    }
    p.frmc = cappedField(frmc, 8);
    p.mcam = PoCameraField(v.cameras, cameraCount);
    if (!melodyFromCells(p.mel0, v.visitor, QStringLiteral("Мелодия вызова посетителем"), error) ||
        !melodyFromCells(p.mel1, v.subscriber, QStringLiteral("Мелодия вызова абонентом"), error))
        return false;
    std::array<QString, 6> given;
    for (int i = 0; i < 6; ++i) given[i] = v.*kTexts[i].value;
    ConfigLogs told;
    setTexts(p, given, told, v.slidesAsRead);
    if (log) *log << told.result;
    p.extra = v.extra;
    QString payload = PoParamsToBits(p);
    section = WrapSection(payload, kPoParamsSection, kPoParamsVersion, log);
    return true;
}
