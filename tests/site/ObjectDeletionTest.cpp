// Deletion of an object and the split into a database of its own, on the
// database rows: what goes, what stays, and that a failure changes nothing.

#include "ObjectDeletionFixture.h"
#include "platform/AppPaths.h"
#include "site/ObjectDeletion.h"
#include "support/QtPrinters.h"
#include "support/SmallDisk.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLockFile>

namespace ObjectDeletionTestUnit {
namespace {

using namespace ObjectDeletion;

namespace {

class ObjectDeletionTest : public ObjectDeletionFixture {
  protected:
    QString splitFolder(int idNom) {
        return tdb_.programDir().path() + QStringLiteral("DB_ARM%1").arg(idNom);
    }
    // A connection on a split copy, closed and removed with the test.
    QSqlDatabase openCopy(const QString& path) {
        QSqlDatabase db = QSqlDatabase::contains(kCopyName)
                              ? QSqlDatabase::database(kCopyName, false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kCopyName);
        db.close();
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << path.toStdString();
        return db;
    }
    void TearDown() override {
        QSqlDatabase::database(kCopyName, false).close();
        QSqlDatabase::removeDatabase(kCopyName);
        ObjectDeletionFixture::TearDown();
    }
    SplitResult split(qint64 idNet, int idNom, bool pruneExisting = false) {
        SplitTarget target = SplitTargetFor(idNet, idNom);
        target.pruneExisting = pruneExisting;
        return SplitObject(*dm_, target, Recorder());
    }
    static inline const QString kCopyName = QStringLiteral("split_copy_test");
};

}  // namespace

TEST_F(ObjectDeletionTest, DeletionLeavesNoRowOfTheObjectAndNoMatrixTable) {
    QSqlDatabase db = dm_->ConnectionDB();
    const QStringList tables = TablesWithObjectColumn(db);
    for (const QString& table : ObjectTables()) {
        EXPECT_TRUE(tables.contains(table));
        EXPECT_FALSE(Rows(db, table, QStringLiteral("id_net=1")).isEmpty()) << table.toStdString();
    }
    QMap<QString, QStringList> otherRows;
    for (const QString& table : tables)
        otherRows[table] = Rows(db, table, QStringLiteral("id_net<>1"));
    ASSERT_TRUE(HasTable(db, QStringLiteral("matr_1")));

    QString error;
    ASSERT_TRUE(DeleteObject(*dm_, 1, Recorder(), &error)) << error.toStdString();

    for (const QString& table : tables) {
        EXPECT_TRUE(Rows(db, table, QStringLiteral("id_net=1")).isEmpty()) << table.toStdString();
        EXPECT_EQ(otherRows[table], Rows(db, table, QStringLiteral("id_net<>1")))
            << table.toStdString();
    }
    EXPECT_FALSE(HasTable(db, QStringLiteral("matr_1")));
    // The gauge runs 0..12, one step per statement, and is hidden at the end.
    ASSERT_EQ(size_t(kGaugeMax + 2), gauge_.size());
    EXPECT_EQ(GaugeReport(0, kGaugeMax, true), gauge_.front());
    EXPECT_EQ(GaugeReport(kGaugeMax, kGaugeMax, true), gauge_[kGaugeMax]);
    EXPECT_FALSE(std::get<2>(gauge_.back()));
    // The object list no longer holds it and the matrix of the gone object is closed.
    EXPECT_FALSE(dm_->Q_Net->Locate(QStringLiteral("id_net"), 1));
    EXPECT_EQ(1, dm_->Q_Net->RecordCount());
    EXPECT_FALSE(dm_->Q_Matr->IsOpen());
}

TEST_F(ObjectDeletionTest, AnObjectWithoutMatrixTableIsDeletedAndTheOtherKeepsItsTable) {
    QSqlDatabase db = dm_->ConnectionDB();
    ASSERT_FALSE(HasTable(db, QStringLiteral("matr_2")));
    QString error;
    ASSERT_TRUE(DeleteObject(*dm_, 2, Recorder(), &error)) << error.toStdString();
    EXPECT_EQ(0, Count(db, QStringLiteral("SELECT COUNT(*) FROM k_net WHERE id_net=2")));
    EXPECT_TRUE(HasTable(db, QStringLiteral("matr_1")));
    // Object 2's apartment key sits on entrance 4; object 1's keys all stay.
    EXPECT_EQ(3, Count(db, QStringLiteral("SELECT COUNT(*) FROM k_key")));
}

TEST_F(ObjectDeletionTest, ADeletionThatFailsHalfWayLeavesEveryRowInPlace) {
    // The fourth statement (switches) is refused by the database.
    Exec(
        "CREATE TRIGGER refuse_switch_delete BEFORE DELETE ON k_pk"
        " BEGIN SELECT RAISE(ABORT, 'switch rows are locked'); END");
    const QString before = DumpDatabase();
    QString error;
    EXPECT_FALSE(DeleteObject(*dm_, 1, Recorder(), &error));
    EXPECT_EQ(QStringLiteral("Запись отклонена триггером самого файла базы данных."), error);
    EXPECT_EQ(before, DumpDatabase());
    EXPECT_TRUE(HasTable(dm_->ConnectionDB(), QStringLiteral("matr_1")));
    ASSERT_FALSE(gauge_.empty());
    EXPECT_FALSE(std::get<2>(gauge_.back())) << "the gauge is hidden after a failure too";
    EXPECT_TRUE(dm_->Q_Net->Locate(QStringLiteral("id_net"), 1));
}

TEST_F(ObjectDeletionTest, SplitGivesADatabaseOfTheOneObjectAndLeavesTheOriginalUnchanged) {
    const SplitTarget target = SplitTargetFor(1, 7);
    EXPECT_EQ(splitFolder(7), target.folder);
    EXPECT_EQ(splitFolder(7) + QStringLiteral("/db_arm_vesk.mdb"), target.file);
    const QString before = DumpDatabase();
    QSqlDatabase live = dm_->ConnectionDB();
    QMap<QString, QStringList> objectRows;
    for (const QString& table : ObjectTables())
        objectRows[table] = Rows(live, table, QStringLiteral("id_net=1"));

    const SplitResult result = split(1, 7);
    ASSERT_TRUE(result.ok()) << result.reason.toStdString();

    EXPECT_EQ(before, DumpDatabase());
    EXPECT_EQ(QStringList({QStringLiteral("db_arm_vesk.mdb")}),
              QDir(splitFolder(7)).entryList(QDir::Files))
        << "no temporary file is left behind";
    QSqlDatabase copy = openCopy(target.file);
    EXPECT_EQ(1, Count(copy, QStringLiteral("SELECT COUNT(*) FROM k_net")));
    EXPECT_EQ(1, Count(copy, QStringLiteral("SELECT id_net FROM k_net")));
    for (const QString& table : ObjectTables()) {
        EXPECT_TRUE(Rows(copy, table, QStringLiteral("id_net<>1")).isEmpty())
            << table.toStdString();
        EXPECT_EQ(objectRows[table], Rows(copy, table, QStringLiteral("id_net=1")))
            << table.toStdString();
    }
    EXPECT_TRUE(HasTable(copy, QStringLiteral("matr_1")));
    // The gauge ends hidden.
    ASSERT_FALSE(gauge_.empty());
    EXPECT_FALSE(std::get<2>(gauge_.back()));
}

TEST_F(ObjectDeletionTest, ASecondSplitPrunesTheExistingCopyOnlyWhenAgreed) {
    ASSERT_TRUE(split(1, 7).ok());
    const QString file = SplitTargetFor(1, 7).file;
    {
        QSqlDatabase copy = openCopy(file);
        QSqlQuery q(copy);
        ASSERT_TRUE(q.exec("INSERT INTO k_dom (id_net, house) VALUES (1, 'Новый'), (5, 'Чужой')"));
    }
    // Without agreement to prune, an existing file is never touched.
    const SplitResult refused = split(1, 7, false);
    EXPECT_EQ(SplitFailure::Copy, refused.failure);

    ASSERT_TRUE(split(1, 7, true).ok());
    QSqlDatabase copy = openCopy(file);
    EXPECT_EQ(1, Count(copy, QStringLiteral("SELECT COUNT(*) FROM k_dom WHERE house='Новый'")))
        << "the existing copy was pruned, not replaced";
    EXPECT_EQ(0, Count(copy, QStringLiteral("SELECT COUNT(*) FROM k_dom WHERE id_net<>1")));
}

TEST_F(ObjectDeletionTest, AFailedCopyOrPruneLeavesNoFileAndReportsWhy) {
    // A file where the folder should be: the copy cannot be written.
    tdb_.programDir().writeFile(QStringLiteral("DB_ARM7"), "not a folder");
    SplitResult result = split(1, 7);
    EXPECT_EQ(SplitFailure::Copy, result.failure);
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_FALSE(std::get<2>(gauge_.back()));

    // The copy is refused by its own rows: nothing is left in the folder.
    const QString before = DumpDatabase();
    Exec(
        "CREATE TRIGGER refuse_house_delete BEFORE DELETE ON k_dom"
        " BEGIN SELECT RAISE(ABORT, 'houses are locked'); END");
    result = split(2, 8);
    EXPECT_EQ(SplitFailure::Prune, result.failure);
    EXPECT_TRUE(result.reason.endsWith(
        QStringLiteral("Запись отклонена триггером самого файла базы данных.")))
        << result.reason.toStdString();
    EXPECT_TRUE(QDir(splitFolder(8)).entryList(QDir::Files).isEmpty());
    Exec("DROP TRIGGER refuse_house_delete");
    EXPECT_EQ(before, DumpDatabase());
}

TEST_F(ObjectDeletionTest, AnExistingCopyInUseIsNotPruned) {
    ASSERT_TRUE(split(1, 7).ok());
    QLockFile other(splitFolder(7) + QStringLiteral("/db_arm_vesk.ldb"));
    ASSERT_TRUE(other.tryLock(0));
    QSqlDatabase copy = openCopy(SplitTargetFor(1, 7).file);
    QSqlQuery(copy).exec("INSERT INTO k_net (id_net, ident) VALUES (9, 'Чужой')");
    EXPECT_EQ(SplitFailure::InUse, split(1, 7, true).failure);
    EXPECT_EQ(2, Count(copy, QStringLiteral("SELECT COUNT(*) FROM k_net")));
}

// An existing copy on a disk filled to its last byte: its lock file cannot be
// written, which is told as it is, not as a copy in use, and the copy stays.
TEST_F(ObjectDeletionTest, AnExistingCopyOnAFullDiskIsNotPrunedAndTheDiskIsBlamed) {
    SmallDisk disk(1024 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot().toStdString();
    ASSERT_TRUE(QFile::link(disk.Path(), splitFolder(7)));
    ASSERT_TRUE(split(1, 7).ok());
    const SplitTarget target = SplitTargetFor(1, 7);
    auto copyBytes = [&] {
        QFile f(target.file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    ASSERT_TRUE(disk.Fill());
    const QByteArray before = copyBytes();
    const SplitResult result = split(1, 7, true);
    EXPECT_EQ(SplitFailure::Lock, result.failure);
    const QString why = QStringLiteral("Не удалось создать файл блокировки ") + splitFolder(7) +
                        QStringLiteral("/db_arm_vesk.ldb. На диске нет места.");
    EXPECT_EQ(why, result.reason);
    dialogs_.Expect(QStringLiteral("Отмена действия"), why);
    ReportSplit(target, result);
    dialogs_.VerifyDone();
    EXPECT_EQ(before, copyBytes());
}
}  // namespace
}  // namespace ObjectDeletionTestUnit
