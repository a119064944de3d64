#include "config/PanelKeySections.h"

#include "config/ConfigFileBuilder.h"
#include "config/ConfigImage.h"
#include "config/EditorCell.h"
#include "config/FieldFit.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "config/SwitchSections.h"
#include "foundation/BitAndStr.h"

#include <QMap>
#include <QSet>

#include <algorithm>

namespace {

constexpr int kPanelKeyVersion = 1;
constexpr qint64 kEmptySlot = 0xFFFFFF;
constexpr int kKeyCountBits = 16;
constexpr int kByteBits = 8;
constexpr qint64 kMaxIndexWidth = 255;  // LBit is one byte

qint64 fileLimitBits() {
    return ConfigSizeLimitBits(kKindCallPanel);
}

QString nameLine(const PanelFileInput& in) {
    return DeviceAddrName(in.device.nNet, in.sepDevice) + QStringLiteral("  ") + in.device.nBv;
}

// Views, not copies: the lists may hold tens of thousands of blank rows.
bool isBlankCell(const QString& cell) {
    return cell.isEmpty() || QStringView(cell).trimmed().isEmpty();
}

bool isEmptyKeyCell(const QString& cell) {
    return !cell.isEmpty() &&
           QStringView(cell).trimmed().compare(EmptyKeyText(), Qt::CaseInsensitive) == 0;
}

QString badKeyText(const QString& key) {
    return QStringLiteral("Ключ \"") + key +
           QStringLiteral("\" не записан: номер ключа - от 1 до 6 шестнадцатеричных цифр.");
}

// The slots of one key section, bit 0 first. A section larger than a whole
// file may be makes the file stop at this section anyway; once the payload
// passes that size no more slots are added, so that a huge quota or count
// never builds a huge text first.
class KeySlots {
  public:
    KeySlots(int section, QStringList& log) : section_(section), log_(log) {}

    // False, with one line in the log, once the section has outgrown a file.
    bool Room() {
        if (bits_.Size() <= fileLimitBits()) return true;
        if (!stopped_)
            log_ << WithNumber(u"Слотов ключей больше, чем помещается в файл: секция ", section_) +
                        QStringLiteral(" не дописана.");
        stopped_ = true;
        return false;
    }
    void Bit(int b) { bits_.Add(b, 1); }
    void Slot(qint64 key) {
        bits_.Add(key, kKeySlotBits);
        ++count_;
    }
    void EmptySlot() {
        bits_.AddOnes(kKeySlotBits);
        ++count_;
    }
    // An empty slot of section 6: the index of no apartment, then the empty key.
    void EmptyIndexedSlot(int indexBits) {
        bits_.AddOnes(indexBits);
        EmptySlot();
    }
    qint64 Count() const { return count_; }
    QString Text() const { return bits_.Text(); }

