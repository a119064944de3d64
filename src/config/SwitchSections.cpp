#include "config/SwitchSections.h"

#include "config/ConfigImage.h"
#include "config/EditorCell.h"
#include "config/FieldFit.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"
#include "foundation/CountLimits.h"

#include <vector>

namespace {

constexpr int kSwitchSectionVersion = 1;
constexpr int kRangesVersion = 2;    // the only version whose section 5 carries ranges
constexpr qint64 kPanelOffset = 64;  // a panel is shown as its network number − 64
constexpr qint64 kPauseLength = 7;

template <typename Pick>
QString apartmentMask(const QList<SwitchApartmentRow>& rows, Pick pick) {
    QString mask;
    mask.reserve(rows.size());
    for (const SwitchApartmentRow& row : rows)
        mask.append(pick(row) ? QLatin1Char('1') : QLatin1Char('0'));
    return mask;
}

// The rest of a section as a mask, apartment 1 first.
QString restAsMask(const SectionReader& r) {
    return ReverseStr(r.Rest());
}

QString wrapSwitchSection(QString& payload, int section, QStringList* log,
                          int version = kSwitchSectionVersion) {
    return WrapSection(payload, section, version, log);
}

// The read screen's lines: the section's heading, then what the parser logs.
template <typename Parse>
QStringList readScreenLines(const QString& title, const QString& sectionText, Parse parse) {
    QStringList lines{ConfigReadHeading(title)};
    parse(sectionText, &lines);
    return lines;
}

// ---- section 2 ----

// Walks the tract lists, handing each panel and each list end to the
// visitor, until the visitor has read all it needs.
template <typename Visit>
void walkTracts(const QString& sectionText, Visit visit) {
    SectionReader r(sectionText);
    int tract = 1;
    qint64 b = 0;
    while (r.Take(8, b)) {
        const bool end = b == kTractEnd;
        if (!visit(tract, b, end)) return;
        if (end) ++tract;
    }
}

// The read screen's line of one byte of a tract list, made in one piece.
QString tractLine(int tract, qint64 b) {
    QString line;
    line.reserve(24);
    line += QLatin1String(" tract ");
    AppendNumber(line, tract);
    line += QLatin1String(":= ");
    if (b == kTractEnd) {
        line += QLatin1String("$FF");
    } else {
        line += QStringView(u"БВ");
        AppendNumber(line, b - kPanelOffset, 2);
    }
    return line;
}

// The line of a byte of one of the tracts a switch has. Every such line
// (3,840 of them, some 300 KB) is made once for the program's life, so that
// a section is read without a text made for each of its bytes: a garbled
// one of thousands of bytes takes most of its lines from the table too.
const QString& switchTractLine(int tract, qint64 b) {
    constexpr int kByteValues = 256;
    static const std::vector<QString> lines = [] {
        std::vector<QString> made;
        made.reserve(kPkTractCount * kByteValues);
        for (int t = 1; t <= kPkTractCount; ++t)
            for (int v = 0; v < kByteValues; ++v) made.push_back(tractLine(t, v));
        return made;
    }();
    return lines[(tract - 1) * kByteValues + (b & 0xFF)];  // an 8-bit field
}

// ---- section 4 ----

// A note's column as its byte takes it, told when it does not fit.
qint64 noteByte(ConfigLogs& logs, const char* column, const MelodyRow& melody, qint64 note,
                qint64 stored) {
    const QString field = QString::fromLatin1(column) + QStringLiteral(" (мелодия \"") +
                          melody.name + WithNumber(u"\", нота ", note) + QLatin1Char(')');
    return FitField(logs, field, stored, 8, FieldFit::LowBitsOrZero);
}

// The count byte and notes of one melody, or an empty text when it has none
// or too many. The notes are logged as they are written.
QString melodyBits(const MelodyRow& melody, ConfigLogs& logs) {
    logs.detail << melody.name;
    QString notes;
    qint64 count = 0;
    qint64 last = 0;
    auto addNote = [&](qint64 leng, qint64 gerc) {
        PrependField(notes, noteByte(logs, "leng", melody, count + 1, leng), 8);
        logs.detail << WithNumber(u"длина :=", leng);
        PrependField(notes, noteByte(logs, "gerc", melody, count + 1, gerc), 8);
        logs.detail << WithNumber(u"нота :=", gerc);
        ++count;
    };
    for (const MelodyNoteRow& n : melody.notes) {
        addNote(n.leng, n.gerc);
        last = n.gerc;
    }
    if (last != 0) addNote(kPauseLength, 0);  // the melody must end on a pause
    if (count == 0) return QString();
    if (count > kMaxMelodyNotes) {
        // The count byte cannot hold it; the other melody is still written.
        logs.result << QStringLiteral("Мелодия \"") + melody.name + WithNumber(u"\": ", count) +
                           WithNumber(u" нот, больше ", kMaxMelodyNotes) +
                           QStringLiteral(". Мелодия не записана.");
        return QString();
    }
    logs.detail << WithNumber(u"количество нот:=", count);
    return notes + BitField(count, 8);
}

PkMelodies parseMelodies(const QString& sectionText, QStringList* lines) {
    PkMelodies d;
    SectionReader r(sectionText);
    for (QList<MelodyNoteRow>* list : {&d.call, &d.ringBack}) {
        qint64 count = 0;
        if (!r.Take(8, count)) break;
        ++d.present;
        if (lines) *lines << WithNumber(u"Количество нот ", count);
        for (qint64 i = 0; i < count; ++i) {
            MelodyNoteRow n;
            if (!r.Take(8, n.leng) || !r.Take(8, n.gerc)) {
                d.error = ConfigShortSectionText();
                if (lines) *lines << d.error;
                return d;
            }
            list->append(n);
            if (lines) *lines << WithNumber(u"Долгота ", n.leng) << WithNumber(u"Высота  ", n.gerc);
        }
    }
    return d;
}

// The editor's notes of one melody with their count in front of the payload so far.
bool melodyCellBits(const QList<MelodyCells>& rows, const QString& title, QString& bits,
                    QString* error) {
    QString notes;
    qint64 count = 0;
    for (const MelodyCells& row : rows) {
        if (!IsMelodyNoteRow(row)) continue;
        qint64 leng = 0, gerc = 0;
        const Cell a = CellNumber(row.leng, leng);
        const Cell b = CellNumber(row.gerc, gerc);
        if (a == Cell::Bad || b == Cell::Bad || leng < 0 || leng > CountLimits::kMaxNoteValue ||
            gerc < 0 || gerc > CountLimits::kMaxNoteValue) {
            if (error)
                *error = title + QStringLiteral(": длительность и нота - числа от 0 до 255 (") +
                         row.leng + QStringLiteral(", ") + row.gerc + QStringLiteral(").");
            return false;
        }
        PrependField(notes, leng, 8);
        PrependField(notes, gerc, 8);
        ++count;
    }
    if (count > kMaxMelodyNotes) {
        if (error) *error = MelodyTooLongText(title);
        return false;
    }
    bits = notes + BitField(count, 8) + bits;
    return true;
}

bool isBlankNumberCell(const QString& cell) {
    qint64 ignored = 0;
    return CellNumber(cell, ignored) == Cell::Blank;
}

// ---- section 6 ----

PkBlocking parseBlocking(const QString& sectionText, QStringList* lines) {
    PkBlocking d;
    SectionReader r(sectionText);
    struct Field {
        qint64* out;
        int width;
        const char* label;
    };
    const Field fields[] = {{&d.pto, 8, "PTO:= "},
                            {&d.edge, 4, "Edge:= "},
                            {&d.reserve, 4, "Резерв:= "},
                            {&d.edt, 8, "EDT:= "},
                            {&d.det, 8, "DET:= "}};
    for (const Field& f : fields) {
        if (!r.Take(f.width, *f.out)) break;
        if (lines) *lines << QString::fromUtf8(f.label) + num(*f.out);
    }
    d.mask = restAsMask(r);
    if (lines) *lines << QStringLiteral("Маска  - ") + d.mask;
    return d;
}

// ---- section 7 ----

PkVideo parseVideo(const QString& sectionText, QStringList* lines) {
    PkVideo d;
    SectionReader r(sectionText);
    qint64 b = 0;
    if (!r.Take(8, b)) return d;
    d.input = b < 255 ? b + 1 : 255;
    if (lines) *lines << WithNumber(u"NUL:= ", d.input);
    if (r.Has(8)) {
        d.mask = restAsMask(r);
        if (lines) *lines << QStringLiteral(" mask:= ") + d.mask;
    }
    return d;
}

}  // namespace

