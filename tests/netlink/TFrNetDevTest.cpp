// The network devices screen on the reference object and the simulated bus:
// start and stop of the link, the configured and found device lists, the
// class information of a found device and the firmware list at start.

#include "NetFormFixture.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/ui/TFrNetDev.h"
#include "platform/AppPaths.h"
#include "site/ui/SiteForms.h"
#include "support/ReferenceObject.h"
#include "support/ScreenShots.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

namespace {

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) items << list->item(row)->text();
    return items;
}

QStringList Lines(const QPlainTextEdit* memo) {
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

// The reference object with its device records. The program makes those
// records by its own synchronisation, which is not built yet; until then they
// are seeded here as that synchronisation shapes them: one switch per matrix
// column, one record per call panel of the matrix, and the console.
class NetDevicesScreen : public NetFormFixture {
  protected:
    void SetUp() override {
        NetFormFixture::SetUp();
        QString error;
        ASSERT_TRUE(dm.Connect(db.dbPath(), &error)) << error.toStdString();
        ASSERT_TRUE(dm.OpenAllTables()) << dm.LastError().toStdString();
        SiteForms::InstallHooks();
        ReferenceObject ref;
        ASSERT_TRUE(ref.Build(ReferenceStep::Matrix)) << ref.Error().toStdString();
        idNet = ref.IdNet();
        SeedDeviceRecords();
        ASSERT_TRUE(dm.OpenAllTables()) << dm.LastError().toStdString();
        ASSERT_TRUE(dm.Q_Net->Locate("id_net", idNet));

        frame = std::make_unique<TFrNetDev>();
        frame->BindNetForm(form.get());
        frame->resize(1180, 760);
        frame->PrepareScreen(db.dbDir());
        frame->show();
    }
    void TearDown() override {
        frame.reset();
        form.reset();
        Hooks() = savedHooks;
        Globals() = savedGlobals;
    }

    QList<QVariantList> Rows(const QString& sql) {
        QSqlQuery q(dm.ConnectionDB());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QList<QVariantList> rows;
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < 4; ++i) row << q.value(i);
            rows << row;
        }
        return rows;
    }
    qint64 Exec(const QString& sql, const QVariantList& values) {
        QSqlQuery q(dm.ConnectionDB());
        EXPECT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString();
        return q.lastInsertId().toLongLong();
    }

    void SeedDeviceRecords() {
        const QString id = QString::number(idNet);
        for (const QVariantList& c :
             Rows("SELECT n_pk, n_net, n_pod, id_dom FROM m_pk WHERE id_net=" + id +
                  " ORDER BY n_pk")) {
            const qint64 pod = Rows("SELECT id_pod FROM k_pod WHERE id_dom=" + c[3].toString() +
                                    " AND n_pod=" + c[2].toString())
                                   .value(0)
                                   .value(0)
                                   .toLongLong();
            const qint64 pk = Exec(
                "INSERT INTO k_pk (id_net, id_pod, n_net, id_ke, id_mvv, id_mot, type_k, kf_pr)"
                " VALUES (?, ?, ?, 1, 1, 2, 'Торвин', 0)",
                {idNet, pod, c[1]});
            Exec("UPDATE m_pk SET id_pk=? WHERE id_net=? AND n_pk=?", {pk, idNet, c[0]});
        }
        for (const QVariantList& p :
             Rows("SELECT DISTINCT n_net, n_nt0, bv_type, n_bv FROM m_bv WHERE id_net=" + id +
                  " ORDER BY n_net")) {
            const qint64 bv = Exec(
                "INSERT INTO k_bv (id_net, n_net, n_nt0, bv_type, n_bv, kf_pr) VALUES (?, ?, ?, ?,"
                " ?, 0)",
                {idNet, p[0], p[1], p[2], p[3]});
            Exec("UPDATE m_bv SET id_bv=? WHERE id_net=? AND n_net=?", {bv, idNet, p[0]});
        }
        Exec("INSERT INTO k_po (id_net, n_net, kf_pr) VALUES (?, 63, 0)", {idNet});
    }

    void Start() {
        frame->BitStartNetClick();
        ASSERT_TRUE(Link().LinkRunning());
    }

    NavigationHooks savedHooks = Hooks();
    ArmGlobals savedGlobals = Globals();
    TestDatabase db{TestDatabase::Kind::New};
    TFDM dm;
    qint64 idNet = 0;
    std::unique_ptr<TFrNetDev> frame;
};