  private:
    int section_;
    QStringList& log_;
    BitsLowFirst bits_;
    qint64 count_ = 0;
    bool stopped_ = false;
};

// The payload of a section with slots: the records above the header fields
// (count lowest).
QString withHeader(const QString& records, qint64 second, int secondBits, qint64 count) {
    return records + BitField(second, secondBits) + BitField(count, kKeyCountBits);
}

// ---- section 5 ----

// The two counts at the head of section 5 as they stand in the text; a count
// the section ends before is empty.
struct Section5Head {
    QStringView rSumBits;
    QStringView rMinBits;
};

Section5Head readSection5Head(SectionReader& r) {
    Section5Head head;
    if (r.TakeView(kKeyCountBits, head.rSumBits)) r.TakeView(kKeyCountBits, head.rMinBits);
    return head;
}

// Walks the apartment records after the head in order, never past the start
// of the text: apartment(withSlots) opens each record and slot(main, key)
// follows for each of its slots. Nothing is gathered on the way, so the read
// screen and the editor build their output in one pass. True when a slot or
// an end bit was missing.
template <typename OnApartment, typename OnSlot>
bool walkSection5(SectionReader& r, qint64 rMin, OnApartment apartment, OnSlot slot) {
    // Fewer than 8 bits left are the padding of the last byte.
    while (r.Has(kByteBits)) {
        qint64 start = 0, key = 0, next = 0;
        r.Take(1, start);
        const bool withSlots = start == 0;
        apartment(withSlots);
        if (!withSlots) continue;
        for (qint64 j = 0; j < rMin; ++j) {
            if (!r.Take(kKeySlotBits, key)) return true;
            slot(true, key);
        }
        for (;;) {
            if (!r.Take(1, next)) return true;
            if (next == 1) break;
            if (!r.Take(kKeySlotBits, key)) return true;
            slot(false, key);
        }
    }
    return false;
}

// "RSum: 0000000000000101 := 5": a count of the head, its bits and its value.
QString countLine(QStringView label, QStringView bits) {
    QString line;
    line.reserve(label.size() + bits.size() + 24);
    line += label;
    line += bits;
    line += u" := ";
    AppendNumber(line, BinToInt(bits));
    return line;
}

// The keys of the register a section leaves out, by reason.
struct LeftOutKeys {
    qint64 empty = 0;  // no code: the slot stays empty
    qint64 bad = 0;    // a code that is no key number (each is also logged)
};

// Keys of the register that can be written, in their order; the others are
// counted, and a bad one logged.
QList<qint64> writableKeys(const QStringList& keys, ConfigLogs& logs, LeftOutKeys& left) {
    QList<qint64> values;
    for (const QString& key : keys) {
        qint64 v = 0;
        if (isBlankCell(key)) {
            ++left.empty;
        } else if (KeySlotValue(key, v)) {
            values << v;
        } else {
            ++left.bad;
            logs.result << badKeyText(key);
        }
    }
    return values;
}

// The count of the keys a section left out, in the device's results: the
// engineer sees that the file holds fewer keys than the register.
void tellLeftOutKeys(ConfigLogs& logs, int section, const LeftOutKeys& left) {
    const auto tell = [&](qint64 count, const char* kind) {
        if (count > 0)
            TellInResults(
                logs, DeviceLine(logs, WithNumber(u"Не записано в секцию ", section) +
                                           QStringLiteral(" ключей ") + QString::fromUtf8(kind) +
                                           WithNumber(u": ", count) + QLatin1Char('.')));
    };
    tell(left.empty, "с пустым кодом");
    tell(left.bad, "с неверным кодом");
}

// One apartment record of section 5: keys, then empty main slots up to rMin,
// then empty extra slots up to n; false when the section has outgrown a file.
bool writeApartmentSlots(KeySlots& slotBits, const QList<qint64>& keys, qint64 rMin, qint64 n,
                         ConfigLogs& logs) {
    slotBits.Bit(0);
    qint64 k = 0;
    for (qint64 key : keys) {
        if (k >= rMin) slotBits.Bit(0);
        slotBits.Slot(key);
        logs.detail << KeySlotText(key);
        ++k;
    }
    for (; k < rMin; ++k) {
        if (!slotBits.Room()) return false;
        slotBits.EmptySlot();
    }
    for (; k < n; ++k) {
        if (!slotBits.Room()) return false;
        slotBits.Bit(0);
        slotBits.EmptySlot();
    }
    slotBits.Bit(1);
    return true;
}

// ---- section 7 ----

// The bv_key values of the apartment keys of the entrances wired with plus 1,
// which a gate panel does not repeat among its common keys.
QSet<qint64> wiredApartmentKeys(const PanelFileInput& in) {
    QSet<qint64> keys;
    for (const PanelEntranceRow& e : in.entrances) {
        if (e.plus != 1) continue;
        for (const PanelApartmentRow& a : e.apartments)
            for (const QString& key : a.keys) {
                qint64 v = 0;
                if (KeySlotValue(key, v)) keys.insert(v);
            }
    }
    return keys;
}

qint64 commonKeyQuota(const PanelFileInput& in) {
    qint64 q = 0;
    for (const PanelEntranceRow& e : in.entrances)
        if (e.plus == 1) q += e.oKey;
    for (const PanelLinkedEntranceRow& l : in.linkedEntrances) q += l.oKey;
    return q;
}

// ---- the editor ----

// The blank rows a grid shows after the rows its section held, for the slots
// the count announces: no more than a whole file could hold, however large a
// damaged count is.
qint64 blankRowsAfter(qsizetype held, qint64 announced) {
    return qMax<qint64>(0, qBound<qint64>(0, announced, fileLimitBits() / kKeySlotBits) - held);
}

// The head of sections 6 and 7: the slot count and the byte after it; false
// when the section ends before them.
bool readListHead(SectionReader& r, qint64& count, qint64& byte) {
    return r.Take(kKeyCountBits, count) && r.Take(kByteBits, byte);
}

// The apartment index of an editor cell: blank is 0 (no apartment); false
// for a cell that is not a whole number from 0 up to what a file could hold.
bool apartmentIndex(const QString& cell, qint64& index) {
    index = 0;
    const Cell kind = CellNumber(cell, index);
    return kind == Cell::Blank || (kind == Cell::Number && index >= 0 && index <= fileLimitBits());
}

QString unwrittenApartmentText(const QString& list, int row, const QString& cell) {
    return list + WithNumber(u", строка ", row) + QStringLiteral(": номер квартиры \"") + cell +
           QStringLiteral("\" не записан.");
}

// What the editor's section 5 holds of one apartment.
struct EditorApartment {
    qint64 rows = 0;     // its Keys5 rows, keys and empty slots
    QList<qint64> keys;  // Keys5 keys, then keys enrolled at the panel
};

// Keys5 rows by apartment index, blank rows passed over; bad cells are logged.
void collectKeys5(const Keys5List& keys5, QMap<qint64, EditorApartment>& apartments,
                  ConfigLogs& logs) {
    for (int r = 0; r < keys5.rows.size(); ++r) {
        const Keys5Row& row = keys5.rows[r];
        if (isBlankCell(row.apartment) || isBlankCell(row.key)) continue;
        qint64 index = 0, key = 0;
        if (!apartmentIndex(row.apartment, index) || index < 1) {
            logs.detail << unwrittenApartmentText(QStringLiteral("Keys5"), r + 1, row.apartment);
            continue;
        }
        if (!KeySlotValue(row.key, key)) {
            logs.detail << badKeyText(row.key);
            continue;
        }
        EditorApartment& a = apartments[index];
        ++a.rows;
        if (key != kEmptySlot) a.keys << key;
    }
}

// The keys enrolled at the panel for apartments 1 and up join those apartments.
void collectEnrolledKeys(const Keys6List& keys6, QMap<qint64, EditorApartment>& apartments,
                         ConfigLogs& logs) {
    for (int r = 0; r < keys6.rows.size(); ++r) {
        const Keys6Row& row = keys6.rows[r];
        if (isBlankCell(row.key) || isEmptyKeyCell(row.key)) continue;
        qint64 index = 0, key = 0;
        if (!apartmentIndex(row.apartment, index)) {
            logs.detail << unwrittenApartmentText(QStringLiteral("Keys6"), r + 1, row.apartment);
            continue;
        }
        if (!KeySlotValue(row.key, key)) {
            logs.detail << badKeyText(row.key);
            continue;
        }
        if (index >= 1) apartments[index].keys << key;
    }
}

// The number of rows of a list up to its last row whose key is used.
template <typename Rows, typename KeyOf>
qint64 lastUsedRow(const Rows& rows, KeyOf keyOf, bool blankIsUsed) {
    qint64 n = 0;
    for (qint64 r = 0; r < rows.size(); ++r) {
        const QString& key = keyOf(rows[r]);
        if (isEmptyKeyCell(key) || (!blankIsUsed && isBlankCell(key))) continue;
        n = r + 1;
    }
    return n;
}

}  // namespace

