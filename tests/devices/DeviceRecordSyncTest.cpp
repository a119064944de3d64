// The device records made from the access matrix of the reference object,
// and what a second run over a changed matrix does to them.
#include "devices/DeviceRecordSync.h"
#include "devices/Melody.h"
#include "devices/ParamSet.h"
#include "devices/SecurityPost.h"
#include "devices/ui/DeviceForms.h"
#include "foundation/NavigationHooks.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/TFDM.h"
#include "app/TFMainVesk.h"
#include "support/KilledChild.h"
#include "support/QtPrinters.h"
#include "support/ReferenceObject.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstdio>

namespace DeviceRecordSyncTestUnit {
namespace {

using namespace DeviceSyncTexts;

// ---------------------------------------------------------------- defaults

TEST(NewDeviceDefaults, CameraMaskHasADigitPerTractAndNeverMoreThanSixteen) {
    EXPECT_EQ(QStringLiteral("11100000"), NewSwitchCameraMask(2, 1, 8));
    EXPECT_EQ(QStringLiteral("00000000"), NewSwitchCameraMask(0, 0, 8));
    EXPECT_EQ(QStringLiteral("111111111"), NewSwitchCameraMask(8, 1, 8));
    EXPECT_EQ(QStringLiteral("1111111111111111"), NewSwitchCameraMask(15, 1, 8));
    EXPECT_EQ(QStringLiteral("11111111"), NewSwitchCameraMask(16, 1, 8));
}

TEST(NewDeviceDefaults, FirstApartmentOfASwitch) {
    EXPECT_EQ(50, NewSwitchFirstApartment(false, 0, 250));
    EXPECT_EQ(100, NewSwitchFirstApartment(false, 0, 100));
    EXPECT_EQ(1, NewSwitchFirstApartment(false, 0, 101));
    EXPECT_EQ(41, NewSwitchFirstApartment(false, 1, 41));
    EXPECT_EQ(1, NewSwitchFirstApartment(true, 1, 250));
}

TEST(NewDeviceDefaults, BlatoGrowsOnlyPast480Apartments) {
    EXPECT_EQ(31, PanelBlato(0));
    EXPECT_EQ(31, PanelBlato(1));
    EXPECT_EQ(31, PanelBlato(480));
    EXPECT_EQ(32, PanelBlato(481));
    EXPECT_EQ(32, PanelBlato(512));
    EXPECT_EQ(33, PanelBlato(513));
}

TEST(NewDeviceDefaults, PanelNames) {
    const QString door = QStringLiteral("БВ подъезда 03. 02 вход");
    EXPECT_EQ(QStringLiteral("Парадная"),
              PanelRecordName({door, QStringLiteral("Парадная"), 4, QStringLiteral("7"), 1}));
    EXPECT_EQ(QStringLiteral("БВ04 дом Корпус А - 12. 02 вх"),
              PanelRecordName({door, {}, 4, QStringLiteral(" Корпус А "), 12}));
    EXPECT_EQ(QStringLiteral("БВ04 дом  1. 02 вх"), PanelRecordName({door, {}, 4, {}, 1}));
    EXPECT_EQ(QStringLiteral("БВ04 дом. 02 вх"),
              PanelRecordName({door, {}, 4, QStringLiteral(" "), -1}));
    EXPECT_EQ(QStringLiteral("БВ01 калитка "),
              PanelRecordName({QStringLiteral("БВ калитки 01"), {}, 1, QStringLiteral("1"), 1}));
}

// ---------------------------------------------------------------- the reference object

namespace {

class DeviceSync : public ::testing::Test {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(dm_.Connect(tdb_.dbPath(), &error)) << error.toStdString();
        ASSERT_TRUE(dm_.OpenAllTables());
        ReferenceObject ref;
        ASSERT_TRUE(ref.Build(ReferenceStep::Apartments)) << ref.Error().toStdString();
        idNet_ = ref.IdNet();
        ASSERT_TRUE(dm_.Q_Net->Locate("id_net", idNet_));
    }
    void TearDown() override { Hooks() = savedHooks_; }

