#pragma once
// The object's flag masks k_net.flbv (call panels) and k_net.flpo (console):
// 32 characters "0"/"1", read padded on the right with "0". Character N
// (1..16) says flag N is kept per apartment; character 16 + N is flag N's
// default, which new apartment rows take.
//
// FlagMaskList is the entrance screen's editing of one mask as two check
// lists ("хранимые" and "по умолчанию") with their enabling rules;
// NewApartmentFlags gives the flag columns of a new apartment row.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ApartmentFlags {
constexpr int kFlags = 16;
constexpr int kMaskWidth = 2 * kFlags;
// The flag-name tables of t_fl.
inline const QString kCallPanelTable = QStringLiteral("БВ");
inline const QString kConsoleTable = QStringLiteral("ППО");
}  // namespace ApartmentFlags

// The mask as stored, padded on the right with "0" to 32 characters.
QString PaddedFlagMask(const QString& mask);

// Flag columns of a new k_kvr row and their values from the defaults half of
// the masks: l_otz and f_m03..f_m16 (call-panel flags 2..16), l_pnp and
// f_p02..f_p16 (console flags 1..16).
QList<QPair<QString, bool>> NewApartmentFlags(const QString& flbv, const QString& flpo);

// The k_kvr column of flag n: the prefix ("f_m" a call-panel flag, "f_p" a
// console flag) and the number in two digits.
QString FlagColumn(const char* prefix, int n);

enum class FlagMaskKind { CallPanel, Console };

class FlagMaskList {
  public:
    struct Item {
        QString name;
        bool stored = false;     // kept per apartment
        bool byDefault = false;  // default of new rows
        bool defaultEnabled = true;
    };

    explicit FlagMaskList(FlagMaskKind kind) : kind_(kind) {}

    // One item per flag name (the first 16 only), checked from the mask.
    void Load(const QStringList& names, const QString& mask);
    const QVector<Item>& Items() const { return items_; }
    int Count() const { return int(items_.size()); }

    // The operator ticks or clears the stored box of item index (0-based).
    void SetStored(int index, bool checked);
    void SetDefault(int index, bool checked);
    // The mask the lists say: 32 characters.
    QString Mask() const;

  private:
    void applyFixedRules();

    FlagMaskKind kind_;
    QVector<Item> items_;
};
