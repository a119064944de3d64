#include "config/DayNightSection.h"

#include "config/ConfigImage.h"
#include "config/FieldFit.h"
#include "config/NumberText.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace {

constexpr int kDayNightSection = 5;
constexpr int kDayNightVersion = 1;
constexpr int kLayoutBits = 4;
constexpr int kTableSizeBits = 10;
constexpr int kWidthBits = 4;
constexpr int kMaxPairs = 255;  // the console counts its pairs in a byte
constexpr int kMaxRunWidth = 15;
constexpr int kTensBits = 8;
constexpr int kMinutesBits = 11;
constexpr qint64 kMaxMinutes = (qint64(1) << kMinutesBits) - 1;
constexpr qsizetype kToldRejections = 20;

enum Layout : int { kList = 0, kMask = 1 };

int binaryDigits(qint64 v) {
    return int(IntToBin(v).size());
}

struct TimePair {
    qint64 day = 0;
    qint64 night = 0;
    bool operator==(const TimePair&) const = default;
};

// A pair as one number, for lookups (times never exceed 11 bits).
qint64 pairKey(const TimePair& t) {
    return t.day << 16 | t.night;
}

struct TimeEntry {
    int position = 0;
    TimePair times;
};

// A time as the widest field takes it: minutes of a day, a value past it
// capped, not wrapped; told in logs when they are given.
qint64 fieldMinutes(qint64 minutes, const char* column, int entry, ConfigLogs* logs) {
    if (!logs) return qBound<qint64>(0, minutes, kMaxMinutes);
    const QString field = QString::fromLatin1(column) + WithNumber(u" (запись ", entry) +
                          QStringLiteral(" кодов вызова)");
    return FitField(*logs, field, minutes, kMinutesBits, FieldFit::Capped);
}

// The entries with times, from the mask and its three words per '1'.
QList<TimeEntry> timeEntries(const QString& mask, const QList<qint64>& words, ConfigLogs* logs) {
    QList<TimeEntry> entries;
    qsizetype w = 0;
    for (int i = 0; i < mask.size(); ++i) {
        if (mask.at(i) != QLatin1Char('1') || w + 1 >= words.size()) continue;
        entries << TimeEntry{i,
                             {fieldMinutes(words[w], "mtdy", i + 1, logs),
                              fieldMinutes(words[w + 1], "mtnt", i + 1, logs)}};
        w += 3;
    }
    return entries;
}

// Alternating run lengths, the first of entries with times (0 when the mask
// begins with an entry without).
QList<int> runLengths(const QString& mask) {
    QList<int> runs;
    bool withTimes = true;
    int length = 0;
    for (QChar c : mask) {
        if ((c == QLatin1Char('1')) == withTimes) {
            ++length;
            continue;
        }
        runs << length;
        withTimes = !withTimes;
        length = 1;
    }
    runs << length;
    return runs;
}

// ---- the writer's plan ----

struct Plan {
    int n = 0;    // entries of the mask
    int bpi = 0;  // width of an entry number
    QList<TimeEntry> entries;
    QList<int> runs;
    int runWidth = 0;
    qint64 runsSize = 0;
    int cut = -1;  // the last run before the list part, -1 for runs alone
    qint64 listSize = 0;
    int layout = kList;  // FM0
    QList<TimePair> table;
    QHash<qint64, int> tableIndex;  // by pairKey
    bool tableTens = true;
    bool explicitTens = true;
};

// The cheapest runs-then-list body, when one is below the list, the mask and
// the runs alone; p.runsSize and p.runWidth then describe it.
void planRunsThenList(Plan& p) {
    int prefixMax = 0;
    qint64 covered = 0;
    qsizetype firstAfter = 0;  // the first entry with times after the cut
    std::optional<qint64> best;
    int bestWidth = 0;
    for (int j = 0; j + 1 < p.runs.size(); ++j) {
        prefixMax = qMax(prefixMax, p.runs[j]);
        covered += p.runs[j];
        while (firstAfter < p.entries.size() && p.entries[firstAfter].position < covered)
            ++firstAfter;
        const int w = binaryDigits(prefixMax);
        if (covered == 0 || w < 2 || w > kMaxRunWidth) continue;
        const int terminators = j % 2 == 1 ? 2 : 3;  // zero runs closing the range part
        const qint64 size = qint64(w) * (j + 1 + terminators) +
                            qint64(p.bpi) * (p.entries.size() - firstAfter) + p.bpi;
        if (size < p.listSize && size < p.n && size < p.runsSize && (!best || size < *best)) {
            best = size;
            bestWidth = w;
            p.cut = j;
        }
    }
    if (!best) return;
    p.runsSize = *best;
    p.runWidth = bestWidth;
}