    QSqlDatabase Db() { return dm_.ConnectionDB(); }
    void Exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(Db());
        ASSERT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    // Every row the select gives, its values joined by spaces.
    QStringList Rows(const QString& sql, const QVariantList& values = {}) {
        QStringList out;
        QSqlQuery q(Db());
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i) row << q.value(i).toString();
            out << row.join(' ');
        }
        return out;
    }
    QString Row(const QString& sql, const QVariantList& values = {}) {
        return Rows(sql, values).value(0);
    }
    int Int(const QString& sql, const QVariantList& values = {}) {
        return Row(sql, values).toInt();
    }
    QString Dump() {
        QSqlDatabase db = Db();
        return TestDatabase::Dump(db);
    }

    DeviceSyncOutcome Sync() {
        const DeviceSyncOutcome r = SyncPkRecords();
        EXPECT_EQ(DeviceChange::Done, r.result) << r.error.toStdString();
        return r;
    }
    qint64 Entrance(int house, int nPod) {
        return Int(
            "SELECT p.id_pod FROM k_pod p JOIN k_dom d ON d.id_dom=p.id_dom "
            "WHERE d.id_net=? ORDER BY d.id_dom, p.n_pod LIMIT 1 OFFSET ?",
            {idNet_, house == 1 ? nPod - 1 : 2});
    }
    qint64 PanelId(int nNt0) {
        return Int("SELECT id_bv FROM k_bv WHERE id_net=? AND n_nt0=?", {idNet_, nNt0});
    }
    qint64 SwitchOfColumn(int nPk) {
        return Int("SELECT id_pk FROM m_pk WHERE id_net=? AND n_pk=?", {idNet_, nPk});
    }
    QString State() { return Row("SELECT st_net FROM k_net WHERE id_net=?", {idNet_}); }

    TestDatabase tdb_;
    TFDM dm_;
    qint64 idNet_ = 0;
    NavigationHooks savedHooks_ = Hooks();
};

}  // namespace

TEST_F(DeviceSync, NewSwitchRecordsGetTheDefaultsOfTheirColumns) {
    Sync();
    const qint64 idKe = FindRecommendedParamSet(Db());
    const qint64 call = FindSwitchMelody(Db(), kStandardCallMelody);
    const qint64 ringBack = FindSwitchMelody(Db(), kStandardRingBackMelody);
    ASSERT_GT(call, 0);
    ASSERT_GT(ringBack, 0);
    const QString defaults =
        QStringLiteral(" %1 %2 %3 Торвин 1 0 0 0 ").arg(call).arg(ringBack).arg(idKe);
    // n_net id_pod, melodies, set, type, p_fc, type_f, ah, kf_pr, ai, masks, n_xl
    EXPECT_EQ((QStringList{
                  QString::number(1) + ' ' + QString::number(Entrance(1, 1)) + defaults +
                      "1 11000000 11000000 42",
                  QString::number(2) + ' ' + QString::number(Entrance(1, 2)) + defaults +
                      "41 11000000 11000000 42",
                  QString::number(3) + ' ' + QString::number(Entrance(2, 1)) + defaults +
                      "1 11000000 11000000 42",
              }),
              Rows("SELECT n_net, id_pod, id_mvv, id_mot, id_ke, type_k, p_fc, type_f, ah, kf_pr, "
                   "ai, m_vo, m_vb, n_xl FROM k_pk WHERE id_net=? ORDER BY n_net",
                   {idNet_}));
    // Every column points to its record; the apartments and the handset are on
    // terminals from the first one, p_fc.
    EXPECT_EQ((QStringList{"1 1", "2 2", "3 3"}),
              Rows("SELECT m.n_pk, k.n_net FROM m_pk m JOIN k_pk k ON k.id_pk=m.id_pk "
                   "WHERE m.id_net=? ORDER BY m.n_pk",
                   {idNet_}));
    EXPECT_EQ(
        QStringLiteral("1 41 41"),
        Row("SELECT MIN(p_pk), MAX(p_pk), COUNT(*) FROM k_kvr WHERE id_pod=?", {Entrance(1, 2)}));
    EXPECT_EQ(QStringLiteral("закрыто"), State());
}

