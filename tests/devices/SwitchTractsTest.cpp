// The switch editor's tract panel: the click and normalisation rules of the
// camera masks, the mask texts, the typed-tract rules, the ranges, and the
// writes on the reference object (switch 1: gate panel 1 and entrance panel 2).

#include "DeviceFixture.h"
#include "devices/SwitchTracts.h"
#include "support/KilledChild.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QThread>

namespace SwitchTractsTestUnit {
namespace {

QList<MaskRow> Rows(const QList<int>& tracts, const QList<bool>& checked = {}) {
    QList<MaskRow> rows;
    for (int i = 0; i < tracts.size(); ++i)
        rows.append({i + 1, tracts[i], checked.value(i), checked.value(i)});
    return rows;
}

// "tract:switch mask console mask" per row, e.g. "3:10".
QStringList Shown(const QList<MaskRow>& rows) {
    QStringList shown;
    for (const MaskRow& r : rows)
        shown << QStringLiteral("%1:%2%3")
                     .arg(r.tract)
                     .arg(int(r.switchMask))
                     .arg(int(r.consoleMask));
    return shown;
}

TractRow Stored(qint64 rowid, int tract, bool mkBv, bool mkPo) {
    TractRow r;
    r.rowid = rowid;
    r.tract = tract;
    r.mkBv = mkBv;
    r.mkPo = mkPo;
    return r;
}

TEST(TractMasks, ClickRulesKeepOneMaskedPanelPerTract) {
    TractPanelModel model;
    model.SetConsole(true);
    EXPECT_FALSE(model.Show(
        {Stored(1, 7, true, true), Stored(2, 7, false, false), Stored(3, 2, true, false)}));
    EXPECT_FALSE(model.MasksChanged());

    model.ClickSwitchMask(1, true);  // takes tract 7 from the first panel
    EXPECT_EQ((QStringList{"7:00", "7:10", "2:10"}), Shown(model.Rows()));
    EXPECT_TRUE(model.MasksChanged());
    model.ClickConsoleMask(1, true);
    EXPECT_EQ((QStringList{"7:00", "7:11", "2:10"}), Shown(model.Rows()));
    model.ClickConsoleMask(0, true);  // no switch mask beside it: it does not stay
    EXPECT_EQ((QStringList{"7:00", "7:11", "2:10"}), Shown(model.Rows()));
    model.ClickSwitchMask(1, false);  // the console mask goes with it
    EXPECT_EQ((QStringList{"7:00", "7:00", "2:10"}), Shown(model.Rows()));

    TractPanelModel noConsole;
    noConsole.Show({Stored(1, 1, true, true)});
    EXPECT_EQ((QStringList{"1:10"}), Shown(noConsole.Rows()));  // stored mk_po is not shown
    noConsole.ClickConsoleMask(0, true);
    EXPECT_EQ((QStringList{"1:10"}), Shown(noConsole.Rows()));
}

TEST(TractMasks, ShowingMarksTheSwitchWhenTheStoredTractsDifferFromTheShownOnes) {
    TractPanelModel model;
    model.SetConsole(true);
    EXPECT_FALSE(model.Show({Stored(1, 1, true, true), Stored(2, 2, true, true)}));
    EXPECT_FALSE(model.Show({Stored(1, 1, true, true), Stored(2, 2, true, true)}));
    EXPECT_TRUE(model.Show({Stored(1, 2, true, true), Stored(2, 1, true, true)}));
    EXPECT_TRUE(model.Show({Stored(1, 2, true, true), Stored(2, 1, true, false)}));
    TractRow empty = Stored(1, 0, false, false);
    empty.tractEmpty = true;
    model.Clear();
    EXPECT_TRUE(model.Show({empty}));
    EXPECT_EQ(QString(), model.TractText(0));
    model.Clear();
    EXPECT_FALSE(model.Show({Stored(1, 5, false, false)}));  // nothing shown before
    EXPECT_EQ(QStringLiteral("5"), model.TractText(0));
}

TEST(TractMasks, NormalisingDropsTheMasksOfSharedAndMissingTracts) {
    QList<MaskRow> rows = Rows({3, 3, 0, 4, 5, 5}, {true, false, true, true, true, true});
    rows[3].consoleMask = false;
    rows[4].switchMask = false;  // a console mask without a switch mask
    NormaliseMasks(rows);
    EXPECT_EQ((QStringList{"3:00", "3:00", "0:00", "4:10", "5:00", "5:00"}), Shown(rows));
}

TEST(TractMasks, MaskTextsHoldAOneForEveryMaskedTract) {
    QList<MaskRow> rows = Rows({2, 5, 3}, {true, true, false});
    EXPECT_EQ(QStringLiteral("01001000"), SwitchMaskTexts(rows, true, 8).vb);
    EXPECT_EQ(QStringLiteral("01001000"), SwitchMaskTexts(rows, true, 8).vo);
    EXPECT_EQ(QStringLiteral("00000000"), SwitchMaskTexts(rows, false, 8).vo);

    // 6 doors and 4 gates sharing tract 7, only the first gate masked: an
    // unmasked gate does not clear the tract the first one masked.
    QList<MaskRow> sixAndFour =
        Rows({1, 2, 3, 4, 5, 6, 7, 7, 7, 7}, {true, true, true, true, true, true, true});
    EXPECT_EQ(QStringLiteral("11111110"), SwitchMaskTexts(sixAndFour, true, 8).vb);
    EXPECT_EQ(QStringLiteral("1000"),
              SwitchMaskTexts(Rows({1, 0, 9}, {true, true, true}), true, 4).vb);
}

TEST(TractMasks, TypedCells) {
    for (QChar c : QStringLiteral("12345678.\b\t\r\x1b"))
        EXPECT_TRUE(TractCell::KeyAllowed(c)) << int(c.unicode());
    for (QChar c : QStringLiteral("09a -"))
        EXPECT_FALSE(TractCell::KeyAllowed(c)) << int(c.unicode());
    EXPECT_EQ(QStringLiteral("23"), TractCell::Edited(QStringLiteral("123"), 30));
    EXPECT_EQ(QStringLiteral("8"), TractCell::Edited(QStringLiteral("123"), 8));
    EXPECT_EQ(QStringLiteral("8"), TractCell::Edited(QStringLiteral("12"), 8));
    EXPECT_EQ(QStringLiteral("7"), TractCell::Edited(QStringLiteral("7"), 8));
    EXPECT_EQ(QStringLiteral("."), TractCell::Edited(QStringLiteral("."), 8));
    EXPECT_EQ(4, TractCell::Typed(QStringLiteral(" 4 "), 8, 1));
    for (const char* bad : {"", "0", "9", "1.5", ".", "x"})
        EXPECT_EQ(3, TractCell::Typed(QString::fromLatin1(bad), 8, 3)) << bad;
}

TEST(TractMasks, RangesOfAnObjectAndTheirPreFill) {
    EXPECT_TRUE((TractRanges{6, 8, 1, 2}.Valid()));
    EXPECT_TRUE((TractRanges{1, 2, 3, 8}.Valid()));
    EXPECT_FALSE((TractRanges{6, 8, 1, 6}.Valid()));  // share tract 6
    EXPECT_FALSE((TractRanges{6, 5, 1, 2}.Valid()));
    EXPECT_FALSE((TractRanges{6, 8, 3, 2}.Valid()));

    // Largest door count 2, one gate: entrances 1..2, the gate 3.
    EXPECT_EQ((TractRanges{3, 3, 1, 2}), TractRanges::ForObject(2, 1, 1, 8));
    EXPECT_EQ((TractRanges{3, 5, 1, 2}), TractRanges::ForObject(2, 3, 1, 8));
    // No gates: still a valid range after the doors.
    EXPECT_TRUE(TractRanges::ForObject(4, 0, 1, 8).Valid());
    // An object without columns counts 0 doors.
    EXPECT_EQ((TractRanges{1, 1, 1, 1}), TractRanges::ForObject(0, 0, 1, 8));
    // Everything held within the edits' limits.
    EXPECT_EQ((TractRanges{8, 8, 1, 7}), TractRanges::ForObject(9, 4, 1, 8));

    EXPECT_EQ((TractRanges{5, 8, 1, 4}), (TractRanges{5, 8, 1, 2}.GateStartChanged(8)));
    const TractRanges fromOne = TractRanges{1, 3, 1, 2}.GateStartChanged(8);
    EXPECT_EQ((TractRanges{1, 3, 4, 8}), fromOne);
    EXPECT_TRUE(fromOne.Valid());
    const TractRanges allGates = TractRanges{1, 8, 1, 2}.GateStartChanged(8);
    EXPECT_EQ((TractRanges{1, 7, 8, 8}), allGates);
    EXPECT_TRUE(allGates.Valid());
}

// ---------------------------------------------------------------- on the database

namespace {

class SwitchTracts : public DeviceFixture {
  protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        Exec("UPDATE k_pk SET kf_pr=1");
    }
    SwitchColumn Switch(qint64 idPk) { return SwitchColumnOf(Db(), idPk); }
    QList<TractRow> Tracts(qint64 idPk) {
        QList<TractRow> rows;
        EXPECT_TRUE(ReadSwitchTracts(Db(), idPk, &rows));
        return rows;
    }
    // "tract/mk_bv/mk_po" per wired panel of the switch.
    QStringList Panels(qint64 idPk) {
        QStringList shown;
        for (const TractRow& r : Tracts(idPk))
            shown << QStringLiteral("%1/%2/%3").arg(r.tract).arg(int(r.mkBv)).arg(int(r.mkPo));
        return shown;
    }
    QString MVb(qint64 idPk) {
        return Scalar("SELECT m_vb FROM k_pk WHERE id_pk=?", {idPk}).toString();
    }
    int KfPr(qint64 idPk) { return Int("SELECT kf_pr FROM k_pk WHERE id_pk=?", {idPk}); }
    void SetTracts(int nPk, int gateTract, int doorTract) {
        Exec("UPDATE m_bv SET tract=?, mk_bv=1, mk_po=1 WHERE n_pk=? AND id_net=1 AND bv_type=1",
             {gateTract, nPk});
        Exec("UPDATE m_bv SET tract=?, mk_bv=1, mk_po=1 WHERE n_pk=? AND id_net=1 AND bv_type=0",
             {doorTract, nPk});
    }
    // Panels added to switch 1's column: doors 2.. and gates 2.. of the object.
    void AddToColumnOne(int doors, int gates, int plus = 1) {
        for (int d = 0; d < doors; ++d) {
            const int id = nextPanel_++;
            AddPanel(id, 1, id, 0, "БВ" + QString::number(id), true);
            Wire(1, id, EntranceRow(1, d + 2), 1, 0, id, plus);
        }
        for (int g = 0; g < gates; ++g) {
            const int id = nextPanel_++;
            AddPanel(id, 1, id, 1, "БВ" + QString::number(id), true);
            Wire(1, id, GateRow(g + 2), 1, 1, id, plus);
        }
    }
    QString Dump() {
        QSqlDatabase db = Db();
        return TestDatabase::Dump(db);
    }
    int nextPanel_ = 10;
};

}  // namespace

TEST_F(SwitchTracts, ReassigningStartsAgainFromOneAndStoresTheMaskTexts) {
    SetTracts(1, 6, 5);
    Exec("UPDATE k_pk SET m_vb='00001100' WHERE id_pk=1");
    const TractSave r = ReassignTracts(Db(), Switch(1));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(1, r.switchesMarked);
    EXPECT_EQ((QStringList{"2/1/1", "1/1/1"}), Panels(1));  // gate row first, by name
    EXPECT_EQ(QStringLiteral("11000000"), MVb(1));
    EXPECT_EQ(2, KfPr(1));
    EXPECT_EQ(1, KfPr(2));

    // Once more: the same tracts, so the switch is not marked again.
    Exec("UPDATE k_pk SET kf_pr=1 WHERE id_pk=1");
    EXPECT_EQ(0, ReassignTracts(Db(), Switch(1)).switchesMarked);
    EXPECT_EQ(1, KfPr(1));
}

TEST_F(SwitchTracts, ASwitchTheAssignmentRefusesKeepsItsTracts) {
    AddToColumnOne(7, 0);  // 8 doors and the gate
    Exec("UPDATE m_bv SET tract=3 WHERE id_net=1 AND n_pk=1");
    const QString before = Dump();
    ScriptedDialogs dialogs;
    dialogs.ExpectContaining(QStringLiteral("Для БВ02."),
                             QStringLiteral("Не предусмотрено количество дверей"));
    const TractSave r = ReassignTracts(Db(), Switch(1));
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(before, Dump());

    // For the whole object the other switches go on.
    SetTracts(2, 7, 7);
    dialogs.ExpectContaining(QStringLiteral("Для БВ02."),
                             QStringLiteral("Не предусмотрено количество дверей"));
    const TractSave all = ReassignTractsForObject(Db(), 1);
    EXPECT_TRUE(all.ok);
    EXPECT_TRUE(all.refused);
    EXPECT_EQ((QStringList{"2/1/1", "1/1/1"}), Panels(2));
    EXPECT_EQ(2, KfPr(2));
    EXPECT_EQ(1, KfPr(1));
}

TEST_F(SwitchTracts, TwoPanelsTypedOntoOneTractLoseBothMasks) {
    SetTracts(1, 2, 1);
    TractPanelModel model;
    model.SetConsole(true);
    model.Show(Tracts(1));
    const TractSave r = SaveTypedTracts(Db(), Switch(1), model.Rows(), {"4", " 4"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ((QStringList{"4/0/0", "4/0/0"}), Panels(1));
    EXPECT_EQ(QStringLiteral("00000000"), MVb(1));
    EXPECT_EQ(2, KfPr(1));

    // A cell that is no tract keeps the stored one; the masks follow the rows.
    model.Show(Tracts(1));
    model.ClickSwitchMask(0, true);
    ASSERT_TRUE(SaveTypedTracts(Db(), Switch(1), model.Rows(), {"9", "2"}).ok);
    EXPECT_EQ((QStringList{"4/1/0", "2/0/0"}), Panels(1));
    EXPECT_EQ(QStringLiteral("00010000"), MVb(1));
    ASSERT_TRUE(SaveTypedTracts(Db(), Switch(1), model.Rows(), {"x; DROP TABLE m_bv", ""}).ok);
    EXPECT_EQ(6, Int("SELECT COUNT(*) FROM m_bv WHERE id_net=1"));
}

TEST_F(SwitchTracts, MasksOnlySetTheirTractsCharacters) {
    AddToColumnOne(5, 3);  // 6 doors and 4 gates on switch 1
    ASSERT_TRUE(AssignTracts(Db(), Switch(1)).ok);
    TractPanelModel model;
    model.SetConsole(true);
    model.Show(Tracts(1));
    const TractSave r = SaveMasks(Db(), Switch(1), model.Rows());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(QStringLiteral("11111110"), MVb(1));
    EXPECT_EQ(QStringLiteral("11111110"), Scalar("SELECT m_vo FROM k_pk WHERE id_pk=1").toString());
    EXPECT_EQ(2, KfPr(1));

    // Tracts 2 and 5 alone.
    QList<MaskRow> rows = model.Rows();
    for (MaskRow& row : rows) row.switchMask = row.consoleMask = row.tract == 2 || row.tract == 5;
    ASSERT_TRUE(SaveMasks(Db(), Switch(1), rows).ok);
    EXPECT_EQ(QStringLiteral("01001000"), MVb(1));
    EXPECT_EQ(2, Int("SELECT COUNT(*) FROM m_bv WHERE id_net=1 AND n_pk=1 AND mk_bv=1"));
}

TEST_F(SwitchTracts, NumberingByRangesCyclesThroughEachRange) {
    AddToColumnOne(3, 3);     // 4 doors and 4 gates on switch 1
    AddToColumnOne(1, 0, 0);  // and an unwired door
    Exec("UPDATE m_bv SET mk_bv=1, mk_po=1");
    const TractSave r = NumberTractsByRanges(Db(), 1, {6, 8, 1, 2});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    QSqlQuery q(Db());
    auto tractsOf = [&](int bvType) {
        QList<int> tracts;
        q.exec(QStringLiteral("SELECT tract FROM m_bv WHERE id_net=1 AND n_pk=1 AND bv_type=%1 "
                              "ORDER BY n_bv, rowid")
                   .arg(bvType));
        while (q.next()) tracts << q.value(0).toInt();
        return tracts;
    };
    EXPECT_EQ((QList<int>{1, 2, 1, 2, 1}), tractsOf(0));
    EXPECT_EQ((QList<int>{6, 7, 8, 6}), tractsOf(1));
    // Shared tracts lose their masks; the masks are stored with the texts.
    EXPECT_EQ(QStringLiteral("00000011"), MVb(1));
    EXPECT_EQ(QStringLiteral("10000100"), MVb(2));  // door 1, gate 6
    EXPECT_EQ(3, r.switchesMarked);
    EXPECT_EQ(1, KfPr(4));  // another object

    // Unchanged a second time: nobody is marked.
    Exec("UPDATE k_pk SET kf_pr=1");
    EXPECT_EQ(0, NumberTractsByRanges(Db(), 1, {6, 8, 1, 2}).switchesMarked);
    EXPECT_EQ(1, KfPr(1));
}

TEST_F(SwitchTracts, BadRangesChangeNothing) {
    const QString before = Dump();
    ScriptedDialogs dialogs;
    for (TractRanges bad :
         {TractRanges{6, 8, 1, 6}, TractRanges{3, 2, 5, 6}, TractRanges{6, 8, 3, 1}}) {
        dialogs.Expect(QStringLiteral("Ошибка"), QStringLiteral("Некорректно заданы диапазоны!"));
        EXPECT_TRUE(NumberTractsByRanges(Db(), 1, bad).refused);
    }
    EXPECT_EQ(before, Dump());
}

TEST_F(SwitchTracts, TheLargestDoorCountOfAnObject) {
    EXPECT_EQ(1, MaxDoorCount(Db(), 1));
    Exec("UPDATE m_pk SET v_dvr=4 WHERE id_net=1 AND n_pk=2");
    EXPECT_EQ(4, MaxDoorCount(Db(), 1));
    EXPECT_EQ(0, MaxDoorCount(Db(), 77));
    EXPECT_TRUE(ObjectHasConsole(Db(), 1));
    EXPECT_FALSE(ObjectHasConsole(Db(), 2));
}

TEST_F(SwitchTracts, DataModuleOperationsAskForTheObjectAndShowTheSwitch) {
    SelectObject(1);
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 3));
    TractPanelModel shown;
    ASSERT_TRUE(ShowCurrentTracts(shown));
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Тракты объекта"),
                   QStringLiteral("Перераспределить БВ по трактам объекта?"), DlgAnswer::No);
    EXPECT_FALSE(NumberObjectTracts(shown, {6, 8, 1, 2}).ok);
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM m_bv WHERE tract<>0"));
    dialogs.Expect(QStringLiteral("Тракты объекта"),
                   QStringLiteral("Перераспределить БВ по трактам объекта?"), DlgAnswer::Yes);
    EXPECT_TRUE(ReassignObjectTracts(shown).ok);
    EXPECT_EQ(3, CurrentSwitchColumn().idPk);
    EXPECT_EQ(2, dm_->Q_MNbv->RecordCount());

