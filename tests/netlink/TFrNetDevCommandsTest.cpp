// The commands of the network devices screen, run as the operator runs them:
// a command chosen in the list and "Выполнить" pressed, the polls, adding one
// device, storing a found serial number, the firmware upload into a device
// and into the adapter, and the report; every question answered by the
// scripted dialogs, every device on the simulated bus.

#include "AppFileBuilder.h"
#include "NetDevicesScreenFixture.h"
#include "netlink/NetAppUpload.h"
#include "netlink/NetDevicesScreen.h"
#include "platform/AppPaths.h"
#include "support/ScreenShots.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace TFrNetDevCommandsTestUnit {

namespace {

const QString kPermission = "Разрешение на операцию";

// Ten frames of 22 bytes for the firmware memory of a switch of BIOS 5.
QList<QByteArray> FirmwareFrames() {
    QList<QByteArray> frames;
    for (int i = 0; i < 10; ++i) frames << QByteArray(22, char(0x30 + i));
    return frames;
}

class NetDevicesCommands : public NetDevicesScreen {
  protected:
    // Starts the link and lets the screen know the devices at these addresses.
    void StartWithFound(const QList<int>& addresses) {
        Start();
        for (int a : addresses) {
            ASSERT_EQ(Link().RequestClass(a), 1);
            Link().ParseClassReply(a);
        }
        Link().BuildDeviceList(Link().DeviceList);
        frame->ShowLinkState();
    }

    void SelectFound(const QString& start) {
        for (int row = 0; row < frame->ListCdev->count(); ++row)
            frame->ListCdev->item(row)->setSelected(
                frame->ListCdev->item(row)->text().startsWith(start));
    }
    void ClickConfigured(int row) {
        QListWidgetItem* item = frame->ListHdev->item(row);
        QTest::mouseClick(frame->ListHdev->viewport(), Qt::LeftButton, {},
                          frame->ListHdev->visualItemRect(item).center());
    }
    void ClickFound(int row) {
        QListWidgetItem* item = frame->ListCdev->item(row);
        QTest::mouseClick(frame->ListCdev->viewport(), Qt::LeftButton, {},
                          frame->ListCdev->visualItemRect(item).center());
    }

    // Chooses the command and presses "Выполнить", allowing the operation;
    // then come the dialogs the operation itself brings.
    void Execute(int command, const std::function<void()>& thenExpect = {}) {
        frame->ListCmRead->setCurrentRow(command);
        dialogs.Expect(kPermission,
                       "Произвести операцию " + frame->ListCmRead->item(command)->text() + "?",
                       DlgAnswer::Yes);
        if (thenExpect) thenExpect();
        QTest::mouseClick(frame->BitAct, Qt::LeftButton);
    }

    int WritePackets() const {
        int n = 0;
        for (const QByteArray& f : bus.Received()) n += f[3] == 0x04 ? 1 : 0;
        return n;
    }

