#include "foundation/CheckedDatabases.h"
#include "foundation/DbSchema.h"
#include "foundation/GlobalParams.h"
#include "foundation/MainWindowData.h"
#include "foundation/MatrTable.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "support/QtPrinters.h"
#include "support/ReadOnlyPath.h"
#include "support/TestDatabase.h"

#include "SiteFixture.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QFile>
#include <QSqlQuery>

#include <functional>
#include <optional>

namespace TFDMTestUnit {

namespace {

TEST(TFDMConnect, RefusesMissingAndForeignFilesAndHoldsTheLockWhileOpen) {
    TestDatabase tdb(TestDatabase::Kind::None);
    TFDM dm;
    EXPECT_EQ(FDM, &dm);
    QString error;
    EXPECT_FALSE(dm.Connect(tdb.dbPath(), &error));
    EXPECT_TRUE(error.contains("не найден")) << error.toStdString();
    EXPECT_FALSE(dm.Connected());

    tdb.programDir().writeFile("DB_ARM/db_arm_vesk.mdb", "Standard Jet DB, not ours");
    EXPECT_FALSE(dm.Connect(tdb.dbPath(), &error));
    EXPECT_TRUE(error.contains("не является базой данных")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(tdb.dbDir() + AppPaths::kDbLockName));

    QFile::remove(tdb.dbPath());
    ASSERT_TRUE(CreateNewDatabase(tdb.dbPath(), &error)) << error.toStdString();
    ASSERT_TRUE(dm.Connect(tdb.dbPath(), &error)) << error.toStdString();
    EXPECT_TRUE(dm.Connected());
    EXPECT_TRUE(dm.HoldsLock());
    EXPECT_TRUE(QFile::exists(tdb.dbDir() + AppPaths::kDbLockName));
    EXPECT_TRUE(dm.Q_MNpk->IsOpen());  // opened by the upgrade
    EXPECT_TRUE(dm.Q_Mel->IsOpen());
    EXPECT_TRUE(dm.Q_Flg->IsOpen());  // left open by the flag-table step
    EXPECT_EQ(dm.Q_Flg->RecordCount(), 3);
    EXPECT_TRUE(dm.Q_Bkk->IsOpen());
    dm.Disconnect();
    EXPECT_FALSE(dm.Connected());
    EXPECT_FALSE(dm.Q_MNpk->IsOpen());
    EXPECT_FALSE(QFile::exists(tdb.dbDir() + AppPaths::kDbLockName));
}

TEST(TFDMConnect, TakesOverTheLockOfAProgramThatDied) {
    TestDatabase tdb;
    tdb.programDir().writeFile("DB_ARM/db_arm_vesk.ldb", "2147483600\ntest_foundation\n\n");
    TFDM dm;
    QString error;
    ASSERT_TRUE(dm.Connect(tdb.dbPath(), &error)) << error.toStdString();
    EXPECT_TRUE(dm.HoldsLock());
    EXPECT_TRUE(dm.ConnectCopy().isValid());
    EXPECT_FALSE(dm.CRab->Open());  // nothing set on the copy connection yet
}

TEST(TFDMConnect, AnUpgradeThatCannotBeWrittenNamesTheReadOnlyFolderOrFile) {
    TestDatabase tdb(TestDatabase::Kind::OldFormat);
    const QString dump = [&] {
        QSqlDatabase db = tdb.open();
        return TestDatabase::Dump(db);
    }();
    TFDM dm;
    QString error;
    {
        ReadOnlyPath readOnly(tdb.dbDir());
        if (!readOnly.Active()) GTEST_SKIP() << "no way to make a folder read-only here";
        EXPECT_FALSE(dm.Connect(tdb.dbPath(), &error));
        EXPECT_EQ(DbFileTexts::UpgradeInReadOnlyFolder(tdb.dbPath()), error);
        EXPECT_FALSE(dm.Connected());
    }
    {
        QSqlDatabase db = tdb.open();
        EXPECT_EQ(dump, TestDatabase::Dump(db)) << "the old file is as it was";
    }
    {
        ReadOnlyPath readOnly(tdb.dbPath());
        ASSERT_TRUE(readOnly.Active());
        EXPECT_FALSE(dm.Connect(tdb.dbPath(), &error));
        EXPECT_EQ(DbFileTexts::UpgradeOfReadOnlyFile(tdb.dbPath()), error);
    }
    // Writable again, the same file opens and is upgraded.
    EXPECT_TRUE(dm.Connect(tdb.dbPath(), &error)) << error.toStdString();
}

// No write can reach the open file where it or its folder (the engine's
// journal goes there) refuses writes; a file the engine opened read-only
// stays so while it is open, whatever its medium does meanwhile.
TEST(TFDMConnect, SaysWhenNoWriteCanReachTheOpenFile) {
    const struct {
        const char* what;
        bool file;
        bool folder;
    } cases[] = {{"both writable", false, false},
                 {"the file read-only", true, false},
                 {"the folder read-only", false, true},
                 {"both read-only", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase tdb;
        std::optional<ReadOnlyPath> file;
        std::optional<ReadOnlyPath> folder;
        if (c.file) file.emplace(tdb.dbPath());
        if (c.folder) folder.emplace(tdb.dbDir());
        if ((file && !file->Active()) || (folder && !folder->Active()))
            GTEST_SKIP() << "no way to make a file or folder read-only here";
        TFDM dm;
        QString error;
        ASSERT_TRUE(dm.Connect(tdb.dbPath(), &error)) << error.toStdString();
        EXPECT_EQ(c.file || c.folder, dm.ReadOnly());
        folder.reset();
        file.reset();
        EXPECT_EQ(c.file, dm.ReadOnly()) << "writable again while open";
        dm.Disconnect();
        EXPECT_TRUE(dm.ReadOnly()) << "nothing open";
    }
}

// A file the data module checked and closed is taken as it left it; any
// other writer since, or a log of writes beside it, has the next open check
// it in full.
TEST(CheckedDatabases, AFileIsTakenAsCheckedOnlyAsTheProgramLeftIt) {
    const struct {
        const char* what;
        std::function<void(TestDatabase&)> change;
        bool unchanged;
    } cases[] = {
        {"as the program left it", [](TestDatabase&) {}, true},
        {"written by another program",
         [](TestDatabase& tdb) {
             QSqlDatabase db = tdb.open();
             EXPECT_TRUE(
                 QSqlQuery(db).exec("INSERT INTO t_fl (tabl, nomf, namf) VALUES ('x', 9, 'x')"));
         },
         false},
        {"the same bytes put in its place",
         [](TestDatabase& tdb) {
             QFile f(tdb.dbPath());
             ASSERT_TRUE(f.open(QIODevice::ReadOnly));
             const QByteArray bytes = f.readAll();
             const QDateTime changed = f.fileTime(QFileDevice::FileModificationTime);
             f.close();
             tdb.programDir().writeFile("DB_ARM/db_arm_vesk.mdb", bytes);
             // The copy's time of change, however coarse the file system's
             // clock: later than the file's, as a copy made after it.
             QFile copy(tdb.dbPath());
             ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
             ASSERT_TRUE(copy.setFileTime(changed.addSecs(2), QFileDevice::FileModificationTime));
         },
         false},
        {"a log of writes beside it",
         [](TestDatabase& tdb) { tdb.programDir().writeFile("DB_ARM/db_arm_vesk.mdb-wal", "x"); },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase tdb;
        {
            TFDM dm;
            QString error;
            ASSERT_TRUE(dm.Connect(tdb.dbPath(), &error)) << error.toStdString();
        }
        c.change(tdb);
        EXPECT_EQ(c.unchanged, CheckedDatabases::Unchanged(tdb.dbPath()));
    }
}

using TFDMTest = SiteFixture;

TEST_F(TFDMTest, ObjectListAndJoinedSwitchColumns) {
    EXPECT_EQ(dm_->Q_Net->RecordCount(), 2);                  // "восст" objects are hidden
    EXPECT_EQ(dm_->Q_Net->FieldByName("id_net").AsInt(), 2);  // newest first
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));

    Dataset* mnpk = dm_->Q_MNpk;
    EXPECT_EQ(mnpk->RecordCount(), 3);
    for (const char* f : {"k.id_pk", "m.id_net", "n_pk", "k.n_net", "p.id_pod", "d.id_dom",
                          "n.id_net", "type_k", "m_vo", "n_xl", "ident"})
        EXPECT_TRUE(mnpk->HasField(f)) << f;
    EXPECT_FALSE(mnpk->HasField("id_pk"));
    EXPECT_FALSE(mnpk->ExpandedSql().contains('*'));
    ASSERT_TRUE(mnpk->Locate("k.n_net", 2));
    EXPECT_EQ(mnpk->FieldByName("type_k").AsString(), "КМ-2");
    EXPECT_EQ(mnpk->FieldByName("m.id_net").AsInt(), 1);
    EXPECT_EQ(mnpk->FieldByName("n_pk").AsInt(), 2);

    // The ordered wiring of the gate: entrances with plus 1 or 3, and plus 2.
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", 2));
    EXPECT_EQ(dm_->Q_Bpk->RecordCount(), 2);
    EXPECT_EQ(dm_->Q_Bkk->RecordCount(), 1);
    EXPECT_EQ(dm_->Q_Bkk->FieldByName("p.id_pod").AsInt(), 3);
    EXPECT_EQ(dm_->Q_Kbv->RecordCount(), 1);
}

TEST_F(TFDMTest, DetailsFollowTheObjectAndAppendFillsTheLink) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    EXPECT_EQ(dm_->Q_Pod->RecordCount(), 3);
    EXPECT_EQ(dm_->Q_kv->RecordCount(), 10);
    EXPECT_EQ(dm_->QForKey->RecordCount(), 10);
    dm_->Q_MNpk->First();
    EXPECT_EQ(dm_->Q_MNbv->RecordCount(), 2);  // both panels wired to column 1
    EXPECT_EQ(dm_->Q_KvN->RecordCount(), 4);   // entrance 1 with its handset
    dm_->Q_MNpk->Next();
    EXPECT_EQ(dm_->Q_MNbv->RecordCount(), 1);
    EXPECT_EQ(dm_->Q_KvN->FieldByName("n_kvr").AsString(), "21");

    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 2));
    EXPECT_EQ(dm_->Q_Pod->RecordCount(), 1);
    EXPECT_EQ(dm_->Q_MNpk->RecordCount(), 1);
    EXPECT_EQ(dm_->Q_MNpk->FieldByName("k.id_pk").AsInt(), 4);
    EXPECT_EQ(dm_->Q_MNbv->FieldByName("b.id_bv").AsInt(), 3);

    dm_->Q_Dom->Append();
    dm_->Q_Dom->FieldByName("house").SetValue("Новый дом");
    ASSERT_TRUE(dm_->Q_Dom->Post()) << dm_->Q_Dom->LastError().toStdString();
    EXPECT_EQ(Scalar("SELECT id_net FROM k_dom WHERE house='Новый дом'").toInt(), 2);
    EXPECT_EQ(dm_->Q_DPd->RecordCount(), 0);  // the new house has no entrances yet
    dm_->Q_DPd->Append();
    dm_->Q_DPd->FieldByName("n_pod").SetValue(1);
    ASSERT_TRUE(dm_->Q_DPd->Post());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM k_pod p JOIN k_dom d ON d.id_dom=p.id_dom"
                     " WHERE d.house='Новый дом'")
                  .toInt(),
              1);
}

