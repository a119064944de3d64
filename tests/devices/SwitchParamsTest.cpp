// The switch editor's parameter saves and its serial-number field, on the
// reference object's switches: 1 and 2 in house 1, 3 in house 2, 4 in the
// neighbouring object.

#include "DeviceFixture.h"
#include "devices/SerialEntry.h"
#include "devices/SwitchParams.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace SwitchParamsTestUnit {
namespace {

const QString kJumpQuestion =
    QStringLiteral("Попытка ввести имеющийся серийный номер! Перейти на найденный SN?");

class SwitchSaves : public DeviceFixture {
  protected:
    int SetCount() { return Int("SELECT COUNT(*) FROM t_ke"); }
    int KfPr(qint64 idPk) { return Int("SELECT kf_pr FROM k_pk WHERE id_pk=?", {idPk}); }
    int IdKe(qint64 idPk) { return Int("SELECT id_ke FROM k_pk WHERE id_pk=?", {idPk}); }
    QVariant NVid(qint64 idPk) { return Scalar("SELECT n_vid FROM k_pk WHERE id_pk=?", {idPk}); }
    QString SetName(qint64 idKe) {
        return Scalar("SELECT name FROM t_ke WHERE id_ke=?", {idKe}).toString();
    }
    SwitchParams Loaded(qint64 idPk) {
        const LoadedSwitch s = LoadSwitch(Db(), idPk);
        EXPECT_TRUE(s.ok) << s.error.toStdString();
        return s.params;
    }
    void AllKfPr(int state) { Exec("UPDATE k_pk SET kf_pr=?", {state}); }
};

SwitchParams Changed(int tCm) {
    SwitchParams p;
    p.set.t_cm = tCm;
    return p;
}

TEST(SwitchParamRules, VideoSettingFromTheStoredValueAndBack) {
    EXPECT_FALSE(SwitchVideo::FromStored(QVariant()).on);
    EXPECT_FALSE(SwitchVideo::FromStored(QStringLiteral(" ")).on);
    const SwitchVideo off = SwitchVideo::FromStored(-1);
    EXPECT_FALSE(off.on);
    EXPECT_EQ(1, off.tract);  // the edit's lower limit
    EXPECT_EQ(-1, off.Stored());
    const SwitchVideo zero = SwitchVideo::FromStored(0);
    EXPECT_TRUE(zero.on);
    EXPECT_EQ(1, zero.tract);
    EXPECT_EQ(7, SwitchVideo::FromStored(7).Stored());
    EXPECT_EQ(15, SwitchVideo::FromStored(40).tract);
}

TEST(SwitchParamRules, BlockingTimesAreLookedUpInUnitsOfFiveMinutes) {
    SwitchParams p;
    p.edt = 12;
    p.det = 7;
    EXPECT_EQ(2, p.SetValues().t_ed);
    EXPECT_EQ(1, p.SetValues().t_de);
    p.edt = 13;
    EXPECT_EQ(3, p.SetValues().t_ed);
    // and a set read back shows its units times 5
    p.TakeSet(p.SetValues(), QStringLiteral("x"));
    EXPECT_EQ(15, p.edt);
    EXPECT_EQ(5, p.det);
    EXPECT_EQ(QStringLiteral("x"), p.name);
}

// A stored blocking time of any number shows within the dialog's minutes,
// never as a product that passes what a number holds.
TEST(SwitchParamRules, StoredBlockingTimesShowWithinTheDialogsMinutes) {
    const struct {
        int stored;
        int shown;
    } cases[] = {{0, 0},           {51, 255},       {52, 255}, {-1, 0}, {2147483647, 255},
                 {-2147483648, 0}, {429496730, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ParamSetValues v;
        v.t_ed = c.stored;
        v.t_de = c.stored;
        SwitchParams p;
        p.TakeSet(v, QStringLiteral("x"));
        EXPECT_EQ(c.shown, p.edt);
        EXPECT_EQ(c.shown, p.det);
    }
}

TEST_F(SwitchSaves, ASwitchShowsItsOwnSetEvenWithoutWiredPanels) {
    Exec("INSERT INTO t_ke (id_ke, name, t_cm, t_ed) VALUES (7, 'Летний', 10, 2)");
    Exec("UPDATE k_pk SET id_ke=7, rsrv=9, sn_pk='A000000001', n_vid=4 WHERE id_pk=2");
    Exec("DELETE FROM m_bv WHERE n_pk=2 AND id_net=1");
    const LoadedSwitch s = LoadSwitch(Db(), 2);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(7, s.idKe);
    EXPECT_EQ(QStringLiteral("Летний"), s.params.name);
    EXPECT_EQ(10, s.params.set.t_cm);
    EXPECT_EQ(10, s.params.edt);
    EXPECT_EQ(9, s.params.rsrv);
    EXPECT_EQ(QStringLiteral("A000000001"), s.serial);
    EXPECT_TRUE(s.video.on);
    EXPECT_EQ(4, s.video.tract);
    EXPECT_EQ(QStringLiteral("1"), s.house);
    EXPECT_EQ(2, s.nPod);
}

TEST_F(SwitchSaves, ASwitchWithoutASetShowsTheRecommendedOneAppendedWhenMissing) {
    Exec("UPDATE k_pk SET id_ke=0 WHERE id_pk=3");
    EXPECT_EQ(kRecommendedParamSetName, Loaded(3).name);
    Exec("UPDATE k_pk SET id_ke=55 WHERE id_pk=3");  // a set that is gone
    EXPECT_EQ(kRecommendedParamSetName, Loaded(3).name);
    Exec("DELETE FROM t_ke");
    const SwitchParams p = Loaded(3);
    EXPECT_EQ(kRecommendedParamSetName, p.name);
    EXPECT_EQ(95, p.set.t_dl);
    EXPECT_EQ(1, SetCount());
}

TEST_F(SwitchSaves, SavingTwiceUnchangedAppendsOneSetAndMarksTheSwitchOnce) {
    AllKfPr(1);
    const ParamsSaved first = SaveForSwitch(Db(), 1, Changed(12), SwitchVideo{});
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_FALSE(first.existed);
    EXPECT_EQ(QStringLiteral("Дом на Садовой 1 под.1"), first.setName);
    EXPECT_EQ(first.idKe, IdKe(1));
    EXPECT_EQ(2, SetCount());
    EXPECT_EQ(2, KfPr(1));
    const ParamsSaved second = SaveForSwitch(Db(), 1, Changed(12), SwitchVideo{});
    EXPECT_TRUE(second.existed);
    EXPECT_EQ(first.idKe, second.idKe);
    EXPECT_EQ(2, SetCount());
    EXPECT_EQ(2, KfPr(1));
    EXPECT_EQ(1, KfPr(2));  // no other switch

    // The second entrance of house 1 gets a set named after it.
    const ParamsSaved other = SaveForSwitch(Db(), 2, Changed(13), SwitchVideo{});
    EXPECT_EQ(QStringLiteral("Дом на Садовой 1 под.2"), other.setName);
}

TEST_F(SwitchSaves, WithVideoOffEverySingleSaveStoresMinusOneAndMarks) {
    Exec("UPDATE k_pk SET n_vid=4, kf_pr=3 WHERE id_pk=1");
    ASSERT_TRUE(SaveForSwitch(Db(), 1, SwitchParams{}, SwitchVideo{}).ok);
    EXPECT_EQ(-1, NVid(1).toInt());
    EXPECT_EQ(4, KfPr(1));
    Exec("UPDATE k_pk SET kf_pr=1 WHERE id_pk=1");
    ASSERT_TRUE(SaveForSwitch(Db(), 1, SwitchParams{}, SwitchVideo{}).ok);
    EXPECT_EQ(-1, NVid(1).toInt());
    EXPECT_EQ(2, KfPr(1));

    ASSERT_TRUE(SaveForSwitch(Db(), 1, SwitchParams{}, SwitchVideo{true, 6}).ok);
    EXPECT_EQ(6, NVid(1).toInt());
    QString error;
    Exec("UPDATE k_pk SET kf_pr=1, n_vid=6 WHERE id_pk=1");
    ASSERT_TRUE(SaveVideo(Db(), 1, SwitchVideo{true, 6}, &error));
    EXPECT_EQ(1, KfPr(1));  // the same tract is not a change
    Exec("UPDATE k_pk SET n_vid=NULL WHERE id_pk=1");
    ASSERT_TRUE(SaveVideo(Db(), 1, SwitchVideo{true, 6}, &error));
    EXPECT_EQ(6, NVid(1).toInt());
    EXPECT_EQ(2, KfPr(1));
}

TEST_F(SwitchSaves, TheReserveValueIsStoredWithTheSet) {
    SwitchParams p;
    p.rsrv = 11;
    p.set.acp4 = 3;
    ASSERT_TRUE(SaveForSwitch(Db(), 2, p, SwitchVideo{}).ok);
    EXPECT_EQ(11, Int("SELECT rsrv FROM k_pk WHERE id_pk=2"));
    EXPECT_EQ(3, Int("SELECT acp4 FROM t_ke WHERE id_ke=?", {IdKe(2)}));
}

TEST_F(SwitchSaves, AHouseSaveChangesOnlyThatHouseAndMarksTheSwitchesItChanges) {
    AllKfPr(1);
    Exec("UPDATE k_pk SET n_vid=5");
    const ParamSetMatch set = FindParamSet(Db(), Changed(20).SetValues(), QStringLiteral("x"));
    Exec("UPDATE k_pk SET id_ke=?, n_vid=-1 WHERE id_pk=2", {set.idKe});
    QList<int> steps;
    const ParamsSaved r =
        SaveForHouse(Db(), 1, Changed(20), SwitchVideo{}, [&](int value, int, bool visible) {
            if (visible) steps << value;
        });
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.existed);
    EXPECT_EQ(QStringLiteral("x"), r.setName);  // an equal set keeps its name
    EXPECT_EQ(1, r.switchesMarked);
    EXPECT_EQ((QList<int>{0, 1, 2}), steps);
    EXPECT_EQ(set.idKe, IdKe(1));
    EXPECT_EQ(-1, NVid(1).toInt());  // the video is off: not used
    EXPECT_EQ(2, KfPr(1));
    EXPECT_EQ(1, KfPr(2));  // already had that set and no video
    EXPECT_EQ(1, IdKe(3));  // house 2
    EXPECT_EQ(5, NVid(3).toInt());
    EXPECT_EQ(1, KfPr(3));

    const ParamsSaved named = SaveForHouse(Db(), 2, Changed(21), SwitchVideo{true, 3});
    EXPECT_EQ(QStringLiteral("2"), named.setName);
    EXPECT_EQ(3, NVid(3).toInt());
}

TEST_F(SwitchSaves, AnObjectSaveWritesTheVideoOnlyWhenItIsOn) {
    AllKfPr(1);
    Exec("UPDATE k_pk SET n_vid=3 WHERE id_pk=1");
    const ParamsSaved r = SaveForObject(Db(), 1, Changed(30), SwitchVideo{});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(QStringLiteral("Дом на Садовой"), r.setName);
    EXPECT_EQ(3, r.switchesMarked);
    EXPECT_EQ(3, NVid(1).toInt());
    EXPECT_EQ(r.idKe, IdKe(3));
    EXPECT_EQ(1, IdKe(4));  // the neighbouring object
    EXPECT_EQ(1, KfPr(4));

    AllKfPr(1);
    ASSERT_TRUE(SaveForObject(Db(), 1, Changed(30), SwitchVideo{true, 3}).ok);
    EXPECT_EQ(3, NVid(2).toInt());
    EXPECT_EQ(1, KfPr(1));  // had the set and the tract
    EXPECT_EQ(2, KfPr(2));
}

TEST_F(SwitchSaves, AFailedSaveLeavesNoNewSetBehind) {
    const ParamsSaved r = SaveForSwitch(Db(), 99, Changed(44), SwitchVideo{});
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(1, SetCount());
    EXPECT_FALSE(SaveForHouse(Db(), 99, Changed(44), SwitchVideo{}).ok);
    EXPECT_EQ(1, SetCount());
}

TEST_F(SwitchSaves, DataModuleSavesAskFirstAndKeepTheSwitchCurrent) {
    SelectObject(1);
    ASSERT_TRUE(dm_->Q_MNpk->Locate("k.id_pk", 2));
    const qint64 idDom =
        Int("SELECT p.id_dom FROM k_pk k JOIN k_pod p ON p.id_pod=k.id_pod WHERE k.id_pk=2");
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Дом"), QStringLiteral("Сохранить для всего дома?"),
                   DlgAnswer::No);
    EXPECT_FALSE(SaveShownHouse(idDom, QStringLiteral("Дом"), Changed(8), SwitchVideo{}).ok);
    EXPECT_EQ(1, SetCount());
    dialogs.Expect(QStringLiteral("Объект"), QStringLiteral("Сохранить для всего объекта?"),
                   DlgAnswer::Yes);
    const ParamsSaved r = SaveShownObject(1, QStringLiteral("Объект"), Changed(8), SwitchVideo{});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(2, CurrentSwitchId());
    EXPECT_EQ(r.idKe, dm_->Q_ke->FieldByName("id_ke").AsLargeInt());

