#include "DeviceFixture.h"
#include "devices/ParamSet.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace ParamSetTestUnit {
namespace {

class ParamSets : public DeviceFixture {
  protected:
    int SetCount() { return Int("SELECT COUNT(*) FROM t_ke"); }
    QString NameOf(qint64 idKe) {
        return Scalar("SELECT name FROM t_ke WHERE id_ke=?", {idKe}).toString();
    }
    qint64 AddSet(const QString& name, int tCm) {
        Exec("INSERT INTO t_ke (name, t_cm, id_net) VALUES (?, ?, 0)", {name, tCm});
        return Scalar("SELECT MAX(id_ke) FROM t_ke").toLongLong();
    }
};

TEST(ParamSetRules, FiveMinuteUnitsRoundHalfAwayFromZero) {
    EXPECT_EQ(2, FiveMinuteUnits(10));
    EXPECT_EQ(2, FiveMinuteUnits(12));  // 2.4
    EXPECT_EQ(3, FiveMinuteUnits(13));  // 2.6
    EXPECT_EQ(1, FiveMinuteUnits(7));   // 1.4
    EXPECT_EQ(3, FiveMinuteUnits(15));
    EXPECT_EQ(1, FiveMinuteUnits(5));
    EXPECT_EQ(0, FiveMinuteUnits(2));
}

TEST(ParamSetRules, NamesOfNewSets) {
    EXPECT_EQ(QStringLiteral("Дом на Садовой 1 под.2"),
              ParamSetNameForSwitch(QStringLiteral(" Дом на Садовой "), QStringLiteral(" 1 "), 2));
    EXPECT_EQ(QStringLiteral("Корпус А"), ParamSetNameForHouse(QStringLiteral("Корпус А")));
    EXPECT_EQ(QStringLiteral("Дом на Садовой"),
              ParamSetNameForObject(QStringLiteral("Дом на Садовой")));
    EXPECT_EQ(17, ParamSetColumns().size());
    EXPECT_EQ(17, ParamSetValues{}.InColumnOrder().size());
}

TEST_F(ParamSets, AnEqualSetIsReusedWhateverItsNameAndAnotherIsAppendedOnce) {
    // The editor's initial values are those of the recommended set.
    const ParamSetMatch recommended = FindParamSet(Db(), ParamSetValues{}, QStringLiteral("x"));
    ASSERT_TRUE(recommended.ok);
    EXPECT_TRUE(recommended.existed);
    EXPECT_EQ(1, recommended.idKe);
    EXPECT_EQ(kRecommendedParamSetName, NameOf(1));
    EXPECT_EQ(1, SetCount());

    ParamSetValues v;
    v.t_cm = 12;
    v.acp4 = 7;
    const QString name = ParamSetNameForSwitch(QStringLiteral("Дом на Садовой"), "1", 2);
    const ParamSetMatch added = FindParamSet(Db(), v, name);
    ASSERT_TRUE(added.ok);
    EXPECT_FALSE(added.existed);
    EXPECT_EQ(2, SetCount());
    EXPECT_EQ(name, NameOf(added.idKe));
    EXPECT_EQ(12, Int("SELECT t_cm FROM t_ke WHERE id_ke=?", {added.idKe}));
    EXPECT_EQ(7, Int("SELECT acp4 FROM t_ke WHERE id_ke=?", {added.idKe}));

    // Saved again under another name: the set keeps its first name.
    const ParamSetMatch again = FindParamSet(Db(), v, QStringLiteral("Корпус"));
    EXPECT_TRUE(again.existed);
    EXPECT_EQ(added.idKe, again.idKe);
    EXPECT_EQ(name, NameOf(added.idKe));
    EXPECT_EQ(2, SetCount());
}

TEST_F(ParamSets, EveryValueTakesPartAndNameUseAndObjectDoNot) {
    ParamSetValues v;
    v.t_ed = FiveMinuteUnits(10);
    v.t_de = FiveMinuteUnits(7);
    const qint64 first = FindParamSet(Db(), v).idKe;
    Exec("UPDATE t_ke SET name='чужой', l_use=1, id_net=9 WHERE id_ke=?", {first});
    v.t_ed = FiveMinuteUnits(12);  // 12 minutes store as 10 do
    EXPECT_EQ(first, FindParamSet(Db(), v).idKe);
    const int before = SetCount();
    for (int i = 0; i < 17; ++i) {
        ParamSetValues changed = v;
        int* fields[] = {&changed.t_cm, &changed.t_cl, &changed.t_dl, &changed.t_vc, &changed.t_dx,
                         &changed.t_st, &changed.t_mo, &changed.t_bo, &changed.t_wt, &changed.t_po,
                         &changed.t_ed, &changed.t_de, &changed.edge, &changed.acp1, &changed.acp2,
                         &changed.acp3, &changed.acp4};
        *fields[i] += 1;
        const ParamSetMatch m = FindParamSet(Db(), changed);
        EXPECT_FALSE(m.existed) << "column " << ParamSetColumns()[i].toStdString();
    }
    EXPECT_EQ(before + 17, SetCount());
}

TEST_F(ParamSets, TheDataModuleStandsOnTheSetItFound) {
    ParamSetValues v;
    v.t_dx = 33;
    const ParamSetMatch m = FindParamSet(v, QStringLiteral("Объект"));
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.idKe, dm_->Q_ke->FieldByName("id_ke").AsLargeInt());
    EXPECT_EQ(QStringLiteral("Объект"), dm_->Q_ke->FieldByName("name").AsString());
    EXPECT_EQ(2, dm_->Q_ke->RecordCount());
}