// The layout of the fewest bits, as FM0.
void planLayout(Plan& p) {
    p.listSize = qint64(p.bpi) * p.entries.size() + p.bpi;
    int longest = 0;
    for (int r : p.runs) longest = qMax(longest, r);
    p.runWidth = binaryDigits(longest);
    p.runsSize = qint64(p.runWidth) * p.runs.size();
    planRunsThenList(p);

    int layout = kList;
    if (p.runsSize < p.listSize) layout = p.runWidth;
    if (layout > kMaxRunWidth) layout = kMask;
    if (p.n < p.runsSize) layout = kMask;
    if (p.listSize < p.n) layout = kList;
    // The order above can keep a list that runs would undercut; the smallest wins.
    const bool runsUsable = p.runWidth >= 2 && p.runWidth <= kMaxRunWidth;
    qint64 smallest = qMin(p.listSize, qint64(p.n));
    if (runsUsable) smallest = qMin(smallest, p.runsSize);
    const qint64 chosen = layout == kList ? p.listSize : layout == kMask ? p.n : p.runsSize;
    if (chosen > smallest)
        layout = p.listSize == smallest ? kList : p.n == smallest ? kMask : p.runWidth;
    p.layout = layout;
}

// Pairs used more than once, most used first (first seen first among equals), at most 255.
void planTable(Plan& p) {
    QList<TimePair> pairs;
    QList<int> counts;
    QHash<qint64, qsizetype> seen;
    for (const TimeEntry& e : p.entries) {
        const auto found = seen.constFind(pairKey(e.times));
        if (found == seen.cend()) {
            seen.insert(pairKey(e.times), pairs.size());
            pairs << e.times;
            counts << 1;
        } else {
            ++counts[*found];
        }
    }
    QList<qsizetype> order;
    for (qsizetype i = 0; i < pairs.size(); ++i)
        if (counts[i] > 1) order << i;
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return counts[a] > counts[b]; });
    for (qsizetype i : order.first(qMin<qsizetype>(order.size(), kMaxPairs))) {
        p.tableIndex.insert(pairKey(pairs[i]), int(p.table.size()));
        p.table << pairs[i];
    }

    for (const TimeEntry& e : p.entries) {
        const bool inTable = p.tableIndex.contains(pairKey(e.times));
        bool& tens = inTable ? p.tableTens : p.explicitTens;
        if (e.times.day % 10 != 0 || e.times.night % 10 != 0) tens = false;
    }
}

// ---- the writer's bits ----

class PayloadWriter {
  public:
    explicit PayloadWriter(const Plan& p) : p_(p) {}

    void Field(qint64 value, int width) { PrependField(bits_, value, width); }
    void Value(qint64 minutes, bool tens) {
        Field(tens ? minutes / 10 : minutes, tens ? kTensBits : kMinutesBits);
    }

    void Header() {
        Field(p_.layout, kLayoutBits);
        Field(p_.tableTens ? 1 : 0, 1);
        Field(p_.explicitTens ? 1 : 0, 1);
        Field(p_.table.size(), kTableSizeBits);
        Field(p_.bpi, kWidthBits);
        Field(indexWidth(), kWidthBits);
        for (const TimePair& t : p_.table) {
            Value(t.day, p_.tableTens);
            Value(t.night, p_.tableTens);
        }
    }

    void Times(const TimePair& t) {
        const int index = p_.tableIndex.value(pairKey(t), -1);
        if (!p_.table.isEmpty()) Field(index < 0 ? 1 : 0, 1);
        if (index >= 0) {
            Field(index, indexWidth());
            return;
        }
        Value(t.day, p_.explicitTens);
        Value(t.night, p_.explicitTens);
    }

    void List(qsizetype fromEntry) {
        for (qsizetype i = fromEntry; i < p_.entries.size(); ++i) {
            Field(p_.entries[i].position, p_.bpi);
            Times(p_.entries[i].times);
        }
        bits_.prepend(EmptySlot(p_.bpi));
    }