QString ConfigShortSectionText() {
    return QStringLiteral("Секция обрывается: данных меньше, чем указано в ней.");
}

// ---- section 2 ----

QString EncodePkSection2(const QList<QList<int>>& tractPanels, int sepDevice, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("КМ сек 2"))
                << QStringLiteral("Список устройств, подключенных к трактам :");
    QString payload;
    for (int t = 1; t <= kPkTractCount; ++t) {
        for (int nNet : tractPanels.value(t - 1)) {
            if (nNet < 0 || nNet >= kTractEnd) {
                // Such a byte would end the tract list or be another panel's number.
                logs.result << WithNumber(u"БВ с сетевым номером ", nNet) +
                                   WithNumber(u" не записан в тракт ", t) +
                                   QStringLiteral(": номер вне 0..254.");
                continue;
            }
            PrependField(payload, nNet, 8);
            logs.detail << WithNumber(u"тракт", t) + WithNumber(u":= БВ ", nNet - sepDevice - 1);
        }
        PrependField(payload, kTractEnd, 8);
    }
    logs.detail << WithNumber(u"длина 2 sec бит ", payload.size());
    return wrapSwitchSection(payload, 2, &logs.result);
}

QStringList DecodePkSection2(const QString& sectionText) {
    QStringList lines{ConfigReadHeading(QStringLiteral("КМ    СЕКЦИЯ 2"))};
    lines.reserve(1 + sectionText.size() / 8);
    walkTracts(sectionText, [&](int tract, qint64 b, bool) {
        if (tract <= kPkTractCount)
            lines << switchTractLine(tract, b);
        else
            lines << tractLine(tract, b);
        return true;
    });
    return lines;
}