TEST_F(DeviceSync, NewPanelRecordsGetTheirNamesFlagsTractsAndHandsetIndexes) {
    Sync();
    const QString s1 = QString::number(SwitchOfColumn(1));
    const QString s2 = QString::number(SwitchOfColumn(2));
    const QString s3 = QString::number(SwitchOfColumn(3));
    // n_nt0 n_net bv_type | nrcs l_pok l_kns bell farc l_use kf_pr blato | adrpk adrcs | n_bv
    EXPECT_EQ((QStringList{
                  "2 66 0 1 1 0 1 0 1 0 31 " + s1 + " 41 БВ02 дом  1. 01 вх",
                  "3 67 0 1 1 0 1 0 1 0 31 " + s2 + " 41 БВ03 дом  2. 01 вх",
                  "4 68 0 1 1 0 1 0 1 0 31 " + s3 + " 41 БВ04 дом  1. 01 вх",
                  "1 65 1 1 1 0 1 0 1 0 31 " + s1 + " 41 БВ01 калитка ",
              }),
              Rows("SELECT n_nt0, n_net, bv_type, nrcs, l_pok, l_kns, bell, farc, l_use, kf_pr, "
                   "blato, adrpk, adrcs, n_bv FROM k_bv WHERE id_net=? ORDER BY bv_type, n_net",
                   {idNet_}));
    // One record for the gate however many switches it is wired to; each
    // panel's rows point to it, with their tracts.
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=?", {idNet_}));
    EXPECT_EQ((QStringList{"1 0 1 1 1 1", "1 1 2 1 1 1", "2 0 1 1 1 1", "2 1 2 1 1 1",
                           "3 0 1 1 1 1", "3 1 2 1 1 1"}),
              Rows("SELECT m.n_pk, m.bv_type, m.tract, m.mk_bv, m.mk_po, b.n_net=m.n_net "
                   "FROM m_bv m JOIN k_bv b ON b.id_bv=m.id_bv WHERE m.id_net=? "
                   "ORDER BY m.n_pk, m.bv_type",
                   {idNet_}));
}

TEST_F(DeviceSync, PanelNamesShowTheHouseAndTheMatrixsOwnNames) {
    Exec("UPDATE k_dom SET house=' Корпус А ' WHERE id_net=? AND kod_d='1'", {idNet_});
    Exec("UPDATE m_bv SET nm_bv='Парадная' WHERE id_net=? AND n_nt0=4", {idNet_});
    Sync();
    EXPECT_EQ((QStringList{"БВ01 калитка ", "БВ02 дом Корпус А -  1. 01 вх",
                           "БВ03 дом Корпус А -  2. 01 вх", "Парадная"}),
              Rows("SELECT n_bv FROM k_bv WHERE id_net=? ORDER BY n_nt0", {idNet_}));
}

