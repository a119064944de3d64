#include "config/FlagSection.h"

#include "config/ConfigImage.h"
#include "config/FieldFit.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"

#include <array>
#include <vector>

namespace {

constexpr int kFlagSection = 4;
constexpr int kFlagSectionVersion = 1;

// Carried flags of a data mask as it stands in the section: the characters that are not '0'.
int carriedFlags(QStringView maskBits) {
    return int(maskBits.size() - maskBits.count(QLatin1Char('0')));
}

constexpr int kTabledWidth = 8;  // the widest group whose texts are kept in a table

// Every text of 1 to 8 bits, as it stands (index 0) and last character first
// (index 1), made once for the program's life (1,020 texts, some 50 KB),
// the texts of width w at 2^w - 2 onwards, by value.
const std::array<std::vector<QString>, 2>& tabledGroups() {
    static const std::array<std::vector<QString>, 2> texts = [] {
        std::array<std::vector<QString>, 2> made;
        for (int w = 1; w <= kTabledWidth; ++w)
            for (qint64 v = 0; v < (qint64(1) << w); ++v) {
                made[0].push_back(BitField(v, w));
                made[1].push_back(ReverseStr(made[0].back()));
            }
        return made;
    }();
    return texts;
}

// The texts of the groups of one section, as they stand or last character
// first. A section of thousands of apartments takes the texts of its narrow
// groups from the table instead of making one for each; whether they can
// come from there is settled once for the section, not for every group.
class GroupTexts {
  public:
    // groupBits: the part of the section that holds the groups.
    GroupTexts(QStringView groupBits, int width, bool reversed)
        : reversed_(reversed),
          tabled_(width >= 1 && width <= kTabledWidth && IsBinaryText(groupBits)),
          texts_(tabledGroups()[reversed]),
          first_(tabled_ ? (qsizetype(1) << width) - 2 : 0) {}

    QString Text(QStringView bits) const {
        if (!tabled_) return reversed_ ? ReverseStr(bits) : bits.toString();
        return texts_[first_ + BinToInt(bits)];
    }

  private:
    bool reversed_;
    bool tabled_;  // only a text of '0' and '1' alone is the one text of its value
    const std::vector<QString>& texts_;
    qsizetype first_;  // where the texts of this width begin
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

QString EncodeFlagSection(const QString& field, const QString& stored, const QString& groups,
                          const QString& groupsLengthLine, ConfigLogs& logs) {
    // A flag past the two masks, or one neither set nor clear, is written as
    // clear; the file says nothing of it, so the write tells it.
    const QString selection =
        CharCount(stored) > 2 * kFlagCount || !IsBinaryText(stored)
            ? FitMask(logs, field, stored, 2 * kFlagCount, MaskKeeps::First)
            : stored;
    const QString data = FlagSelectionDataMask(selection);
    const QString defaults = FlagSelectionDefaults(selection);
    logs.detail << QStringLiteral("Маска данных ") + data
                << QStringLiteral("Маска значений по умолчанию ") + defaults << groupsLengthLine;
    QString payload = FlagSectionPayload(data, defaults, groups);
    logs.detail << WithNumber(u"длина 4 sec бит ", payload.size());
    return WrapSection(payload, kFlagSection, kFlagSectionVersion, &logs.result);
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
    // The groups past the announced apartments, which have no number.
    const GroupTexts unnamed(QStringView(sectionText).first(r.Remaining()), w, true);
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
    const GroupTexts groups(QStringView(sectionText).first(r.Remaining()), w, false);
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
        QStringLiteral("flbv"), object.flbv, callFlagText,
        WithNumber(u"Длина маски ", callFlagText.size()) + QStringLiteral(" бит"), logs);
}
