#include "support/TestDatabase.h"

#include "foundation/DbSchema.h"
#include "platform/AppPaths.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <atomic>

TestDatabase::TestDatabase(Kind kind) {
    QString error;
    if (kind == Kind::New) {
        EXPECT_TRUE(CreateNewDatabase(dbPath(), &error)) << error.toStdString();
    } else if (kind == Kind::OldFormat) {
        EXPECT_TRUE(BuildOldFormatDatabase(dbPath(), &error)) << error.toStdString();
    }
}

TestDatabase::~TestDatabase() {
    for (const QString& name : connections_) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

// The default database folder of the temporary program folder.
QString TestDatabase::dbDir() const {
    return dir_.path() + QStringLiteral("DB_ARM/");
}

QString TestDatabase::dbPath() const {
    return dir_.file(QStringLiteral("DB_ARM/") + QString::fromLatin1(AppPaths::kDbFileName));
}

QSqlDatabase TestDatabase::open() {
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("test_db_%1").arg(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(dbPath());
    EXPECT_TRUE(db.open()) << dbPath().toStdString();
    connections_ << name;
    return db;
}

bool TestDatabase::BuildOldFormatDatabase(const QString& path, QString* error) {
    QFile script(QStringLiteral(ARM_TEST_DATA_DIR "/old_format.sql"));
    if (!script.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no fixture ") + script.fileName();
        return false;
    }
    if (QFile::exists(path)) QFile::remove(path);
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("test_old_db_%1").arg(++counter);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open() && RunSqlScript(db, QString::fromUtf8(script.readAll()), error);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString TestDatabase::Dump(QSqlDatabase& db) {
    QString out;
    QStringList tables;
    {
        QSqlQuery q(db);
        q.exec(
            QStringLiteral("SELECT name, sql FROM sqlite_master WHERE name NOT LIKE "
                           "'sqlite_%' ORDER BY name"));
        while (q.next()) {
            tables << q.value(0).toString();
            out += q.value(1).toString() + QLatin1Char('\n');
        }
    }
    for (const QString& table : tables) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table))) continue;
        while (q.next()) {
            out += table + QLatin1Char(':');
            const QSqlRecord r = q.record();
            for (int i = 0; i < r.count(); ++i)
                out += QLatin1Char('|') +
                       (r.isNull(i) ? QStringLiteral("NULL") : r.value(i).toString());
            out += QLatin1Char('\n');
        }
    }
    return out;
}
