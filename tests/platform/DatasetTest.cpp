#include "platform/DatabaseErrorText.h"
#include "platform/Dataset.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>

namespace DatasetTestUnit {
namespace {

// A small house/entrance/apartment/key database of the program's shape.
class DatasetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        db_ = QSqlDatabase::addDatabase("QSQLITE", "dstest");
        db_.setDatabaseName(dir_.filePath("t.db"));
        ASSERT_TRUE(db_.open());
        exec(
            "CREATE TABLE k_dom (id_dom INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER,"
            " house TEXT)");
        exec(
            "CREATE TABLE k_pod (id_pod INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER,"
            " id_dom INTEGER, n_pod INTEGER, o_key INTEGER DEFAULT 0)");
        exec(
            "CREATE TABLE k_kvr (id_kvr INTEGER PRIMARY KEY AUTOINCREMENT, id_net INTEGER,"
            " id_pod INTEGER, p_nom INTEGER, n_kvr TEXT, l_vid INTEGER NOT NULL DEFAULT 1)");
        exec("CREATE TABLE k_key (un_key TEXT, id_pod INTEGER, id_kvr INTEGER, s_met TEXT)");
        exec("INSERT INTO k_dom (id_net, house) VALUES (1, 'Дом 1'), (1, 'Дом 2')");
        exec("INSERT INTO k_pod (id_net, id_dom, n_pod) VALUES (1, 1, 1), (1, 1, 2), (1, 2, 1)");
        for (int pod = 1; pod <= 3; ++pod)
            for (int n = 1; n <= 3; ++n)
                exec(QStringLiteral("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr)"
                                    " VALUES (1, %1, %2, '%3')")
                         .arg(pod)
                         .arg(n)
                         .arg(pod * 10 + n));
        exec("INSERT INTO k_key VALUES ('A1', 1, 1, 'x'), ('A2', 1, 1, 'y'), ('B1', 1, 2, 'z')");
    }
    void TearDown() override {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase("dstest");
    }
    void exec(const QString& sql) {
        QSqlQuery q(db_);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    QVariant scalar(const QString& sql) {
        QSqlQuery q(db_);
        if (!q.exec(sql) || !q.next()) return QVariant();
        return q.value(0);
    }

    QTemporaryDir dir_;
    QSqlDatabase db_;
};

TEST_F(DatasetTest, NavigatesAndLocatesOnSeveralFields) {
    Dataset ds("Q_Kvr", "dstest");
    ds.SetSelect({{"", "k_kvr"}}, "WHERE id_net=:id_net ORDER BY id_pod, p_nom");
    ds.SetParam("id_net", 1);
    ASSERT_TRUE(ds.Open()) << ds.LastError().toStdString();
    EXPECT_EQ(ds.RecordCount(), 9);
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_TRUE(ds.Bof());
    EXPECT_FALSE(ds.Eof());

    int seen = 0;
    ds.First();
    while (!ds.Eof()) {
        ++seen;
        ds.Next();
    }
    EXPECT_EQ(seen, 9);
    EXPECT_EQ(ds.RecNo(), 9);
    ds.Prior();
    EXPECT_EQ(ds.RecNo(), 8);
    EXPECT_FALSE(ds.Bof());

    EXPECT_TRUE(ds.Locate("id_pod;p_nom", {2, "3"}));
    EXPECT_EQ(ds.FieldByName("N_KVR").AsString(), "23");
    EXPECT_FALSE(ds.Locate("id_pod;p_nom", {7, 1}));
    EXPECT_EQ(ds.FieldByName("n_kvr").AsString(), "23");  // not moved
    EXPECT_TRUE(ds.Locate("n_kvr", "3", LocatePartialKey));
    EXPECT_EQ(ds.RecNo(), 7);

    ds.SetRecNo(100);
    EXPECT_EQ(ds.RecNo(), 9);
    ds.SetRecNo(0);
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_FALSE(ds.FieldByName("nothing").IsValid());
    EXPECT_TRUE(ds.FieldByName("nothing").IsNull());
}

TEST_F(DatasetTest, ParametersAreBoundNeverSpliced) {
    exec("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr) VALUES (1, 1, 9, 'O''Neil:1')");
    Dataset ds("QRab", "dstest");
    ds.AddSql("SELECT n_kvr FROM k_kvr");
    ds.AddSql("WHERE n_kvr=:code AND n_kvr <> ':notaparam' AND id_net=:id_net");
    EXPECT_EQ(ds.ParamNames(), (QStringList{"code", "id_net"}));
    ds.SetParam("code", "O'Neil:1");
    ds.SetParam("id_net", 1);
    ASSERT_TRUE(ds.Open()) << ds.LastError().toStdString();
    EXPECT_EQ(ds.RecordCount(), 1);

    ds.ClearSql();
    ds.AddSql("UPDATE k_kvr SET n_kvr='x' WHERE id_kvr=:id");
    ds.SetParam("id", 1);
    int rows = 0;
    ASSERT_TRUE(ds.ExecSql(&rows));
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(scalar("SELECT n_kvr FROM k_kvr WHERE id_kvr=1").toString(), "x");

    ds.SetSql("SELECT * FROM no_such_table");
    EXPECT_FALSE(ds.Open());
    EXPECT_FALSE(ds.IsOpen());
    EXPECT_FALSE(ds.LastError().isEmpty());
}

TEST_F(DatasetTest, JoinedSelectNamesSharedColumnsByAliasAndPostsToTheRightRow) {
    Dataset ds("QForKey", "dstest");
    ds.SetSelect({{"d", "k_dom"}, {"p", "k_pod"}, {"v", "k_kvr"}},
                 "WHERE d.id_dom=p.id_dom AND p.id_pod=v.id_pod AND d.id_net=:id_net"
                 " ORDER BY d.id_dom, p.n_pod, v.p_nom",
                 "v");
    ds.SetParam("id_net", 1);
    ASSERT_TRUE(ds.Open()) << ds.LastError().toStdString();
    EXPECT_FALSE(ds.ExpandedSql().contains('*'));
    const QStringList names = ds.FieldNames();
    for (const char* n : {"d.id_dom", "p.id_dom", "p.id_pod", "v.id_pod", "house", "n_pod", "o_key",
                          "id_kvr", "p_nom", "n_kvr", "d.id_net", "v.id_net"})
        EXPECT_TRUE(names.contains(n)) << n;
    EXPECT_FALSE(names.contains("id_dom"));

    ASSERT_TRUE(ds.Locate("d.id_dom;v.id_pod;p_nom", {1, 2, 2}));
    const int kvr = ds.FieldByName("id_kvr").AsInt();
    ds.FieldByName("n_kvr").SetValue("22a");
    ds.FieldByName("o_key").SetValue(5);
    ASSERT_TRUE(ds.Post()) << ds.LastError().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT n_kvr FROM k_kvr WHERE id_kvr=%1").arg(kvr)), "22a");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM k_kvr WHERE n_kvr='22a'").toInt(), 1);
    EXPECT_EQ(scalar("SELECT o_key FROM k_pod WHERE id_pod=2").toInt(), 5);
    EXPECT_EQ(scalar("SELECT SUM(o_key) FROM k_pod").toInt(), 5);

    ds.Reopen();
    EXPECT_EQ(ds.FieldByName("n_kvr").AsString(), "22a");

    // The second table refuses: the first one's write is undone, and the file
    // is not even committed to (its header stays as it was).
    exec("CREATE TRIGGER refuse BEFORE UPDATE ON k_kvr BEGIN SELECT RAISE(ABORT, 'full'); END");
    QFile file(dir_.filePath("t.db"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    ds.FieldByName("n_kvr").SetValue("22b");
    ds.FieldByName("o_key").SetValue(6);
    EXPECT_FALSE(ds.Post());
    EXPECT_EQ(scalar("SELECT o_key FROM k_pod WHERE id_pod=2").toInt(), 5);
    file.seek(0);
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(DatasetTest, TableWithoutKeyIsEditedByRowid) {
    Dataset ds("QKeys", "dstest");
    ds.SetSelect({{"", "k_key"}}, "WHERE id_kvr=:id_kvr ORDER BY s_met");
    ds.SetParam("id_kvr", 1);
    ASSERT_TRUE(ds.Open());
    EXPECT_EQ(ds.FieldNames(), (QStringList{"un_key", "id_pod", "id_kvr", "s_met"}));
    ds.Last();
    ds.FieldByName("s_met").SetValue("метка");
    ASSERT_TRUE(ds.Post()) << ds.LastError().toStdString();
    EXPECT_EQ(scalar("SELECT s_met FROM k_key WHERE un_key='A2'").toString(), "метка");
    EXPECT_EQ(scalar("SELECT s_met FROM k_key WHERE un_key='A1'").toString(), "x");

    ds.First();
    ASSERT_TRUE(ds.Delete());
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM k_key").toInt(), 2);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM k_key WHERE un_key='A1'").toInt(), 0);
}

