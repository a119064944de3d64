#include "config/TBvParams.h"

#include "config/CallCodeSection.h"
#include "config/ConfigFileBuilder.h"
#include "config/ConfigImage.h"
#include "config/FieldFit.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

constexpr int kBvParamsSection = 0;
constexpr int kBvParamsVersion = 1;
constexpr int kCodeBits = 17;
constexpr qint64 kBlatoUnset = 31;  // what a negative blato is written as

// The switches in record order, which is also their order from payload bit 8.
struct BvSwitchInfo {
    QString TBvParams::*member;
    bool PanelRow::*column;
    bool BvParamsValues::*control;
    const char* writeLabel;
    const char* readLabel;
};
constexpr BvSwitchInfo kSwitches[] = {
    {&TBvParams::bell, &PanelRow::bell, &BvParamsValues::Bell, "BELL:=", "BELL:= "},
    {&TBvParams::auto_, &PanelRow::autoKeys, &BvParamsValues::Auto, "AUTO:=", "AUTO:= "},
    {&TBvParams::nrcs, &PanelRow::nrcs, &BvParamsValues::Nrcs, "NRSC:=", "NRSC:= "},
    {&TBvParams::dsoc, &PanelRow::dsoc, &BvParamsValues::DSoc, "DSOC:=", "DSOC:= "},
    {&TBvParams::ph_0, &PanelRow::ph0, &BvParamsValues::PH_0, "PH_0:=", "PH_0:= "},
    {&TBvParams::ph_1, &PanelRow::ph1, &BvParamsValues::PH_1, "PH_1:=", "PH_1:= "},
    {&TBvParams::scud, &PanelRow::scud, &BvParamsValues::Scud, "SCUD:=", "SCUD:= "},
    {&TBvParams::lrez, &PanelRow::lrez, &BvParamsValues::ReservBv, "Resv:=", "Resv:= "},
};

// The numeric fields before the codes, in record order, with their widths.
struct BvNumberInfo {
    QString TBvParams::*member;
    int width;
};
constexpr BvNumberInfo kHead[] = {{&TBvParams::sl, 4}, {&TBvParams::ot, 4}};
constexpr BvNumberInfo kMiddle[] = {
    {&TBvParams::kfilt, 8}, {&TBvParams::blato, 8}, {&TBvParams::adrcs, 16}};

qint64 fieldValue(const QString& field) {
    return BinToInt(field);
}

QString bit(bool on) {
    return BoolToBit(on);
}

qint64 blatoField(qint64 blato) {
    return blato >= 0 ? blato & 0xFF : kBlatoUnset;
}

// Fills the ten code fields from code texts, a code the editor holds unedited
// (asRead) with the file's bits; false with error at the first one that
// cannot be written.
bool fillCodes(TBvParams& p, const std::array<QString, kBvOpenCodes>& codes, QString* error,
               const std::array<FieldAsRead, kBvOpenCodes>& asRead = {}) {
    for (int i = 0; i < kBvOpenCodes; ++i) {
        if (asRead[i].Unedited(codes[i])) {
            p.ocode[i] = asRead[i].bits;
            continue;
        }
        if (BvOpenCodeField(codes[i], p.ocode[i])) continue;
        if (error) *error = BvOpenCodeErrorText(i, codes[i]);
        return false;
    }
    return true;
}

// The lines of the fields before the codes; the two screens label sl, ot and
// the switches a little differently.
QStringList bvFieldLines(const TBvParams& p, bool readScreen) {
    const QString pad = readScreen ? QStringLiteral("   ") : QString();
    QStringList lines{QStringLiteral("SL:=") + pad + num(fieldValue(p.sl)),
                      QStringLiteral("OT:=") + pad + num(fieldValue(p.ot))};
    for (const BvSwitchInfo& s : kSwitches)
        lines << QString::fromUtf8(readScreen ? s.readLabel : s.writeLabel) + p.*s.member;
    lines << WithNumber(u"KFilt:=", fieldValue(p.kfilt))
          << WithNumber(u"BLATO:=", fieldValue(p.blato))
          << WithNumber(u"ADRCS:=", fieldValue(p.adrcs));
    return lines;
}

