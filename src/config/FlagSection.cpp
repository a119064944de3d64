#include "config/FlagSection.h"

#include "config/ConfigImage.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"

#include <vector>

namespace {

constexpr int kSection = 4;
constexpr int kVersion = 1;

// Carried flags of a data mask as it stands in the section: the characters that are not '0'.
int carriedFlags(QStringView maskBits) {
    return int(maskBits.size() - maskBits.count(QLatin1Char('0')));
}

// Texts made from the groups of a section, kept by the group's value: a
// section of thousands of apartments holds few distinct narrow groups, and a
// text shared among them needs no allocation of its own. Wider groups, whose
// values rarely repeat, get a text each.
class GroupTexts {
  public:
    // Groups of width bits, given as they stand in the section or last character first.
    GroupTexts(int width, bool reversed)
        : reversed_(reversed), kept_(width <= kKeptWidth ? qsizetype(1) << width : 0) {}

    QString Text(QStringView bits) {
        if (bits.size() > kKeptWidth || !plain(bits)) return make(bits);
        const qint64 value = BinToInt(bits);
        if (value >= qint64(kept_.size())) return make(bits);
        QString& kept = kept_[value];
        // Plain bits of one width and one value are the same bits.
        if (kept.size() != bits.size()) kept = make(bits);
        return kept;
    }

  private:
    static constexpr int kKeptWidth = 10;

    QString make(QStringView bits) const { return reversed_ ? ReverseStr(bits) : bits.toString(); }
    // Only a text of '0' and '1' alone has one value for one text.
    static bool plain(QStringView bits) {
        return bits.count(QLatin1Char('0')) + bits.count(QLatin1Char('1')) == bits.size();
    }

    bool reversed_;
    std::vector<QString> kept_;
};

}  // namespace

QString FlagSelectionDataMask(const QString& selection) {
    return selection.left(kFlagCount);
}

QString FlagSelectionDefaults(const QString& selection) {
    return selection.mid(kFlagCount, kFlagCount);
}

QString FlagSectionPayload(const QString& dataMask, const QString& defaultMask,
                           const QString& groups) {
    return groups + MaskPayload(defaultMask, kFlagCount) + MaskPayload(dataMask, kFlagCount);
}

QString EncodeFlagSection(const QString& selection, const QString& groups,
                          const QString& groupsLengthLine, ConfigLogs& logs) {
    const QString data = FlagSelectionDataMask(selection);
    const QString defaults = FlagSelectionDefaults(selection);
    logs.detail << QStringLiteral("Маска данных ") + data
                << QStringLiteral("Маска значений по умолчанию ") + defaults << groupsLengthLine;
    QString payload = FlagSectionPayload(data, defaults, groups);
    logs.detail << WithNumber(u"длина 4 sec бит ", payload.size());
    return WrapSection(payload, kSection, kVersion, &logs.result);
}

QStringList DecodeFlagMasks(const QString& sectionText, int announced) {
    QStringList lines{ConfigReadHeading(QStringLiteral("БВ,ПО СЕКЦИЯ 4")),
                      WithNumber(u"маска для ", announced) + QStringLiteral(" квартир.")};
    SectionReader r(sectionText);
    int w = kFlagCount;
    QStringView bits;
    if (r.TakeView(kFlagCount, bits)) {
        w = carriedFlags(bits);
        lines << WithReversed(u"FMSK: ", bits);
    }
    if (r.TakeView(kFlagCount, bits)) lines << WithReversed(u"FVAL: ", bits);
    if (w <= 0) return lines;
    // A line a group, made in one piece: a section may hold tens of thousands.
    lines.reserve(lines.size() + r.Remaining() / w);
    GroupTexts unnamed(w, true);  // the groups past the announced apartments
    for (int i = 1; r.TakeView(w, bits); ++i) {
        if (i > announced) {
            lines << unnamed.Text(bits);
            continue;
        }
        QString line;
        line.reserve(24 + w);
        line += QStringView(u"п № ");
        AppendNumber(line, i);
        line += QStringView(u" маска кв.: ");
        AppendReversed(line, bits);
        lines << line;
    }
    return lines;
}

FlagSectionValues DecodeFlagSection(const QString& sectionText) {
    FlagSectionValues v;
    SectionReader r(sectionText);
    int w = kFlagCount;
    QStringView bits;
    if (r.TakeView(kFlagCount, bits)) {
        w = carriedFlags(bits);
        v.dataMask = ReverseStr(bits);
    }
    if (r.TakeView(kFlagCount, bits)) v.defaultMask = ReverseStr(bits);
    if (w <= 0) return v;
    v.groups.reserve(r.Remaining() / w);
    GroupTexts groups(w, false);
    while (r.TakeView(w, bits)) v.groups << groups.Text(bits);
    return v;
}

FlagSectionValues DecodeFlagRecords(const QString& sectionText, QList<CallCodeRecord>& records) {
    const FlagSectionValues v = DecodeFlagSection(sectionText);
    // Whole groups: a record that kept only part of a wide group would write
    // a section 4 whose groups no longer match its data mask.
    for (int i = 0; i < v.groups.size() && i < records.size(); ++i) records[i].flags = v.groups[i];
    return v;
}

QString DefaultFlagGroup(const QString& dataMask, const QString& defaultMask) {
    QString highestFirst;
    for (int j = 0; j < kFlagCount && j < dataMask.size(); ++j)
        if (dataMask.at(j) == QLatin1Char('1'))
            highestFirst.prepend(j < defaultMask.size() && defaultMask.at(j) == QLatin1Char('1')
                                     ? QLatin1Char('1')
                                     : QLatin1Char('0'));
    return highestFirst;
}

QString EncodeBvSection4(const ConfigObjectRow& object, const PanelRow& panel,
                         const QString& callFlagText, int sepDevice, ConfigLogs& logs) {
    logs.detail << ConfigWriteHeading(QStringLiteral("бв сек 4"))
                << DeviceAddrName(panel.nNet, sepDevice) + QStringLiteral("  ") + panel.nBv
                << QStringLiteral("Маска вызова и отзвонки квартир:");
    return EncodeFlagSection(
        object.flbv, callFlagText,
        WithNumber(u"Длина маски ", callFlagText.size()) + QStringLiteral(" бит"), logs);
}