TEST_F(DatasetTest, DetailFollowsMasterAndAppendFillsItsLinkColumn) {
    Dataset pods("QPodKey", "dstest");
    pods.SetSelect({{"d", "k_dom"}, {"p", "k_pod"}},
                   "WHERE d.id_dom=p.id_dom AND d.id_net=:id_net ORDER BY d.id_dom, p.n_pod", "p");
    pods.SetParam("id_net", 1);
    Dataset kvr("Q_Kvr", "dstest");
    kvr.SetSelect({{"", "k_kvr"}}, "WHERE id_pod=:p.id_pod ORDER BY p_nom");
    kvr.SetMaster(&pods);
    Dataset keys("Q_key", "dstest");
    keys.SetSelect({{"", "k_key"}}, "WHERE id_kvr=:id_kvr");
    keys.SetMaster(&kvr);

    ASSERT_TRUE(kvr.Open());
    ASSERT_TRUE(keys.Open());
    EXPECT_EQ(kvr.RecordCount(), 0);  // master closed: nothing to show
    ASSERT_TRUE(pods.Open());
    EXPECT_EQ(kvr.RecordCount(), 3);
    EXPECT_EQ(kvr.FieldByName("n_kvr").AsString(), "11");
    EXPECT_EQ(keys.RecordCount(), 2);

    pods.Next();
    EXPECT_EQ(kvr.FieldByName("n_kvr").AsString(), "21");
    EXPECT_EQ(keys.RecordCount(), 0);  // grandchild followed too

    kvr.Append();
    EXPECT_EQ(kvr.FieldByName("id_pod").AsInt(), 2);
    kvr.FieldByName("p_nom").SetValue(4);
    kvr.FieldByName("n_kvr").SetValue("24");
    ASSERT_TRUE(kvr.Post()) << kvr.LastError().toStdString();
    EXPECT_GT(kvr.FieldByName("id_kvr").AsInt(), 9);  // key assigned by the database
    EXPECT_EQ(kvr.FieldByName("l_vid").AsInt(), 1);   // column default read back
    EXPECT_EQ(scalar("SELECT id_pod FROM k_kvr WHERE n_kvr='24'").toInt(), 2);

    keys.Append();
    keys.FieldByName("un_key").SetValue("C1");
    ASSERT_TRUE(keys.Post());
    EXPECT_EQ(scalar("SELECT id_kvr FROM k_key WHERE un_key='C1'"),
              kvr.FieldByName("id_kvr").Value());

    pods.Close();
    EXPECT_TRUE(kvr.IsOpen());
    EXPECT_EQ(kvr.RecordCount(), 0);
}

