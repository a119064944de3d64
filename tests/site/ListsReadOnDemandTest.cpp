// The object's lists as the site's readers find them where a road into the
// program left them closed: the database opened anew (as the folder choice
// and compaction open it), a reopen of every list stopped half way, the
// matrix closed by a deletion, a list closed under panels that show it.
// Whoever asks reads the rows; none is taken for a list without rows.
#include "MatrixDb.h"
#include "SiteDb.h"
#include "site/AccessMatrix.h"
#include "site/EntranceScreen.h"
#include "site/MatrixEditor.h"
#include "site/ObjectDeletion.h"
#include "site/SiteData.h"
#include "site/ui/TRecordGrid.h"

#include <QApplication>

namespace ListsReadOnDemandTestUnit {

namespace {

class ListsReadOnDemand : public SiteDb {
  protected:
    // The data module opened anew on the same file: the lists the schema
    // upgrade does not read, the houses and entrances among them, stay
    // closed until something reads them.
    void OpenAgain() {
        dm_.Disconnect();
        QString error;
        ASSERT_TRUE(dm_.Connect(db_.dbPath(), &error)) << error.toStdString();
    }
    // A reopen of every list that stopped at the first one, its table away
    // for the moment (as compaction's reopen may stop): the database is
    // open and every list closed, the object list too.
    void ReopenStoppedAtTheStart() {
        Sql("ALTER TABLE t_global RENAME TO t_global_away");
        EXPECT_FALSE(dm_.OpenAllTables());
        Sql("ALTER TABLE t_global_away RENAME TO t_global");
        ASSERT_TRUE(dm_.Connected());
        ASSERT_FALSE(dm_.Q_Net->IsOpen());
    }
};

TEST_F(ListsReadOnDemand, TheObjectItsHousesAndEntrancesAreReadByWhoeverAsksAboutThem) {
    const qint64 idNet = BuildReference();
    const qint64 idDom = HouseIds(idNet).first();
    const qint64 idPod =
        One("SELECT id_pod FROM k_pod WHERE id_dom=? ORDER BY n_pod", {idDom}).toLongLong();

    // The deletion asks about the object, rather than finding none.
    ReopenStoppedAtTheStart();
    dialogs_.Expect(QStringLiteral("Удаление объекта!"),
                    QStringLiteral("Будут удалены все дома и устройства, относящиеся к данному "
                                   "объекту! Удаляем?"),
                    DlgAnswer::No);
    EXPECT_FALSE(ObjectDeletion::AskDeleteCurrentObject(dm_));
    dialogs_.VerifyDone();

    ReopenStoppedAtTheStart();
    const std::optional<MatrixObject> object = CurrentMatrixObject();
    ASSERT_TRUE(object);
    EXPECT_EQ(idNet, object->idNet);
    ReopenStoppedAtTheStart();
    EXPECT_EQ(idNet, SiteData::CurrentObjectId());

    // Names typed into the entrance screen's grids are written.
    EntranceScreen screen;
    OpenAgain();
    ASSERT_FALSE(dm_.Q_Dom->IsOpen());
    EXPECT_TRUE(screen.SetHouseName(idDom, QStringLiteral("Новый дом")));
    EXPECT_EQ(QStringLiteral("Новый дом"),
              One("SELECT house FROM k_dom WHERE id_dom=?", {idDom}).toString());
    OpenAgain();
    ASSERT_FALSE(dm_.Q_DPd->IsOpen());
    EXPECT_TRUE(screen.SetEntranceField(idPod, QStringLiteral("nm_pod"), QStringLiteral("Южн")));
    EXPECT_EQ(QStringLiteral("Южн"),
              One("SELECT nm_pod FROM k_pod WHERE id_pod=?", {idPod}).toString());

    // Without a database there is nothing to read, and nothing is written.
    dm_.Disconnect();
    EXPECT_EQ(0, SiteData::CurrentObjectId());
    EXPECT_FALSE(CurrentMatrixObject());
    EXPECT_FALSE(screen.SetHouseName(idDom, QStringLiteral("Другой")));
}

// Panels made while their list was closed show its rows once they show; a
// list closed under panels on screen is read again as soon as it may be.
TEST_F(ListsReadOnDemand, PanelsShowTheRowsOfAListClosedBeforeOrWhileTheyAreShown) {
    const qint64 idNet = BuildReference();
    OpenAgain();
    ASSERT_FALSE(dm_.Q_Dom->IsOpen());
    TRecordGrid grid(
        QStringLiteral("CGridD"),
        {{TRecordGrid::Kind::Text, QStringLiteral("house"), QString(), QStringLiteral("house")}},
        30, QStringLiteral("id_dom"));
    grid.SetDataset(dm_.Q_Dom);
    EXPECT_EQ(0, grid.RowCount()) << "a grid not shown reads nothing";
    EXPECT_FALSE(dm_.Q_Dom->IsOpen());
    grid.show();
    EXPECT_EQ(HouseIds(idNet).size(), grid.RowCount());
    EXPECT_EQ(0, grid.CurrentRow());

    OpenAgain();
    QApplication::processEvents();
    EXPECT_EQ(HouseIds(idNet).size(), grid.RowCount());

    // Closed with the database, the panels go and nothing is read.
    dm_.Disconnect();
    QApplication::processEvents();
    EXPECT_EQ(0, grid.RowCount());
    EXPECT_EQ(-1, grid.CurrentRow());
}

class MatrixReadOnDemand : public MatrixDb {
  protected:
    // The matrix opens on being read as in the program.
    MatrixReadOnDemand() { InstallMatrTableHook(); }
    int PanelRows(qint64 idNet) {
        return One(QStringLiteral("SELECT COUNT(*) FROM ") + MatrTableName(idNet)).toInt() -
               kMatrHeaderRows;
    }
    qint64 BuildWithGates(int gates) {
        ReferenceObjectOptions options;
        options.name = QStringLiteral("Объект с %1 калитками").arg(gates);
        options.gates = gates;
        const qint64 idNet = Build(ReferenceStep::Matrix, options);
        EXPECT_TRUE(dm_.Q_Net->Locate(QStringLiteral("id_net"), idNet));
        return idNet;
    }
    void Delete(qint64 idNet) {
        QString error;
        ASSERT_TRUE(ObjectDeletion::DeleteObject(dm_, idNet, {}, &error)) << error.toStdString();
        ASSERT_FALSE(dm_.Q_Matr->IsOpen());
    }
};

// A deletion closes the matrix of the object it deletes; the next reader
// reads the matrix of the object current after it.
TEST_F(MatrixReadOnDemand, AfterADeletionTheMatrixOfTheObjectNowCurrentIsRead) {
    const qint64 first = BuildWithGates(0);
    const qint64 second = BuildWithGates(1);
    const qint64 third = BuildWithGates(2);
    ASSERT_NE(PanelRows(first), PanelRows(second));

    Delete(third);
    ASSERT_EQ(second, SiteData::CurrentObjectId());
    EXPECT_EQ(PanelRows(second), AccessMatrix::ShowMatrixTotals().panels);

    Delete(second);
    ASSERT_EQ(first, SiteData::CurrentObjectId());
    EXPECT_EQ(PanelRows(first), MatrixEditor::PanelTotal());
}

}  // namespace
}  // namespace ListsReadOnDemandTestUnit