TEST_F(DeviceSync, HotelEntrancesLargeEntrancesAndMissingReferenceRows) {
    Exec("UPDATE k_net SET incr=1 WHERE id_net=?", {idNet_});
    Exec("UPDATE k_pod SET type_n=1 WHERE id_pod=?", {Entrance(1, 1)});
    Exec("UPDATE k_pod SET n1kvr=250 WHERE id_pod=?", {Entrance(1, 2)});
    Exec("UPDATE k_pod SET v_kvr=500 WHERE id_pod=?", {Entrance(2, 1)});
    Exec("DELETE FROM t_ke WHERE name LIKE 'АРМ DUZAVIZOR%'");
    Exec("DELETE FROM t_mel WHERE name LIKE 'Стандарт%'");
    Sync();
    // type_f, ai, melodies; the hotel switch has no terminals ("Lusk").
    EXPECT_EQ((QStringList{"1 3 1 0 0 Lusk", "2 0 50 0 0 Торвин", "3 0 1 0 0 Торвин"}),
              Rows("SELECT n_net, type_f, ai, id_mvv, id_mot, type_k FROM k_pk WHERE id_net=? "
                   "ORDER BY n_net",
                   {idNet_}));
    // The recommended set was made again for them.
    EXPECT_EQ(QStringLiteral("66 1 95 1"),
              Row("SELECT t_wt, t_st, t_dl, COUNT(*) FROM t_ke WHERE name=?",
                  {kRecommendedParamSetName}));
    EXPECT_EQ(1, Int("SELECT COUNT(DISTINCT k.id_ke) FROM k_pk k JOIN t_ke t ON t.id_ke=k.id_ke "
                     "WHERE t.name=?",
                     {kRecommendedParamSetName}));
    // 500 apartments behind the third switch: its door and the gate need a longer blato.
    EXPECT_EQ((QStringList{"1 32", "2 31", "3 31", "4 32"}),
              Rows("SELECT n_nt0, blato FROM k_bv WHERE id_net=? ORDER BY n_nt0", {idNet_}));
}

TEST_F(DeviceSync, ASecondRunOverAnUnchangedMatrixChangesNoRow) {
    Sync();
    // Files made for every device: nothing may mark them changed for nothing.
    Exec("UPDATE k_pk SET kf_pr=1 WHERE id_net=?", {idNet_});
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_net=?", {idNet_});
    const QString before = Dump();
    Sync();
    EXPECT_EQ(before, Dump());
}

TEST_F(DeviceSync, ResynchronisationFollowsTheMatrix) {
    Sync();
    const qint64 second = SwitchOfColumn(2);
    Exec("UPDATE k_pk SET kf_pr=3, ah=5 WHERE id_net=?", {idNet_});
    Exec("UPDATE k_bv SET kf_pr=1 WHERE id_net=?", {idNet_});
    Exec("UPDATE k_bv SET blato=45 WHERE id_net=? AND n_nt0=2", {idNet_});
    // Column 2 renumbered, column 1 given a second door, the object's codes packed.
    Exec("UPDATE m_pk SET n_net=7 WHERE id_net=? AND n_pk=2", {idNet_});
    Exec("UPDATE m_pk SET v_dvr=2 WHERE id_net=? AND n_pk=1", {idNet_});
    Exec("UPDATE k_net SET farc=1 WHERE id_net=?", {idNet_});
    // The third switch distributes by ranges: it falls back to hundreds.
    Exec("UPDATE k_pk SET type_f=2 WHERE id_net=? AND n_net=3", {idNet_});
    Sync();
    EXPECT_EQ(
        (QStringList{"1 3 5 0", "3 4 5 1", "7 4 0 0"}),
        Rows("SELECT n_net, kf_pr, ah, type_f FROM k_pk WHERE id_net=? ORDER BY n_net", {idNet_}));
    EXPECT_EQ(7, Int("SELECT n_net FROM k_pk WHERE id_pk=?", {second}));
    EXPECT_EQ(2, Int("SELECT v_dvr FROM k_pod WHERE id_pod=?", {Entrance(1, 1)}));
    // farc changed every panel's file; the blato set by hand stays.
    EXPECT_EQ(
        (QStringList{"1 1 2 31", "2 1 2 45", "3 1 2 31", "4 1 2 31"}),
        Rows("SELECT n_nt0, farc, kf_pr, blato FROM k_bv WHERE id_net=? ORDER BY n_nt0", {idNet_}));
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_pk WHERE id_net=?", {idNet_}));
}