TEST_F(DatasetTest, ReopenKeepsRecordAndDisabledControlsDeferDetails) {
    Dataset pods("Q_Pod", "dstest");
    pods.SetSelect({{"", "k_pod"}}, "WHERE id_net=:id_net ORDER BY id_pod");
    pods.SetParam("id_net", 1);
    Dataset kvr("Q_Kvp", "dstest");
    kvr.SetSelect({{"", "k_kvr"}}, "WHERE id_pod=:id_pod ORDER BY p_nom");
    kvr.SetMaster(&pods);
    ASSERT_TRUE(pods.Open());
    ASSERT_TRUE(kvr.Open());
    pods.SetRecNo(3);
    kvr.SetRecNo(2);
    ASSERT_TRUE(pods.Reopen());
    EXPECT_EQ(pods.RecNo(), 3);
    EXPECT_EQ(kvr.FieldByName("n_kvr").AsString(), "31");  // detail reopened once, at its start
    ASSERT_TRUE(kvr.Reopen());
    EXPECT_EQ(kvr.RecNo(), 1);
    kvr.SetRecNo(3);
    ASSERT_TRUE(kvr.Reopen());
    EXPECT_EQ(kvr.RecNo(), 3);

    pods.DisableControls();
    pods.First();
    EXPECT_EQ(kvr.FieldByName("n_kvr").AsString(), "33");
    pods.EnableControls();
    EXPECT_EQ(kvr.FieldByName("n_kvr").AsString(), "11");
}

TEST_F(DatasetTest, HooksRunAfterPostAndDeleteAndFailuresKeepTheEdit) {
    Dataset ds("Q_key", "dstest");
    ds.SetSelect({{"", "k_key"}}, "ORDER BY un_key");
    int posts = 0, deletes = 0;
    ds.SetAfterPost([&](Dataset& d) {
        ++posts;
        EXPECT_EQ(d.State(), DsState::Browse);
    });
    ds.SetAfterDelete([&](Dataset&) { ++deletes; });
    ASSERT_TRUE(ds.Open());
    ds.FieldByName("s_met").SetValue("q");
    EXPECT_EQ(ds.State(), DsState::Edit);
    ds.Next();  // moving posts the pending edit
    EXPECT_EQ(posts, 1);
    ASSERT_TRUE(ds.Delete());
    EXPECT_EQ(deletes, 1);

    ds.FieldByName("no_field").SetValue(1);
    ds.FieldByName("s_met").SetValue("w");
    EXPECT_FALSE(ds.Post());
    EXPECT_EQ(ds.State(), DsState::Edit);
    ds.Cancel();
    EXPECT_EQ(ds.State(), DsState::Browse);
    EXPECT_EQ(posts, 1);

    Dataset ro("QWOKKey", "dstest");
    ro.SetSql("SELECT DISTINCT id_pod FROM k_key");
    ASSERT_TRUE(ro.Open());
    ro.FieldByName("id_pod").SetValue(3);
    EXPECT_FALSE(ro.Post());
    ro.Cancel();
    EXPECT_FALSE(ro.Delete());
}

