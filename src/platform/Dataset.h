#pragma once
// A query dataset over QtSql: SQL with :name parameters, rows cached in
// memory, a current record, edits written back to declared base tables, and
// master/detail links. Every form and algorithm reads and writes the
// database through these.
//
// Navigation follows the usual pattern:
//     ds->First();
//     while (!ds->Eof()) { ...; ds->Next(); }
// Record numbers are 1-based; 0 means no current record.
//
// A detail whose refresh is deferred (DeferredRefresh) is not read again when
// its master moves or reopens: it becomes stale, stays open, and reads its
// rows on first use, standing on its first row as an eager reopen would.
// Views see a stale dataset as empty and never read it themselves.
//
// A dataset that opens when read (SetOpensWhenRead) is never read closed as
// an empty one: whatever reads it while it is closed (a count, a move, a
// field, a locate, an edit) opens it first, on its master's current row,
// opening the master first the same way. Grids read it when they show it.

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

#include "platform/SqliteSelect.h"

class Dataset;
class QSqlError;

// One field of the current record. A field the dataset does not have is
// "invalid": it reads as null and an attempt to write it makes Post fail.
class Field {
  public:
    Field(Dataset* dataset, int index, QString name)
        : ds_(dataset), index_(index), name_(std::move(name)) {}

    bool IsValid() const { return index_ >= 0; }
    QString Name() const { return name_; }

    QVariant Value() const;
    bool IsNull() const;
    int AsInt() const;
    qint64 AsLargeInt() const;
    double AsFloat() const;
    // Logical columns hold 0/1; anything non-zero is true.
    bool AsBool() const;
    QString AsString() const;

    // Puts the dataset into Edit when it is browsing.
    void SetValue(const QVariant& value);
    void SetNull() { SetValue(QVariant()); }

  private:
    Dataset* ds_;
    int index_;
    QString name_;
};

enum class DsState { Inactive, Browse, Edit, Insert };

// Locate options: compare texts case-insensitively, or match a text prefix.
enum LocateOption { LocateCaseInsensitive = 1, LocatePartialKey = 2 };

class Dataset : public QObject {
    Q_OBJECT
  public:
    // A table of a select built by SetSelect; alias may be empty for one table.
    struct Source {
        QString alias;
        QString table;
    };
    using Hook = std::function<void(Dataset&)>;

    explicit Dataset(const QString& name, const QString& connectionName = QString(),
                     QObject* parent = nullptr);
    ~Dataset() override;

    QString Name() const { return name_; }
    void SetConnectionName(const QString& connectionName);
    QString ConnectionName() const { return connection_; }
    QSqlDatabase Database() const;

    // --- SQL text -------------------------------------------------------
    // Replaces the text (closing the dataset). Parameters are written
    // :name, where a name may hold a dot (:p.id_pod).
    void SetSql(const QString& sql);
    void ClearSql() { SetSql(QString()); }
    // Appends one line to the text, as scripts that build SQL line by line do.
    void AddSql(const QString& line);
    QString Sql() const { return sql_; }
    // The text as last sent to the database (column lists expanded).
    QString ExpandedSql() const { return expanded_; }

    // A select over one or more tables whose column list is written out at
    // open from the tables' current columns. A column name found in one
    // table keeps its plain name; one found in several is named
    // "alias.column". Every table of the select becomes writable through the
    // dataset, by its integer key or by rowid. tail follows the FROM list
    // (WHERE/ORDER BY); the first source, or primaryAlias, takes Append and
    // Delete. A table without a key also brings its rowid, read-only and
    // not shown, as "alias.rowid" (or "table.rowid"). DISTINCT and aggregate
    // selects are written with SetSql.
    void SetSelect(const QList<Source>& sources, const QString& tail,
                   const QString& primaryAlias = QString());

    // Declares the base table of a dataset opened with SetSql. Result columns
    // named like table columns are written back; the row is found by
    // keyField (default: the table's integer key, else a "rowid" column).
    void SetUpdateTable(const QString& table, const QString& keyField = QString());

    // --- parameters and master link -------------------------------------
    QStringList ParamNames() const;
    void SetParam(const QString& name, const QVariant& value);
    QVariant Param(const QString& name) const;