PkTractGrid DecodePkTract(const QString& sectionText) {
    PkTractGrid grid;
    int column = 0;
    bool tooManyTracts = false;
    int crowdedTract = 0;
    walkTracts(sectionText, [&](int tract, qint64 b, bool end) {
        if (end) {
            column = 0;
            return true;
        }
        if (tract > kPkTractCount) {
            tooManyTracts = true;
            return false;  // the grid and its warnings are complete
        }
        if (column >= kPkTractGridColumns) {
            if (crowdedTract != tract)
                grid.warnings << WithNumber(u"Тракт ", tract) +
                                     WithNumber(u": блоков вызова больше ", kPkTractGridColumns) +
                                     QStringLiteral(", лишние не показаны.");
            crowdedTract = tract;
        } else {
            grid.cells[tract - 1][column] = num(b - kPanelOffset);
        }
        ++column;
        return true;
    });
    if (tooManyTracts)
        grid.warnings << WithNumber(u"В секции больше ", kPkTractCount) +
                             QStringLiteral(" трактов, лишние не показаны.");
    return grid;
}

bool EncodePkTract(const PkTractGrid& grid, int sepDevice, QString& section, QStringList* log,
                   QString* error) {
    QString payload;
    for (int t = 0; t < kPkTractCount; ++t) {
        for (const QString& cell : grid.cells[t]) {
            qint64 shownNo = 0;
            const Cell kind = CellNumber(cell, shownNo);
            if (kind == Cell::Blank) continue;
            const qint64 nNet = shownNo + sepDevice + 1;
            if (kind == Cell::Bad || nNet < 0 || nNet >= kTractEnd) {
                if (error)
                    *error = WithNumber(u"Тракт ", t + 1) +
                             QStringLiteral(": неверный номер БВ \"") + cell +
                             QStringLiteral("\".");
                return false;
            }
            PrependField(payload, nNet, 8);
        }
        PrependField(payload, kTractEnd, 8);
    }
    section = wrapSwitchSection(payload, 2, log);
    return true;
}

// ---- section 3 ----

QString EncodePkSection3(const QList<SwitchApartmentRow>& rows, QString& videoMask,
                         ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("КМ сек 3"))
                << QStringLiteral("Маска трубок обратного вызова.");
    QString mask;
    videoMask.clear();
    if (rows.isEmpty()) {
        logs.result << QStringLiteral(
            "Нет списка квартир для записи маски трубок, обратного вызова!");
    } else {
        mask = MaskPayload(apartmentMask(rows, [](const SwitchApartmentRow& r) { return r.mObr; }));
        videoMask =
            MaskPayload(apartmentMask(rows, [](const SwitchApartmentRow& r) { return r.lVid; }));
    }
    logs.detail << WithNumber(u"длина маски:= ", mask.size())
                << WithNumber(u"длина 3 sec бит ", mask.size());
    return wrapSwitchSection(mask, 3, &logs.result);
}

QStringList DecodePkSection3(const QString& sectionText) {
    QStringList lines{ConfigReadHeading(QStringLiteral("КМ    СЕКЦИЯ 3"))};
    const SectionReader r(sectionText);
    if (r.Has(8)) lines << QStringLiteral(" mask:= ") + restAsMask(r);
    return lines;
}