TEST_F(DatasetTest, SetSqlWithUpdateTableAndSchemaChanges) {
    Dataset ds("QRab", "dstest");
    ds.SetSql("SELECT * FROM k_dom ORDER BY id_dom");
    ds.SetUpdateTable("k_dom");
    ASSERT_TRUE(ds.Open());
    ds.FieldByName("house").SetValue("Новый");
    ASSERT_TRUE(ds.Post());
    EXPECT_EQ(scalar("SELECT house FROM k_dom WHERE id_dom=1").toString(), "Новый");

    Dataset sel("Q_Dom", "dstest");
    sel.SetSelect({{"", "k_dom"}}, "ORDER BY id_dom");
    ASSERT_TRUE(sel.Open());
    exec("ALTER TABLE k_dom ADD COLUMN kvv_t INTEGER DEFAULT 0");
    ASSERT_TRUE(sel.Reopen());
    EXPECT_TRUE(sel.HasField("kvv_t"));
}

TEST_F(DatasetTest, ModelShowsDeclaredColumnsAndPostsEdits) {
    Dataset ds("Q_Kvp", "dstest");
    ds.SetSelect({{"", "k_kvr"}}, "WHERE id_pod=:id_pod ORDER BY p_nom");
    ds.SetParam("id_pod", 1);
    ASSERT_TRUE(ds.Open());
    DatasetModel model(&ds);
    EXPECT_EQ(model.columnCount(), ds.FieldCount());
    model.AddColumn("n_kvr", "Кв.", true);
    model.AddColumn("l_vid", "Видео", true, true);
    model.AddColumn("p_nom", "№");
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Кв.");
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "12");
    EXPECT_EQ(model.data(model.index(1, 1), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);

    EXPECT_TRUE(model.setData(model.index(2, 0), "13б"));
    EXPECT_TRUE(model.setData(model.index(2, 1), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(scalar("SELECT n_kvr || l_vid FROM k_kvr WHERE id_pod=1 AND p_nom=3").toString(),
              "13б0");
    EXPECT_FALSE(model.setData(model.index(0, 2), 7));

    ds.SetParam("id_pod", 3);
    ds.Close();
    EXPECT_EQ(model.rowCount(), 0);
    ds.Open();
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "31");
}

namespace {

TEST_F(DatasetTest, PendingDetailEditIsPostedWhenTheMasterMoves) {
    Dataset pods("Q_Pod", "dstest");
    pods.SetSelect({{"", "k_pod"}}, "ORDER BY id_pod");
    Dataset kvr("Q_Kvp", "dstest");
    kvr.SetSelect({{"", "k_kvr"}}, "WHERE id_pod=:id_pod ORDER BY p_nom");
    kvr.SetMaster(&pods);
    ASSERT_TRUE(pods.Open());
    ASSERT_TRUE(kvr.Open());
    kvr.FieldByName("n_kvr").SetValue("11-правка");
    pods.Next();
    EXPECT_EQ(kvr.State(), DsState::Browse);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM k_kvr WHERE n_kvr='11-правка'").toInt(), 1);
}

// Entrances of the object and the apartments of the one the list stands on.
class EntranceApartments : public DatasetTest {
  protected:
    void SetUp() override {
        DatasetTest::SetUp();
        pods_.SetSelect({{"", "k_pod"}}, "WHERE id_net=:id_net ORDER BY id_pod");
        pods_.SetParam("id_net", 1);
        kvr_.SetSelect({{"", "k_kvr"}}, "WHERE id_pod=:id_pod ORDER BY p_nom");
        kvr_.SetMaster(&pods_);
    }
    Dataset pods_{"Q_Pod", "dstest"};
    Dataset kvr_{"Q_Kvp", "dstest"};
};

// With the keys of the apartment the list stands on, all open.
class DeferredRefresh : public EntranceApartments {
  protected:
    void SetUp() override {
        EntranceApartments::SetUp();
        keys_.SetSelect({{"", "k_key"}}, "WHERE id_kvr=:id_kvr ORDER BY un_key");
        keys_.SetMaster(&kvr_);
        ASSERT_TRUE(pods_.Open());
        ASSERT_TRUE(kvr_.Open());
        ASSERT_TRUE(keys_.Open());
    }
    // The next entrance, with the apartment list's refresh deferred.
    void nextEntranceDeferred() {
        const Dataset::DeferredRefresh later({&kvr_});
        pods_.Next();
    }
    QStringList keyNumbers() {
        QStringList numbers;
        for (keys_.First(); !keys_.Eof(); keys_.Next())
            numbers << keys_.FieldByName("un_key").AsString();
        return numbers;
    }
    Dataset keys_{"Q_key", "dstest"};
};

TEST_F(DeferredRefresh, ADeferredDetailReadsTheRowsThereAreOnFirstUseOnItsFirstRow) {
    kvr_.SetRecNo(2);
    nextEntranceDeferred();
    EXPECT_TRUE(kvr_.IsOpen());
    EXPECT_TRUE(kvr_.IsStale());
    EXPECT_TRUE(keys_.IsStale());  // its master's row is not known yet
    EXPECT_EQ(DsState::Browse, kvr_.State());
    // Written after the move, yet read: nothing was read at the move.
    exec("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr) VALUES (1, 2, 0, '20')");
    EXPECT_EQ("20", kvr_.FieldByName("n_kvr").AsString());
    EXPECT_FALSE(kvr_.IsStale());
    EXPECT_EQ(1, kvr_.RecNo());
    EXPECT_EQ(4, kvr_.RecordCount());
    EXPECT_FALSE(keys_.IsStale());  // followed its master's read
    EXPECT_EQ(0, keys_.RecordCount());

    // Once the guard is gone a move reads at once, as ever.
    pods_.Prior();
    EXPECT_FALSE(kvr_.IsStale());
    EXPECT_EQ("11", kvr_.FieldByName("n_kvr").AsString());
}

TEST_F(DeferredRefresh, ADetailOfAStaleDatasetReadsItsMasterFirst) {
    nextEntranceDeferred();
    {
        const Dataset::DeferredRefresh later({&kvr_});
        pods_.Prior();  // back to the first entrance, still unread
    }
    EXPECT_EQ(QStringList({"A1", "A2"}), keyNumbers());
    EXPECT_FALSE(kvr_.IsStale());
    EXPECT_EQ("11", kvr_.FieldByName("n_kvr").AsString());
}

TEST_F(DeferredRefresh, AStaleDatasetIsReadOnceByAReopenAndNotAtAllByAClose) {
    nextEntranceDeferred();
    QSignalSpy resets(&kvr_, &Dataset::RowsReset);
    ASSERT_TRUE(kvr_.Reopen());
    EXPECT_EQ(1, resets.count());  // one read, no close before it
    EXPECT_EQ(1, kvr_.RecNo());
    EXPECT_EQ("21", kvr_.FieldByName("n_kvr").AsString());

    nextEntranceDeferred();
    kvr_.Close();
    EXPECT_FALSE(kvr_.IsStale());
    EXPECT_EQ(0, kvr_.RecordCount());
    ASSERT_TRUE(kvr_.Open());
    EXPECT_EQ("31", kvr_.FieldByName("n_kvr").AsString());
}

TEST_F(DeferredRefresh, AViewShowsAStaleDatasetAsEmptyAndNeverReadsIt) {
    DatasetModel model(&kvr_);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    nextEntranceDeferred();
    EXPECT_EQ(1, resets.count());
    EXPECT_EQ(0, model.rowCount());
    EXPECT_FALSE(model.data(model.index(0, 0)).isValid());
    EXPECT_TRUE(kvr_.IsStale());
    EXPECT_EQ(3, kvr_.RecordCount());  // the first use
    EXPECT_EQ(2, resets.count());
    EXPECT_EQ(3, model.rowCount());
    EXPECT_EQ("21", model.data(model.index(0, model.ColumnOf("n_kvr"))).toString());
}

TEST_F(DeferredRefresh, APendingEditIsPostedBeforeTheRowsGoStale) {
    kvr_.FieldByName("n_kvr").SetValue("11-правка");
    nextEntranceDeferred();
    EXPECT_EQ(DsState::Browse, kvr_.State());
    EXPECT_EQ(1, scalar("SELECT COUNT(*) FROM k_kvr WHERE n_kvr='11-правка'").toInt());
}

}  // namespace

namespace {

// The same as the data module keeps them: closed until read, then read on
// the master's row.
class OpenWhenRead : public EntranceApartments {
  protected:
    void SetUp() override {
        EntranceApartments::SetUp();
        for (Dataset* ds : {&pods_, &kvr_}) ds->SetOpensWhenRead(true);
    }
};

TEST_F(OpenWhenRead, EveryReaderOfAClosedDatasetFindsItsRowsOnTheMastersRow) {
    EXPECT_FALSE(kvr_.IsOpen());
    EXPECT_TRUE(kvr_.RowsPending());
    EXPECT_EQ(3, kvr_.RecordCount());
    EXPECT_TRUE(pods_.IsOpen());  // read first, for its row
    EXPECT_EQ("11", kvr_.FieldByName("n_kvr").AsString());
    pods_.Next();
    EXPECT_EQ("21", kvr_.FieldByName("n_kvr").AsString());

    // A move, a locate, a field, an edit: each reads a closed dataset first.
    const QList<std::function<void()>> readers = {
        [this] { kvr_.Last(); },
        [this] { EXPECT_TRUE(kvr_.Locate("p_nom", 3)); },
        [this] { EXPECT_TRUE(kvr_.HasField("n_kvr")); },
        [this] { EXPECT_FALSE(kvr_.Eof()); },
        [this] { kvr_.Edit(); },
    };
    for (const auto& read : readers) {
        kvr_.Close();
        read();
        EXPECT_TRUE(kvr_.IsOpen());
        EXPECT_EQ(3, kvr_.RecordCount());
        kvr_.Cancel();
    }

    // Work datasets stay as their users leave them.
    Dataset work("QRab", "dstest");
    work.SetSelect({{"", "k_pod"}}, "");
    EXPECT_FALSE(work.RowsPending());
    EXPECT_EQ(0, work.RecordCount());
    EXPECT_FALSE(work.IsOpen());
}

TEST_F(OpenWhenRead, ADetailClosesWithItsMasterAndIsReadAgainWithIt) {
    pods_.SetRecNo(2);
    EXPECT_EQ("21", kvr_.FieldByName("n_kvr").AsString());
    pods_.Close();
    EXPECT_FALSE(kvr_.IsOpen());
    exec("UPDATE k_kvr SET n_kvr='11-новая' WHERE id_pod=1 AND p_nom=1");
    EXPECT_EQ("11-новая", kvr_.FieldByName("n_kvr").AsString());
    EXPECT_EQ(1, pods_.RecNo());
}

TEST_F(OpenWhenRead, AFailedOpenIsToldAndTriedAgainOnlyAfterAClose) {
    exec("ALTER TABLE k_kvr RENAME TO k_kvr_away");
    QSignalSpy resets(&kvr_, &Dataset::RowsReset);
    EXPECT_EQ(0, kvr_.RecordCount());
    EXPECT_FALSE(kvr_.EnsureRead());
    EXPECT_TRUE(kvr_.Eof());
    EXPECT_EQ("Таблица k_kvr не найдена", kvr_.LastError());
    EXPECT_FALSE(kvr_.RowsPending());
    EXPECT_EQ(1, resets.count());  // one try, however many readers
    // A value written meanwhile is stored nowhere, and the post says so.
    kvr_.FieldByName("n_kvr").SetValue("99");
    EXPECT_FALSE(kvr_.Post());
    EXPECT_EQ("Поле 'n_kvr' не найдено", kvr_.LastError());  // never read: no fields known

    exec("ALTER TABLE k_kvr_away RENAME TO k_kvr");
    EXPECT_EQ(0, kvr_.RecordCount());
    kvr_.Close();
    EXPECT_EQ(3, kvr_.RecordCount());
    EXPECT_TRUE(kvr_.LastError().isEmpty());
}

TEST_F(OpenWhenRead, WhoeverIsToldOfACloseSeesItClosed) {
    int seenRows = -1;
    ASSERT_EQ(3, pods_.RecordCount());
    QObject::connect(&pods_, &Dataset::RowsReset, [&] { seenRows = pods_.RecordCount(); });
    pods_.Close();
    EXPECT_EQ(0, seenRows);
    EXPECT_FALSE(pods_.IsOpen());
    EXPECT_FALSE(kvr_.IsOpen());
    EXPECT_EQ(3, pods_.RecordCount());  // the next reader, after the close
}

TEST_F(OpenWhenRead, AnOpenerOpensADatasetWhoseTextItWritesOut) {
    Dataset matrix("Q_Matr", "dstest");
    matrix.SetOpensWhenRead(true);
    int opened = 0;
    matrix.SetOpener([&] {
        ++opened;
        matrix.SetSql("SELECT * FROM k_kvr WHERE id_pod=2");
        return matrix.Open();
    });
    EXPECT_EQ(3, matrix.RecordCount());
    EXPECT_EQ("21", matrix.FieldByName("n_kvr").AsString());
    EXPECT_EQ(1, opened);
}

TEST_F(OpenWhenRead, AViewNeverReadsButAGridShownDoes) {
    DatasetModel model(&kvr_);
    EXPECT_EQ(0, model.rowCount());
    EXPECT_FALSE(model.data(model.index(0, 0)).isValid());
    EXPECT_FALSE(kvr_.IsOpen());

    DatasetGrid grid;
    grid.SetModel(&model);
    EXPECT_FALSE(kvr_.IsOpen());  // not on screen yet
    grid.show();
    EXPECT_EQ(3, model.rowCount());
    EXPECT_EQ("11", model.data(model.index(0, model.ColumnOf("n_kvr"))).toString());

    // Closed under a grid on screen, it is read again once the close is over.
    pods_.Close();
    EXPECT_EQ(0, model.rowCount());
    QCoreApplication::processEvents();
    EXPECT_EQ(3, model.rowCount());
    EXPECT_EQ(0, grid.currentIndex().row());
}

}  // namespace

TEST_F(DatasetTest, ATableWithoutAKeyShowsItsRowidToCodeButNotToGrids) {
    Dataset keys("keys", "dstest");
    keys.SetSelect({{QString(), "k_key"}}, "WHERE id_kvr=1 ORDER BY un_key");
    ASSERT_TRUE(keys.Open());
    EXPECT_FALSE(keys.FieldNames().contains("k_key.rowid"));
    keys.Last();
    const qint64 rowid = keys.FieldByName("k_key.rowid").AsLargeInt();
    EXPECT_EQ(QStringLiteral("A2"),
              scalar(QStringLiteral("SELECT un_key FROM k_key WHERE rowid=%1").arg(rowid)));
    DatasetModel model(&keys);
    EXPECT_EQ(4, model.columnCount());
}

// Another connection (another copy of the program on the same file) changes
// a table between two opens: the kept select and its column list follow.
TEST_F(DatasetTest, AReopenFollowsColumnsAnotherConnectionAddedOrDropped) {
    QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "dstest_other");
    other.setDatabaseName(dir_.filePath("t.db"));
    ASSERT_TRUE(other.open());
    auto otherExec = [&](const QString& sql) {
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    };
    {
        Dataset houses("Q_Dom", "dstest");
        houses.SetSelect({{"", "k_dom"}}, "ORDER BY id_dom");
        ASSERT_TRUE(houses.Open());
        ASSERT_TRUE(houses.Reopen());

        otherExec("ALTER TABLE k_dom ADD COLUMN kod_d TEXT DEFAULT '7'");
        ASSERT_TRUE(houses.Reopen()) << houses.LastError().toStdString();
        EXPECT_EQ(houses.FieldByName("kod_d").AsString(), "7");

        otherExec("ALTER TABLE k_dom DROP COLUMN house");
        ASSERT_TRUE(houses.Reopen()) << houses.LastError().toStdString();
        EXPECT_TRUE(houses.LastError().isEmpty());
        EXPECT_FALSE(houses.HasField("house"));
        EXPECT_EQ(houses.RecordCount(), 2);
    }
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("dstest_other");
}