QString EmptyKeyText() {
    return QStringLiteral("FFFFFF");
}

QString MainSlotMark() {
    return QStringLiteral("осн.");
}

QString ExtraSlotMark() {
    return QStringLiteral("доп.");
}

QString Section5SlotsLabel() {
    return QStringLiteral("Cлотов ключей в 5 секции ");
}

bool KeySlotValue(const QString& key, qint64& value) {
    const QString k = key.trimmed();
    if (k.isEmpty() || k.size() > 6) return false;
    qint64 v = 0;
    for (QChar c : k) {
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (d < 0) return false;
        v = v * 16 + d;
    }
    value = v;
    return true;
}

namespace {

// The slot's 24 bits as six digits appended to a text; a negative value is all zeros.
void appendKeySlot(QString& text, qint64 value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const quint32 v = value < 0 ? 0 : quint32(value & 0xFFFFFF);
    const qsizetype at = text.size();
    text.resize(at + 6);
    QChar* out = text.data() + at;
    for (int shift = 20; shift >= 0; shift -= 4) *out++ = QLatin1Char(kDigits[(v >> shift) & 0xF]);
}

// A line of the read screen made in one piece: head, a number, middle, a key.
QString slotLine(QStringView head, qint64 n, QStringView middle, qint64 key) {
    QString line;
    line.reserve(head.size() + middle.size() + 26);
    line += head;
    AppendNumber(line, n);
    line += middle;
    appendKeySlot(line, key);
    return line;
}

// The same without a number: head and a key.
QString slotLine(QStringView head, qint64 key) {
    QString line;
    line.reserve(head.size() + 6);
    line += head;
    appendKeySlot(line, key);
    return line;
}

}  // namespace