    // Everything back as before the command.
    void ExpectOperationOver() {
        EXPECT_FALSE(frame->BitFalse->isVisible());
        EXPECT_TRUE(frame->BitAct->isEnabled());
        EXPECT_TRUE(frame->BitStopNet->isEnabled());
        EXPECT_FALSE(frame->LabWait->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    QString PutApp(const QString& name, const QByteArray& bytes) {
        dir.writeFile("APP/" + name, bytes);
        return dir.path() + "APP/" + name;
    }
};

TEST_F(NetDevicesCommands, CommandsOnAFoundDeviceAskForOneWhenNoneIsSelected) {
    bus.AddDevice(SimDevice::Switch(1));
    StartWithFound({1});
    const int frames = int(bus.Received().size());
    for (int command : {2, 3, 4, 5, 9}) {
        SCOPED_TRACE(command);
        frame->ListHdev->item(0)->setSelected(true);  // a configured device is no choice here
        Execute(command, [&] { dialogs.Expect("Ошибка", "Определите устройство из списка!"); });
        dialogs.VerifyDone();
        EXPECT_TRUE(frame->ListHdev->selectedItems().isEmpty());
        EXPECT_FALSE(frame->BitSN->isEnabled());
        ExpectOperationOver();
    }
    EXPECT_EQ(bus.Received().size(), frames);

    // "No" to the question runs nothing at all.
    frame->ListCmRead->setCurrentRow(0);
    dialogs.Expect(kPermission, "Произвести операцию " + NetCommandCaptions().at(0) + "?",
                   DlgAnswer::No);
    QTest::keyClick(frame->ListCmRead, Qt::Key_Return);
    EXPECT_EQ(bus.Received().size(), frames);
}

TEST_F(NetDevicesCommands, TheJumperResetOfACallPanelEndsInTheLog) {
    bus.AddDevice(SimDevice::CallPanel(2));
    StartWithFound({66});
    SelectFound("СБВ02");
    const int frames = bus.FramesTo(66);
    Execute(10);
    ASSERT_FALSE(Lines(frame->Memo2).isEmpty());
    EXPECT_EQ(Lines(frame->Memo2).last(), "СУ СБВ02 не является КМ!");
    EXPECT_EQ(bus.FramesTo(66), frames);
    EXPECT_TRUE(frame->ListCdev->selectedItems().isEmpty());
    ExpectOperationOver();
}

TEST_F(NetDevicesCommands, APollWithTheNetworkStoppedAsksNobody) {
    bus.AddDevice(SimDevice::Switch(1));
    dialogs.Expect("Подтверждение", "Опросить устройства?", DlgAnswer::Yes);
    dialogs.Expect("Ошибка оборудования", "Сеть не обнаружена. Подключите СУС!");
    frame->BitFindDevClick();
    EXPECT_TRUE(bus.Received().isEmpty());
    EXPECT_FALSE(frame->BitFalse->isVisible());
}

// The full poll asks the addresses of the global parameters: below MaxDevice
// and from SepDevice on, and nothing else; the picture shows what it found.
TEST_F(NetDevicesCommands, AFullPollListsWhatAnswersWithinTheInstallationsRange) {
    Exec("UPDATE t_global SET MaxDevice=50, SepDevice=63", {});
    ASSERT_TRUE(dm.Global->Reopen());
    SimDevice sw = SimDevice::Switch(1);
    sw.serial = "B000000001";
    bus.AddDevice(sw);
    bus.AddDevice(SimDevice::Console(63));
    bus.AddDevice(SimDevice::CallPanel(2));
    bus.AddDevice(SimDevice::Switch(55));  // outside both ranges
    Start();
    const int before = int(bus.Received().size());
    dialogs.Expect("Подтверждение", "Опросить устройства?", DlgAnswer::Yes);
    QTest::mouseClick(frame->BitFindDev, Qt::LeftButton);

    QList<int> asked;
    const QList<QByteArray> received = bus.Received();
    for (qsizetype i = before; i < received.size(); ++i)
        if (received[i][3] == 0 && !asked.contains(quint8(received[i][1])))
            asked << quint8(received[i][1]);
    QList<int> expected;
    for (int a = 0; a <= 113; ++a)
        if (a < 50 || a >= 63) expected << a;
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(Items(frame->ListCdev),
              (QStringList{"СКМ01   SN B000000001", "СПО     SN B123456789",
                           "СБВ02   SN B123456789"}));
    EXPECT_EQ(frame->LFind->text(), "Найденные устройства:");
    EXPECT_TRUE(Lines(frame->Memo2).contains("Опрос окончен. "));
    ExpectOperationOver();

    frame->ListCdev->setCurrentRow(0);
    frame->ListCdevClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_FALSE(SaveScreen(*frame, "FrNetDev1-poll").isEmpty());
    ExpectNoClippedText(frame.get());
}

TEST_F(NetDevicesCommands, ThePollOfTheRestAndAddingOneDeviceAskOnlyTheNewOnes) {
    bus.AddDevice(SimDevice::Switch(1));
    StartWithFound({1});
    Globals().MaxDevice = 3;
    bus.AddDevice(SimDevice::Switch(2));
    const int toOne = bus.FramesTo(1);
    dialogs.Expect("Подтверждение", "Опросить устройства?", DlgAnswer::Yes);
    QTest::mouseClick(frame->BitOst, Qt::LeftButton);
    EXPECT_EQ(bus.FramesTo(1), toOne);  // its class reply is stored
    EXPECT_EQ(Items(frame->ListCdev).size(), 2);
    EXPECT_TRUE(Items(frame->ListCdev).at(1).startsWith("СКМ02"));

    bus.AddDevice(SimDevice::Console(63));
    frame->CBDev->setCurrentIndex(63);
    QTest::mouseClick(frame->DevDob, Qt::LeftButton);
    ASSERT_FALSE(Items(frame->ListCdev).isEmpty());
    EXPECT_TRUE(Items(frame->ListCdev).last().startsWith("СПО"));
    ASSERT_FALSE(Lines(frame->Memo2).isEmpty());
    EXPECT_EQ(Lines(frame->Memo2).last(), "СПО пост охраны. Поиск окончен. ");
}

// A serial number shown for a found switch goes into a configured switch,
// unless another switch of the object holds it already.
TEST_F(NetDevicesCommands, AFoundSerialNumberIsStoredUnlessAnotherSwitchHasIt) {
    Exec("UPDATE k_pk SET sn_pk='B000000002' WHERE id_net=? AND n_net=2", {idNet});
    ASSERT_TRUE(dm.ReopenSwitches());
    SimDevice sw = SimDevice::Switch(7);
    sw.serial = "B000000002";
    bus.AddDevice(sw);
    Start();
    frame->CBDev->setCurrentIndex(7);
    frame->DevDobClick();
    ClickFound(0);
    ASSERT_EQ(frame->E_SN->text(), "B000000002");
    ClickConfigured(0);  // " КМ01"
    EXPECT_TRUE(frame->NSaveSN->isEnabled());
    EXPECT_EQ(frame->NSaveSN->property("Tag").toInt(), 1);
    EXPECT_EQ(frame->BitSN->text(), "ВСЕ оперрации для КМ01");
    dialogs.Expect("Отказ", "SN занят!");
    frame->NSaveSN->trigger();
    EXPECT_FALSE(frame->NSaveSN->isEnabled());
    ASSERT_FALSE(Items(frame->ListHdev).isEmpty());
    EXPECT_EQ(Items(frame->ListHdev).at(0), " КМ01");

    // Free again: stored, and the line says so.
    Exec("UPDATE k_pk SET sn_pk='' WHERE id_net=? AND n_net=2", {idNet});
    ASSERT_TRUE(dm.ReopenSwitches());
    ClickConfigured(0);
    frame->NSaveSN->trigger();
    ASSERT_FALSE(Items(frame->ListHdev).isEmpty());
    EXPECT_EQ(Items(frame->ListHdev).at(0), " КМ01 SN B000000002");
    EXPECT_FALSE(frame->BitSN->isEnabled());

    // A call-panel line takes no switch's number.
    ClickConfigured(4);
    EXPECT_FALSE(frame->NSaveSN->isEnabled());
}

TEST_F(NetDevicesCommands, TheChainNeedsAConfiguredDevice) {
    Start();
    dialogs.Expect("Ошибка", "Не выбрана конфигурация!");
    frame->BitSNClick();
    // A line without a serial number is no device to prepare.
    ClickConfigured(1);
    ASSERT_TRUE(frame->BitSN->isEnabled());
    const int frames = int(bus.Received().size());
    dialogs.Expect("Запрос действия", "Произвести всю серию операций для устройства?",
                   DlgAnswer::Yes);
    QTest::mouseClick(frame->BitSN, Qt::LeftButton);
    EXPECT_EQ(bus.Received().size(), frames);
    EXPECT_TRUE(frame->ListHdev->selectedItems().isEmpty());
    ExpectOperationOver();
}

// The upload through the command list; the picture is taken while the
// packets go out, with the stop button showing.
TEST_F(NetDevicesCommands, AnUploadRunsFromTheCommandListWithItsStopButtonShown) {
    SimDevice sw = SimDevice::Switch(1);
    QByteArray image;
    for (const QByteArray& f : FirmwareFrames()) image += f;
    sw.firmware.awaited[0x3000] = image;
    sw.firmware.awaitedAppVersion = 0x0200;
    const int index = bus.AddDevice(sw);
    StartWithFound({1});
    const QString file = PutApp("sw.usb", AppFile(1, 5, 2, {{0x3000, FirmwareFrames()}}));

    bool pictured = false;
    bool stopShown = false;
    QObject::connect(form.get(), &TFNetTime::linkChanged, frame.get(), [&] {
        if (pictured || WritePackets() < 3) return;
        pictured = true;
        stopShown = frame->BitFalse->isVisible();
        EXPECT_FALSE(SaveScreen(*frame, "FrNetDev1-upload").isEmpty());
    });
    SelectFound("СКМ01");
    Execute(4, [&] { dialogs.ExpectPicker(NetAppUpload::ChooseCaption(), file); });

    EXPECT_TRUE(pictured);
    EXPECT_TRUE(stopShown);
    EXPECT_EQ(bus.Device(index).firmware.Read(0x3000, 220), image);
    EXPECT_TRUE(Lines(frame->Memo2).contains("Заливка АРР завершена."));
    EXPECT_EQ(Link().Tables.NetDevices[1][kNdAppVersion], 0x0200);
    ExpectOperationOver();
}

// Command 9 writes a file of the operator's choice, looked for from the
// database folder rather than among the object's own files.
TEST_F(NetDevicesCommands, TheFileOfCommandNineIsChosenFromTheDatabaseFolder) {
    bus.AddDevice(SimDevice::Switch(1));
    form->ChangeDatabaseFolder(db.dbDir());
    StartWithFound({1});
    SelectFound("СКМ01");
    Execute(9, [&] { dialogs.ExpectPicker("Конфигурационный файл для записи", ""); });
    EXPECT_EQ(dialogs.PickerFolders(), QStringList{AppPaths::NormalizeDir(db.dbDir())});
    EXPECT_EQ(WritePackets(), 0);
    dialogs.VerifyDone();
}

TEST_F(NetDevicesCommands, TheAdapterIsUpdatedFromTheSettingsForm) {
    Start();
    const QString file = PutApp("usb20s.usb", AppFile(1, 3, 0xFFFF, {{0x3000, FirmwareFrames()}}));
    dialogs.Expect("Внимание!", "Произвести перезапись АПП СУС??? ", DlgAnswer::Yes);
    dialogs.Expect("Внимание!", " Это ответственная операция! Продолжить? ", DlgAnswer::Yes);
    dialogs.ExpectPicker(NetAppUpload::ChooseCaption(), file);
    form->ButNewClick();
    EXPECT_EQ(bus.Adapter().firmware.Read(0x3000, 22), FirmwareFrames().first());
    EXPECT_TRUE(Lines(form->Memo2).contains("Заливка АРР завершена."));
    EXPECT_FALSE(Link().Timer(NetTimer::Asinc).enabled);
}

TEST_F(NetDevicesCommands, TheSmallFontListShowsTheShortCaptions) {
    bus.AddDevice(SimDevice::Switch(1));
    bus.AddDevice(SimDevice::CallPanel(2));
    StartWithFound({1, 66});
    frame->ListCmRead->setCurrentRow(6);
    frame->PMFont->trigger();
    EXPECT_EQ(frame->ListCmRead->font().pointSize(), 8);
    EXPECT_EQ(frame->PMFont->text(), "Увеличить шрифт");
    EXPECT_EQ(Items(frame->ListCmRead), NetCommandSecondCaptions());
    EXPECT_EQ(frame->ListCmRead->currentRow(), 6);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_FALSE(SaveScreen(*frame, "FrNetDev1-smallfont").isEmpty());
    ExpectNoClippedText(frame.get());

    frame->PMFont->trigger();
    EXPECT_EQ(frame->ListCmRead->font().pointSize(), 10);
    EXPECT_EQ(frame->PMFont->text(), "Уменьшить шрифт");
}

TEST_F(NetDevicesCommands, TheReportGoesIntoTheChosenTextFile) {
    bus.AddDevice(SimDevice::Switch(1));
    StartWithFound({1});
    const QString path = dir.path() + "TXT/Устройства.txt";
    dialogs.ExpectPicker("Сохранить в текстовый файл данные всех устройств", path);
    QTest::mouseClick(frame->BitFile, Qt::LeftButton);
    QFile report(path);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(report.readAll()).split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith("СПИСОК ВСЕХ НАЙДЕННЫХ УСТРОЙСТВ "));
    EXPECT_TRUE(lines.contains("СКМ01"));
    ASSERT_FALSE(Lines(frame->Memo2).isEmpty());
    EXPECT_EQ(Lines(frame->Memo2).last(), "Данные сохранены в файле " + path + ".");

    // Cancelled: nothing written, nothing said.
    report.close();
    QFile::remove(path);
    dialogs.ExpectPicker("Сохранить в текстовый файл данные всех устройств", "");
    frame->BitFileClick();
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace TFrNetDevCommandsTestUnit