namespace {

// Every cell of the dataset's rows as QtSql reads the same text.
void ExpectReadAsQtSqlReads(Dataset& ds, QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    int row = 0;
    while (q.next()) {
        ASSERT_LT(row, ds.RecordCount());
        for (int c = 0; c < ds.FieldCount(); ++c) {
            const QVariant ours = ds.Value(row, c);
            const QVariant theirs = q.value(c);
            const std::string where = "row " + std::to_string(row) + " column " +
                                      std::to_string(c) + ": " + ours.toString().toStdString() +
                                      " / " + theirs.toString().toStdString();
            EXPECT_EQ(ours.typeId(), theirs.typeId()) << where;
            EXPECT_EQ(ours.isNull(), theirs.isNull()) << where;
            EXPECT_EQ(ours, theirs) << where;
            if (ours.typeId() == QMetaType::QString) {
                EXPECT_EQ(ours.toString().isNull(), theirs.toString().isNull()) << where;
            }
            if (ours.typeId() == QMetaType::QByteArray) {
                EXPECT_EQ(ours.toByteArray().isNull(), theirs.toByteArray().isNull()) << where;
            }
        }
        ++row;
    }
    EXPECT_EQ(row, ds.RecordCount());
}

}  // namespace

// Rows come straight from SQLite: every kind of value reads as QtSql reads it.
TEST_F(DatasetTest, ValuesOfEveryKindReadAsQtSqlReadsThem) {
    exec("CREATE TABLE t_mix (n INTEGER, r REAL, s TEXT, b BLOB, x)");
    exec("INSERT INTO t_mix VALUES (NULL, NULL, NULL, NULL, NULL)");
    exec("INSERT INTO t_mix VALUES (9223372036854775807, -0.5, '', x'', 1)");
    exec("INSERT INTO t_mix VALUES (-1, 1e300, 'Подъезд № 1 «Ёлка»', x'00ff10', 2.25)");
    exec("INSERT INTO t_mix VALUES (0, 3, char(65279) || 'с меткой порядка', x'41', 'т')");
    exec("INSERT INTO t_mix VALUES (1, 0, 'ключ 😀 и 𝄞', zeroblob(3), x'42')");
    // Bytes that are not UTF-8, as a foreign program could have written them.
    exec("INSERT INTO t_mix VALUES (2, 0, CAST(x'ff41c3' AS TEXT), NULL, CAST(x'eda080' AS TEXT))");
    // Text in integer and real columns keeps what it is.
    exec("INSERT INTO t_mix VALUES ('007', '1,5', 42, 4.5, -7)");

    const QString sql = "SELECT n, r, s, b, x FROM t_mix ORDER BY rowid";
    Dataset ds("QRab", "dstest");
    ds.SetSql(sql);
    ASSERT_TRUE(ds.Open()) << ds.LastError().toStdString();
    EXPECT_EQ(ds.FieldNames(), (QStringList{"n", "r", "s", "b", "x"}));
    ExpectReadAsQtSqlReads(ds, db_, sql);
    ds.SetRecNo(3);
    EXPECT_EQ(ds.FieldByName("s").AsString(), "Подъезд № 1 «Ёлка»");
    ds.SetRecNo(4);
    EXPECT_EQ(ds.FieldByName("s").AsString().front(), QChar(0xFEFF));

    // And again from the statement kept prepared, with bound values.
    ds.SetSql("SELECT n, r, s, b, x FROM t_mix WHERE rowid >= :first ORDER BY rowid");
    ds.SetParam("first", 1);
    ASSERT_TRUE(ds.Open());
    ASSERT_TRUE(ds.Reopen());
    ExpectReadAsQtSqlReads(ds, db_, sql);
}