QString KeySlotText(qint64 value) {
    // An empty slot is the commonest key of a file: its text is shared, not built.
    if (value == kEmptySlot) return EmptyKeyText();
    QString text;
    text.reserve(6);
    appendKeySlot(text, value);
    return text;
}

bool PanelWantsSpareSlots(const PanelFileInput& in) {
    return in.device.autoKeys || in.reserveSlots;
}

QString EncodeBvSection5(const PanelFileInput& in, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("бв сек 5")) << nameLine(in)
                << QStringLiteral("Поквартирные ключи:");
    const bool spare = PanelWantsSpareSlots(in);
    const qint64 rMin = qMax<qint64>(in.object.vKey, 0);
    KeySlots slotBits(5, logs.result);
    LeftOutKeys left;
    bool room = true;
    for (const PanelEntranceRow& e : in.entrances) {
        for (const PanelApartmentRow& a : e.apartments) {
            if (!room) break;
            const bool keeps = e.plus != 3;  // plus 3: the panel keeps no apartment keys
            const QList<qint64> keys = keeps ? writableKeys(a.keys, logs, left) : QList<qint64>();
            // Never fewer slots than keys: a key is written even when the counts lag behind.
            const qint64 n = keeps ? qMax<qint64>(spare ? a.xKey : a.yKey, keys.size()) : 0;
            if (n <= 0) {
                slotBits.Bit(1);
                continue;
            }
            room = writeApartmentSlots(slotBits, keys, rMin, qMax(n, rMin), logs);
        }
    }
    tellLeftOutKeys(logs, 5, left);
    const qint64 rSum = slotBits.Count();
    logs.result << Section5SlotsLabel() + num(rSum);
    QString payload;
    if (rSum > 0) {
        // A negative quota is taken as none; the file holds the count's low 16 bits.
        const qint64 minSlots =
            TellWritten(logs, QStringLiteral("v_key"), in.object.vKey, 0, 0xFFFF, rMin & 0xFFFF);
        payload = withHeader(slotBits.Text(), minSlots, kKeyCountBits, rSum);
    }
    logs.detail << WithNumber(u"количество слотов ключей ", rSum)
                << WithNumber(u"длина 5 sec ", payload.size());
    return WrapSection(payload, 5, kPanelKeyVersion, &logs.result);
}

QString EncodeBvSection6(const PanelFileInput& in, ConfigLogs& logs) {
    QString payload;
    if (!PanelWantsSpareSlots(in)) return WrapSection(payload, 6, kPanelKeyVersion, &logs.result);
    logs.detail << ConfigWriteHeading(QStringLiteral("бв сек 6")) << nameLine(in)
                << QStringLiteral("Дополнительные ключи:");
    qint64 r = 0, m = 0;
    for (const PanelEntranceRow& e : in.entrances) {
        const qint64 d = e.plus == 1 ? e.dKey : 0;
        if (d <= 0) continue;
        r += d;
        m += e.apartments.size();
        logs.detail << WithNumber(u"Максимальный индекс квартиры ", m);
    }
    const int lBit = int(IntToBin(m).size());
    logs.detail << WithNumber(u"Длина индекса кв. в битах := ", lBit);
    KeySlots slotBits(6, logs.result);
    for (qint64 i = 0; i < r && slotBits.Room(); ++i) slotBits.EmptyIndexedSlot(lBit);
    payload = withHeader(slotBits.Text(), lBit, kByteBits, r);
    if (r > 0)
        logs.detail << WithNumber(u"Резерв слотов под ключи ", r);
    else
        logs.result << QStringLiteral("Дополнительных слотов для ключей нет!");
    logs.detail << WithNumber(u"длина 6 sec бит ", payload.size());
    return WrapSection(payload, 6, kPanelKeyVersion, &logs.result);
}