TEST_F(TFDMTest, PostThroughJoinedDatasetChangesTheRightBaseRows) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 2));
    ASSERT_EQ(dm_->Q_MNbv->RecordCount(), 1);
    dm_->Q_MNbv->FieldByName("b.kf_pr").SetValue(2);
    dm_->Q_MNbv->FieldByName("plus").SetValue(1);
    ASSERT_TRUE(dm_->Q_MNbv->Post()) << dm_->Q_MNbv->LastError().toStdString();
    EXPECT_EQ(Scalar("SELECT group_concat(id_bv || ':' || kf_pr) FROM k_bv").toString(),
              "1:0,2:2,3:0");
    EXPECT_EQ(Scalar("SELECT group_concat(n_pk || ':' || plus) FROM m_bv WHERE id_bv=2").toString(),
              "1:1,2:1,3:2");
    EXPECT_EQ(Scalar("SELECT SUM(kf_pr) FROM k_pk").toInt(), 0);
}

// Whether the object has apartments, asked at start-up before the
// apartment dataset is open: answered without opening it.
TEST_F(TFDMTest, HasApartmentsAnswersWithoutLoadingTheApartmentDataset) {
    Exec("DELETE FROM k_kvr WHERE id_net = 2");
    dm_->Q_kv->Close();
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    EXPECT_TRUE(MainWindowData::HasApartments());
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 2));
    EXPECT_FALSE(MainWindowData::HasApartments());
    EXPECT_FALSE(dm_->Q_kv->IsOpen());
    EXPECT_FALSE(MainWindowData::ReadObjectFacts().hasApartments);

    // Open, the dataset answers for the object it follows.
    ASSERT_TRUE(dm_->Q_kv->Open());
    EXPECT_FALSE(MainWindowData::HasApartments());
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    EXPECT_EQ(dm_->Q_kv->RecordCount(), 10);
    EXPECT_TRUE(MainWindowData::HasApartments());
}