    void Mask() {
        qsizetype e = 0;
        for (int i = 0; i < p_.n; ++i) {
            const bool has = e < p_.entries.size() && p_.entries[e].position == i;
            Field(has ? 1 : 0, 1);
            if (has) Times(p_.entries[e++].times);
        }
    }

    void Runs() {
        const int last = p_.cut >= 0 ? p_.cut : int(p_.runs.size()) - 1;
        qsizetype e = 0;
        for (int j = 0; j <= last; ++j) {
            Field(p_.runs[j], p_.runWidth);
            if (j % 2 == 1) continue;  // a run of entries without times
            for (int k = 0; k < p_.runs[j]; ++k) Times(p_.entries[e++].times);
        }
        if (p_.cut < 0) return;
        const int terminators = last % 2 == 1 ? 2 : 3;
        for (int k = 0; k < terminators; ++k) Field(0, p_.runWidth);
        List(e);
    }

    QString Text() const { return bits_; }

  private:
    int indexWidth() const { return binaryDigits(p_.table.size()); }

    const Plan& p_;
    QString bits_;
};

QString layoutLine(const Plan& p) {
    if (p.layout == kList) return QStringLiteral("- выбран список");
    if (p.layout == kMask) return QStringLiteral("- выбрана маска");
    return p.cut >= 0 ? QStringLiteral("- выбран диапазон + список")
                      : QStringLiteral("- выбран диапазон");
}

Plan makePlan(const QString& mask, const QList<qint64>& words, ConfigLogs* logs) {
    Plan p;
    p.n = int(mask.size());
    p.entries = timeEntries(mask, words, logs);
    if (p.entries.isEmpty()) return p;
    p.bpi = binaryDigits(p.n);
    // Runs of the entries that really have times (a '1' without its words has none).
    QString withTimes(mask.size(), QLatin1Char('0'));
    for (const TimeEntry& e : p.entries) withTimes[e.position] = QLatin1Char('1');
    p.runs = runLengths(withTimes);
    planTable(p);
    planLayout(p);
    return p;
}

void logPlan(const Plan& p, QStringList& detail) {
    int i = 0;
    for (const TimePair& t : p.table) {
        detail << WithNumber(u"i:=", i++) + WithNumber(u"Вариант ", t.day);
        detail << WithNumber(u"i:=", i++) + WithNumber(u"Вариант ", t.night);
    }
    detail << QStringLiteral("Размеры: ")
           << (p.cut >= 0 ? QStringLiteral("диапазон + список ") : QStringLiteral("диапазон ")) +
                  num(p.runsSize)
           << WithNumber(u"список ", qint64(p.bpi) * p.entries.size()) << WithNumber(u"маска ", p.n)
           << layoutLine(p);
}

// The payload; logs get the writer's lines and the capped times when they are given.
QString timesPayload(const QString& mask, const QList<qint64>& words, ConfigLogs* logs) {
    if (mask.size() >= kPoTimesMaxEntries) return QString();
    const Plan p = makePlan(mask, words, logs);
    if (p.entries.isEmpty()) return QString();
    if (logs) logPlan(p, logs->detail);
    PayloadWriter w(p);
    w.Header();
    if (p.layout == kList)
        w.List(0);
    else if (p.layout == kMask)
        w.Mask();
    else
        w.Runs();
    return w.Text();
}

// ---- the readers ----

struct TimesHeader {
    qint64 layout = 0;
    qint64 tableTens = 0;  // the second field: the table's unit flag, as the writers put it
    qint64 explicitTens = 0;
    qint64 pairs = 0;
    qint64 bpi = 0;
    qint64 bpv = 0;
};

// The walk's numbered lines, kept by each thread across walks: a damaged
// section gives thousands of them, mostly of small numbers.
struct WalkLines {
    NumberTexts pfx = NumberTexts::Lines(u"PFX:= ");
    NumberTexts day = NumberTexts::Lines(u": день ");
    NumberTexts night = NumberTexts::Lines(u": ночь ");
    NumberTexts first = NumberTexts::Lines(u"1:= ");
    NumberTexts firstSpaced = NumberTexts::Lines(u"1 := ");
    NumberTexts second = NumberTexts::Lines(u"2:= ");
    NumberTexts secondSpaced = NumberTexts::Lines(u"2 := ");
    NumberTexts entry = NumberTexts::Lines(u"kv N:= ");
    NumberTexts mask = NumberTexts::Lines(u"ms:= ");
    NumberTexts run = NumberTexts::Lines(u"Диапазон := ");