QString EncodeBvSection7(const PanelFileInput& in, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("сбв сек 7")) << nameLine(in)
                << QStringLiteral("Общие ключи:");
    const bool gate = in.device.bvType == 1;
    const QSet<qint64> apartmentKeys = gate ? wiredApartmentKeys(in) : QSet<qint64>();
    KeySlots slotBits(7, logs.result);
    LeftOutKeys left;
    auto addKeys = [&](const QStringList& keys) {
        for (qint64 key : writableKeys(keys, logs, left)) {
            if (gate && apartmentKeys.contains(key)) continue;
            slotBits.Slot(key);
            logs.detail << KeySlotText(key);
        }
    };
    for (const PanelEntranceRow& e : in.entrances)
        if (e.plus == 1) addKeys(e.commonKeys);
    for (const PanelLinkedEntranceRow& l : in.linkedEntrances) addKeys(l.keys);
    if (gate) {
        logs.detail << QStringLiteral("Калиточные ключи:");
        addKeys(in.gateKeys);
    }
    tellLeftOutKeys(logs, 7, left);
    const qint64 written = slotBits.Count();
    logs.detail << WithNumber(u"Внесено ключей ", written);
    if (PanelWantsSpareSlots(in)) {
        const qint64 quota = commonKeyQuota(in);
        logs.detail << WithNumber(u"Резерв слотов под ключи ", quota - written);
        while (slotBits.Count() < quota && slotBits.Room()) slotBits.EmptySlot();
    }
    const qint64 aSum = slotBits.Count();
    QString payload;
    if (aSum > 0) {
        const qint64 reserve =
            TellWritten(logs, QStringLiteral("rsrv"), in.device.rsrv, 0, 255,
                        in.device.rsrv >= 1 && in.device.rsrv <= 255 ? in.device.rsrv : 0);
        logs.detail << WithNumber(u"Резервный байт ", reserve);
        payload = withHeader(slotBits.Text(), reserve, kByteBits, aSum);
    } else {
        logs.result << QStringLiteral("Общих слотов для ключей нет!");
    }
    logs.detail << WithNumber(u"длина 7 sec бит ", payload.size());
    return WrapSection(payload, 7, kPanelKeyVersion, &logs.result);
}

QStringList DecodeBvSection5(const QString& sectionText) {
    QStringList lines{ConfigReadHeading(QStringLiteral("БВ    СЕКЦИЯ 5")),
                      QStringLiteral(" БВ    СЕКЦИЯ 5")};
    SectionReader r(sectionText);
    const Section5Head head = readSection5Head(r);
    if (head.rSumBits.isEmpty()) return lines;
    qint64 rSum = BinToInt(head.rSumBits);
    lines << countLine(u"RSum: ", head.rSumBits);
    if (!head.rMinBits.isEmpty()) {
        lines << countLine(u"RMin: ", head.rMinBits);
        lines.reserve(lines.size() + r.Remaining() / kKeySlotBits + 2);
        // An apartment without slots is a bit of the section: its line is always the same.
        const QString skipped = QStringLiteral("пропущено 1 квартир ");
        int j = 0;
        const bool cut = walkSection5(
            r, BinToInt(head.rMinBits),
            [&](bool withSlots) {
                if (!withSlots) lines << skipped;
                j = 0;
            },
            [&](bool main, qint64 key) {
                lines << (main ? slotLine(u" основной slot", ++j, u": ", key)
                               : slotLine(u"dop slot: ", key));
                --rSum;
            });
        if (cut) lines << ConfigShortSectionText();
    }
    lines << WithNumber(u"осталось слотов RSum: ", rSum);
    return lines;
}

QStringList DecodeBvSection6(const QString& sectionText) {
    QStringList lines{ConfigReadHeading(QStringLiteral("БВ    СЕКЦИЯ 6"))};
    SectionReader r(sectionText);
    qint64 rSum = 0, lBit = 0, index = 0, key = 0;
    if (r.Take(kKeyCountBits, rSum)) lines << WithNumber(u"RSum:= ", rSum);
    if (!r.Take(kByteBits, lBit)) return lines;
    lines << WithNumber(u"LBit:= ", lBit);
    lines.reserve(lines.size() + r.Remaining() / (lBit + kKeySlotBits));
    for (int slot = 1; r.Take(int(lBit), index) && r.Take(kKeySlotBits, key); ++slot) {
        QString line = slotLine(u"id kv:= ", index, u" slot:= ", key);
        line += QLatin1Char(' ');
        AppendNumber(line, slot);
        lines << line;
    }
    return lines;
}