TEST_F(ParamSets, TheRecommendedSetIsFoundByPrefixAndAppendedWhenMissing) {
    QString error;
    EXPECT_EQ(1, EnsureRecommendedParamSet(Db(), &error));
    Exec("UPDATE t_ke SET name=? WHERE id_ke=1", {kRecommendedParamSetName + " (старый)"});
    EXPECT_EQ(1, FindRecommendedParamSet(Db()));
    Exec("DELETE FROM t_ke");
    EXPECT_EQ(0, FindRecommendedParamSet(Db()));
    const qint64 id = EnsureRecommendedParamSet(Db(), &error);
    ASSERT_GT(id, 1) << error.toStdString();
    EXPECT_EQ(kRecommendedParamSetName, NameOf(id));
    EXPECT_EQ(1, Int("SELECT l_use FROM t_ke WHERE id_ke=?", {id}));
    EXPECT_EQ(66, Int("SELECT t_wt FROM t_ke WHERE id_ke=?", {id}));
    EXPECT_EQ(1, Int("SELECT t_st FROM t_ke WHERE id_ke=?", {id}));
    EXPECT_EQ(95, Int("SELECT t_dl FROM t_ke WHERE id_ke=?", {id}));
    EXPECT_EQ(id, EnsureRecommendedParamSet(Db(), &error));
    EXPECT_EQ(1, SetCount());
}

TEST_F(ParamSets, RenamingTrimsAndLeavesTheRecommendedSetAlone) {
    const qint64 id = AddSet(QStringLiteral("старое"), 3);
    EXPECT_EQ(DeviceChange::Done, RenameParamSet(Db(), id, QStringLiteral("  новое имя ")));
    EXPECT_EQ(QStringLiteral("новое имя"), NameOf(id));
    EXPECT_EQ(DeviceChange::Refused, RenameParamSet(Db(), 1, QStringLiteral("моё")));
    EXPECT_EQ(kRecommendedParamSetName, NameOf(1));
}

TEST_F(ParamSets, ASetInUseAnywhereIsNotDeletedAndAnUnusedOneGoesAfterTheQuestion) {
    const qint64 neighbours = AddSet(QStringLiteral("соседский"), 4);
    Exec("UPDATE k_pk SET id_ke=? WHERE id_pk=4", {neighbours});  // a switch of object 2
    const qint64 unused = AddSet(QStringLiteral("лишний"), 5);
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Отказ"),
                       QStringLiteral("Набор параметров используется, удаление невозможно!"));
        EXPECT_EQ(DeviceChange::Refused, DeleteParamSet(Db(), neighbours));
        dialogs.Expect(QStringLiteral("Отказ"),
                       QStringLiteral("Набор параметров используется, удаление невозможно!"));
        EXPECT_EQ(DeviceChange::Refused, DeleteParamSet(Db(), 1));
        dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить запись?"),
                       DlgAnswer::No);
        EXPECT_EQ(DeviceChange::Declined, DeleteParamSet(Db(), unused));
        dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить запись?"),
                       DlgAnswer::Yes);
        EXPECT_EQ(DeviceChange::Done, DeleteParamSet(Db(), unused));
    }
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM t_ke WHERE id_ke=?", {unused}));
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM t_ke WHERE id_ke=?", {neighbours}));

    // Unused, even the recommended set may go; the next lookup brings it back.
    Exec("UPDATE k_pk SET id_ke=?", {neighbours});
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить запись?"),
                       DlgAnswer::Yes);
        EXPECT_EQ(DeviceChange::Done, DeleteParamSet(Db(), 1));
    }
    QString error;
    EXPECT_GT(EnsureRecommendedParamSet(Db(), &error), 1);
}

TEST_F(ParamSets, DeletingThroughTheDataModuleLeavesItOnTheNextRow) {
    AddSet(QStringLiteral("Ю"), 1);  // listed after the recommended set, by name
    AddSet(QStringLiteral("Я"), 2);
    ASSERT_TRUE(dm_->Q_ke->Reopen());
    ASSERT_TRUE(dm_->Q_ke->Locate("name", QStringLiteral("Ю")));
    ScriptedDialogs dialogs;
    dialogs.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить запись?"), DlgAnswer::Yes);
    EXPECT_EQ(DeviceChange::Done, DeleteCurrentParamSet());
    EXPECT_EQ(QStringLiteral("Я"), dm_->Q_ke->FieldByName("name").AsString());
    EXPECT_EQ(DeviceChange::Done, RenameCurrentParamSet(QStringLiteral(" Г ")));
    EXPECT_EQ(QStringLiteral("Г"), dm_->Q_ke->FieldByName("name").AsString());
}
}  // namespace
}  // namespace ParamSetTestUnit