TEST_F(NetDevicesScreen, TheConfiguredListOfTheObject) {
    frame->FillDeviceList();
    EXPECT_EQ(Items(frame->ListHdev), (QStringList{" КМ01", " КМ02", " КМ03", " ПО  ", " БВ02",
                                                   " БВ03", " БВ04", " БВ01"}));
    Exec("UPDATE k_pk SET sn_pk='B000000002', kf_pr=1 WHERE id_net=? AND n_net=2", {idNet});
    Exec("UPDATE k_po SET sn_po='C000000063' WHERE id_net=?", {idNet});
    Exec("UPDATE k_bv SET kf_pr=3 WHERE id_net=? AND n_net=65", {idNet});
    ASSERT_TRUE(dm.ReopenSwitches());
    ASSERT_TRUE(dm.Q_PO->Reopen());
    ASSERT_TRUE(dm.ReopenCallBlocks());
    frame->ListHdev->item(0)->setSelected(true);
    frame->ListHdev->item(1)->setSelected(true);
    // One line is refreshed; the others stay as they were, and so does the selection.
    frame->UpdateHdevLine(2);
    EXPECT_EQ(Items(frame->ListHdev), (QStringList{" КМ01", "+КМ02 SN B000000002", " КМ03", " ПО  ",
                                                   " БВ02", " БВ03", " БВ04", " БВ01"}));
    EXPECT_TRUE(frame->ListHdev->item(0)->isSelected());
    EXPECT_TRUE(frame->ListHdev->item(1)->isSelected());
    frame->UpdateHdevLine(9);  // no such switch
    frame->UpdateHdevLine(63);
    frame->UpdateHdevLine(65);
    EXPECT_EQ(Items(frame->ListHdev).mid(3),
              (QStringList{" ПО   SN C000000063", " БВ02", " БВ03", " БВ04", "wБВ01"}));

    // Without a console the object lists none.
    Exec("UPDATE k_net SET l_pok=0 WHERE id_net=?", {idNet});
    ASSERT_TRUE(dm.Q_Net->Reopen());
    frame->FillDeviceList();
    EXPECT_FALSE(Items(frame->ListHdev).join('|').contains("ПО"));
}

TEST_F(NetDevicesScreen, StartListsThePortFirstAndASecondStartDoesNothing) {
    EXPECT_FALSE(frame->BitStopNet->isEnabled());
    EXPECT_FALSE(frame->BitFindDev->isEnabled());
    Start();
    const QString portLine = "Порт:=" + Port() + " Vid:=0403 Pid:=6001";
    EXPECT_EQ(Items(frame->ListCdev), QStringList{portLine});
    EXPECT_FALSE(frame->BitStartNet->isEnabled());
    EXPECT_TRUE(frame->BitStopNet->isEnabled());
    EXPECT_TRUE(frame->BitFindDev->isEnabled());
    EXPECT_TRUE(frame->BitOst->isEnabled());
    EXPECT_TRUE(frame->CBDev->isEnabled());
    EXPECT_EQ(frame->ListHdev->count(), 8);
    EXPECT_EQ(frame->ListedObject(), idNet);
    EXPECT_EQ(Lines(form->Memo2),
              (QStringList{"Версия APP СУС = $01$02$03", "Включен драйвер СУС."}));
    EXPECT_EQ(form->EVer->text(), "$01$02$03");
    // The firmware list is read at start.
    EXPECT_EQ(Lines(frame->Memo2), QStringList{"Файл \"APP\\fVer.log\" не существует!"});
    EXPECT_TRUE(QDir(AppPaths::ProgramDir() + "APP").exists());

    const int frames = int(bus.Received().size());
    frame->BitStartNetClick();
    EXPECT_FALSE(bus.WaitForFrames(frames + 1, 300));
    EXPECT_EQ(Items(frame->ListCdev), QStringList{portLine});
    EXPECT_FALSE(frame->BitStartNet->isEnabled());
}

