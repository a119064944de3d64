// The call panel record and the editor's control rules, without a window.

#include "DeviceFixture.h"
#include "devices/CallPanel.h"
#include "devices/CallPanelEditor.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace CallPanelTestUnit {
namespace {

class CallPanels : public DeviceFixture {
  protected:
    QString Text(const QString& column, qint64 idBv) {
        return Scalar("SELECT " + column + " FROM k_bv WHERE id_bv=?", {idBv}).toString();
    }
    int KfPr(qint64 idBv) { return Int("SELECT kf_pr FROM k_bv WHERE id_bv=?", {idBv}); }
    // A second door panel (id 6) of house 1, entrance 1, on matrix column 1.
    void AddSecondDoor() {
        AddPanel(6, 1, 5, 0, "БВ05 дом 1 -  1. 02 вх", true);
        Wire(1, 6, EntranceRow(1, 2), 1, 0, 5);
    }
    PanelWrite SaveLoaded(qint64 idBv) {
        CallPanelEditor e(Db());
        EXPECT_TRUE(e.LoadPanel(idBv)) << e.Error().toStdString();
        return e.SavePanel();
    }
};

TEST_F(CallPanels, AStoredNoCodeShowsEmptyAndIsSavedEmpty) {
    Exec("UPDATE k_bv SET ocode0='111111', ocode1=NULL, ocode6='12345', kf_pr=1 WHERE id_bv=2");
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(2));
    EXPECT_EQ(QString(), e.View().individual.openCodes[0]);
    EXPECT_EQ(QStringLiteral("12345"), e.View().individual.openCodes[6]);
    const PanelWrite w = e.SavePanel();
    ASSERT_TRUE(w.ok) << w.error.toStdString();
    EXPECT_TRUE(w.written);
    EXPECT_EQ(QString(), Text("ocode0", 2));
    EXPECT_EQ(QStringLiteral("12345"), Text("ocode6", 2));
    EXPECT_EQ(2, KfPr(2));
    // The empty text, not NULL, for the stored no-code and for a NULL alike.
    EXPECT_EQ(QStringLiteral("text text"), Text("typeof(ocode0) || ' ' || typeof(ocode1)", 2));
}