QString DecodePkCallbackMask(const QString& sectionText) {
    const SectionReader r(sectionText);
    return r.Has(8) ? restAsMask(r) : QString();
}

QString EncodePkCallbackMask(const QString& callback, bool videoOn, const QString& video,
                             QString& videoMask, QStringList* log) {
    // The video grid has as many columns as the callback grid.
    videoMask = videoOn ? MaskPayload(video, callback.size()) : QString();
    QString payload = MaskPayload(callback);
    return wrapSwitchSection(payload, 3, log);
}

// ---- section 4 ----

QString EncodePkSection4(const std::optional<MelodyRow>& call,
                         const std::optional<MelodyRow>& ringBack, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("КМ сек 4"))
                << QStringLiteral("Описание мелодий:");
    QString payload;
    if (!call) {
        logs.result << QStringLiteral("Не определена мелодия вызова.");
    } else {
        QString first = melodyBits(*call, logs);
        if (!ringBack) logs.result << QStringLiteral("Не определена мелодия отзвонки.");
        const QString second = melodyBits(ringBack ? *ringBack : *call, logs);
        // Keep the ring-back melody in second place behind an empty call melody.
        if (first.isEmpty() && !second.isEmpty()) first = BitField(0, 8);
        payload = second + first;
    }
    logs.detail << WithNumber(u"длина 4 sec ", payload.size());
    return wrapSwitchSection(payload, 4, &logs.result);
}

QStringList DecodePkSection4(const QString& sectionText) {
    return readScreenLines(QStringLiteral("КМ    СЕКЦИЯ 4"), sectionText, parseMelodies);
}

PkMelodies DecodePkMelodies(const QString& sectionText) {
    return parseMelodies(sectionText, nullptr);
}

bool IsMelodyNoteRow(const MelodyCells& row) {
    return !isBlankNumberCell(row.leng) && !isBlankNumberCell(row.gerc);
}

QString MelodyTooLongText(const QString& title) {
    return title + WithNumber(u": больше ", kMaxMelodyNotes) + QStringLiteral(" нот.");
}

bool EncodePkMelodies(const QList<MelodyCells>& call, const QList<MelodyCells>& ringBack,
                      QString& section, QStringList* log, QString* error) {
    QString payload;
    if (!melodyCellBits(call, QStringLiteral("Мелодия вызова"), payload, error) ||
        !melodyCellBits(ringBack, QStringLiteral("Мелодия отзвонки"), payload, error))
        return false;
    section = wrapSwitchSection(payload, 4, log);
    return true;
}

// ---- section 5 ----

QString EncodePkSection5(ConfigLogs& logs) {
    logs.detail << WithNumber(u"длина 5 sec бит ", 0);
    QString payload;
    return wrapSwitchSection(payload, 5, &logs.result);
}

QStringList DecodePkSection5(const QString& sectionText) {
    QStringList lines{ConfigReadHeading(QStringLiteral("КМ    СЕКЦИЯ 5"))};
    SectionReader r(sectionText);
    QString bits;
    if (!r.TakeBits(8, bits)) return lines;
    const qint64 n = BinToInt(bits);
    lines << WithNumber(u" Количество байт диапазонов ", n) + QStringLiteral(":= ") + bits;
    const qint64 pairs = RoundDiv(n + 1, 2);
    for (qint64 p = 0; p < pairs; ++p) {
        for (const char* label : {" пустые  ", " занятые "}) {
            if (!r.TakeBits(8, bits)) {
                lines << ConfigShortSectionText();
                return lines;
            }
            lines << QString::fromUtf8(label) + bits;
        }
    }
    return lines;
}

PkHandsetRanges DecodePkHandsetRanges(const QString& sectionText) {
    PkHandsetRanges d;
    SectionReader r(sectionText);
    if (r.Version() != kRangesVersion) return d;
    d.enabled = true;
    qint64 count = 0;
    do {
        count = 0;
        if (r.Take(8, count) && count == 0) r.Take(12, count);  // 0: the long form follows
        if (count <= 0) break;
        PkHandsetRange range;
        range.count = count;
        qint64 mode = 0;
        if (r.Take(7, range.terminal) && r.Take(1, mode)) {
            range.mode = int(mode);
            r.Take(4, range.switchNo);
        }
        d.rows << range;
    } while (r.Remaining() > 8);
    return d;
}

QString EncodePkHandsetRanges(QStringList* log) {
    QString payload;
    return wrapSwitchSection(payload, 5, log, kRangesVersion);
}