QStringList DecodeBvSection7(const QString& sectionText) {
    QStringList lines{ConfigReadHeading(QStringLiteral("БВ    СЕКЦИЯ 7"))};
    SectionReader r(sectionText);
    qint64 aSum = 0, reserve = 0, key = 0;
    if (r.Take(kKeyCountBits, aSum)) lines << WithNumber(u"ASum:= ", aSum);
    if (r.Take(kByteBits, reserve)) lines << WithNumber(u"резерв: ", reserve);
    lines.reserve(lines.size() + r.Remaining() / kKeySlotBits);
    for (int slot = 1; r.Take(kKeySlotBits, key); ++slot)
        lines << slotLine(u"", slot, u" слот:= ", key);
    return lines;
}

Keys5List DecodeBvKeys5(const QString& sectionText) {
    Keys5List list;
    SectionReader r(sectionText);
    const Section5Head head = readSection5Head(r);
    list.kolSl5 = BinToInt(head.rSumBits);
    list.minSl = BinToInt(head.rMinBits);
    // Every slot takes 24 bits at least, which bounds the rows the section holds.
    list.rows.reserve(r.Remaining() / kKeySlotBits);
    if (!head.rMinBits.isEmpty()) {
        qint64 a = 0;
        QString apartment;  // one text shared by the apartment's rows
        walkSection5(
            r, list.minSl,
            [&](bool) {
                ++a;
                apartment.clear();
            },
            [&](bool main, qint64 key) {
                if (apartment.isNull()) apartment = num(a);
                // Filled in place: no row is built to be moved into the list.
                Keys5Row& row = list.rows.emplaceBack();
                row.apartment = apartment;
                row.key = KeySlotText(key);
                row.kind = main ? MainSlotMark() : ExtraSlotMark();
            });
    }
    const qint64 left = list.kolSl5 - list.rows.size();
    list.blankRows = blankRowsAfter(list.rows.size(), list.kolSl5);
    if (left >= 1) list.unplaced = WithNumber(u"осталось слотов RSum: ", left);
    return list;
}

Keys6List DecodeBvKeys6(const QString& sectionText) {
    Keys6List list;
    SectionReader r(sectionText);
    const bool head = readListHead(r, list.kolSl6, list.bitSl);
    const int indexBits = int(list.bitSl);
    if (head) list.rows.reserve(r.Remaining() / (indexBits + kKeySlotBits));
    QStringView index;
    qint64 key = 0;
    while (head && r.TakeView(indexBits, index) && r.Take(kKeySlotBits, key)) {
        // Shown from 1; all ones stores no apartment.
        const bool noApartment =
            std::all_of(index.begin(), index.end(), [](QChar c) { return c == QLatin1Char('1'); });
        Keys6Row& row = list.rows.emplaceBack();
        row.apartment =
            noApartment ? QStringLiteral("0") : QString::number(quint64(BinToInt(index)) + 1);
        row.key = KeySlotText(key);
    }
    list.blankRows = blankRowsAfter(list.rows.size(), list.kolSl6);
    return list;
}

Keys7List DecodeBvKeys7(const QString& sectionText) {
    Keys7List list;
    SectionReader r(sectionText);
    const bool head = readListHead(r, list.kolSl7, list.reservKey);
    if (head) list.keys.reserve(r.Remaining() / kKeySlotBits);
    qint64 key = 0;
    while (head && r.Take(kKeySlotBits, key)) list.keys.append(KeySlotText(key));
    list.blankRows = blankRowsAfter(list.keys.size(), list.kolSl7);
    return list;
}