QStringList bvWriteLines(const TBvParams& p) {
    QStringList lines = bvFieldLines(p, false);
    for (int i = 0; i < kBvOpenCodes; ++i)
        lines << num(fieldValue(p.ocode[i])) + WithNumber(u"  ocode", i);
    return lines;
}

}  // namespace

void InitBvParams(TBvParams& p) {
    for (const BvNumberInfo& f : kHead) p.*f.member = QString(f.width, QLatin1Char(' '));
    for (const BvSwitchInfo& s : kSwitches) (p.*s.member).clear();
    for (const BvNumberInfo& f : kMiddle) p.*f.member = QString(f.width, QLatin1Char(' '));
    for (QString& code : p.ocode) code = QString(kCodeBits, QLatin1Char(' '));
    p.Tail.clear();
}

qint64 BvConsoleHandsetOrdinal(const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                               bool* matched) {
    if (matched) *matched = true;
    if (panel.adrpk <= 0 || panel.adrcs <= 0) return kBvNoHandset;
    // The console counts the panel's entrances in the order of their matrix columns.
    QList<const PanelEntranceRow*> byColumn;
    for (const PanelEntranceRow& e : entrances) byColumn << &e;
    std::stable_sort(
        byColumn.begin(), byColumn.end(),
        [](const PanelEntranceRow* a, const PanelEntranceRow* b) { return a->nPk < b->nPk; });
    qint64 n = 0;
    for (const PanelEntranceRow* e : byColumn) {
        // An index past what the sum holds stays at its top, which the
        // 16-bit field shows as no handset.
        if (e->idPk == panel.adrpk)
            return panel.adrcs - 1 > std::numeric_limits<qint64>::max() - n
                       ? std::numeric_limits<qint64>::max()
                       : n + panel.adrcs - 1;
        n += e->apartments.size();
    }
    if (matched) *matched = false;
    return n;
}

bool BvOpenCodeField(const QString& code, QString& field) {
    // Coded as a call code is: older databases hold "111111" for no code, and
    // a code led by '0' is stored padded with '1' to six digits.
    qint64 v = 0;
    if (!CallCodeValue(code.trimmed(), v)) return false;
    field = BitField(v, kCodeBits);
    return true;
}

QString BvOpenCodeText(const QString& field) {
    if (field.trimmed().isEmpty()) return QString();
    return CallCodeText(fieldValue(field));
}

QString BvOpenCodeErrorText(int index, const QString& code) {
    return WithNumber(u"Код открытия двери ", index) + QStringLiteral(" \"") + code +
           QStringLiteral("\": нужно число не длиннее 6 цифр и не больше 131070.");
}

bool BvParamsFromDB(TBvParams& p, const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                    QString* error, ConfigLogs* logs) {
    InitBvParams(p);
    ConfigLogs untold;
    ConfigLogs& told = logs ? *logs : untold;
    const auto fit = [&told](const char* column, qint64 stored, int width, qint64 offset = 0) {
        return BitField(FitField(told, QString::fromLatin1(column), stored, width,
                                 FieldFit::LowBitsOrZero, offset),
                        width);
    };
    p.sl = fit("sl", panel.sl, 4);
    p.ot = fit("ot", panel.ot, 4, 1);  // the door-open time is held less one second
    for (const BvSwitchInfo& s : kSwitches) p.*s.member = bit(panel.*s.column);
    p.kfilt = fit("kfilt", panel.kfilt, 8);
    p.blato = BitField(
        TellWritten(told, QStringLiteral("blato"), panel.blato, 0, 255, blatoField(panel.blato)),
        8);
    p.adrcs = fit("adrcs", BvConsoleHandsetOrdinal(panel, entrances), 16);
    return fillCodes(p, panel.ocode, error);
}

QString BvParamsToBits(const TBvParams& p) {
    QString text;
    for (const BvNumberInfo& f : kHead) text.prepend(p.*f.member);
    for (const BvSwitchInfo& s : kSwitches) text.prepend(p.*s.member);
    for (const BvNumberInfo& f : kMiddle) text.prepend(p.*f.member);
    for (const QString& code : p.ocode) text.prepend(code);
    text.prepend(p.Tail);
    return text.trimmed();
}

