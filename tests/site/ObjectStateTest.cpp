// Every writer's move of the object state, and the stored move.
#include "SiteDb.h"
#include "site/ObjectState.h"

#include <gtest/gtest.h>

namespace ObjectStateTestUnit {
namespace {

using namespace ObjectState;

namespace {

const QStringList kStates = {kEmpty,       kCreated, kEntered,      kSaved,
                             kSavedEdited, kClosed,  kClosedEdited, kClosedSaved};

// Expected result of a move for each state of kStates, in that order.
void ExpectMove(const char* what, const Move& move, const QStringList& expected) {
    ASSERT_EQ(kStates.size(), expected.size());
    for (int i = 0; i < kStates.size(); ++i)
        EXPECT_EQ(expected[i], move(kStates[i])) << what << " from " << kStates[i].toStdString();
}

}  // namespace

TEST(ObjectStateMoves, MatrixTableCreationMovesOnlyAnEmptyObject) {
    EXPECT_EQ(kEmpty, AfterObjectInserted());
    ExpectMove(
        "table created", AfterMatrixTableCreated,
        {kCreated, kCreated, kEntered, kSaved, kSavedEdited, kClosed, kClosedEdited, kClosedSaved});
}

TEST(ObjectStateMoves, EntranceSaveWithChangedCountsAndAnAppendedEntrance) {
    ExpectMove("counts changed, entrance appended",
               [](const QString& s) { return AfterEntrancesSaved(s, true, true); },
               {kEmpty, kCreated, QStringLiteral("введ+ввод"), kSavedEdited, kSavedEdited,
                kClosedEdited, kSavedEdited, kClosedEdited});
    // An object whose matrix was never built keeps its state for the rebuild.
    ExpectMove("counts changed only",
               [](const QString& s) { return AfterEntrancesSaved(s, true, false); },
               {kEmpty, kCreated, kSavedEdited, kSavedEdited, kSavedEdited, kClosedEdited,
                kSavedEdited, kSavedEdited});
    ExpectMove("appended only",
               [](const QString& s) { return AfterEntrancesSaved(s, false, true); },
               {kEmpty, kCreated, QStringLiteral("введ+ввод"), kSavedEdited, kSavedEdited,
                kClosedEdited, kClosedEdited, kClosedEdited});
    ExpectMove(
        "nothing changed", [](const QString& s) { return AfterEntrancesSaved(s, false, false); },
        kStates);
}

TEST(ObjectStateMoves, RebuildKeepsTheFirstFourCharacters) {
    ExpectMove("rebuilt", AfterMatrixRebuilt,
               {QStringLiteral("пуст+сохр"), QStringLiteral("созд+сохр"),
                QStringLiteral("введ+сохр"), QStringLiteral("сохр+сохр"),
                QStringLiteral("сохр+сохр"), kClosedSaved, kClosedSaved, kClosedSaved});
}

TEST(ObjectStateMoves, MatrixEditSaveAndRestore) {
    ExpectMove("cell edited", AfterMatrixCellEdited,
               {kEntered, kEntered, kEntered, kSavedEdited, kSavedEdited, kClosedEdited,
                kClosedEdited, kClosedEdited});
    ExpectMove("saved", AfterMatrixSaved,
               {kSaved, kSaved, kSaved, kSaved, kSaved, kClosedSaved, kSaved, kSaved});
    ExpectMove("restored", AfterMatrixRestored,
               {kEmpty, kCreated, kEntered, kSaved, kSaved, kClosed, kClosed, kClosed});
    QStringList allowed;
    for (const QString& s : kStates)
        if (RestoreAllowed(s)) allowed << s;
    EXPECT_EQ(QStringList({kSaved, kSavedEdited, kClosed, kClosedEdited, kClosedSaved}), allowed);
    EXPECT_FALSE(EntersEntrances(kClosed));
    EXPECT_TRUE(EntersEntrances(kClosedSaved));
}

TEST(ObjectStateMoves, ApartmentsHeaderAndDeviceRecords) {
    ExpectMove("apartments changed", AfterApartmentsChanged,
               {kSaved, kSaved, kSaved, kSaved, kSavedEdited, kClosedSaved, kSaved, kClosedSaved});
    ExpectMove("recounted with a change",
               [](const QString& s) { return AfterApartmentsRecounted(s, true); },
               {kSaved, kSaved, kSaved, kSaved, kSaved, kClosedSaved, kSaved, kClosedSaved});
    ExpectMove(
        "recounted without a change",
        [](const QString& s) { return AfterApartmentsRecounted(s, false); }, kStates);
    ExpectMove("header saved", AfterHeaderSaved,
               {kSaved, kSaved, kSaved, kSaved, kSaved, kClosedSaved, kSaved, kSaved});
    ExpectMove("switch records made", AfterSwitchRecordsMade,
               {kClosed, kClosed, kClosed, kClosed, kClosed, kClosed, kClosed, kClosed});
    EXPECT_TRUE(Hidden(QStringLiteral("восст")));
    EXPECT_TRUE(Hidden(QStringLiteral("восст+1")));
    EXPECT_FALSE(Hidden(kSaved));
}

using ObjectStateStore = SiteDb;

TEST_F(ObjectStateStore, ApplyWritesOnlyAChangedStateAndRefusesAMissingObject) {
    const qint64 id = Insert("INSERT INTO k_net (ident, st_net) VALUES ('А', 'закрыто')");
    QString error, after;
    ASSERT_TRUE(Apply(Db(), id, AfterMatrixSaved, &error, &after)) << error.toStdString();
    EXPECT_EQ(kClosedSaved, after);
    EXPECT_EQ(kClosedSaved, State(id));

    // An unchanged state writes nothing: a trigger would refuse any update.
    Sql("CREATE TRIGGER no_update BEFORE UPDATE ON k_net BEGIN SELECT RAISE(ABORT, 'no'); END");
    EXPECT_TRUE(Apply(Db(), id, AfterApartmentsChanged, &error, &after));
    EXPECT_FALSE(Apply(Db(), id, AfterSwitchRecordsMade, &error));
    EXPECT_EQ(kClosedSaved, State(id));

    EXPECT_FALSE(Apply(Db(), id + 100, AfterMatrixSaved, &error));
    EXPECT_FALSE(error.isEmpty());
}
}  // namespace
}  // namespace ObjectStateTestUnit
