#include "config/ConsoleSections.h"

#include "config/ConfigFileBuilder.h"
#include "config/ConfigImage.h"
#include "config/FieldFit.h"
#include "config/FlagSection.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "config/SwitchSections.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"

#include <climits>

namespace {

constexpr int kConsoleSectionVersion = 1;
constexpr int kCountBits = 16;
constexpr int kNumBits = 8;
constexpr int kIndexBits = 10;
constexpr int kSwitchBits = 6;
constexpr qint64 kMaxIndex = (1 << kIndexBits) - 1;
constexpr qint64 kMaxSwitch = (1 << kSwitchBits) - 1;

QString wrapConsoleSection(QString& payload, int section, QStringList* log) {
    return WrapSection(payload, section, kConsoleSectionVersion, log);
}

// A mask of width characters, item 0 first, with the given items set; items
// outside it are reported in bad.
QString itemMask(const QList<int>& items, int width, QList<int>* bad) {
    QString mask(width, QLatin1Char('0'));
    for (int i : items) {
        if (i >= 0 && i < width)
            mask[i] = QLatin1Char('1');
        else if (bad)
            *bad << i;
    }
    return mask;
}

// The apartment count of a switch's entrance as its 16-bit field takes it.
qint64 switchCount(ConfigLogs& logs, const ConsoleSwitchRow& s, qint64 count) {
    const QString field =
        QStringLiteral("количество квартир (КМ") + IntToStrZ(s.nNet, 2) + QLatin1Char(')');
    return FitField(logs, field, count, kCountBits, FieldFit::LowBits);
}

// ---- section 6 ----

struct Handset {
    int switchNo;
    int index;
};

QList<Handset> consoleHandsets(const QList<ConsoleSwitchRow>& switches) {
    QList<Handset> found;
    for (const ConsoleSwitchRow& s : switches)
        for (int i = 0; i < s.apartments.size(); ++i)
            if (s.apartments[i].IsConsoleHandset()) found << Handset{s.nNet, i};
    return found;
}

// Why the handsets cannot be written, or an empty text when they can.
QString handsetFault(const QList<Handset>& handsets) {
    if (handsets.size() > kPoHandsetsMax)
        return WithNumber(u"Трубок ППО на коммутаторах ", handsets.size()) +
               WithNumber(u", в файл ППО помещается не больше ", kPoHandsetsMax) +
               QStringLiteral(". Файл ППО не создан.");
    for (const Handset& h : handsets)
        if (h.switchNo < 0 || h.switchNo > kMaxSwitch || h.index > kMaxIndex)
            return WithNumber(u"Трубка ППО КМ ", h.switchNo) + WithNumber(u" индекс ", h.index) +
                   QStringLiteral(
                       " не помещается в файл ППО (КМ 0..63, индекс 0..1023). "
                       "Файл ППО не создан.");
    return QString();
}

QString handsetPayload(const QList<Handset>& handsets) {
    QString payload;
    PrependField(payload, handsets.size(), kNumBits);
    for (const Handset& h : handsets) {
        PrependField(payload, h.index, kIndexBits);
        PrependField(payload, h.switchNo, kSwitchBits);
    }
    return payload;
}

// A grid cell as a whole number in lo..hi.
bool cellInRange(const QString& cell, qint64 lo, qint64 hi, qint64& value) {
    bool ok = false;
    value = cell.trimmed().toLongLong(&ok);
    return ok && value >= lo && value <= hi;
}

}  // namespace

// ---- section 2 ----