    // A picked set comes into the controls with the switch's reserve value.
    ASSERT_TRUE(dm_->Q_ke->Locate("id_ke", 1));
    SwitchParams p = Changed(8);
    p.rsrv = 6;
    ASSERT_TRUE(ApplyCurrentParamSet(&p));
    EXPECT_EQ(0, p.set.t_cm);
    EXPECT_EQ(6, p.rsrv);
    EXPECT_EQ(kRecommendedParamSetName, p.name);
}

TEST_F(SwitchSaves, APickedSetOnAnEmptyListIsTheRecommendedOne) {
    Exec("UPDATE k_pk SET id_ke=0");
    Exec("DELETE FROM t_ke");
    ASSERT_TRUE(dm_->Q_ke->Reopen());
    SwitchParams p = Changed(8);
    ASSERT_TRUE(ApplyCurrentParamSet(&p));
    EXPECT_EQ(kRecommendedParamSetName, p.name);
    EXPECT_EQ(66, p.set.t_wt);
    EXPECT_EQ(1, p.set.t_st);
    EXPECT_EQ(1, SetCount());
}

// ---------------------------------------------------------------- serial numbers

namespace {

class SwitchSerials : public SwitchSaves {
  protected:
    SerialExitResult Leave(qint64 idPk, const QString& typed) {
        return LeaveSerialField(Db(), SerialColumn::Switches(), idPk, 1, typed);
    }
    QString Serial(qint64 idPk) {
        return Scalar("SELECT sn_pk FROM k_pk WHERE id_pk=?", {idPk}).toString();
    }
};

}  // namespace

