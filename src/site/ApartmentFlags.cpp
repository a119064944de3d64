#include "site/ApartmentFlags.h"

#include "foundation/BitAndStr.h"

namespace {

const QChar kOn = QLatin1Char('1');

// Character n (1-based) of a padded mask is "1".
bool isOn(const QString& padded, int n) {
    return padded.at(n - 1) == kOn;
}

QString twoDigits(int n) {
    return PadLeft(QString::number(n), QLatin1Char('0'), 2);
}

}  // namespace

QString FlagColumn(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + IntToStrZ(n, 2);
}

QString PaddedFlagMask(const QString& mask) {
    return PadRight(mask, QLatin1Char('0'), ApartmentFlags::kMaskWidth);
}

QList<QPair<QString, bool>> NewApartmentFlags(const QString& flbv, const QString& flpo) {
    QList<QPair<QString, bool>> flags;
    const QString bv = PaddedFlagMask(flbv);
    flags.append({QStringLiteral("l_otz"), isOn(bv, ApartmentFlags::kFlags + 2)});
    for (int n = 3; n <= ApartmentFlags::kFlags; ++n)
        flags.append({QStringLiteral("f_m") + twoDigits(n), isOn(bv, ApartmentFlags::kFlags + n)});
    const QString po = PaddedFlagMask(flpo);
    flags.append({QStringLiteral("l_pnp"), isOn(po, ApartmentFlags::kFlags + 1)});
    for (int n = 2; n <= ApartmentFlags::kFlags; ++n)
        flags.append({QStringLiteral("f_p") + twoDigits(n), isOn(po, ApartmentFlags::kFlags + n)});
    return flags;
}

void FlagMaskList::Load(const QStringList& names, const QString& mask) {
    const QString padded = PaddedFlagMask(mask);
    items_.clear();
    for (int k = 1; k <= qMin(int(names.size()), ApartmentFlags::kFlags); ++k) {
        Item item;
        item.name = names[k - 1];
        item.stored = isOn(padded, k);
        item.byDefault = isOn(padded, ApartmentFlags::kFlags + k);
        item.defaultEnabled = !item.stored;
        items_ << item;
    }
    applyFixedRules();
}

void FlagMaskList::SetStored(int index, bool checked) {
    if (index < 0 || index >= items_.size()) return;
    Item& item = items_[index];
    item.stored = checked;
    item.defaultEnabled = !checked;
    // The call panels' first flag has no default of its own: clearing its
    // stored box switches it on for every apartment.
    if (!checked && kind_ == FlagMaskKind::CallPanel && index == 0) item.byDefault = true;
    applyFixedRules();
}

void FlagMaskList::SetDefault(int index, bool checked) {
    if (index < 0 || index >= items_.size() || !items_[index].defaultEnabled) return;
    items_[index].byDefault = checked;
}

QString FlagMaskList::Mask() const {
    QString mask(ApartmentFlags::kMaskWidth, QLatin1Char('0'));
    for (int k = 0; k < items_.size(); ++k) {
        if (items_[k].stored) mask[k] = kOn;
        if (items_[k].byDefault) mask[ApartmentFlags::kFlags + k] = kOn;
    }
    return mask;
}

void FlagMaskList::applyFixedRules() {
    if (kind_ == FlagMaskKind::CallPanel && !items_.isEmpty()) items_[0].defaultEnabled = false;
}