QString EncodePoSection2(const QList<ConsoleSwitchRow>& switches, bool lrez, int sepDevice,
                         ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("ППО сек 2"))
                << QStringLiteral("Описание подъездов:");
    QList<int> numbers, outside;
    for (const ConsoleSwitchRow& s : switches) numbers << s.nNet;
    const QString mask = itemMask(numbers, sepDevice, &outside);
    for (int n : outside)
        logs.result << WithNumber(u"КМ с сетевым номером ", n) +
                           WithNumber(u" не описан: номер вне 0..", sepDevice - 1) +
                           QLatin1Char('.');
    logs.detail << QStringLiteral("Маска подъездов: ") + mask;
    QString payload = MaskPayload(mask);
    const QString reserve = BoolToBit(lrez);
    logs.detail << QStringLiteral("Резервный бит: ") + reserve;
    payload.prepend(reserve);
    for (const ConsoleSwitchRow& s : switches) {
        if (s.nNet < 0 || s.nNet >= sepDevice) continue;  // no mask bit, so no block
        const qint64 k = s.apartments.size();
        if (k == 0) logs.result << QStringLiteral("Нет квартир в подъезде.");
        PrependField(payload, switchCount(logs, s, k), kCountBits);
        logs.detail << WithNumber(u"к-во квартир:=", k);
        // Panel n is bit n - sepDevice - 1; below the console's address a
        // number has no bit (nor a difference that a number holds).
        QList<int> bits;
        for (qint64 panel : s.panels) {
            if (panel > sepDevice && panel - sepDevice - 1 < sepDevice)
                bits << int(panel - sepDevice - 1);
            else
                logs.result << WithNumber(u"БВ с сетевым номером ", panel) +
                                   WithNumber(u" не помещается в маску блоков вызова КМ ", s.nNet) +
                                   QLatin1Char('.');
        }
        const QString panels = itemMask(bits, sepDevice, nullptr);
        logs.detail << QStringLiteral("- маска блока вызова: ") + panels;
        payload.prepend(MaskPayload(panels, sepDevice + 1));
    }
    logs.detail << WithNumber(u"длина 2 sec po бит ", payload.size());
    return wrapConsoleSection(payload, 2, &logs.result);
}

QStringList DecodePoSection2(const QString& sectionText, int sepDevice, int* apartmentTotal) {
    QStringList lines{ConfigReadHeading(QStringLiteral("ПО    СЕКЦИЯ 2"))};
    SectionReader r(sectionText);
    qint64 total = 0;
    QStringView bits;
    if (r.TakeView(sepDevice, bits)) lines << WithReversed(u"PMSK: ", bits);
    if (r.TakeView(1, bits)) lines << WithReversed(u"Резервный бит: ", bits);  // one bit
    while (r.Has(kCountBits + sepDevice + 1)) {
        qint64 count = 0;
        r.Take(kCountBits, count);
        total += count;
        lines << WithNumber(u"FNUM:= ", count);
        r.TakeView(sepDevice + 1, bits);
        lines << WithReversed(u"FMSK: ", bits);
    }
    if (apartmentTotal) *apartmentTotal = int(qMin<qint64>(total, INT_MAX));
    return lines;
}

PoEntranceGrid DecodePoEntranceMask(const QString& sectionText, int sepDevice) {
    PoEntranceGrid g;
    const int s = qMax(sepDevice, 0);
    g.switchMask = QString(s, QLatin1Char('0'));
    g.apartments = QList<int>(s, 0);
    g.panelMasks = QStringList(s, QString(s + 1, QLatin1Char('0')));
    SectionReader r(sectionText);
    QString bits;
    if (r.TakeBits(s, bits)) g.switchMask = ReverseStr(bits);
    if (r.TakeBits(1, bits)) g.reserve = bits == QStringLiteral("1");
    int column = -1;
    while (r.Has(s + kCountBits)) {
        column = int(g.switchMask.indexOf(QLatin1Char('1'), column + 1));
        if (column < 0) {
            g.warnings << QStringLiteral(
                "В секции 2 описаний подъездов больше, чем подъездов в маске; лишние не показаны.");
            break;
        }
        qint64 count = 0;
        if (r.Take(kCountBits, count)) {
            g.apartments[column] = int(count);
            g.apartmentTotal += int(count);
        }
        if (r.TakeBits(s + 1, bits)) g.panelMasks[column] = ReverseStr(bits);
    }
    return g;
}

QString EncodePoEntranceMask(const PoEntranceGrid& grid, int sepDevice, QStringList* log) {
    const int s = qMax(sepDevice, 0);
    const QString mask = PadRight(grid.switchMask, QLatin1Char('0'), s);
    QString payload = MaskPayload(mask, s);
    payload.prepend(BoolToBit(grid.reserve));
    for (int c = 0; c < s; ++c) {
        if (mask.at(c) != QLatin1Char('1')) continue;
        PrependField(payload, qBound(0, grid.apartments.value(c), 0xFFFF), kCountBits);
        payload.prepend(MaskPayload(grid.panelMasks.value(c), s + 1));
    }
    return wrapConsoleSection(payload, 2, log);
}

