#pragma once
// The per-object access-matrix table "matr_<id_net>": its DDL, its contents
// drawn from the saved matrix (m_pk/m_bv), and the database writes that
// create and refill it. The pure builders do all the deciding; the writes
// only carry their result into the database.

#include "foundation/CountLimits.h"

#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// ---- names and DDL -------------------------------------------------------

QString MatrTableName(qint64 idNet);
// True for "matr_" followed by decimal digits: the only names ever put into
// DDL text, since a table name cannot be a bound parameter.
bool IsValidMatrTableName(const QString& name);
// "pk_" and the column number as two digits.
QString MatrSwitchColumnName(int nPk);
// The statement that creates the table, line by line, with one switch column
// per entrance (none when switchCount is 0 or less).
QStringList MatrTableDdlLines(const QString& name, int switchCount);
QString MatrTableDdl(const QString& name, int switchCount);

// ---- rows ----------------------------------------------------------------

inline constexpr int kMatrHeaderRows = 5;
// The columns before the switch columns: name and sys_n.
inline constexpr int kMatrLeadColumns = 2;
// The most rows and columns a matrix table has: a row for each call panel
// and a column for each switch, fewer than the devices each, and nm_bv last.
inline constexpr int kMatrMostRows = kMatrHeaderRows + CountLimits::kMaxDevices;
inline constexpr int kMatrMostColumns = kMatrLeadColumns + CountLimits::kMaxDevices + 1;
// Name of header row 0..4: the digit, six blanks and the words.
QString MatrHeaderRowName(int row);
QString MatrHeaderSysN();  // "С№", the sys_n cell of header row 0
QString MatrHeaderNmBv();  // "Наименование БВ", the nm_bv cell of header row 0

// Cell text of a gate panel's link to one switch (m_bv.plus and tract).
QString GateLinkMark(int plus, int tract);
// Cell text of an entrance panel in its own switch column.
QString EntranceLinkMark(int tract);

// One m_pk row: a switch column of the matrix.
struct MatrSwitchColumn {
    int nPk = 0;
    int nPod = 0;
    QString kodD;
    int vDvr = 0;
    int nNet = 0;
    QString nmPod;
};

// One m_bv row: a call panel's link to one switch column.
struct MatrPanelLink {
    QString nBv;
    int nPk = 0;
    int bvType = 0;  // 0 entrance door, 1 gate
    int nNt0 = 0;
    int plus = 0;
    int tract = 0;
    QString nmBv;
};

// One row of the matrix table; cells are keyed by switch column number.
struct MatrRow {
    QString name;
    QString sysN;
    QString nmBv;
    QMap<int, QString> cells;
};

struct MatrContents {
    QList<MatrRow> rows;     // header rows, gate rows, entrance-panel rows
    int gatesFound = 0;      // gates that have m_bv rows, for the v_kal correction
    QStringList duplicates;  // row names that occur more than once (table key)
};

// The five header rows; columns in n_pk order as read from m_pk.
QList<MatrRow> BuildMatrHeaderRows(const QList<MatrSwitchColumn>& columns);
// Everything the rebuild inserts. links in their stored order; gatePrefix is
// the program's gate-panel name with its appended blank.
MatrContents BuildMatrContents(const QList<MatrSwitchColumn>& columns,
                               const QList<MatrPanelLink>& links, int vKal,
                               const QString& gatePrefix);

// ---- database writes -----------------------------------------------------

struct MatrResult {
    bool ok = false;
    QString error;               // why it failed, for the operator
    bool objectChanged = false;  // k_net (st_net or v_kal) was written
};

// The state (k_net.st_net) of an object whose matrix table is not made yet.
inline const QString kMatrStateEmpty = QStringLiteral("пусто");

// Drops and re-creates the table for the object (its v_pod switch columns)
// in one transaction, and moves the object's state "пусто" to "создано".
// A failure leaves the old table and the state as they were.
MatrResult CreateMatrTable(QSqlDatabase db, qint64 idNet, const QString& name);

// Refills matr_<idNet> from m_pk/m_bv in one transaction and corrects
// k_net.v_kal to the gates found. Duplicate row names are refused before
// anything is written. gatePrefix as for BuildMatrContents.
MatrResult RebuildMatrTable(QSqlDatabase db, qint64 idNet, const QString& gatePrefix);

// The table of an object whose matrix is saved follows its links (m_pk,
// m_bv) after another screen wrote them, as showing the matrix screen would
// refill it, so that showing it has nothing to write. Nothing is done while
// the matrix is being edited or where the object has no table.
MatrResult FollowSavedMatrix(QSqlDatabase db, qint64 idNet, const QString& gatePrefix);

// Column names of a table, as stored (empty when it does not exist).
QStringList MatrTableColumns(QSqlDatabase db, const QString& name);
bool MatrTableExists(QSqlDatabase db, const QString& name);
// Adds nm_bv to a table from an older file; typeText "VARCHAR(25)" or "VARCHAR(30)".
MatrResult AddMatrNameColumn(QSqlDatabase db, const QString& name, const QString& typeText);
// "SELECT name, sys_n, pk_01, ..., nm_bv FROM <name> ORDER BY name".
QString MatrSelectSql(const QString& name, int switchCount);

// ---- data-module operations on the current object of FDM->Q_Net ---------
// They keep FDM's datasets in step with what they write. None of them throws.

// Creates the table (see above) and refreshes Q_Net when the state moved.
bool CreateMatrTable(const QString& name);
// Creates the table when it is missing (and fills it), adds nm_bv to an old
// one, and opens Q_Matr on it. False when there is no object, the object has
// no houses, or the table cannot be made or read; the reason is kept for
// MatrTableError().
bool OpenMatrTable();
// Refills the table of the current object; a failure is kept and shown as
// ReportMatrTableError shows it, and leaves the table as it was.
bool RebuildMatrTable();

// FollowSavedMatrix on the current object; a failure is kept for the matrix
// screen, which tells it when shown.
void FollowSavedMatrix();

// The reason of the last failure of OpenMatrTable, or of a refused refill
// inside it; empty when the last open went through cleanly.
QString MatrTableError();
// Shows "Ошибка матрицы!" (caption "Ошибка") with the kept reason, once per
// failure; false when there is nothing to show. The matrix screen calls it
// when it opens and after a failed OpenMatrTable, so that a failure during
// start-up or the upgrade, which never stops the database from opening,
// still reaches the operator.
bool ReportMatrTableError();
// Lets FDM open the matrix table inside OpenAllTables and the upgrade. A
// failure there is kept for the matrix screen and never stops the database
// from opening.
void InstallMatrTableHook();
