// The commissioning chain of a configured device on the simulated bus: its
// address by serial number, newer firmware when the version log offers one,
// the object's configuration file and the object's identifier, each step
// only when the one before it succeeded.

#include "AppFileBuilder.h"
#include "TransferFixture.h"
#include "netlink/AppFirmwareCatalog.h"
#include "netlink/NetDeviceCommands.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>

namespace CommissioningChainTestUnit {

namespace {

constexpr char kDone[] =
    "Подготовка завершена. Проверьте отчет по этапам выполнения выше в этом окне.";
constexpr char kNotUpdated[] =
    "КФ не обновлен! ОПЕРАЦИЯ ЗАПИСИ КФ ПРОПУЩЕНА! Создайте КФ, обновите листинг и повторите "
    "операцию.";

// One section of firmware behind the configuration memory, for a switch of
// BIOS 5: APP 0x0200, class 0002.
const QByteArray kSection = QByteArray::fromHex("A1A2A3A4");
QByteArray SwitchFirmware() {
    return AppFile(1, 5, 2, {{0x7000, {kSection}}}, 0xFF, 0xFF, 0x0200);
}

class CommissioningChain : public TransferFixture {
  protected:
    // Switch 1 as the configuration knows it: its serial number and file state.
    QString ConfiguredLine(int kfPr) {
        QSqlQuery q(Db());
        EXPECT_TRUE(q.exec(QStringLiteral("UPDATE k_pk SET sn_pk='B000000001', kf_pr=%1 "
                                          "WHERE n_net=1")
                               .arg(kfPr)));
        EXPECT_TRUE(dm.ReopenSwitches());
        return KfPrMark(kfPr) + QStringLiteral("КМ01 SN B000000001");
    }

    // A new switch out of the box: no valid address, the old firmware, and
    // the version log offering the newer one in the APP folder.
    int WaitingSwitch() {
        SimDevice sw = DeviceAt(1);
        sw.serial = "B000000001";
        sw.programmingMode = true;
        sw.firmware.awaited[0x7000] = kSection;
        sw.firmware.awaitedAppVersion = 0x0200;
        program.writeFile("APP/fVer.log", "05020000021\r\n");
        program.writeFile("APP/sw.usb", SwitchFirmware());
        AppFirmwareCatalog(link.Tables.AppFiles, link.Tables.AppVersionLog)
            .ListAppFiles(link.AnswerLog);
        return bus.AddDevice(sw);
    }

    bool Prepare(const QString& line) { return NetDeviceCommands(ctx, {}).PrepareDevice(line); }

    // Requests that write the object's identifier (command 01, function 01).
    int NidRequests() const {
        int n = 0;
        for (const QByteArray& frame : bus.Received())
            if (frame[3] == 0x01 && frame[7] == 0x01) ++n;
        return n;
    }

    // A file state of "-" (to be made again) or "~" (changed since it was
    // made) stops the whole chain after the firmware: the device must not
    // get a stale file, nor the identifier of an object it does not serve.
    void ExpectStopBeforeTheFile(int kfPr, QChar mark) {
        const int sw = WaitingSwitch();
        const QString line = ConfiguredLine(kfPr);
        ASSERT_TRUE(line.startsWith(mark));

        EXPECT_FALSE(Prepare(line));
        const SimDevice device = bus.Device(sw);
        EXPECT_EQ(device.address, 1);
        EXPECT_EQ(device.appVersion, 0x0200);
        EXPECT_TRUE(device.memory.isEmpty());
        EXPECT_EQ(NidRequests(), 0);
        ASSERT_FALSE(link.AnswerLog.isEmpty());
        EXPECT_EQ(link.AnswerLog.last(), kNotUpdated);
        EXPECT_EQ(KfPr("k_pk", 1), kfPr);
    }

    TempProgramDir program;
};

TEST_F(CommissioningChain, ASwitchWaitingAt128IsBroughtIntoTheObject) {
    const int sw = WaitingSwitch();
    PutObjectFile(1);  // the write screen's file: the record's mark becomes "+"
    const QString line = ConfiguredLine(KfPr("k_pk", 1));
    ASSERT_TRUE(line.startsWith('+'));

    EXPECT_TRUE(Prepare(line));
    const SimDevice device = bus.Device(sw);
    EXPECT_EQ(device.address, 1);
    EXPECT_FALSE(device.programmingMode);
    EXPECT_EQ(device.firmware.Read(0x7000, 4), kSection);
    EXPECT_EQ(device.appVersion, 0x0200);
    EXPECT_TRUE(device.memory.startsWith(ObjectFile(1).mid(29)));
    EXPECT_EQ(KfPr("k_pk", 1), 3);
    EXPECT_EQ(device.nid, quint32(kIdNom));
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), kDone);
    EXPECT_TRUE(link.AnswerLog.contains("Стартует подготовка устройства к работе " + line));
    EXPECT_TRUE(link.AnswerLog.contains("Устаревшая версия АРР: $01$05 <= $02$00"));
    EXPECT_TRUE(link.AnswerLog.contains("Заливка АРР завершена."));
    EXPECT_EQ(link.SelectedAddr, -1);

    // Once more: the firmware is new enough now, and nothing needs moving.
    const int uploads = FramesOf(0x04);
    link.AnswerLog.clear();
    EXPECT_TRUE(Prepare(ConfiguredLine(1)));
    EXPECT_TRUE(link.AnswerLog.contains("Версия АРР удовлетворительна: $02$00 >= $02$00"));
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), kDone);
    EXPECT_GE(FramesOf(0x04), uploads);  // the file is only rewritten where it differs
}

TEST_F(CommissioningChain, AFileToBeMadeAgainStopsTheChainAfterTheFirmware) {
    ExpectStopBeforeTheFile(2, '-');
}

TEST_F(CommissioningChain, AFileChangedSinceItWasMadeStopsTheChainAfterTheFirmware) {
    ExpectStopBeforeTheFile(4, '~');
}

TEST_F(CommissioningChain, AnUnpluggedAdapterEndsTheChainUnfinished) {
    const int sw = WaitingSwitch();
    PutObjectFile(1);
    const QString line = ConfiguredLine(1);
    // The line goes dead at the configuration file's first packet.
    bus.InjectFault({BusFault::HangUp, 1, 0, 0, 1, 0x04, 1});
    dialogs.ExpectContaining("", "отключено. Порт закрыт.");

    Prepare(line);
    EXPECT_EQ(bus.Device(sw).appVersion, 0x0200);  // the firmware went in before
    EXPECT_EQ(LinesWith(link.AnswerLog, "Подготовка завершена."), 0);
    EXPECT_EQ(NidRequests(), 0);
    EXPECT_NE(KfPr("k_pk", 1), 3);
}

}  // namespace
}  // namespace CommissioningChainTestUnit
