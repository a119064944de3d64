#pragma once
// Named switch parameter sets (t_ke), shared by every object of the database;
// a switch points to one through k_pk.id_ke. A save looks for a set with
// exactly the same values and reuses it, or appends one, so equal sets are
// stored once. The set named kRecommendedParamSetName is what new switches get.

#include "devices/DeviceChange.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

inline const QString kRecommendedParamSetName = QStringLiteral("АРМ DUZAVIZOR рекомендовано");

// The 17 values a set is looked up by, as stored. t_ed and t_de hold units of
// 5 minutes (FiveMinuteUnits of what the dialog shows). The initial values are
// those of the editing controls.
struct ParamSetValues {
    int t_cm = 0;
    int t_cl = 0;
    int t_dl = 95;
    int t_vc = 0;
    int t_dx = 0;
    int t_st = 1;
    int t_mo = 0;
    int t_bo = 0;
    int t_wt = 66;
    int t_po = 5;
    int t_ed = 1;
    int t_de = 1;
    int edge = 0;
    int acp1 = 64;
    int acp2 = 128;
    int acp3 = 192;
    int acp4 = 0;

    // In the order of ParamSetColumns().
    QVariantList InColumnOrder() const;
};

// "t_cm", "t_cl", ..., "acp4": the columns compared by the lookup, in order.
const QStringList& ParamSetColumns();
// Stored units of a time shown in minutes: minutes / 5 rounded half away from zero.
int FiveMinuteUnits(int minutes);

// Names a new set gets from the save that appended it.
QString ParamSetNameForSwitch(const QString& objectIdent, const QString& houseName, int nPod);
QString ParamSetNameForHouse(const QString& houseName);
QString ParamSetNameForObject(const QString& objectIdent);

struct ParamSetMatch {
    bool ok = false;
    qint64 idKe = 0;
    bool existed = false;  // an equal set was there already
    QString error;
};

// The first set, in the picker's order (id_net descending, then name), whose
// 17 values equal v; name, l_use and id_net take no part. Without one a set
// with these values is appended. When nameIfNew is not empty an appended set
// is named with it in the same transaction; an existing set keeps its name.
ParamSetMatch FindParamSet(QSqlDatabase db, const ParamSetValues& v,
                           const QString& nameIfNew = QString());

// The recommended set: the first set whose name begins with its name
// (0 when there is none, -1 when the query fails).
qint64 FindRecommendedParamSet(QSqlDatabase db);
// Appends it (l_use true, t_wt 66, t_st 1, t_dl 95, the rest at the table's
// defaults) and returns its id_ke; 0 on failure.
qint64 AppendRecommendedParamSet(QSqlDatabase db, QString* error);
// The recommended set, appended when missing; 0 on failure.
qint64 EnsureRecommendedParamSet(QSqlDatabase db, QString* error);

// Whether a switch of any object uses the set; false when the check failed.
bool ParamSetInUse(QSqlDatabase db, qint64 idKe, bool* used, QString* error = nullptr);

// Stores the trimmed name. The name of the recommended set (exactly
// kRecommendedParamSetName) is never changed: Refused, silently.
DeviceChange RenameParamSet(QSqlDatabase db, qint64 idKe, const QString& name,
                            QString* error = nullptr);
// Refuses a set in use with "Набор параметров используется, удаление
// невозможно!" ("Отказ"); otherwise asks "Удалить запись?" ("Удаление") and
// deletes the set on Yes. The recommended set may go too when unused.
DeviceChange DeleteParamSet(QSqlDatabase db, qint64 idKe, QString* error = nullptr);

// ---- data-module operations on FDM->Q_ke ------------------------------------
// Each runs the function above and reopens Q_ke, which then stands on the set
// the operation found, named or (after a deletion) on the row that was next.

ParamSetMatch FindParamSet(const ParamSetValues& v, const QString& nameIfNew = QString());
DeviceChange RenameCurrentParamSet(const QString& name);
DeviceChange DeleteCurrentParamSet();