// ---- section 6 ----

QString EncodePkSection6(const std::optional<PkParamSetRow>& set, const SwitchRow& sw,
                         const QList<SwitchApartmentRow>& rows, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("КМ сек 6"))
                << QStringLiteral("Блокирование трубок:");
    QString payload;
    if (set) {
        const qint64 pto = FitField(logs, QStringLiteral("t_po"), set->t_po, 8, FieldFit::LowBits);
        PrependField(payload, pto, 8);
        logs.detail << WithNumber(u"PTO wb:=", pto);
        qint64 e = set->edge & 0xFF;
        logs.detail << WithNumber(u"edge wb:=", e);
        if (sw.rsrv) {
            // The reserve goes into the high nibble: only its low four bits reach it.
            e = (e + (*sw.rsrv & 0x0F) * 16) & 0xFF;
            logs.detail << WithNumber(u"Резерв :=", *sw.rsrv);
        }
        PrependField(payload, e, 8);
        // Edge and the reserve share the byte, a nibble each.
        TellWritten(logs, QStringLiteral("edge"), set->edge, 0, 15, e & 0x0F);
        if (sw.rsrv) TellWritten(logs, QStringLiteral("rsrv"), *sw.rsrv, 0, 15, e >> 4);
        const qint64 edt = FitField(logs, QStringLiteral("t_ed"), set->t_ed, 8, FieldFit::LowBits);
        PrependField(payload, edt, 8);
        logs.detail << WithNumber(u"EDT wb:=", edt);
        const qint64 det = FitField(logs, QStringLiteral("t_de"), set->t_de, 8, FieldFit::LowBits);
        PrependField(payload, det, 8);
        logs.detail << WithNumber(u"DTE wb:=", det);
        if (rows.isEmpty())
            logs.result << QStringLiteral("Нет списка квартир для списка заблокированных трубок.");
        else
            payload.prepend(MaskPayload(
                apartmentMask(rows, [](const SwitchApartmentRow& r) { return r.mBlk; })));
    }
    logs.detail << WithNumber(u"длина 6 sec бит ", payload.size());
    return wrapSwitchSection(payload, 6, &logs.result);
}

QStringList DecodePkSection6(const QString& sectionText) {
    return readScreenLines(QStringLiteral("КМ    СЕКЦИЯ 6"), sectionText, parseBlocking);
}

PkBlocking DecodePkBlocking(const QString& sectionText) {
    return parseBlocking(sectionText, nullptr);
}

QString EncodePkBlocking(const PkBlocking& v, QStringList* log) {
    QString payload;
    PrependField(payload, v.pto, 8);
    const qint64 e = v.reserve > 0 ? v.reserve * 16 + v.edge : v.edge;
    PrependField(payload, e, 8);
    PrependField(payload, v.edt, 8);
    PrependField(payload, v.det, 8);
    payload.prepend(MaskPayload(v.mask));
    return wrapSwitchSection(payload, 6, log);
}

// ---- section 7 ----

QString EncodePkSection7(const SwitchRow& sw, const QString& videoMask, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("КМ сек 7"))
                << QStringLiteral("Маска трубок видеопросмотра.");
    QString payload;
    if (sw.nVid && *sw.nVid < 1) {
        logs.result << QStringLiteral(
            "Нет списка квартир для записи маски трубок, видеопросмотра.");
    } else if (sw.nVid) {
        logs.detail << WithNumber(u"длина маски:= ", videoMask.size())
                    << WithNumber(u"номер тракта:= ", *sw.nVid);
        // The video input goes last in the text: the first payload byte, before the mask.
        const qint64 input =
            FitField(logs, QStringLiteral("n_vid"), *sw.nVid, 8, FieldFit::LowBitsOrZero, 1);
        payload = videoMask + BitField(input, 8);
        logs.detail << WithNumber(u"длина 7 sec бит ", payload.size());
    }
    return wrapSwitchSection(payload, 7, &logs.result);
}

QStringList DecodePkSection7(const QString& sectionText) {
    return readScreenLines(QStringLiteral("КМ    СЕКЦИЯ 7"), sectionText, parseVideo);
}

PkVideo DecodePkVideo(const QString& sectionText) {
    return parseVideo(sectionText, nullptr);
}

QString EncodePkVideo(const QString& videoMask, int videoInput, QStringList* log) {
    QString payload;
    if (!videoMask.isEmpty() && videoInput > 0) payload = videoMask + BitField(videoInput - 1, 8);
    return wrapSwitchSection(payload, 7, log);
}
