// Firmware upload on the simulated bus: the file checks before the first
// packet, the identity checks against the device, the packets that carry
// the file, the adapter's own upload, and a port lost on the way.

#include "AppFileBuilder.h"
#include "TransferFixture.h"
#include "netlink/AppFirmwareCatalog.h"
#include "netlink/NetAppUpload.h"
#include "netlink/NetIdentityOps.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>

namespace AppUploadTestUnit {

namespace {

const QList<AppSection> kOneSection = {{0x3000, {QByteArray::fromHex("A1A2"),
                                              QByteArray(22, char(0x5A)),
                                              QByteArray::fromHex("B1B2B3")}}};

class AppUpload : public TransferFixture {
  protected:
    QString PutApp(const QString& name, const QByteArray& bytes) {
        const QString path = program.file("APP/" + name);
        WriteFile(path, bytes);
        return path;
    }
    NetOpOutcome Upload(int address, const QString& path) {
        const int index = NetAppUpload::AppFileIndex(link.Tables, path);
        AppFirmwareCatalog(link.Tables.AppFiles, link.Tables.AppVersionLog)
            .ReadAppHeader(index, link.AnswerLog);
        return NetAppUpload(ctx).UploadApp(address, index);
    }
    int WritePackets() const { return FramesOf(0x04); }
    QByteArray FirmwareAt(int index, int at, int count) {
        return bus.Device(index).firmware.Read(at, count);
    }