    // Parameters named like a master field take the master's current row;
    // the dataset reopens (when open) whenever the master moves or reopens.
    // An Append fills the link columns: by default the column compared with
    // each parameter in the SQL ("id_pod=:p.id_pod" fills id_pod); links
    // maps parameter name -> column to override.
    void SetMaster(Dataset* master, const QMap<QString, QString>& links = {});
    Dataset* Master() const { return master_; }

    // --- open and close --------------------------------------------------
    bool Open();
    void Close();
    // Close and open, keeping the record number.
    bool Reopen();
    bool IsOpen() const { return state_ != DsState::Inactive; }
    // Open, with rows not read since its master moved (see DeferredRefresh).
    bool IsStale() const { return stale_; }
    bool Active() const { return IsOpen(); }
    // Opens when first read while closed (see above). An open that fails is
    // not tried again by readers until the next Open, Close or new text;
    // the readers see no rows and LastError() says why.
    void SetOpensWhenRead(bool on) { opensWhenRead_ = on; }
    bool OpensWhenRead() const { return opensWhenRead_; }
    // Opens the dataset in place of Open when it opens on being read: for a
    // dataset whose text its owner writes out for the current row of another.
    void SetOpener(std::function<bool()> opener) { opener_ = std::move(opener); }
    // Rows that the next reader reads first: stale, or closed and opening when read.
    bool RowsPending() const {
        return stale_ || (state_ == DsState::Inactive && opensWhenRead_ && !openRefused_ &&
                          !settling_);
    }
    // Reads them now, as the next reader would. False when the dataset stays
    // closed; LastError() says why when an open failed.
    bool EnsureRead();
    // Runs the text as a statement without a result set.
    bool ExecSql(int* rowsAffected = nullptr);
    // Why the last operation failed, as the operator reads it.
    QString LastError() const { return lastError_; }
    // SQLite's result code of that failure; 0 when the engine did not fail.
    int LastResultCode() const { return lastCode_; }

    // While controls are disabled, moves neither refresh details nor notify
    // views; EnableControls catches up once. Calls nest.
    void DisableControls();
    void EnableControls();

    // --- navigation -------------------------------------------------------
    int RecordCount() const {
        readIfPending();
        return int(rows_.size());
    }
    bool IsEmpty() const {
        readIfPending();
        return rows_.isEmpty();
    }
    int RecNo() const {
        readIfPending();
        return cur_ + 1;
    }
    // Positions on record n, clamped to the rows there are.
    void SetRecNo(int n);
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const {
        readIfPending();
        return eof_;
    }
    bool Bof() const {
        readIfPending();
        return bof_;
    }
    // fields: names separated by ';'. values: one per field.
    bool Locate(const QString& fields, const QVariantList& values, int options = 0);
    bool Locate(const QString& field, const QVariant& value, int options = 0) {
        return Locate(field, QVariantList{value}, options);
    }

    // --- fields -----------------------------------------------------------
    int FieldCount() const {
        readIfPending();
        return visibleFields_;
    }
    QStringList FieldNames() const;
    int FieldIndex(const QString& name) const;  // -1 when absent; case-insensitive
    // Moves whenever the fields are written out anew, so that a view may keep
    // what it looked up by name until then.
    quint64 Layout() const { return layout_; }
    bool HasField(const QString& name) const { return FieldIndex(name) >= 0; }
    Field FieldByName(const QString& name);
    Field Fields(int index);
    // Value of a cached row (0-based), for views.
    QVariant Value(int row, int field) const;
    bool FieldWritable(int field) const;

    // --- editing ----------------------------------------------------------
    DsState State() const { return state_; }
    void Edit();
    // Writes the pending edit or new row. On failure the dataset stays in
    // its editing state and LastError() says why.
    bool Post();
    void Cancel();
    void Append();
    bool Delete();

    // Reads the current row's columns of table (one of its base tables)
    // again from the database by the row's key, after a statement that wrote
    // the row without the dataset. False when the row is gone or the dataset
    // is not browsing.
    bool RereadCurrentRow(const QString& table);

