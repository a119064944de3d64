#include "config/PanelEntranceSection.h"

#include "config/ConfigImage.h"
#include "config/EditorCell.h"
#include "config/FieldFit.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"

#include <limits>

namespace {

constexpr int kPanelEntranceSection = 2;
constexpr int kPanelEntranceVersion = 1;
constexpr qint64 kMaxCount = 65535;
constexpr qint64 kAiLimit = 100;  // an editor AI of 100 or more is written as 0
constexpr qint64 kAhLimit = 255;  // likewise an AH of 255 or more

// The entrance mask as a payload text: switch n in the n-th character from the
// end. Switches outside 0 .. S−1 have no bit; they are reported and skipped.
QString entranceMask(const QList<PanelEntranceRow>& entrances, int sepDevice,
                     QList<const PanelEntranceRow*>& described, ConfigLogs& logs) {
    QString mask(qMax(sepDevice, 0), QLatin1Char('0'));
    for (const PanelEntranceRow& e : entrances) {
        if (e.nNet < 0 || e.nNet >= sepDevice) {
            logs.result << WithNumber(u"Подъезд коммутатора с сетевым номером ", e.nNet) +
                               WithNumber(u" не описан: номер вне 0..", sepDevice - 1) +
                               QLatin1Char('.');
            continue;
        }
        mask[sepDevice - 1 - e.nNet] = QLatin1Char('1');
        described << &e;
    }
    return mask;
}

// A value cell of the editor's grid; blank is 0.
bool cellValue(const QString& cell, const QString& what, int column, qint64& value,
               QString* error) {
    value = 0;
    if (CellNumber(cell, value) != Cell::Bad) return true;
    if (error)
        *error = WithNumber(u"Подъезд ", column) + QStringLiteral(": ") + what +
                 QStringLiteral(" \"") + cell + QStringLiteral("\" - не целое число.");
    return false;
}

// A value of one entrance's block, named with the switch that serves it.
QString entranceField(QStringView name, const PanelEntranceRow& e) {
    return name.toString() + QStringLiteral(" (КМ") + IntToStrZ(e.nNet, 2) + QLatin1Char(')');
}

qint64 belowOrZero(qint64 v, qint64 limit) {
    return v >= 0 && v < limit ? v : 0;
}

}  // namespace

qint64 FirstApartmentIncrement(qint64 pFc) {
    const qint64 rest = pFc % kFirstApartmentIncrements;
    return rest < 0 ? rest + kFirstApartmentIncrements : rest;
}

qint64 BvEntranceAi(qint64 pFc) {
    const qint64 ai = FirstApartmentIncrement(pFc) - 1;
    return ai == -1 ? kBvNoFirstTerminal : ai;
}

QString EncodeBvSection2(const PanelRow& panel, const QList<PanelEntranceRow>& entrances,
                         int sepDevice, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("бв сек 2"))
                << DeviceAddrName(panel.nNet, sepDevice) + QStringLiteral("  ") + panel.nBv
                << QStringLiteral("Описание подъездов. Маска подъездов:");
    QList<const PanelEntranceRow*> described;
    QString payload = entranceMask(entrances, sepDevice, described, logs);
    logs.detail << ReverseStr(payload);
    const QString reserve = BoolToBit(panel.lrez);
    logs.detail << QStringLiteral("Резервный бит ") + reserve;
    payload.prepend(reserve);
    for (const PanelEntranceRow* e : described) {
        const qint64 k = e->apartments.size();
        if (k == 0) {
            logs.result << QStringLiteral("Подъезд без квартир.");
            continue;
        }
        const qint64 ai = BvEntranceAi(e->pFc);
        PrependField(
            payload,
            FitField(logs, entranceField(u"количество квартир", *e), k, 16, FieldFit::LowBits), 16);
        // AI is the increment less 1 (99 for 0): a p_fc beyond its range is told.
        PrependField(payload,
                     TellWritten(logs, entranceField(u"p_fc", *e), e->pFc, 0,
                                 kFirstApartmentIncrements - 1, ai),
                     8);
        const qint64 ah = FitField(logs, entranceField(u"ah", *e), e->ah, 8, FieldFit::LowBits);
        PrependField(payload, ah, 8);
        logs.detail << WithNumber(u"к-во квартир:=", k) << WithNumber(u"AI:=", ai)
                    << WithNumber(u"AH:=", ah);
    }
    logs.detail << WithNumber(u"длина 2 sec бит ", payload.size());
    return WrapSection(payload, kPanelEntranceSection, kPanelEntranceVersion, &logs.result);
}