QString EncodeBvKeys5(const Keys5List& keys5, const Keys6List& keys6, ConfigLogs& logs) {
    QMap<qint64, EditorApartment> apartments;
    collectKeys5(keys5, apartments, logs);
    collectEnrolledKeys(keys6, apartments, logs);
    const qint64 minSl = qMax<qint64>(keys5.minSl, 0);
    // Apartments after the last one listed are not written: the section ends
    // with the last apartment that has a row.
    const qint64 last = apartments.isEmpty() ? 0 : apartments.lastKey();
    KeySlots slotBits(5, logs.result);
    for (qint64 a = 1; a <= last && slotBits.Room(); ++a) {
        const EditorApartment apartment = apartments.value(a);
        qint64 total = qMax<qint64>(apartment.rows, apartment.keys.size());
        if (total == 0) {
            slotBits.Bit(1);
            continue;
        }
        total = qMax(total, minSl);
        slotBits.Bit(0);
        for (qint64 s = 0; s < total && slotBits.Room(); ++s) {
            if (s >= minSl) slotBits.Bit(0);
            slotBits.Slot(s < apartment.keys.size() ? apartment.keys[s] : kEmptySlot);
        }
        slotBits.Bit(1);
    }
    const qint64 rSum = slotBits.Count();
    logs.detail << Section5SlotsLabel() + num(rSum);
    QString payload =
        rSum > 0 ? withHeader(slotBits.Text(), minSl, kKeyCountBits, rSum) : QString();
    logs.detail << WithNumber(u"длина 5 sec ", payload.size());
    return WrapSection(payload, 5, kPanelKeyVersion, &logs.result);
}

QString EncodeBvKeys6(const Keys6List& keys6, ConfigLogs& logs, QStringList& leftoverKeys) {
    leftoverKeys.clear();
    const qint64 n =
        qMax(lastUsedRow(
                 keys6.rows, [](const Keys6Row& r) -> const QString& { return r.key; }, true),
             keys6.kolSl6);
    const int indexBits = int(qBound<qint64>(0, keys6.bitSl, kMaxIndexWidth));
    KeySlots slotBits(6, logs.result);
    for (qint64 i = 0; i < n && slotBits.Room(); ++i) slotBits.EmptyIndexedSlot(indexBits);
    // The count and the index width stand even when there are no slots.
    QString payload = withHeader(slotBits.Text(), indexBits, kByteBits, n);
    // Keys without an apartment leave for section 7; the others went into section 5.
    for (qint64 r = 0; r < n && r < keys6.rows.size(); ++r) {
        const Keys6Row& row = keys6.rows[r];
        qint64 index = 0, key = 0;
        if (isEmptyKeyCell(row.key) || !KeySlotValue(row.key, key)) continue;
        if (apartmentIndex(row.apartment, index) && index < 1) leftoverKeys << KeySlotText(key);
    }
    return WrapSection(payload, 6, kPanelKeyVersion, &logs.result);
}

QString EncodeBvKeys7(const Keys7List& keys7, const QStringList& leftoverKeys, ConfigLogs& logs) {
    KeySlots slotBits(7, logs.result);
    qint64 key = 0;
    for (const QString& k : leftoverKeys)
        if (KeySlotValue(k, key)) slotBits.Slot(key);
    const qint64 n =
        qMax(lastUsedRow(
                 keys7.keys, [](const QString& k) -> const QString& { return k; }, false),
             keys7.kolSl7);
    // A row past the grid is an empty slot; the grid's blank rows add nothing.
    const qint64 held = keys7.keys.size();
    const qint64 gridRows = held + qMax<qint64>(keys7.blankRows, 0);
    qint64 empty = 0;
    for (qint64 r = 0; r < n; ++r) {
        if (r >= gridRows || (r < held && isEmptyKeyCell(keys7.keys[r]))) {
            ++empty;
        } else if (r >= held || isBlankCell(keys7.keys[r])) {
            continue;
        } else if (KeySlotValue(keys7.keys[r], key)) {
            slotBits.Slot(key);
        } else {
            logs.detail << badKeyText(keys7.keys[r]);
        }
    }
    // The empty slots go last, above every key.
    for (qint64 i = 0; i < empty && slotBits.Room(); ++i) slotBits.EmptySlot();
    QString payload;
    if (slotBits.Count() > 0)
        payload = withHeader(slotBits.Text(), qMax<qint64>(keys7.reservKey, 0), kByteBits,
                             slotBits.Count());
    logs.detail << WithNumber(u"длина 7 sec бит ", payload.size());
    return WrapSection(payload, 7, kPanelKeyVersion, &logs.result);
}