TEST_F(TFDMTest, RefreshGroupsKeepTheirRecords) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    dm_->Q_MNpk->SetRecNo(3);
    Exec("UPDATE k_pk SET type_k='КМ-новый' WHERE id_pk=3");
    ASSERT_TRUE(dm_->ReopenSwitches()) << dm_->LastError().toStdString();
    EXPECT_EQ(dm_->Q_MNpk->RecNo(), 3);
    EXPECT_EQ(dm_->Q_MNpk->FieldByName("type_k").AsString(), "КМ-новый");
    EXPECT_EQ(dm_->Q_KvN->FieldByName("id_pod").AsInt(), 3);  // details followed

    dm_->QForKey->SetRecNo(5);
    dm_->QPodKey->SetRecNo(2);
    ASSERT_TRUE(dm_->ReopenKeys());
    EXPECT_EQ(dm_->QForKey->RecNo(), 5);
    EXPECT_EQ(dm_->QPodKey->RecNo(), 2);
    EXPECT_TRUE(dm_->ReopenApartments());
    EXPECT_TRUE(dm_->ReopenCallBlocks());
    EXPECT_TRUE(dm_->ReopenMelodies());
    EXPECT_EQ(dm_->Q_Mel->RecordCount(), 2);
    EXPECT_EQ(dm_->Q_MelP->RecordCount(), 2);
    EXPECT_GT(dm_->Q_Beep->RecordCount(), 0);
}