// An entrance that grows past 480 apartments needs a longer blato at its
// panels, and new files for them; a longer blato set by hand stays.
TEST_F(DeviceSync, AGrownEntranceRaisesTheBlatoOfItsPanelsButNotAHandSetOne) {
    Sync();
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_net=?", {idNet_});
    Exec("UPDATE k_bv SET blato=40 WHERE id_net=? AND n_nt0=1", {idNet_});  // the gate, by hand
    Exec("UPDATE k_bv SET blato=20 WHERE id_net=? AND n_nt0=2", {idNet_});  // below what is needed
    Exec("UPDATE k_pod SET v_kvr=600 WHERE id_pod=?", {Entrance(2, 1)});
    Sync();
    // n_nt0 blato kf_pr: panel 4 serves the grown entrance, panel 2 was too low.
    EXPECT_EQ((QStringList{"1 40 3", "2 31 4", "3 31 3", "4 35 4"}),
              Rows("SELECT n_nt0, blato, kf_pr FROM k_bv WHERE id_net=? ORDER BY n_nt0", {idNet_}));
}

TEST_F(DeviceSync, PanelsThatLeaveTheMatrixGoWithTheirGateKeysSwitchesStay) {
    Sync();
    const qint64 gate = PanelId(1);
    const qint64 door3 = PanelId(4);
    const qint64 third = SwitchOfColumn(3);
    Exec(
        "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net) VALUES "
        "('000000000001', ?, '000001', -2, ?), ('000000000002', ?, '000002', -2, ?), "
        "('000000000003', ?, '000003', -1, ?)",
        {gate, idNet_, gate, idNet_, Entrance(1, 1), idNet_});
    // The gate and the third column leave the matrix.
    Exec("DELETE FROM m_bv WHERE id_net=? AND (bv_type=1 OR n_pk=3)", {idNet_});
    Exec("DELETE FROM m_pk WHERE id_net=? AND n_pk=3", {idNet_});
    Sync();
    EXPECT_EQ((QStringList{"2", "3"}),
              Rows("SELECT n_nt0 FROM k_bv WHERE id_net=? ORDER BY n_nt0", {idNet_}));
    EXPECT_EQ(0, Int("SELECT COUNT(*) FROM k_bv WHERE id_bv IN (?, ?)", {gate, door3}));
    EXPECT_EQ((QStringList{"000000000003 -1"}),
              Rows("SELECT un_key, id_kvr FROM k_key WHERE id_net=?", {idNet_}));
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_pk WHERE id_pk=?", {third}));
}

TEST_F(DeviceSync, AColumnWhoseNumberHasARecordTakesItOver) {
    Sync();
    const qint64 second = SwitchOfColumn(2);
    Exec("UPDATE m_pk SET id_pk=0 WHERE id_net=? AND n_pk=2", {idNet_});
    Sync();
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_pk WHERE id_net=?", {idNet_}));
    EXPECT_EQ(second, SwitchOfColumn(2));
}

TEST_F(DeviceSync, ARenumberedPanelKeepsItsRecordWhenANewPanelTakesItsNumber) {
    Sync();
    const qint64 door = PanelId(2);
    Exec("UPDATE k_bv SET kf_pr=1 WHERE id_bv=?", {door});
    // Door 1 of column 1 becomes panel 5; a second door takes its number 2.
    Exec("UPDATE m_bv SET n_nt0=5, n_net=69 WHERE id_bv=?", {door});
    Exec(
        "INSERT INTO m_bv (id_net, n_bv, n_pk, bv_type, n_net, n_nt0, plus, l_use) "
        "VALUES (?, 'БВ подъезда 01. 02 вход', 1, 0, 66, 2, 1, 1)",
        {idNet_});
    Exec("UPDATE m_pk SET v_dvr=2 WHERE id_net=? AND n_pk=1", {idNet_});
    Sync();
    EXPECT_EQ(QStringLiteral("69 2 БВ05 дом  1. 01 вх"),
              Row("SELECT n_net, kf_pr, n_bv FROM k_bv WHERE id_bv=?", {door}));
    const qint64 added = PanelId(2);
    EXPECT_NE(door, added);
    EXPECT_EQ(QStringLiteral("66 0 БВ02 дом  1. 02 вх"),
              Row("SELECT n_net, kf_pr, n_bv FROM k_bv WHERE id_bv=?", {added}));
    EXPECT_EQ((QStringList{QString::number(added) + " 66", QString::number(door) + " 69"}),
              Rows("SELECT id_bv, n_net FROM m_bv WHERE id_net=? AND bv_type=0 AND n_pk=1 "
                   "ORDER BY n_net",
                   {idNet_}));
}