// ---- section 4 ----

QString EncodePoSection4(const QString& flpo, const QString& callFlagText, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("ППО сек 4"))
                << QStringLiteral("Поквартирные флаги:");
    return EncodeFlagSection(QStringLiteral("flpo"), flpo, callFlagText,
                             WithNumber(u"длина маски флагов := ", callFlagText.size()), logs);
}

// ---- section 6 ----

bool EncodePoSection6(const QList<ConsoleSwitchRow>& switches, QString& section, ConfigLogs& logs) {
    section.clear();
    logs.detail << ConfigWriteHeading(QStringLiteral("спо сек 6"))
                << QStringLiteral("Индекы трубок для ПО с КМ:");
    const QList<Handset> handsets = consoleHandsets(switches);
    for (const Handset& h : handsets)
        logs.detail << WithNumber(u"КМ ", h.switchNo) + WithNumber(u" индекс ", h.index);
    const QString fault = handsetFault(handsets);
    if (!fault.isEmpty()) {
        // Wrapped fields would send the console to the wrong handsets.
        TellInResults(logs, fault);
        Dialogs::Message(QStringLiteral("Ошибка"), fault, DlgButtons::Ok, DlgIcon::Error);
        return false;
    }
    QString payload = handsetPayload(handsets);
    logs.detail << WithNumber(u"длина 6 sec ", payload.size());
    section = wrapConsoleSection(payload, 6, &logs.result);
    return true;
}

QStringList DecodePoSection6(const QString& sectionText) {
    QStringList lines{ConfigReadHeading(QStringLiteral("ПО    СЕКЦИЯ 6"))};
    SectionReader r(sectionText);
    qint64 n = 0;
    if (!r.Take(kNumBits, n)) return lines;
    lines << WithNumber(u"NUM:= ", n);
    for (qint64 i = 0; i < n; ++i) {
        qint64 index = 0, sw = 0;
        if (!r.Take(kIndexBits, index) || !r.Take(kSwitchBits, sw)) {
            lines << ConfigShortSectionText();
            break;
        }
        lines << WithNumber(u"N CКМ:= ", sw) << WithNumber(u"индекс трубки:= ", index);
    }
    return lines;
}

PoHandsets DecodePoSysAddr(const QString& sectionText) {
    PoHandsets h;
    SectionReader r(sectionText);
    qint64 n = 0;
    if (!r.Take(kNumBits, n)) return h;
    h.count = int(n);
    h.entries = QList<PoHandsetCells>(h.count);
    for (PoHandsetCells& cells : h.entries) {
        qint64 index = 0, sw = 0;
        if (!r.Take(kIndexBits, index) || !r.Take(kSwitchBits, sw)) break;
        cells = {num(sw), num(index + 1)};
    }
    return h;
}

bool EncodePoSysAddr(const QList<PoHandsetCells>& entries, QString& section, QStringList* log,
                     QString* error) {
    if (entries.size() > kPoHandsetsMax) {
        if (error)
            *error = WithNumber(u"Трубок ППО ", entries.size()) +
                     WithNumber(u", в файл помещается не больше ", kPoHandsetsMax) +
                     QLatin1Char('.');
        return false;
    }
    QList<Handset> handsets;
    for (int i = 0; i < entries.size(); ++i) {
        qint64 sw = 0, shown = 0;
        if (!cellInRange(entries[i].switchNo, 0, kMaxSwitch, sw) ||
            !cellInRange(entries[i].handset, 1, kMaxIndex + 1, shown)) {
            if (error)
                *error = WithNumber(u"Трубка ППО ", i + 1) +
                         QStringLiteral(": нужен сетевой № КМ 0..63 и индекс трубки 1..1024 (\"") +
                         entries[i].switchNo + QStringLiteral("\", \"") + entries[i].handset +
                         QStringLiteral("\").");
            return false;
        }
        handsets << Handset{int(sw), int(shown - 1)};
    }
    QString payload = handsetPayload(handsets);
    if (log) *log << WithNumber(u"длина 6 sec ", payload.size());
    section = wrapConsoleSection(payload, 6, log);
    return true;
}