TEST_F(NetDevicesScreen, NoAdapterEnablesTheStartAgain) {
    ports.ports.clear();
    dialogs.Expect("Ошибка оборудования", "Не обнаружены COM порты. Подключите СУС!");
    frame->BitStartNetClick();
    EXPECT_TRUE(frame->BitStartNet->isEnabled());
    EXPECT_FALSE(frame->BitStopNet->isEnabled());
    EXPECT_EQ(frame->ListCdev->count(), 0);
    EXPECT_FALSE(Link().BComNet.Connected());
}

TEST_F(NetDevicesScreen, StopClearsBothLogsAndTheFoundListButNotTheConfiguredOne) {
    bus.AddDevice(SimDevice::Switch(1));
    form->EVid->setText("0403");
    Start();
    EXPECT_FALSE(form->PanelVP->isEnabled());  // no identity write while the link runs
    ASSERT_EQ(Link().RequestClass(1), 1);
    Link().BuildDeviceList(Link().DeviceList);
    frame->ShowLinkState();
    ASSERT_FALSE(Lines(frame->Memo1).isEmpty());
    frame->BitStopNetClick();
    EXPECT_EQ(frame->ListCdev->count(), 0);
    EXPECT_TRUE(Lines(frame->Memo1).isEmpty());
    EXPECT_TRUE(Lines(frame->Memo2).isEmpty());
    EXPECT_EQ(frame->ListHdev->count(), 8);
    EXPECT_FALSE(frame->BitStopNet->isEnabled());
    EXPECT_FALSE(frame->BitFindDev->isEnabled());
    EXPECT_FALSE(frame->CBDev->isEnabled());
    EXPECT_FALSE(Link().BComNet.Connected());
    EXPECT_TRUE(Lines(form->MemoSend).isEmpty());
    EXPECT_TRUE(form->EVid->text().isEmpty());
    EXPECT_FALSE(form->ButSave->isEnabled());
    EXPECT_TRUE(form->PanelVP->isEnabled());
    // The start comes back when the restart pause has run out.
    EXPECT_FALSE(frame->BitStartNet->isEnabled());
    ASSERT_TRUE(form->TimerRestart->isActive());
    EXPECT_EQ(form->TimerRestart->interval(), 7000);
    Link().TimerRestartTick();
    EXPECT_TRUE(frame->BitStartNet->isEnabled());
    EXPECT_FALSE(form->TimerRestart->isActive());
}

TEST_F(NetDevicesScreen, AFoundDeviceShowsItsClassAndClearsTheConfiguredSelection) {
    SimDevice device = SimDevice::Switch(1);
    device.serial = "B123456789";
    bus.AddDevice(device);
    Start();
    ASSERT_EQ(Link().RequestClass(1), 1);
    Link().BuildDeviceList(Link().DeviceList);
    frame->ShowLinkState();
    ASSERT_EQ(Items(frame->ListCdev), QStringList{"СКМ01  "});
    frame->ListHdev->item(0)->setSelected(true);
    frame->ListHdev->item(2)->setSelected(true);
    QListWidgetItem* line = frame->ListCdev->item(0);
    QTest::mouseClick(frame->ListCdev->viewport(), Qt::LeftButton, {},
                      frame->ListCdev->visualItemRect(line).center());
    EXPECT_TRUE(frame->ListHdev->selectedItems().isEmpty());
    const QStringList info = Lines(frame->MemoAtr);
    ASSERT_GE(info.size(), 2);
    EXPECT_EQ(info.at(0), "СКМ01");
    EXPECT_EQ(info.at(1), "Получен ответ на запрос класса.");
    EXPECT_TRUE(frame->PanelDev->isVisible());
    EXPECT_FALSE(frame->BitSN->isEnabled());
}

