#include "config/EditorValueChecks.h"

#include "config/EditorCell.h"
#include "config/NumberText.h"
#include "config/SwitchSections.h"
#include "devices/SecurityPost.h"
#include "platform/Cp1251.h"

namespace {

EditorCellFault fault(const QString& control, const QString& table, int column, int row,
                      const QString& text, const QString& need) {
    EditorCellFault f;
    f.control = control;
    f.column = column;
    f.row = row;
    f.message = QStringLiteral("Неверное значение \"") + text + QStringLiteral("\" в таблице \"") +
                table + QStringLiteral("\" (столбец ") + num(column) + QStringLiteral(", строка ") +
                num(row) + QStringLiteral("). ") + need;
    return f;
}

QString wholeNumber(qint64 lo, qint64 hi) {
    return QStringLiteral("Нужно целое число от ") + num(lo) + QStringLiteral(" до ") + num(hi) +
           QLatin1Char('.');
}

// A blank cell passes; any other must be a whole number in lo..hi.
bool numberCellOk(const QString& cell, qint64 lo, qint64 hi) {
    qint64 v = 0;
    const Cell c = CellNumber(cell, v);
    return c == Cell::Blank || (c == Cell::Number && v >= lo && v <= hi);
}

std::optional<EditorCellFault> checkTracts(const PkTractGrid& g, int sepDevice) {
    // A shown number n stands for the network number n + SepDevice + 1, a
    // byte other than the tract's end mark.
    const qint64 lo = -(sepDevice + 1), hi = kTractEnd - 1 - (sepDevice + 1);
    for (int t = 0; t < kPkTractCount; ++t)
        for (int c = 0; c < kPkTractGridColumns; ++c)
            if (!numberCellOk(g.cells[t][c], lo, hi))
                return fault(QStringLiteral("TractDev"), QStringLiteral("Блоки вызова по трактам"),
                             c + 1, t + 1, g.cells[t][c], wholeNumber(lo, hi));
    return std::nullopt;
}

// A melody grid: per row the duration (column 1) and the note (column 2).
using NoteCells = QList<std::pair<QString, QString>>;

std::optional<EditorCellFault> checkNotes(const NoteCells& rows, const char* control,
                                          const QString& table, qint64 max) {
    for (int i = 0; i < rows.size(); ++i) {
        const QString* cells[] = {&rows[i].first, &rows[i].second};
        for (int c = 0; c < 2; ++c)
            if (!numberCellOk(*cells[c], 0, max))
                return fault(QString::fromLatin1(control), table, c + 1, i + 1, *cells[c],
                             wholeNumber(0, max));
    }
    return std::nullopt;
}

// The row of the first note the file cannot hold, 0 when they all fit.
int firstNoteTooMany(const QList<MelodyCells>& rows) {
    int notes = 0;
    for (int i = 0; i < rows.size(); ++i)
        if (IsMelodyNoteRow(rows[i]) && ++notes > kMaxMelodyNotes) return i + 1;
    return 0;
}

std::optional<EditorCellFault> checkMelody(const QList<MelodyCells>& rows, const char* control,
                                           const QString& table) {
    NoteCells cells;
    for (const MelodyCells& r : rows) cells << std::pair{r.leng, r.gerc};
    if (auto f = checkNotes(cells, control, table, 255)) return f;
    const int row = firstNoteTooMany(rows);
    if (row == 0) return std::nullopt;
    EditorCellFault f;
    f.control = QString::fromLatin1(control);
    f.column = 1;
    f.row = row;
    f.message = MelodyTooLongText(table);
    return f;
}

std::optional<EditorCellFault> checkSwitch(const PkEditorValues& v, const ConfigScreenSettings& s) {
    if (auto f = checkTracts(v.tracts, s.sepDevice)) return f;
    if (auto f = checkMelody(v.callMelody, "MelVv", QStringLiteral("Мелодия вызова"))) return f;
    return checkMelody(v.ringBackMelody, "MelOt", QStringLiteral("Мелодия отзвонки"));
}

std::optional<EditorCellFault> checkConsoleMelody(const std::array<PoNoteCells, kPoNotes>& notes,
                                                  const char* control, const QString& table) {
    // A grid whose first duration is blank takes the default melody.
    if (notes[0].leng.trimmed().isEmpty()) return std::nullopt;
    NoteCells cells;
    for (const PoNoteCells& n : notes) cells << std::pair{n.leng, n.noot};
    return checkNotes(cells, control, table, 15);
}

// The entrance column (from 1) and the place in it (from 0) of a call-code
// record; column 0 when the record lies past every entrance.
std::pair<int, int> recordPlace(const QList<int>& counts, int record) {
    for (int c = 1; c <= counts.size(); ++c) {
        const int first = EntranceFirstRecord(counts, c);
        if (record < first + qMax(counts[c - 1], 0)) return {c, record - first};
    }
    return {0, record};
}

// The call-code records of the console or a panel: codes of at most five
// digits, and for the console day and night times as hh:mm.
std::optional<EditorCellFault> checkRecords(const QList<CallCodeRecord>& records,
                                            const QList<int>& counts, const char* control,
                                            bool withTimes) {
    for (int i = 0; i < records.size(); ++i) {
        const CallCodeRecord& r = records[i];
        qint64 v = 0;
        const QString code = r.code.trimmed();
        int row = 0;
        QString text, need;
        if (code.size() > 5 || !CallCodeValue(code, v)) {
            row = 1;
            text = r.code;
            need = QStringLiteral("Нужно число не длиннее 5 цифр.");
        } else if (withTimes && r.dayTime >= QStringLiteral(" ") &&
                   r.nightTime >= QStringLiteral(" ")) {
            qint64 minutes = 0;
            const bool dayOk = PoTimeMinutes(r.dayTime, minutes);
            if (dayOk && PoTimeMinutes(r.nightTime, minutes)) continue;
            row = dayOk ? 4 : 3;
            text = dayOk ? r.nightTime : r.dayTime;
            need = QStringLiteral("Нужно время чч:мм.");
        } else {
            continue;
        }
        const auto [entrance, place] = recordPlace(counts, i);
        QString table = QStringLiteral("Коды вызова");
        // Entrance column c stands for the entrance of switch c - 1.
        if (entrance > 0) table += QStringLiteral(", подъезд КМ ") + num(entrance - 1);
        EditorCellFault f = fault(QString::fromLatin1(control), table, place + 1, row, text, need);
        f.record = i;
        f.entrance = entrance;
        return f;
    }
    return std::nullopt;
}

std::optional<EditorCellFault> checkHandsets(const QList<PoHandsetCells>& entries) {
    const QString table = QStringLiteral("Индексы трубок");
    for (int i = 0; i < entries.size(); ++i) {
        if (!numberCellOk(entries[i].switchNo, 0, 63))
            return fault(QStringLiteral("SysAdr"), table, i + 1, 1, entries[i].switchNo,
                         wholeNumber(0, 63));
        if (!numberCellOk(entries[i].handset, 1, 1024))
            return fault(QStringLiteral("SysAdr"), table, i + 1, 2, entries[i].handset,
                         wholeNumber(1, 1024));
    }
    return std::nullopt;
}

// The slides in the order of PoParamValues::slidesAsRead, with their edits.
constexpr std::pair<QString PoParamValues::*, const char*> kSlideEdits[] = {
    {&PoParamValues::sobj1, "Sobj1"}, {&PoParamValues::sobj2, "Sobj2"},
    {&PoParamValues::sus1, "Sus1"},   {&PoParamValues::sus2, "Sus2"},
    {&PoParamValues::sus3, "Sus3"},   {&PoParamValues::sus4, "Sus4"}};

// An edited slide holds only what the file carries, as its line takes when
// typed: one the file was opened with may show marks of bytes it cannot take.
std::optional<EditorCellFault> checkSlides(const PoParamValues& p) {
    for (int i = 0; i < 6; ++i) {
        const QString& text = p.*kSlideEdits[i].first;
        if (p.slidesAsRead[i].Unedited(text)) continue;
        const QList<char32_t> refused = Cp1251UncarriedChars(text);
        if (refused.isEmpty()) continue;
        EditorCellFault f;
        f.control = QString::fromLatin1(kSlideEdits[i].second);
        f.message = SlideCharsRefusedText(refused);
        return f;
    }
    return std::nullopt;
}

std::optional<EditorCellFault> checkConsole(const PoEditorValues& v) {
    qint64 frmc = 0;
    if (CellNumber(v.params.frmc, frmc) != Cell::Number) {
        EditorCellFault f;
        f.control = QStringLiteral("E_Raz");
        f.message = QStringLiteral("Неверный код символа-разделителя \"") + v.params.frmc +
                    QStringLiteral("\". Нужно целое число.");
        return f;
    }
    if (auto f = checkConsoleMelody(v.params.visitor, "MelGs",
                                    QStringLiteral("Мелодия вызова посетителем")))
        return f;
    if (auto f = checkConsoleMelody(v.params.subscriber, "MelAb",
                                    QStringLiteral("Мелодия вызова абонентом")))
        return f;
    if (auto f = checkSlides(v.params)) return f;
    if (auto f = checkRecords(v.records, v.entrances.apartments, "KodVv", true)) return f;
    return checkHandsets(v.handsets.entries);
}

std::optional<EditorCellFault> checkOpenCodes(const BvParamsValues& p) {
    for (int i = 0; i < kBvOpenCodes; ++i) {
        QString field;
        if (BvOpenCodeField(p.Ocode[i], field)) continue;
        EditorCellFault f;
        f.control = QStringLiteral("Ocode");
        f.column = i % 5;
        f.row = i / 5;
        f.message = BvOpenCodeErrorText(i, p.Ocode[i]);
        return f;
    }
    return std::nullopt;
}

std::optional<EditorCellFault> checkEntrances(const BvEntranceGrid& g) {
    const QString table = QStringLiteral("Подъезды");
    for (int c = 0; c < g.columns.size(); ++c) {
        const BvEntranceColumn& col = g.columns[c];
        if (col.served.trimmed() != QLatin1String("1")) continue;
        const std::pair<int, const QString*> cells[] = {
            {2, &col.count}, {3, &col.ai}, {4, &col.ah}};
        for (const auto& [row, cell] : cells) {
            const qint64 max = row == 2 ? 0xFFFF : 0x7FFFFFFF;
            if (!numberCellOk(*cell, 0, max))
                return fault(QStringLiteral("MsPod"), table, c + 1, row, *cell,
                             wholeNumber(0, max));
        }
    }
    return std::nullopt;
}

// A key cell: blank, or one to six hexadecimal digits ("FFFFFF" an empty slot).
bool keyCellOk(const QString& cell) {
    qint64 key = 0;
    return cell.trimmed().isEmpty() || KeySlotValue(cell, key);
}

QString keyNeed() {
    return QStringLiteral("Нужен номер ключа: от 1 до 6 шестнадцатеричных цифр.");
}

std::optional<EditorCellFault> checkKeys(const BvEditorValues& v) {
    for (int r = 0; r < v.keys5.rows.size(); ++r) {
        const Keys5Row& row = v.keys5.rows[r];
        if (!numberCellOk(row.apartment, 1, 0x7FFFFFFF))
            return fault(QStringLiteral("Keys5"), QStringLiteral("Ключи 5 секции"), 1, r + 1,
                         row.apartment, wholeNumber(1, 0x7FFFFFFF));
        if (!keyCellOk(row.key))
            return fault(QStringLiteral("Keys5"), QStringLiteral("Ключи 5 секции"), 2, r + 1,
                         row.key, keyNeed());
    }
    for (int r = 0; r < v.keys6.rows.size(); ++r) {
        const Keys6Row& row = v.keys6.rows[r];
        if (!numberCellOk(row.apartment, 0, 0x7FFFFFFF))
            return fault(QStringLiteral("Keys6"), QStringLiteral("Ключи 6 секции"), 1, r + 1,
                         row.apartment, wholeNumber(0, 0x7FFFFFFF));
        if (!keyCellOk(row.key))
            return fault(QStringLiteral("Keys6"), QStringLiteral("Ключи 6 секции"), 2, r + 1,
                         row.key, keyNeed());
    }
    for (int r = 0; r < v.keys7.keys.size(); ++r)
        if (!keyCellOk(v.keys7.keys[r]))
            return fault(QStringLiteral("Keys7"), QStringLiteral("Ключи 7 секции"), 1, r + 1,
                         v.keys7.keys[r], keyNeed());
    return std::nullopt;
}

std::optional<EditorCellFault> checkPanel(const BvEditorValues& v) {
    if (auto f = checkOpenCodes(v.params)) return f;
    if (auto f = checkEntrances(v.entrances)) return f;
    if (auto f = checkRecords(v.records, PanelEntranceCounts(v.entrances), "KodBv", false))
        return f;
    return checkKeys(v);
}

}  // namespace