    static WalkLines& OfThread() {
        thread_local WalkLines lines;
        return lines;
    }
};

// One walk over a section, shared by the read screen and the editor: the read
// screen's lines (values as stored), and each entry's times in minutes.
class TimesWalk {
  public:
    // entries bounds the entry numbers taken; -1 takes any. Without lines
    // (the editor's decode) only the times and the rejections are kept.
    TimesWalk(const QString& sectionText, int entries, bool withLines)
        : r_(sectionText), entries_(entries), withLines_(withLines) {}

    void Run() {
        readHeader();
        if (h_.layout == kList)
            list(false);
        else if (h_.layout == kMask)
            mask();
        else
            runs();
        if (unlisted_ > 0) {
            const QString line =
                WithNumber(u"Пропущено ещё времён вне списка или таблицы: ", unlisted_);
            note([&] { return line; });
            rejected << line;
        }
    }

    QStringList lines;
    QStringList rejected;
    QList<TimeEntry> found;  // times in minutes

  private:
    // Padding in front of the payload: fewer than 8 bits, all zero. No
    // layout ends on such bits, so they are never read as entries.
    bool atPadding() const { return r_.Remaining() < 8 && !r_.Rest().contains(QLatin1Char('1')); }

    qint64 headerField(int width, const char* label) {
        qint64 v = 0;
        r_.Take(width, v);  // a field that does not fit reads as 0
        note([&] { return QString::fromLatin1(label) + num(v); });
        return v;
    }

    void readHeader() {
        h_.layout = headerField(kLayoutBits, "FM0:= ");
        h_.tableTens = headerField(1, "VRF:= ");
        h_.explicitTens = headerField(1, "VLF:= ");
        h_.pairs = headerField(kTableSizeBits, "VSZ:= ");
        h_.bpi = headerField(kWidthBits, "BPI:= ");
        h_.bpv = headerField(kWidthBits, "BPV:= ");
        const int width = valueWidth(h_.tableTens);
        for (qint64 i = 0; i < h_.pairs; ++i) {
            TimePair t;
            if (!r_.Take(width, t.day) || !r_.Take(width, t.night)) break;
            table_ << t;
        }
    }

    static int valueWidth(qint64 tens) { return tens ? kTensBits : kMinutesBits; }
    static qint64 minutes(qint64 value, qint64 tens) { return tens ? value * 10 : value; }

    // The times of the entry at position; false when the section ends inside them.
    bool times(int position, bool spaced) {
        TimePair t;
        qint64 pfx = 1;
        if (h_.pairs > 0) {
            if (!r_.Take(1, pfx)) return false;
            note([&] { return text_.pfx(pfx); });
        }
        if (pfx == 0) {
            qint64 index = 0;
            if (!r_.Take(int(h_.bpv), index)) return false;
            if (index >= table_.size()) {
                reject(u"Индекс таблицы ", index, u" вне таблицы из ", table_.size(),
                       u" пар, время пропущено.");
                return true;
            }
            t = table_[index];
            note([&] { return text_.day(t.day); });
            note([&] { return text_.night(t.night); });
            t = {minutes(t.day, h_.tableTens), minutes(t.night, h_.tableTens)};
        } else {
            const int width = valueWidth(h_.explicitTens);
            if (!r_.Take(width, t.day) || !r_.Take(width, t.night)) return false;
            note([&] { return (spaced ? text_.firstSpaced : text_.first)(t.day); });
            note([&] { return (spaced ? text_.secondSpaced : text_.second)(t.night); });
            t = {minutes(t.day, h_.explicitTens), minutes(t.night, h_.explicitTens)};
        }
        if (entries_ >= 0 && position >= entries_) {
            reject(u"Запись ", position, u" вне списка из ", entries_,
                   u" записей, время пропущено.");
            return true;
        }
        found << TimeEntry{position, t};
        return true;
    }

    // A rejection line, made in one piece. A damaged section may reject every
    // one of thousands of entries: past the first few only their number is
    // told, in one line at the end, so that a warning stays readable.
    void reject(QStringView what, qint64 number, QStringView outside, qint64 size,
                QStringView skipped) {
        if (rejected.size() >= kToldRejections) {
            ++unlisted_;
            return;
        }
        QString line;
        line.reserve(what.size() + outside.size() + skipped.size() + 40);
        line += what;
        AppendNumber(line, number);
        line += outside;
        AppendNumber(line, size);
        line += skipped;
        note([&] { return line; });
        rejected << line;
    }