TEST_F(TFDMTest, OpenAllTablesKeepsRecordsStepsAndHidesTheGauge) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    dm_->Q_Dom->SetRecNo(2);
    dm_->QForKey->SetRecNo(7);
    ASSERT_TRUE(GlobalParams::ShowFlags(GlobalParams::kCallPanelFlags));
    ASSERT_EQ(dm_->Q_Flg->RecordCount(), 2);
    int matrixOpens = 0;
    dm_->SetOpenMatrTableHook([&](QString*) {
        ++matrixOpens;
        return true;
    });
    QList<std::tuple<int, int, bool>> calls;
    ASSERT_TRUE(
        dm_->OpenAllTables([&](int v, int m, bool vis) { calls << std::make_tuple(v, m, vis); }));
    EXPECT_EQ(matrixOpens, 1);
    EXPECT_EQ(dm_->Q_Net->FieldByName("id_net").AsInt(), 1);
    EXPECT_EQ(dm_->Q_Dom->RecNo(), 2);
    EXPECT_EQ(dm_->Q_DPd->FieldByName("id_dom").AsInt(), 2);
    EXPECT_EQ(dm_->QForKey->RecNo(), 7);
    EXPECT_TRUE(dm_->Q_Bkk->IsOpen());
    EXPECT_TRUE(dm_->Q_Flg->IsOpen());
    EXPECT_EQ(dm_->Q_Flg->RecordCount(), 3);  // both flag types again
    ASSERT_GE(calls.size(), 30);
    EXPECT_EQ(calls.first(), std::make_tuple(0, 33, true));
    // The connection, 29 datasets, matrix, melodies and flag table fill the gauge.
    EXPECT_EQ(calls[calls.size() - 2], std::make_tuple(33, 33, true));
    EXPECT_EQ(calls.last(), std::make_tuple(33, 33, false));
    for (int i = 1; i + 1 < calls.size(); ++i)
        EXPECT_GE(std::get<0>(calls[i]), std::get<0>(calls[i - 1]));

    // A failure on the way still hides the gauge and says why.
    dm_->SetOpenMatrTableHook([](QString* e) {
        *e = "нет таблицы матрицы";
        return false;
    });
    calls.clear();
    EXPECT_FALSE(
        dm_->OpenAllTables([&](int v, int m, bool vis) { calls << std::make_tuple(v, m, vis); }));
    EXPECT_EQ(dm_->LastError(), "нет таблицы матрицы");
    EXPECT_FALSE(std::get<2>(calls.last()));
}

