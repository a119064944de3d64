// Configuration files written into the devices of the simulated bus and read
// back from them: the round trip of the object's files, the checks a file
// passes before any packet, the skipping of packets the device holds, the
// read folder that never loses a file, and the faults of the line.

#include "TransferFixture.h"
#include "config/ConfigFileReader.h"
#include "foundation/BitAndStr.h"
#include "netlink/NetConfigTransfer.h"

#include <QDir>

namespace ConfigTransferTestUnit {

namespace {

class ConfigTransfer : public TransferFixture {
  protected:
    NetConfigTransfer transfer{ctx};

    QStringList ReadFiles() const {
        return QDir(NetFolders::ReadFolder(QString(), const_cast<TFDM*>(&dm)))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // An image as a device holds it: date word, one section, the end mark.
    static QByteArray SmallImage() { return QByteArray::fromHex("80000300010201FFFF"); }
    // The same as a file without a header: its first byte, the date word's
    // high byte, names the device by its low seven bits.
    static QByteArray HeadlessFile(int address) {
        QByteArray file = SmallImage();
        file[0] = char(0x80 | address);
        return file;
    }
    // The last result line before the device was released.
    QString LastResult() const {
        for (qsizetype i = link.AnswerLog.size() - 1; i >= 0; --i)
            if (!link.AnswerLog.at(i).startsWith("Выход из РП.")) return link.AnswerLog.at(i);
        return QString();
    }
};

TEST_F(ConfigTransfer, TheObjectsFilesGoIntoTheDevicesAndComeBackByteForByte) {
    SimDevice panel = DeviceAt(68);
    panel.selector = true;  // the gate panel carries the internal selector
    panel.selectorByte = 0x21;
    for (const SimDevice& device : {DeviceAt(1), DeviceAt(63), panel}) AddDevice(device);

    for (int address : {1, 63, 68}) {
        SCOPED_TRACE(address);
        const QByteArray file = PutObjectFile(address);
        const NetWriteResult written = transfer.WriteCnf(address, true);
        EXPECT_EQ(written.outcome, NetOpOutcome::Done);
        EXPECT_TRUE(written.marked);
        EXPECT_EQ(written.skipped, 0);
        EXPECT_EQ(written.packets, (file.size() - 29 + 21) / 22);
        const QString name = DeviceAddrName(address, 63);
        EXPECT_EQ(LastResult(), "Запись конфигурационного файла " + name + " в устройство " + name +
                                    " завершена.");
        EXPECT_EQ(link.SelectedAddr, -1);  // released after the write

        const NetReadResult read = transfer.ReadCnf(address);
        ASSERT_EQ(read.outcome, NetOpOutcome::Done);
        const QByteArray back = ReadFile(read.savedFile);
        EXPECT_EQ(read.savedFile, ReadFolder() + "/" + NetFolders::FileStem(address, 63) + ".bin");
        // The image read starts with the file sent; the rest is the tail of
        // the last packet, which lies behind the end mark in the memory.
        const QByteArray sent = file.mid(29);
        EXPECT_EQ(back.mid(29, sent.size()), sent);
        EXPECT_LT(back.size() - 29 - sent.size(), 22);
        EXPECT_EQ(quint8(back[0]), address);
        EXPECT_EQ(back.mid(1, 8), file.mid(1, 8));       // the class mask: the kind's signature
        EXPECT_EQ(back.mid(12, 2), file.mid(12, 2));     // the kind word
        EXPECT_EQ(back.mid(16, 4).toHex(), "0028006c");  // the memory bounds
        EXPECT_EQ(back.mid(20, 9).toHex(), "800501000000ffc3ff");
        ConfigReadOutput out;
        QStringList messages;
        ASSERT_EQ(ReadConfigFile(read.savedFile, out, &messages, nullptr, 63),
                  ConfigReadStatus::Ok);
        EXPECT_TRUE(messages.contains("Файл считан с устройства в АРМ Kiro-2"));
    }
    EXPECT_EQ(KfPr("k_pk", 1), 3);
    EXPECT_EQ(KfPr("k_po", 63), 3);
    EXPECT_EQ(KfPr("k_bv", 68), 3);
    EXPECT_EQ(KfPr("k_pk", 2), 0);
    // The selector device got its packets with its selector byte.
    bool selectorWrite = false;
    for (const QByteArray& frame : bus.Received())
        if (quint8(frame[1]) == 68 && quint8(frame[3]) == 0x44)
            selectorWrite = quint8(frame[4]) == 0x21;
    EXPECT_TRUE(selectorWrite);
}

TEST_F(ConfigTransfer, ASecondWriteSkipsEveryPacketAndStillMarksTheRecord) {
    AddDevice(DeviceAt(2));
    PutObjectFile(2);
    const NetWriteResult first = transfer.WriteCnf(2, true);
    ASSERT_EQ(first.outcome, NetOpOutcome::Done);
    QSqlQuery(Db()).exec("UPDATE k_pk SET kf_pr = 1 WHERE n_net = 2");
    ASSERT_TRUE(dm.ReopenSwitches());
    const int writes = FramesOf(0x04);
    link.RequestLog.clear();

    const NetWriteResult second = transfer.WriteCnf(2, true);
    EXPECT_EQ(second.outcome, NetOpOutcome::Done);
    EXPECT_EQ(second.skipped, first.packets);
    EXPECT_EQ(FramesOf(0x04), writes);  // not one packet written
    EXPECT_EQ(LinesWith(link.RequestLog, "Пакет не будет изменен, запись пакета пропускается."),
              first.packets);
    EXPECT_EQ(KfPr("k_pk", 2), 3);
}

TEST_F(ConfigTransfer, ReadingStopsAtTheEndMarkOrAtTheEndOfTheMemory) {
    SimDevice device = DeviceAt(5);
    // The end mark straddles the second and the third packet.
    device.memory = QByteArray::fromHex("8000") + QByteArray::fromHex("2700") +
                    QByteArray(39, '\x11') + QByteArray::fromHex("FFFF") + QByteArray(50, '\x22');
    AddDevice(device);
    SimDevice bare = DeviceAt(6);
    bare.configEnd = kConfigStart + 50;  // no end mark anywhere
    bare.memory = QByteArray(50, '\x33');
    AddDevice(bare);

    const int reads = FramesOf(0x03);
    const NetReadResult read = transfer.ReadCnf(5);
    ASSERT_EQ(read.outcome, NetOpOutcome::Done);
    EXPECT_EQ(FramesOf(0x03) - reads, 3);
    const QByteArray image = ReadFile(read.savedFile).mid(29);
    EXPECT_EQ(image, device.memory.left(66));  // everything of the packet that brought the mark
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Файл сохранен.");

    const NetReadResult whole = transfer.ReadCnf(6);
    ASSERT_EQ(whole.outcome, NetOpOutcome::Done);
    EXPECT_EQ(ReadFile(whole.savedFile).mid(29), bare.memory);
    ASSERT_FALSE(link.RequestLog.isEmpty());
    EXPECT_EQ(link.RequestLog.last(), "adrNext:=10284 AdrE:=10290");  // the last, short packet
}

TEST_F(ConfigTransfer, ReadFilesGetTheFirstFreeNameAndNeverReplaceOne) {
    SimDevice device = DeviceAt(5);
    device.memory = SmallImage();
    AddDevice(device);
    const QString folder = ReadFolder();
    for (const char* expected : {"ckm05.bin", "ckm05(1).bin", "ckm05(2).bin"}) {
        const NetReadResult read = transfer.ReadCnf(5);
        EXPECT_EQ(read.savedFile, folder + "/" + QString::fromUtf8(expected));
        EXPECT_TRUE(
            link.AnswerLog.contains("СКМ05 готов. Файл сохраняется в " + folder + "/" + expected));
    }
    EXPECT_EQ(ReadFiles(), (QStringList{"ckm05(1).bin", "ckm05(2).bin", "ckm05.bin"}));
    EXPECT_EQ(ReadFile(folder + "/ckm05.bin").mid(29, 9), SmallImage());
}

TEST_F(ConfigTransfer, FilesThatDoNotFitTheDeviceAreRefusedBeforeAnyPacket) {
    AddDevice(DeviceAt(5));
    SimDevice low = DeviceAt(7);
    low.configStart = 10000;
    AddDevice(low);
    const QString dir = AppPaths::ProgramDir();
    const auto refused = [&](int address, const QString& file, const QString& line) {
        const int writes = FramesOf(0x04), reads = FramesOf(0x03);
        const NetWriteResult result = transfer.WriteCnf(address, false, file);
        EXPECT_EQ(result.outcome, NetOpOutcome::Refused) << line.toStdString();
        EXPECT_EQ(LastResult(), line);
        EXPECT_EQ(FramesOf(0x04), writes);
        EXPECT_EQ(FramesOf(0x03), reads);
    };

    // Without a header, byte 0 names the device; another one is refused unasked.
    WriteFile(dir + "other.bin", HeadlessFile(6));
    refused(5, dir + "other.bin",
            "Записи конфигурационного файла в устройство СКМ05 ОТКАЗАНО. Несоответствие типа.");

    WriteFile(dir + "big.bin", QByteArray::fromHex("05") + QByteArray(17408, '\x01'));
    refused(5, dir + "big.bin",
            "Записи конфигурационного файла в устройство СКМ05 ОТКАЗАНО. Превышение длины CNF.");
    EXPECT_TRUE(link.AnswerLog.contains("размер CNF 17409"));
    EXPECT_TRUE(link.AnswerLog.contains("размер места под CNF 17408"));

    WriteFile(dir + "low.bin", HeadlessFile(7));
    refused(7, dir + "low.bin", "Ошибка адреса 10000");

    // A workstation's file of another kind: the operator is told.
    QByteArray panelFile = ObjectFile(65);
    WriteFile(dir + "panel.bin", panelFile);
    dialogs.Expect("Ошибка", "Файл не соответствует классу устройств!");
    const NetWriteResult kind = transfer.WriteCnf(5, false, dir + "panel.bin");
    EXPECT_EQ(kind.outcome, NetOpOutcome::Refused);

    // A switch file made for another switch asks; No refuses it.
    WriteFile(dir + "ckm01.bin", ObjectFile(1));
    dialogs.Expect("Подтверждение",
                   "Сетевые номера устройства и файла не совпадают. Продолжить запись?",
                   DlgAnswer::No);
    refused(5, dir + "ckm01.bin",
            "Записи конфигурационного файла в устройство СКМ05 ОТКАЗАНО. Несоответствие типа.");
    dialogs.Expect("Подтверждение",
                   "Сетевые номера устройства и файла не совпадают. Продолжить запись?",
                   DlgAnswer::Yes);
    EXPECT_EQ(transfer.WriteCnf(5, false, dir + "ckm01.bin").outcome, NetOpOutcome::Done);
    EXPECT_EQ(KfPr("k_pk", 1), 0);  // a chosen file marks nothing

    // A file that is not there.
    dialogs.Expect("Ошибка", "Не создан конфигурационный файл!");
    EXPECT_EQ(transfer.WriteCnf(5, false, dir + "none.bin").outcome, NetOpOutcome::Failed);
    EXPECT_EQ(LastResult(), "Не создан конфигурационный файл!  Операция отменена.");

    dialogs.Expect("Ошибка", "Определите устройство для записи CNF!");
    EXPECT_EQ(transfer.WriteCnf(-1, true).outcome, NetOpOutcome::Refused);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Не определено устройство.  Операция отменена.-1  -1");
}

TEST_F(ConfigTransfer, WithoutAnObjectTheFoldersOfObjectZeroAreUsed) {
    QSqlQuery(Db()).exec("UPDATE k_net SET st_net = 'восст'");
    ASSERT_TRUE(dm.Q_Net->Reopen());
    ASSERT_TRUE(dm.Q_Net->IsEmpty());
    SimDevice device = DeviceAt(5);
    device.memory = SmallImage();
    AddDevice(device);
    const QString base = AppPaths::DefaultDbDir() + "Data/";
    WriteFile(base + "FlWrite/Fl_0/ckm05.bin", HeadlessFile(5));
    EXPECT_EQ(transfer.WriteCnf(5, true).outcome, NetOpOutcome::Done);
    EXPECT_EQ(transfer.ReadCnf(5).savedFile, base + "FlRead/Fl_0/ckm05.bin");
}

TEST_F(ConfigTransfer, StaleAndEmptyAnswersAreNeverTakenForData) {
    SimDevice device = DeviceAt(5);
    device.memory = ObjectFile(1).mid(29);
    AddDevice(device);
    // Answers echoing the packet before come first, twice in the read.
    bus.InjectFault({BusFault::Stale, 5, 0, 0, 2, 0x03, 3});
    const NetReadResult read = transfer.ReadCnf(5);
    ASSERT_EQ(read.outcome, NetOpOutcome::Done);
    EXPECT_EQ(ReadFile(read.savedFile).mid(29, device.memory.size()), device.memory);

    // An answer that brings no bytes ends the read as an error, without a file.
    bus.InjectFault({BusFault::EmptyRead, 5, 0, 0, 1, 0x03, 2});
    const QStringList before = ReadFiles();
    const NetReadResult empty = transfer.ReadCnf(5);
    EXPECT_EQ(empty.outcome, NetOpOutcome::Failed);
    EXPECT_EQ(ReadFiles(), before);
    EXPECT_TRUE(link.AnswerLog.contains("Произошла ошибка при чтении КФ СКМ05."));
    EXPECT_TRUE(link.AnswerLog.contains(
        "послано   " + NetRequest::MemoryRead(5, false, kConfigStart + 44, 22).ToHex()));
}

TEST_F(ConfigTransfer, AWriteCountsOnlyPacketsTheDeviceHolds) {
    AddDevice(DeviceAt(1));
    PutObjectFile(1);
    // A confirmation lost on the way: the read-back shows the packet is there.
    bus.InjectFault({BusFault::Silence, 1, 0, 0, 1, 0x04, 2});
    EXPECT_EQ(transfer.WriteCnf(1, true).outcome, NetOpOutcome::Done);
    EXPECT_EQ(KfPr("k_pk", 1), 3);

    QSqlQuery(Db()).exec("UPDATE k_pk SET kf_pr = 4 WHERE n_net = 1");
    ASSERT_TRUE(dm.ReopenSwitches());
    bus.UpdateDevice(0, [](SimDevice& d) { d.memory.clear(); });
    // A packet that never arrives is missed: no end message, no mark.
    bus.InjectFault({BusFault::Ignore, 1, 0, 0, 1, 0x04, 3});
    const NetWriteResult lost = transfer.WriteCnf(1, true);
    EXPECT_EQ(lost.outcome, NetOpOutcome::Failed);
    EXPECT_EQ(lost.packets, 3);
    EXPECT_EQ(LastResult(), "Произошла ошибка при записи КФ СКМ01.");
    EXPECT_EQ(LinesWith(link.AnswerLog, "завершена."), 1);  // only the first write's
    EXPECT_EQ(KfPr("k_pk", 1), 4);

    // A refused packet likewise.
    bus.InjectFault({BusFault::Refuse, 1, 0, 0, 1, 0x04, 0});
    EXPECT_EQ(transfer.WriteCnf(1, true).outcome, NetOpOutcome::Failed);
    EXPECT_EQ(LastResult(), "Произошла ошибка при записи КФ СКМ01.");
    EXPECT_TRUE(link.AnswerLog.contains("Пакет не записан."));
    EXPECT_EQ(KfPr("k_pk", 1), 4);
    EXPECT_EQ(link.SelectedAddr, -1);
}

TEST_F(ConfigTransfer, AStopEndsTheWriteUnmarkedAndTheReadUnsaved) {
    AddDevice(DeviceAt(1));
    PutObjectFile(1);
    int sent = 0, stopAt = 12;
    onEvents = [&] {
        if (++sent == stopAt) link.RequestStop();
    };
    const NetWriteResult write = transfer.WriteCnf(1, true);
    EXPECT_EQ(write.outcome, NetOpOutcome::Stopped);
    EXPECT_GT(write.packets, 0);
    EXPECT_EQ(LastResult(), "Операция прервана.");
    EXPECT_EQ(KfPr("k_pk", 1), kFileMade);

    SimDevice full = DeviceAt(2);
    full.memory = ObjectFile(2).mid(29);
    AddDevice(full);
    link.ClearStop();
    sent = 0;
    stopAt = 5;
    const NetReadResult read = transfer.ReadCnf(2);
    EXPECT_EQ(read.outcome, NetOpOutcome::Stopped);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Операция прервана.");
    EXPECT_TRUE(ReadFiles().isEmpty());
}

TEST_F(ConfigTransfer, ARefusedSelectionIsLoggedOnceAnUnansweredOneNotAtAll) {
    SimDevice device = DeviceAt(1);
    device.password = "123";
    AddDevice(device);
    PutObjectFile(1);
    ctx.password = "321";  // refused: the device's answer says so, once
    EXPECT_EQ(transfer.WriteCnf(1, true).outcome, NetOpOutcome::Failed);
    EXPECT_EQ(LinesWith(link.AnswerLog, "Нет входа в РП. СКМ01"), 1);
    // No answer: the device did not refuse the password, and nothing says it did.
    bus.InjectFault({BusFault::Ignore, 1, 0, 0, 1, 0x01});
    ctx.password = "123";
    const QStringList before = link.AnswerLog;
    EXPECT_EQ(transfer.WriteCnf(1, true).outcome, NetOpOutcome::Failed);
    EXPECT_EQ(link.AnswerLog, before);
    EXPECT_EQ(FramesOf(0x04), 0);
    EXPECT_EQ(KfPr("k_pk", 1), kFileMade);
}

TEST_F(ConfigTransfer, AnAdapterUnpluggedMidwayGivesOneMessageAndChangesNothing) {
    AddDevice(DeviceAt(1));
    PutObjectFile(1);
    dialogs.Expect(Dialogs::ApplicationTitle(), TBComPort::DeviceLostText(pty.SlavePath()));
    bus.InjectFault({BusFault::HangUp, 1, 0, 0, 1, 0x04, 5});
    const NetWriteResult write = transfer.WriteCnf(1, true);
    EXPECT_EQ(write.outcome, NetOpOutcome::Failed);
    EXPECT_EQ(write.packets, 5);
    EXPECT_EQ(LastResult(), "Произошла ошибка при записи КФ СКМ01.");
    EXPECT_EQ(LinesWith(link.AnswerLog, "завершена."), 0);
    EXPECT_EQ(KfPr("k_pk", 1), kFileMade);
    EXPECT_EQ(dialogs.Shown().size(), 1);
}

TEST_F(ConfigTransfer, AnAdapterUnpluggedDuringAReadLeavesNoFile) {
    SimDevice device = DeviceAt(1);
    device.memory = ObjectFile(1).mid(29);
    AddDevice(device);
    dialogs.Expect(Dialogs::ApplicationTitle(), TBComPort::DeviceLostText(pty.SlavePath()));
    bus.InjectFault({BusFault::HangUp, 1, 0, 0, 1, 0x03, 3});
    EXPECT_EQ(transfer.ReadCnf(1).outcome, NetOpOutcome::Failed);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Произошла ошибка при чтении КФ СКМ01.");
    EXPECT_TRUE(ReadFiles().isEmpty());
}

TEST_F(ConfigTransfer, TheHeaderOfAFileReadFromADeviceFollowsItsClassInformation) {
    SimDevice device = DeviceAt(70);
    device.classMask = {1, 2, 3, 4, 5, 6, 7, 8};
    device.nid = 0x123456;
    device.bios = 0x0A;
    device.appVersion = 0x0203;
    device.atg1 = 0x44;
    device.atg2 = 0x5566;
    AddDevice(device);
    EXPECT_EQ(DeviceFileHeader(link.Tables, 70, 63).toHex(),
              "46"                // the address
              "0102030405060708"  // the class mask in the reply's order
              "563412"            // NID low word, then its high byte
              "0100"
              "0a00"  // PTG: kind word, then BIOS
              "0028"
              "006c"  // memory bounds
              "80"
              "0302"
              "6655"
              "44"
              "ffc3ff");
    // Without the class mask text the kind's signature stands in.
    EXPECT_EQ(DeviceFileHeader(link.Tables, 12, 63).mid(0, 9).toHex(), "0c0f00000000000090");
    EXPECT_EQ(DeviceFileHeader(link.Tables, 63, 63).mid(1, 8).toHex(), "6401000000000090");
    EXPECT_EQ(DeviceFileHeader(link.Tables, 55, 63).mid(1, 8).toHex(), "0f00000000000090");
}

}  // namespace
}  // namespace ConfigTransferTestUnit
