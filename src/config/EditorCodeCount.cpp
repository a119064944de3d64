#include "config/EditorCodeCount.h"

#include "config/ConfigImage.h"
#include "config/EditorValueChecks.h"
#include "config/NumberText.h"

namespace {

constexpr qint64 kMaxEntranceCount = 0xFFFF;  // the 16-bit count of an entrance block

qint64 consoleAnnounced(const PoEntranceGrid& g, int sepDevice) {
    qint64 total = 0;
    const qsizetype columns = qMin<qsizetype>(g.switchMask.size(), qMax(sepDevice, 0));
    for (qsizetype c = 0; c < columns; ++c)
        if (g.switchMask.at(c) == QLatin1Char('1'))
            total += qBound(qint64(0), qint64(g.apartments.value(c)), kMaxEntranceCount);
    return total;
}

qint64 panelAnnounced(const BvEntranceGrid& g) {
    qint64 total = 0;
    for (int count : PanelEntranceCounts(g)) total += count;
    return total;
}

// The records and flag masks of the tab that carries call codes; null for a switch.
QList<CallCodeRecord>* codeRecords(EditorFile& f, const FlagSectionValues*& flags) {
    if (f.kind == kKindCallPanel) {
        flags = &f.bv.flags;
        return &f.bv.records;
    }
    if (f.kind == kKindConsole) {
        flags = &f.po.flags;
        return &f.po.records;
    }
    return nullptr;
}

}  // namespace

qint64 AnnouncedApartments(const EditorFile& f, const ConfigScreenSettings& s) {
    if (f.kind == kKindCallPanel) return panelAnnounced(f.bv.entrances);
    if (f.kind == kKindConsole) return consoleAnnounced(f.po.entrances, s.sepDevice);
    return 0;
}

QString MissingCodesWarning(const EditorFile& f, const ConfigScreenSettings& s) {
    if (f.kind != kKindCallPanel && f.kind != kKindConsole) return QString();
    const qint64 announced = AnnouncedApartments(f, s);
    const int read = f.kind == kKindCallPanel ? f.bv.codesRead : f.po.codesRead;
    if (read >= announced) return QString();
    return QStringLiteral("Секция 2 объявляет ") + num(announced) +
           QStringLiteral(" квартир, а в секции 3 кодов вызова ") + num(read) +
           (read == 0 ? QStringLiteral(": коды вызова всех квартир пусты.")
                      : QStringLiteral(": коды вызова остальных квартир пусты."));
}

CodeCountMatch MatchCodesToEntrances(EditorFile& f, const ConfigScreenSettings& s) {
    const FlagSectionValues* flags = nullptr;
    QList<CallCodeRecord>* records = codeRecords(f, flags);
    CodeCountMatch m;
    if (!records) return m;
    m.announced = AnnouncedApartments(f, s);
    m.records = records->size();
    if (m.announced == m.records) return m;
    if (m.announced < m.records) {
        records->resize(m.announced);
        m.result = CodeCountMatch::Cut;
        return m;
    }
    // The codes added are empty, and an empty code takes 17 bits in either
    // form: unpacked all codes do, and packed one repeating the code before
    // it is written whole. Refused before the records are made, since a
    // damaged section 2 may announce millions.
    if ((m.announced - m.records - 1) * kCallCodeBits > ConfigSizeLimitBits(f.kind)) {
        m.result = CodeCountMatch::TooLarge;
        return m;
    }
    CallCodeRecord blank;
    blank.flags = DefaultFlagGroup(flags->dataMask, flags->defaultMask);
    records->resize(m.announced, blank);
    m.result = CodeCountMatch::Padded;
    return m;
}

QString CodeCountMatch::Text() const {
    const QString head = QStringLiteral("Секция 2 объявляет ") + num(announced) +
                         QStringLiteral(" квартир, а кодов вызова ") + num(records);
    switch (result) {
        case Padded:
            return head + QStringLiteral(": недостающие коды вызова (") + num(announced - records) +
                   QStringLiteral(") записаны в файл пустыми.");
        case Cut:
            return head + QStringLiteral(": лишние коды вызова (") + num(records - announced) +
                   QStringLiteral(") не относятся ни к одному подъезду и в файл не записаны.");
        case TooLarge:
            return head + QStringLiteral(": коды стольких квартир не поместятся в файл.");
        default:
            return QString();
    }
}
