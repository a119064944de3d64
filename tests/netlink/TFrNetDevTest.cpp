// The network devices screen on the reference object and the simulated bus:
// start and stop of the link, the configured and found device lists, the
// class information of a found device and the firmware list at start.

#include "NetDevicesScreenFixture.h"
#include "config/ConfigHeader.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "netlink/NetConfigTransfer.h"
#include "netlink/NetDeviceRecords.h"
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
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <functional>
#include <utility>

namespace TFrNetDevTestUnit {

namespace {

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

// A closed list of records is not an object without devices: the screen and
// the records the commands change open it; one that cannot be read is told.
TEST_F(NetDevicesScreen, ClosedRecordListsAreOpenedAndAnUnreadableOneIsTold) {
    for (Dataset* ds : {dm.Q_pk, dm.Q_PO, dm.Q_bv}) ds->Close();
    frame->FillDeviceList();
    EXPECT_EQ(8, frame->ListHdev->count());
    dm.Q_bv->Close();
    NetDeviceRecords records(dm);
    EXPECT_TRUE(records.StoreSerial(NetRecordKind::CallPanel, 66, "C000000066"));
    dm.Q_bv->Close();
    EXPECT_TRUE(records.MarkFileWritten(66, 63));
    QSqlQuery q(dm.ConnectionDB());
    ASSERT_TRUE(q.exec("SELECT sn_bv, kf_pr FROM k_bv WHERE n_net=66") && q.next());
    EXPECT_EQ("C000000066", q.value(0).toString());
    EXPECT_EQ(3, q.value(1).toInt());

    Exec("ALTER TABLE k_bv RENAME TO k_bv_away", {});
    dm.Q_bv->Close();
    EXPECT_FALSE(records.MarkFileWritten(66, 63));
    EXPECT_FALSE(records.LastError().isEmpty());
    dialogs.ExpectContaining(QStringLiteral("Ошибка"),
                             QStringLiteral("Устройства объекта не прочитаны. "));
    frame->FillDeviceList();
    EXPECT_EQ(0, frame->ListHdev->count());
    Exec("ALTER TABLE k_bv_away RENAME TO k_bv", {});
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
    ASSERT_TRUE(bus.Settle());
    EXPECT_EQ(bus.Received().size(), frames);
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

// A found device chosen by a click, or by Enter on its line, shows its class.
TEST_F(NetDevicesScreen, AFoundDeviceShowsItsClassAndClearsTheConfiguredSelection) {
    SimDevice device = SimDevice::Switch(1);
    device.serial = "B123456789";
    bus.AddDevice(device);
    Start();
    ASSERT_EQ(Link().RequestClass(1), 1);
    Link().BuildDeviceList(Link().DeviceList);
    frame->ShowLinkState();
    ASSERT_EQ(Items(frame->ListCdev), QStringList{"СКМ01  "});
    QListWidgetItem* line = frame->ListCdev->item(0);
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"click",
         [&] {
             QTest::mouseClick(frame->ListCdev->viewport(), Qt::LeftButton, {},
                               frame->ListCdev->visualItemRect(line).center());
         }},
        {"Enter", [&] { QTest::keyClick(frame->ListCdev, Qt::Key_Return); }},
    };
    for (const auto& [way, choose] : ways) {
        SCOPED_TRACE(way);
        frame->MemoAtr->clear();
        frame->PanelDev->hide();
        frame->ListHdev->item(0)->setSelected(true);
        frame->ListHdev->item(2)->setSelected(true);
        choose();
        EXPECT_TRUE(frame->ListHdev->selectedItems().isEmpty());
        const QStringList info = Lines(frame->MemoAtr);
        ASSERT_GE(info.size(), 2);
        EXPECT_EQ(info.at(0), "СКМ01");
        EXPECT_EQ(info.at(1), "Получен ответ на запрос класса.");
        EXPECT_TRUE(frame->PanelDev->isVisible());
        EXPECT_FALSE(frame->BitSN->isEnabled());
    }
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
    Exec("UPDATE k_net SET st_net='восстановление'", {});
    ASSERT_TRUE(dm.Q_Net->Reopen());
    ASSERT_TRUE(dm.Q_Net->IsEmpty());
    frame->ShowFrNetDev();
    EXPECT_EQ(frame->ListHdev->count(), 0);
}

// A first start or a change of database folder and back, with the global
// parameters closed since (the open reads them): they are read by the screen
// that shows.
TEST_F(NetDevicesScreen, AScreenShownOnAFreshConnectionReadsTheGlobalParameters) {
    Exec("UPDATE t_global SET SepDevice=62", {});
    dm.Disconnect();
    QString error;
    ASSERT_TRUE(dm.Connect(db.dbPath(), &error)) << error.toStdString();
    dm.Global->Close();
    frame->ShowFrNetDev();
    EXPECT_EQ(Globals().SepDevice, 62);
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

// A transfer run through the screen: its questions come through the dialog
// service, its logs into the screen's consoles, the hourglass and "Ждите..."
// go away when it ends.
TEST_F(NetDevicesScreen, ATransferRunsOnTheScreensLinkAndLogs) {
    SimDevice device = SimDevice::Switch(1);
    bus.AddDevice(device);
    Start();
    ASSERT_EQ(Link().RequestClass(1), 1);
    Link().ParseClassReply(1);
    Link().BuildDeviceList(Link().DeviceList);
    const QString file = dir.path() + "ckm02.bin";
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(BuildConfigHeaderBytes(2, idNet, 63) + QByteArray::fromHex("0300010201FFFF"));
    out.close();

    std::optional<NetOpContext> ctx = frame->OperationContext();
    ASSERT_TRUE(ctx);
    NetConfigTransfer transfer(*ctx);
    dialogs.Expect("Подтверждение",
                   "Сетевые номера устройства и файла не совпадают. Продолжить запись?",
                   DlgAnswer::Yes);
    EXPECT_EQ(transfer.WriteCnf(1, false, file).outcome, NetOpOutcome::Done);
    const NetReadResult read = transfer.ReadCnf(1);
    ASSERT_EQ(read.outcome, NetOpOutcome::Done);
    EXPECT_EQ(read.savedFile,
              db.dbDir() + "Data/FlRead/Fl_" + QString::number(idNet) + "/ckm01.bin");
    EXPECT_FALSE(frame->LabWait->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const QStringList results = Lines(frame->Memo2);
    EXPECT_TRUE(
        results.contains("Запись конфигурационного файла СКМ01 в устройство СКМ01 завершена."));
    ASSERT_FALSE(results.isEmpty());
    EXPECT_EQ(results.last(), "Файл сохранен.");
    EXPECT_TRUE(Lines(frame->Memo1).contains("Чтение конфигурационного файла устройства СКМ01."));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_FALSE(SaveScreen(*frame, "FrNetDev1-transfer").isEmpty());
}

}  // namespace
}  // namespace TFrNetDevTestUnit
