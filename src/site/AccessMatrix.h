#pragma once
// The access matrix of the current object (FDM's Q_Net) and its link tables:
// the rebuild after the entrances changed, the save of the matrix table into
// m_pk and m_bv, the entry of its header rows into the entrances k_pod, the
// restore of the last saved matrix and the totals under the grid.
//
// Each operation reads what it needs, works out what to write (MatrixLinks)
// and writes it in one transaction, the object state included: a failure is
// shown ("Ошибка") and leaves m_pk, m_bv, k_pod, the matrix table and the
// state as they were. Afterwards the data module's datasets are brought in
// line, Q_Matr open on the object's matrix table.

#include "foundation/HeldRows.h"
#include "foundation/MatrTable.h"
#include "site/MatrixLinks.h"
#include "site/SiteData.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

// The current object as the matrix operations need it.
struct MatrixObject {
    qint64 idNet = 0;
    QString state;
    int vPod = 0;
    int vKal = 0;
};
// Nothing when the object list is closed or empty.
std::optional<MatrixObject> CurrentMatrixObject();

// The naming of call panels from the program globals.
MatrixNaming ProgramPanelNaming();

// The work of RebuildDevices on a connection of the caller's, inside its
// transaction: another copy of the program on the same file rebuilds so.
bool RebuildMatrixOn(QSqlDatabase db, const MatrixObject& obj, QString* error);

// The rows of the object's matrix table in name order, with the number of
// its switch columns. False with the reason when it cannot be read.
bool ReadMatrixTable(QSqlDatabase db, qint64 idNet, QList<MatrRow>* rows, int* switchCount,
                     QString* error);
// The object's m_pk (by n_pk) and m_bv (as stored) rows.
bool ReadLinkTables(QSqlDatabase db, qint64 idNet, LinkTables* out, QString* error);

// Shows a failure of a matrix operation ("Ошибка"): what was not done, and why.
void ShowMatrixFailure(const QString& what, const QString& reason);
// One transaction for a matrix operation (SiteData::WriteInOneTransaction).
using SiteData::WriteInOneTransaction;

struct MatrixTotals {
    int switches = 0;  // P3_Itpk: grid columns less name, number and display name
    int panels = 0;    // P3_Itbv: matrix rows less the five header rows
};

class AccessMatrix {
  public:
    // The matrix re-created after the entrances of the object changed: the
    // matrix table made again with one column per entrance, m_pk and m_bv
    // rebuilt from the entrances, the table filled from them and the state
    // moved to its first four characters + "+сохр".
    bool RebuildDevices();
    // Saves the matrix table into m_pk and m_bv (a matrix of fewer than 4
    // rows is left alone); "закрыто" becomes "закр+сохр", others "сохранено".
    // Nothing is written once a row of held is gone (told).
    bool BtnSaveClick(const HeldRows& held = HeldRows());
    // Enters the header rows (names, numbers, doors) into the entrances;
    // nothing in "закрыто". Shows "Ошибка открытия матрицы!", with the
    // reason under it, when the matrix cannot be opened.
    bool VvodObjClick(const HeldRows& held = HeldRows());
    // Refills the matrix table from the last save, where a save was made;
    // else "Сохранение не производилось!".
    bool BtnRetryClick();
    // The totals of the matrix Q_Matr shows.
    static MatrixTotals ShowMatrixTotals();
};
