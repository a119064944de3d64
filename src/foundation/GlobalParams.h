#pragma once
// The global parameters form's rules: the access code that unlocks editing,
// the flag-name editor's rules, and the reads and writes of t_global and t_fl
// through the data module.

#include <QList>
#include <QString>

namespace GlobalParams {

inline const QString kAccessCode = QStringLiteral("kQ39@.w");
// Editing is unlocked exactly while the code field holds the code.
inline bool Unlocks(const QString& codeField) {
    return codeField == kAccessCode;
}

inline const QString kCallPanelFlags = QStringLiteral("БВ");
inline const QString kConsoleFlags = QStringLiteral("ППО");
constexpr int kFlagNameWidth = 20;

// Number proposed for a new flag: the last listed number + 1, or 1.
int ProposedFlagNumber(const QList<int>& listedNumbers);
// A new flag needs a name and a number not listed for its type.
bool MayAppendFlag(const QString& name, int number, const QList<int>& listedNumbers);
// Flag 1 of either type is never deleted.
inline bool MayDeleteFlag(int number) {
    return number != 1;
}

// --- through the data module --------------------------------------------

// The flag list Q_Flg for one type ("БВ"/"ППО"), or all types when empty.
bool ShowFlags(const QString& type);
QList<int> ListedFlagNumbers();
// Appends (type, number, trimmed name) when MayAppendFlag allows it.
bool AppendFlag(const QString& type, int number, const QString& name);
// The current row takes type, number and name when its number is number.
bool EditCurrentFlag(const QString& type, int number, const QString& name);
// Deletes the current row unless it is flag 1.
bool DeleteCurrentFlag();

// The value of a t_global column as a number, or fallback when there is no
// row or the value is not a number (a text, nothing): such a value is read as
// the parameter's own default, never as 0. A number past an int is taken at the
// nearer end of an int.
int StoredGlobalNumber(const QString& column, int fallback);

// Writes both flag counts in one edit when either differs from the row;
// false when nothing had to be written or the write failed.
bool SaveFlagCounts(int maskBvEnabled, int maskPoEnabled);

}  // namespace GlobalParams