TEST_F(SwitchSerials, OnlyTheAcceptedFormsAreStored) {
    AllKfPr(1);
    SerialExitResult r = Leave(1, QStringLiteral(" 123456789 "));
    EXPECT_EQ(SerialExit::Stored, r.outcome);
    EXPECT_EQ(QStringLiteral("A123456789"), r.shown);
    EXPECT_EQ(QStringLiteral("A123456789"), Serial(1));
    EXPECT_EQ(1, KfPr(1));  // a serial number is not in the file

    EXPECT_EQ(SerialExit::Stored, Leave(2, QStringLiteral("654321")).outcome);
    EXPECT_EQ(QStringLiteral("654321"), Serial(2));

    for (const char* refused : {"K123456789", "A12345", "A1234.6789", "12345", "b12"}) {
        r = Leave(1, QString::fromLatin1(refused));
        EXPECT_EQ(SerialExit::Refused, r.outcome) << refused;
        EXPECT_EQ(QStringLiteral("A123456789"), r.shown);
    }
    EXPECT_EQ(QStringLiteral("A123456789"), Serial(1));

    EXPECT_EQ(SerialExit::Unchanged, Leave(1, QStringLiteral("a123456789")).outcome);
    r = Leave(1, QStringLiteral("  "));
    EXPECT_EQ(SerialExit::Stored, r.outcome);  // clearing
    EXPECT_EQ(QString(), Serial(1));
    EXPECT_EQ(SerialExit::Unchanged, Leave(1, QString()).outcome);
}

TEST_F(SwitchSerials, AnotherSwitchsNumberOffersToGoThereAndStoresNothing) {
    Exec("UPDATE k_pk SET sn_pk='A000000002' WHERE id_pk=2");
    Exec("UPDATE k_pk SET sn_pk='B000000004' WHERE id_pk=4");  // another object
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Повторение!"), kJumpQuestion, DlgAnswer::No);
    SerialExitResult r = Leave(1, QStringLiteral("000000002"));  // with its "A"
    EXPECT_EQ(SerialExit::Unchanged, r.outcome);
    EXPECT_EQ(QString(), r.shown);
    dialogs.Expect(QStringLiteral("Повторение!"), kJumpQuestion, DlgAnswer::Yes);
    r = Leave(1, QStringLiteral("A000000002"));
    EXPECT_EQ(SerialExit::JumpTo, r.outcome);
    EXPECT_EQ(2, r.otherId);
    EXPECT_EQ(QString(), Serial(1));
    EXPECT_EQ(QStringLiteral("A000000002"), Serial(2));

    EXPECT_EQ(SerialExit::Stored, Leave(1, QStringLiteral("B000000004")).outcome);
}
}  // namespace
}  // namespace SwitchParamsTestUnit
