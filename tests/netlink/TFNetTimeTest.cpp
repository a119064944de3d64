// The network settings form: its settings, its defaults, the adapter's
// version and USB identity on the simulated bus, and the port choice dialog.

#include "NetFormFixture.h"
#include "netlink/ui/TFCOM.h"
#include "support/ScreenShots.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace TFNetTimeTestUnit {

namespace {

using NetSettingsForm = NetFormFixture;

// Runs act on the dialog once it is on screen (the search pumps events before it shows it).
void WhenShown(QDialog& dialog, std::function<void()> act) {
    auto* poll = new QTimer(&dialog);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, &dialog, [poll, &dialog, act] {
        if (!dialog.isVisible()) return;
        poll->deleteLater();
        poll->stop();
        act();
    });
    poll->start();
}

QStringList Lines(const QPlainTextEdit* memo) {
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

TEST_F(NetSettingsForm, WithoutANetSectionTheDefaultsHold) {
    EXPECT_EQ(form->CountRead->value(), 3);
    EXPECT_EQ(form->SWaitNet->value(), 100);
    EXPECT_EQ(form->ECom->text(), "0");
    EXPECT_TRUE(form->ChCOM->isChecked());
    EXPECT_EQ(form->LogFileName(), dir.path() + "LOG/log1.log");
    EXPECT_TRUE(QDir(dir.path() + "LOG").exists());
    EXPECT_FALSE(form->ReadYes->isChecked());
    EXPECT_FALSE(form->ReadYes->isEnabled());
    EXPECT_EQ(Link().Settings.CountRead, 3);
    EXPECT_EQ(Link().Settings.SWaitNet, 100);
    // The port's time-outs as the edits show them.
    EXPECT_EQ(form->SReadInterval->value(), -1);
    EXPECT_EQ(form->SReadTotalConstant->value(), 200);
    EXPECT_EQ(form->SReadTotalMultiplier->value(), 20);
    EXPECT_EQ(form->SWriteTotalConstant->value(), 500);
    EXPECT_EQ(form->SWriteTotalMultiplier->value(), 50);
    EXPECT_EQ(&NetSettings(), form.get());
}

TEST_F(NetSettingsForm, TheSavedSectionsAreReadInTheEditsRanges) {
    dir.writeFile("Ini/save.ini", "[Net]\ncr=50\ncm=/dev/ttyUSB1\nwn=250\nlc=0\n[Log]\nlg=  \n");
    MakeForm();
    EXPECT_EQ(form->CountRead->value(), 10);
    EXPECT_EQ(form->SWaitNet->value(), 250);
    EXPECT_EQ(form->ECom->text(), "/dev/ttyUSB1");
    EXPECT_FALSE(form->ChCOM->isChecked());
    EXPECT_EQ(form->LogFileName(), dir.path() + "LOG/log1.log");  // blank lg
    const NetFormSettings s = form->Settings();
    EXPECT_EQ(s.cr, 10);
    EXPECT_EQ(s.cm, "/dev/ttyUSB1");
    EXPECT_EQ(s.wn, 250);
    EXPECT_FALSE(s.lc);
    EXPECT_EQ(Link().Settings.SWaitNet, 250);
}

TEST_F(NetSettingsForm, ReadEditsDriveThePortAndDefaultsLeaveItsWriteTimeouts) {
    Link().BComNet.SetPort(Port());
    ASSERT_TRUE(Link().BComNet.Open());
    TComTimeouts& t = Link().BComNet.Timeouts();
    t.SetWriteTotalConstant(700);
    t.SetWriteTotalMultiplier(70);
    form->SReadTotalConstant->setValue(900);
    form->SReadTotalMultiplier->setValue(5);
    form->SReadInterval->setValue(40);
    form->SWaitNet->setValue(300);
    form->CountRead->setValue(7);
    EXPECT_EQ(t.ReadTotalConstant(), 900);
    EXPECT_EQ(t.ReadTotalMultiplier(), 5);
    EXPECT_EQ(t.ReadInterval(), 40);
    EXPECT_EQ(Link().Settings.CountRead, 7);

    form->BitDefClick();
    EXPECT_EQ(form->SWaitNet->value(), 100);
    EXPECT_EQ(form->CountRead->value(), 3);
    EXPECT_FALSE(form->ReadYes->isChecked());
    EXPECT_EQ(form->SReadInterval->value(), -1);
    EXPECT_EQ(form->SReadTotalConstant->value(), 200);
    EXPECT_EQ(form->SReadTotalMultiplier->value(), 20);
    EXPECT_EQ(form->SWriteTotalConstant->value(), 500);
    EXPECT_EQ(form->SWriteTotalMultiplier->value(), 50);
    EXPECT_EQ(t.ReadTotalConstant(), 200);
    EXPECT_EQ(t.ReadInterval(), -1);
    EXPECT_EQ(t.WriteTotalConstant(), 700);
    EXPECT_EQ(t.WriteTotalMultiplier(), 70);
    EXPECT_EQ(Link().Settings.SWaitNet, 100);
}

TEST_F(NetSettingsForm, IdentityWriteSendsTheAdaptersPacketAndLogsTheAnswer) {
    // The answer is awaited on the machine's clock: a read time-out a loaded
    // machine does not outlast, which ends at the answer.
    form->SReadTotalConstant->setValue(20000);
    form->ECom->setText(Port());
    form->EVid->setText("1A2B");
    form->EPid->setText("3C4D");
    dialogs.Expect("ОСТОРОЖНО!!!",
                   "Сеть будет потеряна!!! Вы готовы изменить драйвер и переустановить его?",
                   DlgAnswer::Yes);
    form->ButSaveClick();
    ASSERT_EQ(bus.Received().size(), 1);
    EXPECT_EQ(bus.Received().first(), DeviceBusSimulator::FrameFromHex("7F7F0E01000000012B1A4D3C"));
    EXPECT_EQ(bus.Adapter().usbVid, 0x1A2B);
    EXPECT_EQ(bus.Adapter().usbPid, 0x3C4D);
    EXPECT_EQ(Lines(form->Memo2), QStringList{"Изменены VID и PID"});
    EXPECT_FALSE(Link().BComNet.Connected());
}

TEST_F(NetSettingsForm, IdentityNotConfirmedOrNotFourHexDigitsIsNotChanged) {
    form->ECom->setText(Port());
    form->EVid->setText("1a2b");
    form->EPid->setText("3C4D");
    const QString caption = "ОСТОРОЖНО!!!";
    const QString question =
        "Сеть будет потеряна!!! Вы готовы изменить драйвер и переустановить его?";
    // A refusal keeps the command byte.
    bus.ScriptAnswer(DeviceBusSimulator::FrameFromHex("7F7F0E01000000012B1A4D3C"));
    dialogs.Expect(caption, question, DlgAnswer::Yes);
    form->ButSaveClick();
    ASSERT_EQ(Link().FormLog, QStringList{"VID и PID не изменены"});

    // A silent adapter: the wait for its answer ends with the read time-outs.
    bus.ScriptSilence();
    dialogs.Expect(caption, question, DlgAnswer::Yes);
    form->ButSaveClick();
    EXPECT_EQ(Link().FormLog.last(), "VID и PID не изменены");

    const int sent = int(bus.Received().size());
    form->EPid->setText("3C4");
    dialogs.Expect(caption, question, DlgAnswer::Yes);
    form->ButSaveClick();
    form->EPid->setText("3C4G");
    dialogs.Expect(caption, question, DlgAnswer::Yes);
    form->ButSaveClick();
    dialogs.Expect(caption, question, DlgAnswer::No);
    form->ButSaveClick();
    EXPECT_EQ(Link().FormLog.size(), 4);
    ASSERT_FALSE(Link().FormLog.isEmpty());
    EXPECT_EQ(Link().FormLog.last(), "VID и PID не изменены");
    ASSERT_TRUE(bus.Settle());
    EXPECT_EQ(bus.Received().size(), sent);
}

TEST_F(NetSettingsForm, IdentityWriteOnAPortThatDoesNotOpen) {
    form->ECom->setText(dir.path() + "no-such-port");
    form->EVid->setText("1A2B");
    form->EPid->setText("3C4D");
    dialogs.Expect("ОСТОРОЖНО!!!",
                   "Сеть будет потеряна!!! Вы готовы изменить драйвер и переустановить его?",
                   DlgAnswer::Yes);
    dialogs.Expect("Ошибка открытия", "Передерните СУС!");
    form->ButSaveClick();
    EXPECT_TRUE(Link().FormLog.isEmpty());
}

TEST_F(NetSettingsForm, VersionButtonAsksTheAdapter) {
    form->ECom->setText(Port());
    EXPECT_TRUE(form->ButVer->isEnabled());
    form->ButVerClick();
    EXPECT_EQ(form->EVer->text(), "$01$02$03");
    EXPECT_TRUE(form->ButNew->isEnabled());
    EXPECT_TRUE(form->ReadYes->isEnabled());
    EXPECT_EQ(Lines(form->Memo2), QStringList{"Версия APP СУС = $01$02$03"});
    ASSERT_FALSE(bus.Received().isEmpty());
    EXPECT_EQ(bus.Received().first(), DeviceBusSimulator::FrameFromHex("7F7F0600"));
    // Closing the form gives the port back.
    EXPECT_TRUE(Link().BComNet.Connected());
    form->FormCloseQuery();
    EXPECT_FALSE(Link().BComNet.Connected());

    SimAdapter old = bus.Adapter();
    old.versionHigh = old.versionLow = old.versionThird = 0;
    bus.SetAdapter(old);
    form->ButVerClick();
    EXPECT_EQ(form->EVer->text(), "$00$00$00");
    ASSERT_FALSE(Link().FormLog.isEmpty());
    EXPECT_EQ(Link().FormLog.last(),
              "Для данной версии СУС обновление невозможно. Некоторые функции данной версии "
              "ограничены.");
    EXPECT_FALSE(form->ReadYes->isEnabled());

    form->ECom->clear();
    EXPECT_FALSE(form->ButVer->isEnabled());
}

TEST_F(NetSettingsForm, AdapterUpdateAsksTwice) {
    QSignalSpy upload(form.get(), &TFNetTime::adapterUploadRequested);
    dialogs.Expect("Внимание!", "Произвести перезапись АПП СУС??? ", DlgAnswer::Yes);
    dialogs.Expect("Внимание!", " Это ответственная операция! Продолжить? ", DlgAnswer::No);
    form->ButNewClick();
    EXPECT_EQ(Link().FormLog, QStringList{"Отменено"});
    dialogs.Expect("Внимание!", "Произвести перезапись АПП СУС??? ", DlgAnswer::No);
    form->ButNewClick();
    EXPECT_EQ(upload.count(), 0);
    dialogs.Expect("Внимание!", "Произвести перезапись АПП СУС??? ", DlgAnswer::Yes);
    dialogs.Expect("Внимание!", " Это ответственная операция! Продолжить? ", DlgAnswer::Yes);
    form->ButNewClick();
    EXPECT_EQ(upload.count(), 1);
}

TEST_F(NetSettingsForm, FindButtonFillsTheFieldsAndTheFoundLists) {
    ports.AddAdapter("/dev/ttyUSB9", "0403", "6015");
    form->ECom->setText("/dev/ttyUSB9");
    form->ButVPClick();
    EXPECT_EQ(form->ECom->text(), "/dev/ttyUSB9");
    EXPECT_EQ(form->EPid->text(), "6015");
    EXPECT_TRUE(form->ButSave->isEnabled());
    ASSERT_EQ(form->ListCdev->count(), 2);
    EXPECT_EQ(form->ListVdev->item(1)->text(), "0403");
    EXPECT_TRUE(form->ListPdev->isHidden());
    // A double click takes a line into the fields.
    form->ListCdev->setCurrentRow(0);
    form->ListCdevDblClick();
    EXPECT_EQ(form->ECom->text(), Port());
    EXPECT_EQ(form->EPid->text(), "6001");

    ports.ports.clear();
    dialogs.Expect("Ошибка оборудования", "Не обнаружены COM порты. Подключите СУС!");
    form->ButVPClick();
    EXPECT_FALSE(form->ButSave->isEnabled());
    EXPECT_EQ(form->ListCdev->count(), 0);
}

TEST_F(NetSettingsForm, SnifferModeWantsALogFile) {
    form->ECom->setText(Port());
    form->ButVerClick();  // the adapter's version allows sniffer mode
    ASSERT_TRUE(form->ReadYes->isEnabled());
    form->ReadYes->click();
    EXPECT_EQ(form->ReadYesTag(), 1);
    EXPECT_TRUE(form->ButLog->isEnabled());
    EXPECT_TRUE(form->SaveAppend->isEnabled());
    EXPECT_TRUE(Link().Settings.SnifferMode);

    const QString chosen = dir.path() + "LOG/other.log";
    dialogs.ExpectPicker("Файл для пакетов сети", chosen);
    form->ButLogClick();
    EXPECT_EQ(form->LogFileName(), chosen);
    EXPECT_TRUE(QFile::exists(chosen));
    EXPECT_EQ(form->Settings().lg, chosen);

    // Nothing chosen: sniffer mode goes off.
    dialogs.ExpectPicker("Файл для пакетов сети", "");
    form->ButLogClick();
    EXPECT_FALSE(form->ReadYes->isChecked());
    EXPECT_EQ(form->ReadYesTag(), 0);
    EXPECT_FALSE(form->ButLog->isEnabled());
}

TEST_F(NetSettingsForm, ConfigurationFolderWithoutAnObject) {
    dialogs.ExpectPicker("Конфигурационные файлы объекта", "");
    form->ButCnfClick();
    EXPECT_TRUE(QDir(dir.path() + "DB_ARM/Data/FlWrite/Fl_0").exists());
}

TEST_F(NetSettingsForm, ChoiceDialogListsEveryPortAndCancelKeepsTheChosenOne) {
    ports.AddAdapter("/dev/ttyUSB4", "0403", "6010");
    form->ChCOM->setChecked(false);
    form->ECom->setText("0");
    form->EVid->setText("AAAA");
    TFCOM dialog;
    FCOM = &dialog;
    QStringList offered;
    WhenShown(dialog, [&] {
        for (int row = 0; row < dialog.ListCdev->count(); ++row)
            offered << dialog.ListCdev->item(row)->text();
        EXPECT_TRUE(SaveScreen(dialog, "FCOM").size() > 0);
        ExpectNoClippedText(&dialog);
        QTest::mouseClick(dialog.BitNo, Qt::LeftButton);
    });
    const std::optional<NetPortChoice> chosen = form->FindNetPort();
    EXPECT_EQ(offered, (QStringList{Port(), "/dev/ttyUSB4"}));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->port, Port());
    EXPECT_EQ(form->ECom->text(), "0");
    EXPECT_EQ(form->EVid->text(), "AAAA");

    // "Да" on a line takes it into the fields.
    WhenShown(dialog, [&] {
        dialog.ListCdev->setCurrentRow(1);
        QTest::mouseClick(dialog.BitYes, Qt::LeftButton);
    });
    EXPECT_EQ(form->FindNetPort()->port, "/dev/ttyUSB4");
    EXPECT_EQ(form->ECom->text(), "/dev/ttyUSB4");
    EXPECT_EQ(form->EPid->text(), "6010");
    FCOM = nullptr;
}

TEST_F(NetSettingsForm, Picture) {
    form->ECom->setText(Port());
    form->ButVPClick();
    form->ButVerClick();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_FALSE(SaveScreen(*form, "FNetTime").isEmpty());
    ExpectNoClippedText(form.get());
    form->close();
}

}  // namespace
}  // namespace TFNetTimeTestUnit