// A statement that fails says why as the same failure through QtSql reads
// to the operator: at prepare, at a step, and when its placeholders are not
// the dataset's parameters.
TEST_F(DatasetTest, AFailingStatementReportsTheReasonQtSqlMeets) {
    auto qtError = [this](const QString& sql) {
        QSqlQuery q(db_);
        if (!q.prepare(sql)) return DatabaseReason(q.lastError());
        if (!q.exec()) return DatabaseReason(q.lastError());
        while (q.next()) {
        }
        return DatabaseReason(q.lastError());
    };
    Dataset ds("QRab", "dstest");
    const QStringList failing = {
        "SELECT * FROM no_such_table",
        "SELECT n_kvr FROM k_kvr WHERE id_kvr = ?",
        "SELECT abs(-9223372036854775807 - 1) FROM k_kvr",
    };
    for (const QString& sql : failing) {
        ds.SetSql(sql);
        EXPECT_FALSE(ds.Open()) << sql.toStdString();
        EXPECT_FALSE(ds.IsOpen());
        EXPECT_EQ(ds.RecordCount(), 0);
        EXPECT_FALSE(ds.LastError().isEmpty()) << sql.toStdString();
        EXPECT_EQ(ds.LastError(), qtError(sql)) << sql.toStdString();
    }
    ds.SetSql("SELECT n_kvr FROM k_kvr WHERE id_kvr = 1");
    EXPECT_TRUE(ds.Open());
    EXPECT_TRUE(ds.LastError().isEmpty());
}