TEST_F(DeviceSync, AnEntranceWithoutApartmentsAsksAndNoLeavesEverythingAsItWas) {
    Exec("DELETE FROM k_kvr WHERE id_pod=?", {Entrance(2, 1)});
    DeviceForms::InstallHooks();
    // The console screen's load runs first, inside the same transaction.
    int switchesSeenByConsole = -1;
    Hooks().LoadSecurityPost = [&] {
        switchesSeenByConsole = Int("SELECT COUNT(*) FROM k_pk");
        LoadSecurityPost();
    };
    const QString before = Dump();
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(kQuestionCaption, kMissingApartments, DlgAnswer::No);
        EXPECT_TRUE(Hooks().SyncDeviceRecords().missingApartment);
    }
    EXPECT_EQ(0, switchesSeenByConsole);
    EXPECT_EQ(before, Dump());
    EXPECT_EQ(0, dm_.Q_PO->RecordCount());
    EXPECT_EQ(QStringLiteral("сохранено"), State());
    {
        ScriptedDialogs dialogs;
        dialogs.Expect(kQuestionCaption, kMissingApartments, DlgAnswer::Yes);
        Hooks().CreateSwitchRecords();
    }
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_pk WHERE id_net=?", {idNet_}));
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=?", {idNet_}));
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_po WHERE id_net=?", {idNet_}));
    EXPECT_EQ(QStringLiteral("закрыто"), State());
    // The data module shows the records.
    EXPECT_EQ(3, dm_.Q_MNpk->RecordCount());
    EXPECT_EQ(1, dm_.Q_MNpk->RecNo());
    EXPECT_EQ(4, dm_.Q_bv->RecordCount());
}

TEST_F(DeviceSync, AFailureIsShownAndLeavesEverythingAsItWas) {
    Exec(
        "CREATE TRIGGER no_panels BEFORE INSERT ON k_bv BEGIN SELECT RAISE(ABORT, 'диск полон'); "
        "END");
    const QString before = Dump();
    {
        ScriptedDialogs dialogs;
        dialogs.ExpectContaining(
            QStringLiteral("Ошибка"),
            QStringLiteral("Запись отклонена триггером самого файла базы данных."));
        EXPECT_EQ(DeviceChange::Failed, SyncPkRecords().result);
    }
    EXPECT_EQ(before, Dump());
}

TEST_F(DeviceSync, AnObjectWithoutMatrixColumnsGetsNothing) {
    Exec("DELETE FROM m_bv WHERE id_net=?", {idNet_});
    Exec("DELETE FROM m_pk WHERE id_net=?", {idNet_});
    const QString before = Dump();
    Sync();
    EXPECT_EQ(before, Dump());
}

TEST(ReferenceObjectDevices, TheBuilderMakesTheDeviceRecordsThroughTheSynchronisation) {
    TestDatabase tdb;
    TFDM dm;
    QString error;
    ASSERT_TRUE(dm.Connect(tdb.dbPath(), &error)) << error.toStdString();
    ASSERT_TRUE(dm.OpenAllTables());
    ReferenceObject ref;
    ASSERT_TRUE(ref.Build(ReferenceStep::DeviceRecords)) << ref.Error().toStdString();
    EXPECT_EQ(3, dm.Q_MNpk->RecordCount());
    EXPECT_EQ(4, dm.Q_bv->RecordCount());
    EXPECT_EQ(1, dm.Q_PO->RecordCount());
    EXPECT_EQ(QStringLiteral("закрыто"), dm.Q_Net->FieldByName("st_net").AsString());
}