TEST_F(TFDMTest, CountCallCodeInHouseBindsTheCode) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    EXPECT_EQ(dm_->CountCallCodeInHouse("11", 1), 1);  // the handset is not counted
    EXPECT_EQ(dm_->CountCallCodeInHouse("11", 2), 0);
    Exec(
        "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr) VALUES"
        " (1, 2, 5, '1''2', '1''2'), (1, 1, 6, 'x', '1''2'), (1, 3, 5, 'y', '1''2')");
    EXPECT_EQ(dm_->CountCallCodeInHouse("1'2", 1), 2);
    EXPECT_EQ(dm_->CountCallCodeInHouse("1' OR '1'='1", 1), 0);
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 2));
    EXPECT_EQ(dm_->CountCallCodeInHouse("1'2", 1), 0);  // another object's view
}

TEST_F(TFDMTest, EveryNamedDatasetOpensWithTheFieldsOthersRead) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", 2));
    ASSERT_TRUE(dm_->QKalKey->Locate("id_bv", 2));
    EXPECT_EQ(dm_->AllDatasets().size(), 69);
    for (Dataset* ds : dm_->AllDatasets()) {
        if (ds->Sql().isEmpty() || ds->ConnectionName() != TFDM::kConnectionName) continue;
        EXPECT_TRUE(ds->Open()) << ds->Name().toStdString() << ": "
                                << ds->LastError().toStdString();
    }
    const QList<std::pair<Dataset*, QStringList>> reads = {
        {dm_->Q_Net, {"id_net", "id_nom", "ident", "l_pok", "flbv", "flpo", "v_key", "v_kal"}},
        {dm_->Global, {"MaxDevice", "SepDevice", "APP_pk", "APP_bv", "APP_po", "KolTractPK"}},
        {dm_->Q_MNbv, {"plus", "b.n_net", "b.kf_pr", "m.n_pk", "m.n_bv"}},
        {dm_->Q_Bpo, {"p.id_pod", "k.n_net", "plus", "p_fc", "ai", "ah", "d_key", "o_key"}},
        {dm_->QwBpo, {"p.id_pod", "k.n_net", "plus"}},
        {dm_->Q_Bpk, {"k.id_pk", "m.n_pk", "p.id_pod"}},
        {dm_->Q_Bkk, {"o_key", "p.id_pod", "m.n_net"}},
        {dm_->QPodKey, {"id_pod", "o_key", "o_rky", "d_key", "d.id_dom", "n_pod"}},
        {dm_->QForKey, {"d.id_dom", "v.id_pod", "p_nom", "id_kvr", "x_key", "y_key"}},
        {dm_->Q_Ppl, {"id_kvr", "Fam", "Nam", "Och"}},
        {dm_->Q_pk_po, {"k.n_net", "p.id_pod"}},
        {dm_->Q_kv_pk, {"st_kvr"}},
        {dm_->Q_bv_key, {"bv_key"}},
        {dm_->QWOKKey, {"bv_key", "id_pod"}},
        {dm_->Q_Kkk, {"bv_key", "id_pod"}},
        {dm_->Q_JKey, {"id_kvr", "bv_key", "p.id_pod"}},
        {dm_->HavKeys, {"bv_key", "un_key", "ident"}},
    };
    for (const auto& [ds, fields] : reads)
        for (const QString& f : fields)
            EXPECT_TRUE(ds->HasField(f)) << ds->Name().toStdString() << "." << f.toStdString();

    // Keys of the entrances on the gate's matrix row, apartment and common ones.
    Exec(
        "INSERT INTO k_key (un_key, id_pod, id_kvr) VALUES ('K1', 1, 1), ('K2', 3, -1),"
        " ('K3', 4, 10), ('K4', 2, -2)");
    ASSERT_TRUE(dm_->Q_JKey->Reopen());
    EXPECT_EQ(dm_->Q_JKey->RecordCount(), 2);
}