    TractPanelModel model;
    Exec("UPDATE m_bv SET tract=NULL WHERE id_net=1 AND n_pk=3 AND bv_type=0");
    Exec("UPDATE k_pk SET kf_pr=1");
    ASSERT_TRUE(ShowCurrentTracts(model));
    EXPECT_TRUE(model.Console());
    EXPECT_EQ(2, KfPr(3));  // a panel without a tract value
    EXPECT_EQ(1, KfPr(1));

    EXPECT_EQ((TractRanges{2, 2, 1, 1}), CurrentObjectRanges(1));
}

// ---------------------------------------------------------------- killed half-way

namespace {

const char* const kChildDb = "ARM_TRACTS_CHILD_DB";

}  // namespace

// Runs only as the child of the test below: numbers the reference object and
// is killed after the first of its three switches.
TEST(SwitchTractsChild, NumbersTheObjectSlowly) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as a child";
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("child"));
    db.setDatabaseName(KilledChild::Value(QString::fromLatin1(kChildDb)));
    ASSERT_TRUE(db.open());
    NumberTractsByRanges(db, 1, {6, 8, 1, 2}, [](int value, int, bool visible) {
        if (!visible || value < 1) return;
        KilledChild::ReachedKillPoint();
    });
    FAIL() << "not killed";
}

TEST_F(SwitchTracts, ARangeNumberingKilledHalfWayLeavesEverythingAsBefore) {
    SetTracts(1, 3, 4);
    const QString before = Dump();
    dm_->Disconnect();
    KilledChild child(QStringLiteral("SwitchTractsChild.NumbersTheObjectSlowly"));
    child.Set(QString::fromLatin1(kChildDb), tdb_.dbPath());
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    QString error;
    ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
    EXPECT_EQ(before, Dump());

    // Left to run, the same numbering changes the tracts.
    EXPECT_TRUE(NumberTractsByRanges(Db(), 1, {6, 8, 1, 2}).ok);
    EXPECT_NE(before, Dump());
}
}  // namespace
}  // namespace SwitchTractsTestUnit