    // A line of the read screen, made only when the walk keeps lines.
    template <class Make>
    void note(const Make& make) {
        if (withLines_) lines << make();
    }

    void list(bool afterRuns) {
        const int bpi = int(h_.bpi);
        const qint64 end = (qint64(1) << bpi) - 1;
        while (bpi > 0 && r_.Remaining() > bpi && !atPadding()) {
            qint64 n = 0;
            r_.Take(bpi, n);
            if (n == end) break;  // the list's end mark
            note([&] { return text_.entry(n); });
            if (!times(int(n), afterRuns)) break;
        }
        note([&] { return WithNumber(u"ln(so): ", r_.Remaining()); });
    }

    void mask() {
        for (int position = 0; r_.Remaining() > 1 && !atPadding(); ++position) {
            qint64 bit = 0;
            r_.Take(1, bit);
            note([&] { return text_.mask(bit); });
            if (bit == 1 && !times(position, true)) break;
        }
    }

    void runs() {
        const int w = int(h_.layout);
        int position = 0;
        bool withTimes = true;
        bool previousZero = false;
        while (r_.Remaining() > w && !atPadding()) {
            qint64 length = 0;
            r_.Take(w, length);
            note([&] { return text_.run(length); });
            if (withTimes) {
                for (qint64 k = 0; k < length; ++k)
                    if (!times(position + int(k), true)) return endRuns();
            }
            position += int(length);
            if (length == 0 && previousZero && !withTimes) return list(true);
            previousZero = length == 0;
            withTimes = !withTimes;
        }
        endRuns();
    }

    void endRuns() {
        note([&] { return WithNumber(u"ln(so): ", r_.Remaining()); });
    }

    SectionReader r_;
    WalkLines& text_ = WalkLines::OfThread();
    int entries_ = 0;
    bool withLines_ = true;
    TimesHeader h_;
    qint64 unlisted_ = 0;    // rejections past the ones told one by one
    QList<TimePair> table_;  // as stored: tens of minutes or minutes by the table's flag
};

QString wrapDayNightSection(QString& payload, QStringList* log) {
    return WrapSection(payload, kDayNightSection, kDayNightVersion, log);
}

}  // namespace

QString EncodePoSection5(const QString& poTimeMask, const QList<qint64>& poTimeWords,
                         ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("ППО сек 5"))
                << QStringLiteral("Переключения день-ночь:");
    if (poTimeMask.size() >= kPoTimesMaxEntries)
        logs.result << WithNumber(u"Записей в списке кодов вызова ", poTimeMask.size()) +
                           WithNumber(u", больше ", kPoTimesMaxEntries - 1) +
                           QStringLiteral(": времена переключения день-ночь не записаны.");
    QString payload = timesPayload(poTimeMask, poTimeWords, &logs);
    logs.detail << WithNumber(u"длина 5 sec ", payload.size());
    return wrapDayNightSection(payload, &logs.result);
}

QString EncodePoCodeTimes(const QString& poTimeMask, const QList<qint64>& poTimeWords,
                          QStringList* log) {
    QString payload = timesPayload(poTimeMask, poTimeWords, nullptr);
    return wrapDayNightSection(payload, log);
}

QStringList DecodePoSection5(const QString& sectionText, int entries) {
    TimesWalk walk(sectionText, entries > 0 ? entries : -1, true);
    walk.lines << ConfigReadHeading(QStringLiteral("ПО    СЕКЦИЯ 5"));
    walk.Run();
    return walk.lines;
}

namespace {

// PoTimeText of a time in minutes, made once per value and thread and shared
// after: a damaged section can give every one of thousands of entries times.
QString sharedTimeText(qint64 minutes) {
    thread_local NumberTexts times(PoTimeText);
    return times(minutes);
}

}  // namespace

QStringList DecodePoCodeTimes(const QString& sectionText, QList<CallCodeRecord>& records) {
    TimesWalk walk(sectionText, int(records.size()), false);
    walk.Run();
    for (const TimeEntry& e : walk.found) {
        records[e.position].dayTime = sharedTimeText(e.times.day);
        records[e.position].nightTime = sharedTimeText(e.times.night);
    }
    return walk.rejected;
}