    TempProgramDir program;
};

TEST_F(AppUpload, AFileForTheDevicesBiosLandsByteForByteAndTheDeviceTakesItsVersion) {
    const int sw = AddDevice(SimDevice::Switch(5));
    bus.UpdateDevice(sw, [](SimDevice& d) {
        d.firmware.awaited[0x3000] = QByteArray::fromHex("A1A2") + QByteArray(22, char(0x5A)) +
                                     QByteArray::fromHex("B1B2B3");
        d.firmware.awaitedAppVersion = 0x0200;
    });
    const QString path = PutApp("sw.usb", AppFile(1, 5, 2, kOneSection));
    EXPECT_EQ(Upload(5, path), NetOpOutcome::Done);
    EXPECT_EQ(FirmwareAt(sw, 0x3000, 27), QByteArray::fromHex("A1A2") + QByteArray(22, char(0x5A)) +
                                               QByteArray::fromHex("B1B2B3"));
    QList<QByteArray> writes;
    for (const QByteArray& f : bus.Received())
        if (f[3] == 0x04) writes << f;
    ASSERT_EQ(writes.size(), 3);
    EXPECT_EQ(writes[0].left(9), QByteArray::fromHex("7F050B04003002A1A2"));
    EXPECT_EQ(writes[1].left(7), QByteArray::fromHex("7F051F04023016"));
    EXPECT_TRUE(link.AnswerLog.contains("Заголовок APP UTG $05$00$02"));
    EXPECT_TRUE(link.AnswerLog.contains("Заливка АРР завершена."));
    EXPECT_TRUE(link.RequestLog.contains("Следующий адрес: 12290"));
    // The class read after the upload shows the new version.
    EXPECT_EQ(link.Tables.NetDevices[5][kNdAppVersion], 0x0200);
    EXPECT_EQ(link.SelectedAddr, -1);
}

TEST_F(AppUpload, IdentityChecksRefuseBeforeAnyPacket) {
    SimDevice panel = SimDevice::CallPanel(0);
    panel.dtg = SimDevice::DtgForBds(0x12, true);
    AddDevice(panel);
    AddDevice(SimDevice::Switch(5));
    NetIdentityOps(ctx).ReadDevSN(64);
    link.ParseClassReply(64);

    // A switch file for a call panel.
    dialogs.Expect("Ошибка", "Файл АРР не соответствует идентификатору устройства!");
    EXPECT_EQ(Upload(64, PutApp("sw.usb", AppFile(1, 5, 2, kOneSection))), NetOpOutcome::Refused);
    EXPECT_TRUE(link.AnswerLog.contains("Файл АРР не соответствует идентификатору устройства."));

    // A matching class word that is no device class: the BIOS message.
    SimDevice odd = SimDevice::Switch(6);
    odd.classWord = 8;
    AddDevice(odd);
    EXPECT_EQ(Upload(6, PutApp("odd.usb", AppFile(1, 5, 8, kOneSection))), NetOpOutcome::Refused);
    EXPECT_TRUE(link.AnswerLog.contains(
        "Файл АРР имеет несовместимую версию BIOS! Операция отменена."));

    // Any class: only the BDS bound counts, not the BIOS (9 here, 5 there).
    EXPECT_EQ(Upload(64, PutApp("hi.usb", AppFile(1, 9, 0xFFFE, kOneSection, 0xFF, 0x13))),
              NetOpOutcome::Refused);
    EXPECT_EQ(Upload(64, PutApp("ok.usb", AppFile(1, 9, 0xFFFE, kOneSection, 0xFF, 0x12))),
              NetOpOutcome::Done);
    // A switch that told no BDS version takes no file with a BDS bound.
    EXPECT_EQ(Upload(5, PutApp("bds.usb", AppFile(1, 5, 0xFFFE, kOneSection, 0xFF, 0x01))),
              NetOpOutcome::Refused);
    // A newer BIOS needs a bound below the device's, or the version log's word.
    EXPECT_EQ(Upload(5, PutApp("new.usb", AppFile(1, 7, 2, kOneSection))), NetOpOutcome::Refused);
    link.Tables.AppVersionLog = {{"07", "0200", "0002", "1"}};
    EXPECT_EQ(Upload(5, PutApp("new.usb", AppFile(1, 7, 2, kOneSection))), NetOpOutcome::Done);
    EXPECT_EQ(WritePackets(), 6);  // the two uploads that fitted
}

TEST_F(AppUpload, DamagedFilesSendNothing) {
    AddDevice(SimDevice::Switch(5));
    QByteArray truncated = AppFile(1, 5, 2, kOneSection);
    truncated.chop(4);  // into the last frame
    QByteArray zeroFrame = AppFile(-1, 5, 2, {{0x3000, {QByteArray::fromHex("01")}}});
    zeroFrame[8 + 4] = 0;  // n = 0
    QByteArray overfull = AppFile(1, 5, 2, kOneSection);
    overfull[13] = 26;  // the frames hold 27 bytes
    for (const QByteArray& bytes : {truncated, zeroFrame, overfull}) {
        dialogs.Expect("Ошибка", "Отсутствует файл АРР или произошла ошибка его чтения!");
        const QString path = PutApp("bad.usb", bytes);
        EXPECT_EQ(Upload(5, path), NetOpOutcome::Refused);
        EXPECT_TRUE(link.AnswerLog.contains(
                  "Прерывание. Отсутствует файл АРР или произошла ошибка его чтения: " + path +
                      "  Операция отменена."));
    }
    // A file that ends right behind a whole section is whole.
    EXPECT_EQ(WritePackets(), 0);
    EXPECT_EQ(Upload(5, PutApp("noend.usb", AppFile(-1, 5, 2, kOneSection, 0xFF, 0xFF, 0, false))),
              NetOpOutcome::Done);
    EXPECT_EQ(WritePackets(), 3);
    EXPECT_TRUE(ParseAppFile(AppFile(1, 5, 2, kOneSection)).has_value());
}

TEST_F(AppUpload, TheAdapterTakesItsOwnFileButNeverThePatchAndStaysUnread) {
    // The adapter's BIOS is byte 8 of its version reply (3 here).
    const QString patch = PutApp("Patch.usb", AppFile(1, 3, 0xFFFF, kOneSection));
    dialogs.ExpectPicker(NetAppUpload::ChooseCaption(), patch);
    EXPECT_EQ(NetAppUpload(ctx).UploadApp(kAdapterAddress, -1), NetOpOutcome::Refused);
    ASSERT_FALSE(link.FormLog.isEmpty());
    EXPECT_EQ(link.FormLog.last(), "Недопустимо записывать этот файл в СУС.");
    EXPECT_EQ(WritePackets(), 0);

    PutApp("usb20s.usb", AppFile(1, 3, 0xFFFF, kOneSection));
    EXPECT_EQ(NetAppUpload(ctx).UploadApp(kAdapterAddress, -2), NetOpOutcome::Done);
    EXPECT_EQ(bus.Adapter().firmware.Read(0x3000, 2), QByteArray::fromHex("A1A2"));
    EXPECT_TRUE(link.FormLog.contains("Заливка АРР завершена."));
    EXPECT_FALSE(link.Timer(NetTimer::Asinc).enabled);
    QString error;
    link.ReadFrame(error);  // a read does not switch it on again
    EXPECT_FALSE(link.Timer(NetTimer::Asinc).enabled);
}

TEST_F(AppUpload, ADeviceThatDoesNotAnswerTheSelectionIsNotSaidToRefuseIt) {
    AddDevice(SimDevice::Switch(5));
    bus.InjectFault({BusFault::Ignore, 5, 0, 0, 1, 0x01});
    const QString path = PutApp("sw.usb", AppFile(1, 5, 2, kOneSection));
    EXPECT_EQ(Upload(5, path), NetOpOutcome::Refused);
    EXPECT_EQ(LinesWith(link.AnswerLog, "Нет входа в РП."), 0);
    EXPECT_EQ(WritePackets(), 0);
}

TEST_F(AppUpload, APortClosedMidUploadEndsAtOnceWithoutCompletion) {
    AddDevice(SimDevice::Switch(5));
    bus.InjectFault({BusFault::HangUp, 5, 0, 0, 1, 0x04, 1});
    dialogs.ExpectContaining("", "отключено. Порт закрыт.");
    const QString path = PutApp("sw.usb", AppFile(1, 5, 2, kOneSection));
    EXPECT_EQ(Upload(5, path), NetOpOutcome::Failed);
    EXPECT_EQ(LinesWith(link.AnswerLog, "завершена."), 0);
    EXPECT_TRUE(link.AnswerLog.contains("Произошла ошибка чтения-записи: " + path +
                                        "  Операция отменена."));
    EXPECT_EQ(WritePackets(), 2);
}

TEST_F(AppUpload, AnUnansweredPacketIsSentOnceMoreAndThenTheUploadIsIncomplete) {
    AddDevice(SimDevice::Switch(5));
    bus.InjectFault({BusFault::Silence, 5, 0, 0, 10, 0x04, 1});
    EXPECT_EQ(Upload(5, PutApp("sw.usb", AppFile(1, 5, 2, kOneSection))), NetOpOutcome::Failed);
    EXPECT_TRUE(link.AnswerLog.contains("Заливка АРР не завершена."));
    EXPECT_EQ(WritePackets(), 5);  // packets 2 and 3 twice
}

}  // namespace
}  // namespace AppUploadTestUnit