TEST_F(NetDevicesScreen, CommandsAndDeviceOperationLocking) {
    EXPECT_EQ(Items(frame->ListCmRead), NetCommandCaptions());
    EXPECT_EQ(frame->CBDev->count(), 127);
    QList<int> run;
    frame->RunCommand = [&](int command) { run << command; };
    frame->ListCmRead->setCurrentRow(3);
    EXPECT_TRUE(frame->BitAct->isEnabled());
    QTest::mouseClick(frame->BitAct, Qt::LeftButton);
    QTest::keyClick(frame->ListCmRead, Qt::Key_Return);
    EXPECT_EQ(run, (QList<int>{3, 3}));

    Start();
    frame->BeginDeviceOp();
    EXPECT_TRUE(frame->BitFalse->isVisible());
    EXPECT_FALSE(frame->BitStopNet->isEnabled());
    EXPECT_FALSE(frame->BitAct->isEnabled());
    EXPECT_FALSE(frame->BitFindDev->isEnabled());
    QTest::mouseClick(frame->BitFalse, Qt::LeftButton);
    EXPECT_FALSE(frame->BitFalse->isVisible());
    EXPECT_TRUE(Link().StopRequested());
    frame->EndDeviceOp();
    EXPECT_TRUE(frame->BitStopNet->isEnabled());
    EXPECT_TRUE(frame->BitAct->isEnabled());
    EXPECT_TRUE(frame->CBDev->isEnabled());
    EXPECT_FALSE(frame->BitSN->isEnabled());
}

TEST_F(NetDevicesScreen, ShowingTheScreenTakesTheObjectsIdentifierAndRefillsForAnotherObject) {
    Exec("UPDATE k_net SET id_nom=4711 WHERE id_net=?", {idNet});
    ASSERT_TRUE(dm.Q_Net->Reopen());
    ASSERT_TRUE(dm.Q_Net->Locate("id_net", idNet));
    Exec("UPDATE t_global SET SepDevice=62", {});
    ASSERT_TRUE(dm.Global->Reopen());
    frame->ShowFrNetDev();
    EXPECT_EQ(frame->EIdent->text(), "4711");
    EXPECT_EQ(Globals().SepDevice, 62);
    EXPECT_EQ(frame->ListHdev->count(), 0);  // filled by the start only
    Exec("UPDATE t_global SET SepDevice=63", {});
    ASSERT_TRUE(dm.Global->Reopen());
    frame->ShowFrNetDev();
    Start();
    EXPECT_EQ(frame->ListHdev->count(), 8);
    // While the link runs, a screen shown on no object empties the list.
    dm.Q_Net->Close();
    frame->ShowFrNetDev();
    EXPECT_EQ(frame->ListHdev->count(), 0);
}

TEST_F(NetDevicesScreen, Picture) {
    bus.AddDevice(SimDevice::Switch(1));
    bus.AddDevice(SimDevice::Console(63));
    bus.AddDevice(SimDevice::CallPanel(2));
    Start();
    for (int a : {1, 63, 66}) Link().RequestClass(a);
    Link().BuildDeviceList(Link().DeviceList);
    frame->ShowLinkState();
    frame->ListCdev->setCurrentRow(0);
    frame->ListCdevClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_FALSE(SaveScreen(*frame, "FrNetDev1").isEmpty());
    ExpectNoClippedText(frame.get());
}

}  // namespace