TEST_F(DeviceSync, TheSwitchAndCallPanelScreensMakeTheRecordsAfterTheirQuestions) {
    DeviceForms::InstallHooks();
    {
        TFMainVesk w;
        ScriptedDialogs dialogs;
        dialogs.Expect(ScreenTexts::kQuestion, ScreenTexts::kCreateCallPanels, DlgAnswer::Yes);
        w.ShowScreen(5);
        dialogs.VerifyDone();
        EXPECT_EQ(5, w.VisibleScreen());
    }
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_pk WHERE id_net=?", {idNet_}));
    EXPECT_EQ(4, Int("SELECT COUNT(*) FROM k_bv WHERE id_net=?", {idNet_}));
    EXPECT_EQ(QStringLiteral("закрыто"), State());

    // A matrix saved again after the records were made: the switch screen
    // brings them in line without asking.
    Exec("UPDATE m_pk SET n_net=9 WHERE id_net=? AND n_pk=3", {idNet_});
    Exec("UPDATE k_net SET st_net='закр+сохр' WHERE id_net=?", {idNet_});
    {
        TFMainVesk w;
        w.ShowScreen(4);
        EXPECT_EQ(4, w.VisibleScreen());
    }
    EXPECT_EQ(1, Int("SELECT COUNT(*) FROM k_pk WHERE id_net=? AND n_net=9", {idNet_}));
    EXPECT_EQ(QStringLiteral("закрыто"), State());
}

// ---------------------------------------------------------------- killed half-way

namespace {

const QString kWrittenMark = QStringLiteral("device records written: ");

}  // namespace

// The child: the synchronisation of the object, stopped for good at half its
// gauge, when the switch and panel records are written and tracts are being given.
TEST(DeviceSyncKillChild, Body) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    TFDM dm;
    QString error;
    ASSERT_TRUE(dm.Connect(KilledChild::Value("db"), &error)) << error.toStdString();
    ASSERT_TRUE(dm.OpenAllTables());
    ASSERT_TRUE(dm.Q_Net->Locate("id_net", KilledChild::Value("object").toLongLong()));
    SyncPkRecords([&dm](int value, int maximum, bool visible) {
        if (!visible || maximum <= 0 || value * 2 < maximum) return;
        QSqlQuery q(dm.ConnectionDB());
        q.exec("SELECT (SELECT COUNT(*) FROM k_pk) + (SELECT COUNT(*) FROM k_bv)");
        std::printf("%s%d\n", qPrintable(kWrittenMark), q.next() ? q.value(0).toInt() : -1);
        KilledChild::ReachedKillPoint();
    });
    FAIL() << "the synchronisation ended before it was killed";
}

TEST_F(DeviceSync, AKillHalfWayLeavesTheDatabaseAsItWas) {
    const QString before = Dump();
    dm_.Disconnect();

    KilledChild child("DeviceSyncKillChild.Body");
    child.Set("db", tdb_.dbPath());
    child.Set("object", QString::number(idNet_));
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    // It died with three switch and four panel records written.
    EXPECT_TRUE(child.Output().contains(kWrittenMark + "7")) << child.Output().toStdString();

    QString error;
    ASSERT_TRUE(dm_.Connect(tdb_.dbPath(), &error)) << error.toStdString();
    ASSERT_TRUE(dm_.OpenAllTables());
    EXPECT_EQ(before, Dump());

    // The database works on: the synchronisation runs to its end.
    ASSERT_TRUE(dm_.Q_Net->Locate("id_net", idNet_));
    Sync();
    EXPECT_EQ(3, Int("SELECT COUNT(*) FROM k_pk WHERE id_net=?", {idNet_}));
    EXPECT_EQ(QStringLiteral("закрыто"), State());
}
}  // namespace
}  // namespace DeviceRecordSyncTestUnit