// The kept statement never holds the connection open: a close closes it, and
// the next open prepares the statement again.
TEST_F(DatasetTest, AConnectionClosesUnderAKeptStatementAndOpensAgain) {
    Dataset kvr("Q_Kvr", "dstest");
    kvr.SetSelect({{"", "k_kvr"}}, "WHERE id_pod=:id_pod ORDER BY p_nom");
    kvr.SetParam("id_pod", 2);
    ASSERT_TRUE(kvr.Open());
    kvr.SetRecNo(2);
    db_.close();
    EXPECT_FALSE(db_.lastError().isValid()) << db_.lastError().text().toStdString();
    EXPECT_FALSE(kvr.Reopen());
    EXPECT_FALSE(kvr.LastError().isEmpty());
    ASSERT_TRUE(db_.open());
    kvr.SetParam("id_pod", 3);
    ASSERT_TRUE(kvr.Reopen()) << kvr.LastError().toStdString();
    EXPECT_EQ(kvr.RecordCount(), 3);
    kvr.SetRecNo(2);
    ASSERT_TRUE(kvr.Reopen());
    EXPECT_EQ(kvr.RecNo(), 2);
    EXPECT_EQ(kvr.FieldByName("n_kvr").AsString(), "32");
}

// A grid keeps what it looked up by field name only while the dataset's
// fields stay as they were.
TEST_F(DatasetTest, ModelFollowsTheFieldsOfEveryOpen) {
    Dataset ds("QRab", "dstest");
    ds.SetSql("SELECT id_kvr, n_kvr FROM k_kvr WHERE id_pod=1 ORDER BY p_nom");
    ASSERT_TRUE(ds.Open());
    DatasetModel all(&ds);
    DatasetModel declared(&ds);
    declared.AddColumn("n_kvr", "Кв.");
    EXPECT_EQ(all.columnCount(), 2);
    EXPECT_EQ(all.data(all.index(0, 1)).toString(), "11");
    EXPECT_EQ(declared.data(declared.index(1, 0)).toString(), "12");

    ds.SetSql("SELECT n_kvr, p_nom, id_kvr FROM k_kvr WHERE id_pod=2 ORDER BY p_nom");
    ASSERT_TRUE(ds.Open());
    EXPECT_EQ(all.columnCount(), 3);
    EXPECT_EQ(all.headerData(0, Qt::Horizontal).toString(), "n_kvr");
    EXPECT_EQ(all.data(all.index(0, 0)).toString(), "21");
    EXPECT_EQ(all.ColumnOf("ID_KVR"), 2);
    EXPECT_EQ(declared.data(declared.index(1, 0)).toString(), "22");

    declared.ClearColumns();
    declared.AddColumn("p_nom", "№");
    EXPECT_EQ(declared.data(declared.index(2, 0)).toInt(), 3);
    EXPECT_EQ(declared.headerData(0, Qt::Horizontal).toString(), "№");
}
}  // namespace
}  // namespace DatasetTestUnit