// Lists left closed on an open database are read by whatever asks about them.
// A reopen of every list that stopped at the first one, its table away for
// the moment (as compaction's reopen may stop), leaves them all closed, the
// object list too; a new open leaves the houses closed.
TEST_F(TFDMTest, ListsLeftClosedAreReadByWhateverAsksAboutThem) {
    Exec("UPDATE t_global SET WidthMain=1111");
    Exec("ALTER TABLE t_global RENAME TO t_global_away");
    ASSERT_FALSE(dm_->OpenAllTables());
    Exec("ALTER TABLE t_global_away RENAME TO t_global");
    for (const Dataset* ds : {dm_->Q_Net, dm_->Global, dm_->Q_Flg, dm_->Q_Matr})
        ASSERT_FALSE(ds->IsOpen()) << ds->Name().toStdString();

    EXPECT_TRUE(MainWindowData::IsOpen());
    EXPECT_TRUE(OpenMatrTable()) << MatrTableError().toStdString();
    EXPECT_EQ(2, MainWindowData::ObjectCount());
    EXPECT_EQ(2, MainWindowData::CurrentObjectId());  // the newest comes first
    EXPECT_EQ(1111, MainWindowData::StoredMainWidth());
    EXPECT_EQ(3, GlobalParams::ListedFlagNumbers().size());
    EXPECT_TRUE(GlobalParams::AppendFlag(GlobalParams::kCallPanelFlags, 9, "Флаг"));
    EXPECT_EQ(1, Scalar("SELECT COUNT(*) FROM t_fl WHERE nomf=9").toInt());

    QString error;
    ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
    ASSERT_FALSE(dm_->Q_Dom->IsOpen());
    MainWindowData::LocateObjectOrFirst(1);
    EXPECT_TRUE(MainWindowData::ReadObjectFacts().hasHouses);
    EXPECT_EQ(2, MainWindowData::CurrentHouseEntrances());

    // Without a database nothing is there to read, and no list claims rows.
    dm_->Disconnect();
    EXPECT_FALSE(MainWindowData::IsOpen());
    EXPECT_TRUE(MainWindowData::ObjectListEmpty());
    EXPECT_EQ(0, MainWindowData::ObjectCount());
    EXPECT_EQ(0, MainWindowData::StoredMainWidth());
    EXPECT_FALSE(OpenMatrTable());
    EXPECT_TRUE(GlobalParams::ListedFlagNumbers().isEmpty());
    EXPECT_FALSE(GlobalParams::AppendFlag(GlobalParams::kCallPanelFlags, 10, "Флаг"));
    EXPECT_FALSE(GlobalParams::SaveFlagCounts(3, 3));
}

}  // namespace
}  // namespace TFDMTestUnit
