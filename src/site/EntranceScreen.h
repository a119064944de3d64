#pragma once
// The entrance screen's editing without its window: the recount of the
// apartment ranges of a house's entrances, the recount of the apartment
// counts, the numbering choice, field edits, the totals and the flag masks.
// The apartment rows themselves are made by ApartmentGenerator.
//
// Every operation works on the current object of the data module (FDM's
// Q_Net) and its houses and entrances; writes bind their values, and the
// recount writes all entrances of the house in one transaction. Questions and
// refusals go through the dialog service.

#include "foundation/CountLimits.h"
#include "foundation/DbSchema.h"
#include "foundation/HeldRows.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace EntranceTexts {
inline const QString kRecountCaption = QStringLiteral("Продолжение");
inline const QString kRecountQuestion =
    QStringLiteral("Пересчитать все невыделенные значения квартир?");
inline const QString kOrderCaption = QStringLiteral("Нарушение правила");
inline const QString kOrderViolation = QStringLiteral("Последующий №кв меньше предыдущего!");
// A recount whose numbers the entrance's fields cannot hold is not written.
inline QString RangeBeyondLimits(int entrance) {
    return QStringLiteral(
               "Квартиры не пересчитаны: в подъезде %1 номер или количество квартир "
               "вышли бы за пределы от %2 до %3.")
        .arg(entrance)
        .arg(CountLimits::kLeastApartmentValue)
        .arg(CountLimits::kMaxApartmentNumber);
}
inline const QString kKeysHint = QStringLiteral(
    "Минимальное количество ключей на одну квартиру. Максимум 65535, ограничивается объемом "
    "памяти блока вызова. Здесь не более 100.");
}  // namespace EntranceTexts

// Widths and ranges the entrance fields hold.
namespace EntranceLimits {
constexpr int kEntranceName = 30;  // k_pod.nm_pod
constexpr int kHouseName = 160;    // k_dom.house
constexpr int kMaxNumber = CountLimits::kMaxApartmentNumber;  // n1kvr, npkvr, v_kvr
constexpr int kMaxKeys = 100;      // E_Kk
constexpr int kDefaultKeys = kDefaultKeysPerApartment;
}  // namespace EntranceLimits

// One entrance's range as the recount sees it.
struct EntranceRange {
    int first = 1;
    int last = 0;
    int count = 0;
};

// Which values the operator entered (the check boxes "Ввод 1-й квартиры
// подъезда", "Ввод последней квартиры подъезда", "Изменять количество квартир");
// the others are recounted from them.
struct RangeInputs {
    bool first = false;
    bool last = true;
    bool count = false;
};

// True when no entered first (last) number exceeds the next entrance's.
bool RangesInOrder(const QList<EntranceRange>& entries, const RangeInputs& inputs);
// Recounts the values that were not entered, entrance after entrance.
void RecountRanges(QList<EntranceRange>& entries, const RangeInputs& inputs);
// True when the entrance's fields hold the range: the first number 0..32767,
// the last number and the count -32768..32767.
bool RangeFits(const EntranceRange& range);

struct RangeRecountOutcome {
    bool ran = false;  // the operator agreed and the entrances were read
    bool orderViolated = false;
    int beyondLimits = 0;       // the number of an entrance whose recount does not fit, shown
    bool countsDiffer = false;  // some entrance's new count differs from its rows
    bool failed = false;        // the database refused (shown)
};

// The totals of the screen: the sums of v_kvr of the house and of the object,
// empty texts where there is nothing to sum.
struct ApartmentTotals {
    QString house;
    QString object;
};

// Each write takes the rows the screen showed (held) and writes only while
// every one of them is there; one gone is told and nothing is written.
class EntranceScreen {
  public:
    // "Пересчитать невыделенные поля" for the entrances of house idDom.
    RangeRecountOutcome RecountHouseRanges(qint64 idDom, const RangeInputs& inputs,
                                           const HeldRows& held = HeldRows());
    // "Пересчитать количество по наличию кв": every entrance's v_kvr becomes
    // its number of rows that are not handsets.
    bool RecountApartmentCounts();
    ApartmentTotals Totals(qint64 idDom) const;

    // The numbering of the current entrance of Q_DPd (hotel or sequential).
    bool SetHotelNumbering(bool hotel, const HeldRows& held = HeldRows());
    // An entrance field edited in the grid: nm_pod as text, n1kvr, npkvr and
    // v_kvr as numbers (an empty text stores null). False when refused.
    bool SetEntranceField(qint64 idPod, const QString& field, const QString& text,
                          const HeldRows& held = HeldRows());
    bool SetHouseName(qint64 idDom, const QString& name, const HeldRows& held = HeldRows());

    // The object's key quota as the spin edit shows it.
    int KeysPerApartment() const;
    // Names of the flags of one table of t_fl ("БВ" or "ППО"), by number.
    QStringList FlagNames(const QString& table) const;
    // The current object's masks, and storing new ones.
    QString CallPanelMask() const;
    QString ConsoleMask() const;
    bool SaveFlagMasks(const QString& flbv, const QString& flpo);
};
