#include "foundation/GlobalParams.h"

#include "foundation/BitAndStr.h"
#include "foundation/TFDM.h"

#include <algorithm>
#include <limits>

namespace GlobalParams {

int ProposedFlagNumber(const QList<int>& listedNumbers) {
    if (listedNumbers.isEmpty()) return 1;
    // A number at the top of what a number holds has none after it.
    const int last = listedNumbers.last();
    return last < std::numeric_limits<int>::max() ? last + 1 : last;
}

bool MayAppendFlag(const QString& name, int number, const QList<int>& listedNumbers) {
    return name.trimmed().compare(QStringLiteral(" ")) > 0 && !listedNumbers.contains(number);
}

namespace {
Dataset* flags() {
    return FDM ? FDM->Q_Flg : nullptr;
}
}  // namespace

bool ShowFlags(const QString& type) {
    Dataset* ds = flags();
    if (!ds) return false;
    if (type.isEmpty()) {
        ds->SetSelect({{QString(), QStringLiteral("t_fl")}}, QStringLiteral("ORDER BY tabl, nomf"));
    } else {
        ds->SetSelect({{QString(), QStringLiteral("t_fl")}},
                      QStringLiteral("WHERE tabl=:tabl ORDER BY tabl, nomf"));
        ds->SetParam(QStringLiteral("tabl"), type);
    }
    return ds->Open();
}

QList<int> ListedFlagNumbers() {
    QList<int> numbers;
    Dataset* ds = flags();
    if (!ds) return numbers;
    for (int row = 0; row < ds->RecordCount(); ++row)
        numbers << ds->Value(row, ds->FieldIndex(QStringLiteral("nomf"))).toInt();
    return numbers;
}

namespace {
// Fills the row being appended or edited; a refused post leaves nothing pending.
bool PostFlagRow(Dataset* ds, const QString& type, int number, const QString& name) {
    ds->FieldByName(QStringLiteral("tabl")).SetValue(type);
    ds->FieldByName(QStringLiteral("nomf")).SetValue(number);
    ds->FieldByName(QStringLiteral("namf")).SetValue(LeftChars(name.trimmed(), kFlagNameWidth));
    if (ds->Post()) return true;
    ds->Cancel();
    return false;
}
}  // namespace

bool AppendFlag(const QString& type, int number, const QString& name) {
    Dataset* ds = flags();
    // A list that cannot be read takes no row: an append would come to nothing.
    if (!ds || !ds->EnsureRead() || !MayAppendFlag(name, number, ListedFlagNumbers())) return false;
    ds->Append();
    return PostFlagRow(ds, type, number, name);
}

bool EditCurrentFlag(const QString& type, int number, const QString& name) {
    Dataset* ds = flags();
    if (!ds || ds->IsEmpty()) return false;
    if (ds->FieldByName(QStringLiteral("nomf")).AsInt() != number) return false;
    ds->Edit();
    return PostFlagRow(ds, type, number, name);
}

bool DeleteCurrentFlag() {
    Dataset* ds = flags();
    if (!ds || ds->IsEmpty()) return false;
    if (!MayDeleteFlag(ds->FieldByName(QStringLiteral("nomf")).AsInt())) return false;
    return ds->Delete();
}

int StoredGlobalNumber(const QString& column, int fallback) {
    Dataset* global = FDM ? FDM->Global : nullptr;
    if (!global || global->IsEmpty()) return fallback;
    bool isNumber = false;
    const qint64 value = global->Value(0, global->FieldIndex(column)).toLongLong(&isNumber);
    // A number past what an int holds is taken at its nearer end, not cut.
    return isNumber ? int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max()))
                    : fallback;
}

bool SaveFlagCounts(int maskBvEnabled, int maskPoEnabled) {
    Dataset* global = FDM ? FDM->Global : nullptr;
    if (!global || global->IsEmpty()) return false;
    global->First();
    Field bv = global->FieldByName(QStringLiteral("MaskBvEnabled"));
    Field po = global->FieldByName(QStringLiteral("MaskPoEnabled"));
    if (bv.AsInt() == maskBvEnabled && po.AsInt() == maskPoEnabled) return false;
    global->Edit();
    bv.SetValue(maskBvEnabled);
    po.SetValue(maskPoEnabled);
    if (global->Post()) return true;
    global->Cancel();
    return false;
}

}  // namespace GlobalParams