void BvParamsFromBits(const QString& sectionText, TBvParams& p) {
    InitBvParams(p);
    SectionReader r(sectionText);
    for (const BvNumberInfo& f : kHead) r.TakeBits(f.width, p.*f.member);
    if (r.Has(int(std::size(kSwitches)))) {
        for (const BvSwitchInfo& s : kSwitches) r.TakeBits(1, p.*s.member);
    }
    for (const BvNumberInfo& f : kMiddle) r.TakeBits(f.width, p.*f.member);
    for (QString& code : p.ocode) r.TakeBits(kCodeBits, code);
    if (r.Remaining() > 0) p.Tail = r.Rest();
}

bool EncodeBvSection0(const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                      int sepDevice, QString& section, qint64& consoleHandsetOrdinal,
                      ConfigLogs& logs) {
    section.clear();
    logs.detail << ConfigWriteHeading(QStringLiteral("бв сек 0"))
                << QStringLiteral("Основные параметры: ") + DeviceAddrName(panel.nNet, sepDevice)
                << panel.nBv;
    TBvParams p;
    QString error;
    if (!BvParamsFromDB(p, panel, entrances, &error, &logs)) {
        TellInResults(logs, error);
        Dialogs::Message(QStringLiteral("Ошибка"), error, DlgButtons::Ok, DlgIcon::Error);
        return false;
    }
    bool matched = true;
    consoleHandsetOrdinal = BvConsoleHandsetOrdinal(panel, entrances, &matched);
    if (!matched)
        logs.result << QStringLiteral(
                           "Предупреждение: коммутатор трубки ППО не обслуживает подъезды этого "
                           "БВ, индекс трубки ППО := ") +
                           num(consoleHandsetOrdinal);
    logs.detail << bvWriteLines(p);
    QString payload = BvParamsToBits(p);
    logs.detail << WithNumber(u"длина 0 sec бит ", payload.size());
    section = WrapSection(payload, kBvParamsSection, kBvParamsVersion, &logs.result);
    return true;
}

QStringList DecodeBvSection0(const QString& sectionText) {
    TBvParams p;
    BvParamsFromBits(sectionText, p);
    QStringList lines = bvFieldLines(p, true);
    for (int i = 0; i < kBvOpenCodes; ++i)
        lines << WithNumber(u"OCODE", i) + QStringLiteral(":= ") + BvOpenCodeText(p.ocode[i]);
    lines << p.Tail;
    return lines;
}

BvParamsValues DecodeBvParams(const QString& sectionText) {
    TBvParams p;
    BvParamsFromBits(sectionText, p);
    BvParamsValues v;
    v.SL = fieldValue(p.sl);
    v.OT = fieldValue(p.ot) + 1;
    for (const BvSwitchInfo& s : kSwitches) v.*s.control = p.*s.member == QStringLiteral("1");
    // The box reads "secret display", which the bit switches off.
    v.DSoc = p.dsoc == QStringLiteral("0");
    v.KFilt = fieldValue(p.kfilt);
    v.BlatoBv = fieldValue(p.blato);
    v.ADRCS = fieldValue(p.adrcs);
    if (v.ADRCS == kBvNoHandset) v.ADRCS = -1;
    for (int i = 0; i < kBvOpenCodes; ++i) {
        v.Ocode[i] = BvOpenCodeText(p.ocode[i]);
        if (!p.ocode[i].contains(QLatin1Char(' '))) v.OcodeAsRead[i] = {p.ocode[i], v.Ocode[i]};
    }
    v.MBv0 = p.Tail;
    return v;
}

bool EncodeBvParams(const BvParamsValues& v, QString& section, QStringList* log, QString* error) {
    TBvParams p;
    InitBvParams(p);
    p.sl = BitField(v.SL, 4);
    p.ot = BitField(v.OT - 1, 4);
    for (const BvSwitchInfo& s : kSwitches) p.*s.member = bit(v.*s.control);
    p.dsoc = bit(!v.DSoc);
    p.kfilt = BitField(v.KFilt, 8);
    p.blato = BitField(blatoField(v.BlatoBv), 8);
    p.adrcs = BitField(v.ADRCS > -1 ? v.ADRCS : kBvNoHandset, 16);
    if (!fillCodes(p, v.Ocode, error, v.OcodeAsRead)) return false;
    p.Tail = v.MBv0;
    QString payload = BvParamsToBits(p);
    section = WrapSection(payload, kBvParamsSection, kBvParamsVersion, log);
    return true;
}