QStringList DecodeBvSection2(const QString& sectionText, int sepDevice, int* apartmentTotal) {
    QStringList lines{ConfigReadHeading(QStringLiteral("БВ    СЕКЦИЯ 2"))};
    qint64 total = 0;
    SectionReader r(sectionText);
    QString bits;
    if (r.TakeBits(sepDevice, bits)) lines << QStringLiteral("mask CPO: ") + ReverseStr(bits);
    if (r.TakeBits(1, bits)) lines << QStringLiteral("резервный бит : ") + bits;
    qint64 v = 0;
    while (r.Has(8)) {
        if (r.Has(16)) {
            r.Take(16, v);
            total += v;
            lines << WithNumber(u"FNUM:= ", v);
        }
        if (r.Take(8, v)) lines << WithNumber(u"AI:= ", v);
        if (r.Take(8, v)) lines << WithNumber(u"AH:= ", v);
    }
    if (apartmentTotal) *apartmentTotal = int(qMin<qint64>(total, std::numeric_limits<int>::max()));
    return lines;
}

BvEntranceGrid DecodeBvEntranceMask(const QString& sectionText, int sepDevice) {
    BvEntranceGrid g;
    const int s = qMax(sepDevice, 0);
    g.columns.resize(s);
    SectionReader r(sectionText);
    QString bits;
    if (r.TakeBits(s, bits)) {
        g.mpd = ReverseStr(bits);
        for (int c = 0; c < s; ++c) {
            const bool served = g.mpd.at(c) == QLatin1Char('1');
            g.columns[c].served = served ? QStringLiteral("1") : QStringLiteral("0");
            if (served) ++g.servedEntrances;
        }
    }
    if (r.TakeBits(1, bits)) {
        g.hasReserveBit = true;
        g.reserveBit = bits == QStringLiteral("1");
    }
    g.mpp = r.Rest();
    int c = -1;
    qint64 v = 0;
    while (r.Has(8)) {
        do ++c;
        while (c < s && g.columns[c].served != QStringLiteral("1"));
        if (c >= s) {
            // The grid has no column for them; reading on would run past it.
            g.warning = QStringLiteral(
                "В секции 2 блоков подъездов больше, чем подъездов в маске: лишние блоки не "
                "показаны.");
            break;
        }
        BvEntranceColumn& col = g.columns[c];
        if (r.Has(16)) {
            r.Take(16, v);
            g.apartmentTotal += int(v);
            col.count = num(v);
        }
        if (r.Take(8, v)) col.ai = num(v);
        if (r.Take(8, v)) col.ah = num(v);
    }
    return g;
}

bool EncodeBvEntranceMask(const BvEntranceGrid& grid, bool reserveBit, int sepDevice,
                          QString& section, QStringList* log, QString* error) {
    const int s = qMax(sepDevice, 0);
    const int columns = int(qMin<qsizetype>(grid.columns.size(), s));
    QString payload(s, QLatin1Char('0'));
    for (int c = 0; c < columns; ++c)
        if (grid.columns[c].served == QStringLiteral("1")) payload[s - 1 - c] = QLatin1Char('1');
    payload.prepend(BoolToBit(reserveBit));
    for (int c = 0; c < columns; ++c) {
        const BvEntranceColumn& col = grid.columns[c];
        if (col.served != QStringLiteral("1")) continue;
        qint64 count = 0, ai = 0, ah = 0;
        if (!cellValue(col.count, QStringLiteral("количество квартир"), c + 1, count, error) ||
            !cellValue(col.ai, QStringLiteral("AI"), c + 1, ai, error) ||
            !cellValue(col.ah, QStringLiteral("AH"), c + 1, ah, error))
            return false;
        if (count < 0 || count > kMaxCount) {
            if (error)
                *error = WithNumber(u"Подъезд ", c + 1) +
                         QStringLiteral(": количество квартир должно быть от 0 до 65535.");
            return false;
        }
        // An entrance without apartments keeps its bit and gets no block, as the write screen
        // writes it: a block of 0 apartments would be taken for the next entrance's.
        if (count == 0) continue;
        PrependField(payload, count, 16);
        PrependField(payload, belowOrZero(ai, kAiLimit), 8);
        PrependField(payload, belowOrZero(ah, kAhLimit), 8);
    }
    section = WrapSection(payload, kPanelEntranceSection, kPanelEntranceVersion, log);
    return true;
}