std::optional<EditorCellFault> CheckEditorValues(const EditorFile& f,
                                                 const ConfigScreenSettings& s) {
    switch (f.kind) {
        case kKindSwitch:
            return checkSwitch(f.pk, s);
        case kKindConsole:
            return checkConsole(f.po);
        case kKindCallPanel:
            return checkPanel(f.bv);
        default:
            return std::nullopt;
    }
}

QList<int> PanelEntranceCounts(const BvEntranceGrid& grid) {
    QList<int> counts;
    for (const BvEntranceColumn& c : grid.columns) {
        qint64 n = 0;
        const bool served = c.served.trimmed() == QLatin1String("1");
        counts << (served && CellNumber(c.count, n) == Cell::Number
                       ? int(qBound(qint64(0), n, qint64(0xFFFF)))
                       : 0);
    }
    return counts;
}

QList<std::pair<int, int>> TractCellsAtOrAbove(const PkTractGrid& grid, int maxDevice) {
    QList<std::pair<int, int>> cells;
    for (int t = 0; t < kPkTractCount; ++t)
        for (int c = 0; c < kPkTractGridColumns; ++c) {
            qint64 v = 0;
            if (CellNumber(grid.cells[t][c], v) == Cell::Number && v >= maxDevice)
                cells << std::pair{c + 1, t + 1};
        }
    return cells;
}