TEST_F(CallPanels, SavingWhatIsStoredWritesNothingAndKeepsTheFileState) {
    for (int kf : {1, 3, 5}) {
        Exec("UPDATE k_bv SET kf_pr=? WHERE id_bv=1", {kf});
        const PanelWrite w = SaveLoaded(1);
        EXPECT_TRUE(w.ok);
        EXPECT_FALSE(w.written);
        EXPECT_EQ(kf, KfPr(1));
    }
    PanelHardware hw{0, 31, false, 0};
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_bv=1");
    EXPECT_FALSE(EditHardware(Db(), 1, hw).written);
    hw.rsrv = 4;
    EXPECT_TRUE(EditHardware(Db(), 1, hw).written);
    EXPECT_EQ(4, Int("SELECT rsrv FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(4, KfPr(1));
}

TEST_F(CallPanels, AChangedSwitchChoiceAloneIsSavedAndMarksTheFile) {
    Exec("UPDATE k_bv SET adrpk=1, adrcs=41, kf_pr=3 WHERE id_bv=1");
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(1));
    e.View().individual.adrpk = 2;
    const PanelWrite w = e.SavePanel();
    ASSERT_TRUE(w.written);
    EXPECT_EQ(2, Int("SELECT adrpk FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(4, KfPr(1));
}

TEST_F(CallPanels, TheConsolesHandsetChosenAsConciergeBecomesAConsoleCall) {
    Exec("UPDATE k_bv SET l_kns=1, l_pok=0, adrpk=1, adrcs=3 WHERE id_bv=1");
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(1));
    EXPECT_TRUE(e.View().handsetEnabled);
    EXPECT_EQ(3, e.View().individual.adrcs);
    e.ChooseHandset(41);  // "пост охраны"
    ASSERT_TRUE(e.SavePanel().written);
    EXPECT_EQ(0, Int("SELECT l_kns FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(1, Int("SELECT l_pok FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(41, Int("SELECT adrcs FROM k_bv WHERE id_bv=1"));
}

TEST_F(CallPanels, LoadingEnablesTheControlsByKindAndConsole) {
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(1));  // the gate, a console call without a switch yet
    EXPECT_TRUE(e.View().gate);
    EXPECT_TRUE(e.View().consoleEnabled);
    EXPECT_TRUE(e.View().switchEnabled);
    EXPECT_TRUE(e.View().indexEnabled);
    EXPECT_FALSE(e.View().entranceCopyEnabled);
    EXPECT_EQ(-1, e.View().individual.adrcs);
    EXPECT_EQ(3, e.Switches().size());

    ASSERT_TRUE(e.LoadPanel(2));  // a door panel
    EXPECT_FALSE(e.View().switchEnabled);
    EXPECT_FALSE(e.View().indexEnabled);
    EXPECT_TRUE(e.View().entranceCopyEnabled);

    // Through a switch whose entrance has no console handset and no row of
    // that index, the console call is off and cannot be chosen.
    Exec("DELETE FROM k_kvr WHERE id_pod=1 AND st_kvr='СПО'");
    Exec("UPDATE k_bv SET adrpk=1, adrcs=77 WHERE id_bv=2");
    ASSERT_TRUE(e.LoadPanel(2));
    EXPECT_FALSE(e.View().individual.console);
    EXPECT_FALSE(e.View().consoleEnabled);
    EXPECT_EQ(-1, e.View().individual.adrcs);

    Exec("UPDATE k_net SET l_pok=0 WHERE id_net=1");
    ASSERT_TRUE(e.LoadPanel(1));
    EXPECT_FALSE(e.View().consoleEnabled);
    EXPECT_FALSE(e.View().gateLabelsNormal);
    EXPECT_FALSE(e.View().switchEnabled);
}

TEST_F(CallPanels, TheBoxesAndTheSwitchChoiceMoveTheHandsetIndex) {
    Exec("UPDATE k_kvr SET st_kvr='нет' WHERE id_pod=2 AND st_kvr='СПО'");
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(1));
    PanelIndividual& p = e.View().individual;
    e.SetConcierge(true);
    EXPECT_FALSE(p.console);
    EXPECT_TRUE(e.View().handsetEnabled);
    e.ChooseHandset(7);
    e.View().individual.adrpk = 2;
    e.ChooseSwitch();
    EXPECT_EQ(7, p.adrcs);  // entrance 2 has a row 7 too
    e.ChooseHandset(41);
    e.View().individual.adrpk = 3;
    e.ChooseSwitch();
    EXPECT_EQ(41, p.adrcs);

    e.SetConsole(true);  // the console's handset of house 2's entrance
    EXPECT_FALSE(p.concierge);
    EXPECT_FALSE(e.View().handsetEnabled);
    EXPECT_EQ(41, p.adrcs);
    e.View().individual.adrpk = 2;  // its entrance lost the console's handset
    e.ChooseSwitch();
    EXPECT_EQ(-1, p.adrcs);
    EXPECT_TRUE(e.View().switchEnabled);

    e.SetConsole(false);
    e.ChooseSwitch();
    EXPECT_EQ(-1, p.adrcs);
    EXPECT_FALSE(e.View().switchEnabled);
}

TEST_F(CallPanels, SavingCommonParamsDropsAnUnsavedSwitchChoice) {
    Exec("UPDATE k_bv SET adrpk=1, kf_pr=1 WHERE id_bv=1");
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(1));
    e.View().individual.adrpk = 3;
    e.View().common.sl = 12;
    ASSERT_TRUE(e.SaveCommonParams().written);
    EXPECT_EQ(1, e.View().individual.adrpk);
    EXPECT_EQ(1, Int("SELECT adrpk FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(12, Int("SELECT sl FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(2, KfPr(1));
}

TEST_F(CallPanels, CommonParamsGoToEveryPanelOrToOneKindInOneTransaction) {
    PanelCommonParams c;
    c.sl = 3;
    c.ot = 9;
    c.scud = true;
    PanelBatch b = SaveCommonParamsToPanels(Db(), 1, c, 1);
    ASSERT_TRUE(b.ok) << b.error.toStdString();
    EXPECT_EQ(1, b.written);
    EXPECT_EQ(3, Int("SELECT sl FROM k_bv WHERE id_bv=1"));
    EXPECT_EQ(8, Int("SELECT sl FROM k_bv WHERE id_bv=2"));

    // A panel the database refuses to change: nothing changes anywhere.
    Exec(
        "CREATE TRIGGER refuse BEFORE UPDATE ON k_bv WHEN NEW.id_bv=4 "
        "BEGIN SELECT RAISE(ABORT, 'отказ'); END");
    QList<std::tuple<int, int, bool>> gauge;
    b = SaveCommonParamsToPanels(Db(), 1, c, std::nullopt, [&](int v, int m, bool s) {
        gauge.append({v, m, s});
    });
    EXPECT_FALSE(b.ok);
    EXPECT_TRUE(
        b.error.endsWith(QStringLiteral("Запись отклонена триггером самого файла базы данных.")))
        << b.error.toStdString();
    EXPECT_EQ(8, Int("SELECT sl FROM k_bv WHERE id_bv=2"));
    ASSERT_FALSE(gauge.isEmpty());
    EXPECT_FALSE(std::get<2>(gauge.last()));  // the gauge is hidden again

    Exec("DROP TRIGGER refuse");
    b = SaveCommonParamsToPanels(Db(), 1, c, std::nullopt);
    EXPECT_EQ(3, b.written);  // the gate had them already
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=1 AND (sl<>3 OR ot<>9 OR scud=0)"));
    EXPECT_EQ(8, Int("SELECT sl FROM k_bv WHERE id_bv=5"));  // another object's panel
}

TEST_F(CallPanels, TheEntranceCopyReachesOnlyTheDoorsOnTheSameColumn) {
    AddSecondDoor();
    AddPanel(7, 1, 6, 0, "БВ06 без КМ", true);  // wired to nothing
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(2));
    e.View().common.ot = 12;
    e.View().individual.openCodes[1] = QStringLiteral("4321");
    e.View().individual.adrpk = 1;
    e.View().individual.adrcs = 41;
    const PanelBatch b = CopyToEntrancePanels(Db(), 2, e.View().common, e.View().individual);
    ASSERT_TRUE(b.ok) << b.error.toStdString();
    EXPECT_EQ(2, b.written);
    for (qint64 id : {2, 6}) {
        EXPECT_EQ(12, Int("SELECT ot FROM k_bv WHERE id_bv=?", {id}));
        EXPECT_EQ(QStringLiteral("4321"), Text("ocode1", id));
        EXPECT_EQ(41, Int("SELECT adrcs FROM k_bv WHERE id_bv=?", {id}));
    }
    for (qint64 id : {1, 3, 4, 7}) EXPECT_EQ(5, Int("SELECT ot FROM k_bv WHERE id_bv=?", {id}));

    // From the gate panel the copy does nothing at all.
    QSqlDatabase db = Db();
    const QString before = TestDatabase::Dump(db);
    EXPECT_EQ(0, CopyToEntrancePanels(db, 1, e.View().common, e.View().individual).written);
    EXPECT_EQ(before, TestDatabase::Dump(db));
}

TEST_F(CallPanels, SerialNumbersAreStoredInTheirAcceptedFormsOnly) {
    CallPanelEditor e(Db());
    ASSERT_TRUE(e.LoadPanel(2));
    EXPECT_EQ(QStringLiteral("A123456789"), e.LeaveSerialField("123456789").shown);
    EXPECT_EQ(QStringLiteral("A123456789"), Text("sn_bv", 2));
    EXPECT_EQ(0, KfPr(2));
    EXPECT_EQ(QStringLiteral("A123456789"), e.LeaveSerialField("12345").shown);  // rejected
    EXPECT_EQ(QStringLiteral("A123456789"), Text("sn_bv", 2));
    EXPECT_EQ(QStringLiteral("654321"), e.LeaveSerialField("654321").shown);

    ASSERT_TRUE(e.LoadPanel(3));
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Повторение!"),
                       QStringLiteral("Попытка ввести имеющийся серийный номер! Перейти на "
                                      "найденный SN?"),
                       DlgAnswer::No);
        const SerialExitResult out = e.LeaveSerialField("654321");
        EXPECT_EQ(SerialExit::Unchanged, out.outcome);
        EXPECT_EQ(QString(), out.shown);
        dialogs.Expect(QStringLiteral("Повторение!"),
                       QStringLiteral("Попытка ввести имеющийся серийный номер! Перейти на "
                                      "найденный SN?"),
                       DlgAnswer::Yes);
        const SerialExitResult jump = e.LeaveSerialField("654321");
        EXPECT_EQ(SerialExit::JumpTo, jump.outcome);
        EXPECT_EQ(2, jump.otherId);
    }
    EXPECT_EQ(QString(), Text("sn_bv", 3));
    // Another object's panel may hold the same number.
    Exec("UPDATE k_bv SET sn_bv='B000000001' WHERE id_bv=5");
    EXPECT_EQ(QStringLiteral("B000000001"), e.LeaveSerialField("b000000001").shown);
}
}  // namespace
}  // namespace CallPanelTestUnit
