#pragma once
// Distribution of an entrance's apartments over the terminals of its switch
// (k_kvr.p_pk), the switch fields that record it, and the per-entrance checks
// of apartment numbering and counts. The numbering itself is a pure function;
// the database operations read, call it and write in one transaction.

#include <QList>
#include <QSqlDatabase>
#include <QString>

// Distribution modes of k_pk.type_f.
enum TerminalMode : int {
    kTerminalsByHundreds = 0,
    kTerminalsByHundredsHotel = 1,
    kTerminalsByRanges = 2,
    kTerminalsNone = 3,  // floor switch: no terminals
};

// One t_dip row: skip nNul terminals, then use nFul of them.
struct TerminalRange {
    int nNul = 0;
    int nFul = 0;
};

struct TerminalPlan {
    QList<int> terminals;  // p_pk per apartment, in p_nom order
    int count = 0;         // n_xl: the largest terminal number reached
};

// Terminals for apartmentCount apartments; ranges are used by mode 2 only.
TerminalPlan DistributeTerminals(int mode, int first, int apartmentCount,
                                 const QList<TerminalRange>& ranges);
// Switch type for a mode: "Торвин" for 0..2, "Lusk" for 3.
QString SwitchTypeForMode(int mode);
// The last two digits of an entrance's first apartment number above 100.
int FirstTerminalFromApartment(int n1kvr);

struct TerminalResult {
    bool ok = false;
    QString error;
};

// Numbers the apartments of the switch idPk by mode from first, deletes its
// ranges for modes 0 and 1, and records n_xl, p_fc, type_f, type_k, ah and
// kf_pr in the switch row.
TerminalResult AssignTerminals(QSqlDatabase db, qint64 idPk, int mode, int first);

// callKind 1: by the switch's own stored mode and first terminal (a ranges
// switch falls back to mode 1, which deletes its ranges); callKind 2: by the
// mode given (mode 2 first replaces the ranges by one over every row of the
// entrance, from terminal 1). Then AssignTerminals. A mode outside 0..3 is
// refused and changes nothing.
TerminalResult RecountTerminals(QSqlDatabase db, qint64 idPk, int callKind, int mode);
// The recount of callKind 1, written only when it would change something, so
// that a switch whose terminals already stand so keeps its kf_pr.
TerminalResult RecountOwnTerminalsWhenChanged(QSqlDatabase db, qint64 idPk);

// ---- per-entrance checks -------------------------------------------------

struct EntranceApartments {
    qint64 idPod = 0;
    int n1kvr = 0;
    int npkvr = 0;
    int vKvr = 0;
    QList<int> pNoms;        // p_nom of every row, in p_nom order
    int apartmentCount = 0;  // rows that are not handsets
};

// False at the first entrance whose rows are not numbered 1, 2, 3, ...; an
// entrance with n1kvr 1 and npkvr 0 counts as numbered correctly.
bool ApartmentNumberingOk(const QList<EntranceApartments>& entrances);
// Entrances whose v_kvr differs from the expected count (kind 1: rows that
// are not handsets; kind 2: npkvr - n1kvr + 1), with that count.
struct ApartmentCountFix {
    qint64 idPod = 0;
    int count = 0;
};
QList<ApartmentCountFix> ApartmentCountMismatches(const QList<EntranceApartments>& entrances,
                                                  int countKind);

bool CheckApartmentNumbering(QSqlDatabase db, qint64 idNet);
// With fix, writes the expected counts into v_kvr and returns true.
bool CheckApartmentCounts(QSqlDatabase db, qint64 idNet, int countKind, bool fix);

// ---- data-module operations on the current switch of FDM->Q_MNpk ----------
// Each writes through the functions above, then reopens the switch and
// apartment groups and Q_Diap and returns Q_MNpk to its record.

TerminalResult AssignTerminals(int mode, int first);
TerminalResult RecountTerminals(int callKind, int mode);
// On the entrances of the current object of FDM->Q_Net.
bool CheckApartmentNumbering();
bool CheckApartmentCounts(int countKind, bool fix);