    void SetAfterPost(Hook hook) { afterPost_ = std::move(hook); }
    void SetAfterDelete(Hook hook) { afterDelete_ = std::move(hook); }

    // While it lives, the datasets it holds take a move or reopen of their
    // master as a note that their rows are out of date instead of reading
    // them at once; each reads them on its first use after. For refreshes
    // after which nothing shown needs those rows.
    class DeferredRefresh {
      public:
        explicit DeferredRefresh(const QList<Dataset*>& datasets);
        ~DeferredRefresh();
        DeferredRefresh(const DeferredRefresh&) = delete;
        DeferredRefresh& operator=(const DeferredRefresh&) = delete;

      private:
        QList<QPointer<Dataset>> datasets_;
    };

  signals:
    // Rows replaced (open, close, reopen).
    void RowsReset();
    void RowChanged(int row);
    void RowInserted(int row);
    void RowRemoved(int row);
    void CurrentChanged(int row);

  private:
    friend class Field;
    struct FieldInfo {
        QString name;
        int target = -1;  // index into targets_, -1 read-only
        QString column;   // base column in that target
    };
    struct Target {
        QString table;
        QString alias;
        QString keyColumn;  // base key column, "rowid" for tables without one
        int keyField = -1;  // field holding the key value
    };
    struct ParamSlot {
        QString name;
        QVariant value;
        QString linkColumn;  // detail column an Append fills
    };

    bool fail(const QString& message);
    // The engine refused: the reason told as DatabaseErrorText tells it.
    bool failOn(const QSqlError& error, const QString& statement = {});
    void clearError() {
        lastError_.clear();
        lastCode_ = 0;
    }
    bool prepareText();
    bool schemaMovedUnderSelect(bool ran);
    bool expandSelect();
    bool resolveUpdateTable();
    void parseParams(const QString& text);
    void takeMasterValues();
    void fillLinkColumns();
    bool runSelect();
    void setCurrent(int row);
    void notifyMoved(int previous);
    void refreshDetails();
    void masterChanged();
    void markStale();
    void readIfPending() const {
        if (RowsPending()) const_cast<Dataset*>(this)->EnsureRead();
    }
    bool readStale();
    bool openOnRead();
    int indexOf(const QString& name) const { return fieldIndex_.value(name.toLower(), -1); }
    void showNoRows();
    bool checkBrowse();
    void setField(int index, const QVariant& value);
    bool writeUpdate();
    bool writeInsert();
    bool rereadRow(int targetIndex, const QString& keyColumn, const QVariant& key);
    bool linkValuesChanged() const;

    QString name_;
    QString connection_;
    QString sql_;
    QString expanded_;
    QString prepared_;  // expanded_ with ? placeholders
    SqliteSelect select_;  // prepared_, kept prepared between opens
    QStringList paramOrder_;
    QList<ParamSlot> params_;

    bool selectMode_ = false;
    QList<Source> sources_;
    QString tail_;
    QString primaryAlias_;
    QString updateTable_;
    QString updateKey_;
    qint64 schemaVersion_ = -1;

    Dataset* master_ = nullptr;
    QMap<QString, QString> linkOverrides_;
    QList<Dataset*> details_;
    QVariantList lastLinkValues_;

    QVector<FieldInfo> fields_;
    int visibleFields_ = 0;
    quint64 layout_ = 0;
    QHash<QString, int> fieldIndex_;
    QVector<Target> targets_;
    int primary_ = -1;

    QVector<QVector<QVariant>> rows_;
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    DsState state_ = DsState::Inactive;
    QVector<QVariant> original_;  // the row before Edit
    QVector<bool> changed_;
    QString fieldError_;

    int disabled_ = 0;
    bool movedWhileDisabled_ = false;
    int deferring_ = 0;   // DeferredRefresh guards holding the dataset
    bool stale_ = false;  // open, rows to be read on first use
    bool opensWhenRead_ = false;
    bool settling_ = false;     // opening on read, or closing: readers see it as it is
    bool openRefused_ = false;  // that open failed; readers see no rows
    std::function<bool()> opener_;

    Hook afterPost_;
    Hook afterDelete_;
    QString lastError_;
    int lastCode_ = 0;
};
