#pragma once
// An all-or-nothing block of writes on one connection.

#include <QSqlDatabase>
#include <QString>

// A savepoint that is rolled back unless committed. Unlike a plain
// transaction it also works inside one the caller already holds (the schema
// upgrade opens the matrix table from within its own).
class SqlTransaction {
  public:
    explicit SqlTransaction(QSqlDatabase db);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool started() const { return open_; }
    bool Commit();
    // Undoes the writes at once, so that a failure can be reported and the
    // screen refreshed on data as the file holds it; the destructor does the
    // same for a block left without a commit.
    void Rollback();
    QString LastError() const { return error_; }

  private:
    bool run(const QString& sql);
    void undo();
    // No transaction is open on the connection any more.
    bool undoneByEngine() const;

    QSqlDatabase db_;
    QString name_;
    QString error_;
    bool open_ = false;
    // True when the savepoint began the transaction: releasing it would
    // commit, so a failure rolls the whole transaction back instead.
    bool outermost_ = false;
};
