// Serial numbers, the object's identifier, addresses given by serial number
// or sent back to the jumpers, the search for the object the network
// belongs to and the test of the network against the object, on the
// simulated bus.

#include "TransferFixture.h"
#include "foundation/BitAndStr.h"
#include "netlink/NetIdentityOps.h"

namespace IdentityOpsTestUnit {

namespace {

QString Hex(const TNetFrame& frame, int bytes) {
    return frame.ToHex().left(2 * bytes);
}

TEST(IdentityRequests, BytesOfTheRequests) {
    EXPECT_EQ(Hex(NetRequest::SerialNumber(5, false), 8), "7F050A0100000003");
    EXPECT_EQ(Hex(NetRequest::SerialNumber(5, true), 9), "7F050B410100000003");
    EXPECT_EQ(Hex(NetRequest::NetworkId(5, false, 1193046), 11), "7F050D0100000001563412");
    // Only the low 24 bits travel; the next byte stays 0 whatever the format.
    EXPECT_EQ(Hex(NetRequest::NetworkId(5, true, 0x7F123456), 13), "7F050E41010000000156341200");
    EXPECT_EQ(Hex(NetRequest::AddressBySerial(128, false, 0, {1, 2, 3}, "B123456789", 5), 21),
              "7F80170100000004030201"
              "86DBCFE6EDFD87FFEF05");
    EXPECT_EQ(Hex(NetRequest::AddressBySerial(7, true, 0x0F, {0, 0, 0}, "A000000000", 0xFF), 22),
              "7F071841"
              "0F000000040000"
              "00BFBFBFBFBFBFBFBFBF"
              "FF");
    // A read with the selector keeps the length code 09.
    EXPECT_EQ(Hex(NetRequest::MemoryRead(5, true, 0x2800, 22), 8), "7F05094300002816");
    EXPECT_EQ(Hex(NetRequest::MemoryRead(5, false, 0x2816, 7), 7), "7F050903162807");
    EXPECT_EQ(Hex(NetRequest::MemoryWrite(5, true, 0x21, 0x2801, QByteArray("\x01\x02", 2)), 10),
              "7F050C442101280201"
              "02");
    EXPECT_EQ(Hex(NetRequest::MemoryWrite(5, false, 0, 0x2800, QByteArray(30, 'x')), 3), "7F051F");
}

class IdentityOps : public TransferFixture {
  protected:
    NetIdentityOps ops{ctx};

    // A device of the kind at the address, with its serial number, asked by
    // the link for its class and its serial number.
    int Answering(int address, const QByteArray& serial) {
        SimDevice device = DeviceAt(address);
        device.serial = serial;
        const int index = AddDevice(device);
        ops.ReadDevSN(address);
        return index;
    }
};

TEST_F(IdentityOps, SerialNumberIsReadUnlessTheBiosIsTooOld) {
    SimDevice device = DeviceAt(5);
    device.serial = "C987654321";
    AddDevice(device);
    EXPECT_EQ(ops.ReadDevSN(5), "C987654321");
    ASSERT_FALSE(link.RequestLog.isEmpty());
    EXPECT_EQ(link.RequestLog.last(), "Чтение SN устройства СКМ05");
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "СКМ05 SN:= C987654321");

    SimDevice old = DeviceAt(6);
    old.bios = 2;
    AddDevice(old);
    const int frames = bus.FramesTo(6);
    EXPECT_EQ(ops.ReadDevSN(6), "");
    EXPECT_EQ(link.AnswerLog.last(), "Чтение SN невозможно.");
    EXPECT_EQ(bus.FramesTo(6), frames);
}

TEST_F(IdentityOps, TheObjectsIdentifierIsWrittenIntoTheDevice) {
    SimDevice device = DeviceAt(5);
    device.nid = 7;
    const int index = AddDevice(device);
    SimDevice alpha = DeviceAt(6);
    alpha.format = 30;  // the alpha format: a four-byte identifier
    alpha.nid = 0x01000007;
    const int alphaIndex = AddDevice(alpha);

    EXPECT_EQ(ops.ChangeNetId(5), NetOpOutcome::Done);
    EXPECT_TRUE(link.AnswerLog.contains("Замена идентификатора сети."));
    EXPECT_TRUE(
        link.AnswerLog.contains("СКМ05 Идентификатор сети изменился на NID:=1193046  $12$34$56"));
    EXPECT_EQ(bus.Device(index).nid, 1193046u);
    EXPECT_EQ(link.SelectedAddr, -1);
    EXPECT_FALSE(bus.Device(index).selected);
    // The class reply carries the new identifier.
    ASSERT_EQ(link.RequestClass(5), 1);
    link.ParseClassReply(5);
    EXPECT_EQ(link.Tables.NetDevices[5].Nid(), 1193046);

    EXPECT_EQ(ops.ChangeNetId(6), NetOpOutcome::Done);
    EXPECT_EQ(bus.Device(alphaIndex).nid, 1193046u);

    ctx.password = "999";
    EXPECT_EQ(ops.ChangeNetId(5), NetOpOutcome::Failed);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Нет входа в РП. СКМ05");
}

TEST_F(IdentityOps, AnAddressAlreadyRightOrTakenSendsNothing) {
    Answering(1, "B000000001");
    Answering(2, "C000000002");
    const int frames = int(bus.Received().size());
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ01 SN B000000001")), 1);
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Сетевой номер уже соответствует устройству СКМ01");
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ02 SN B000000009")), kAddrRefused);
    EXPECT_EQ(link.AnswerLog.last(),
              "Нельзя назначать устройству сетевой адрес уже имеющийся в сети!! СКМ02");
    EXPECT_EQ(bus.Received().size(), frames);

    SimDevice twin = DeviceAt(6);
    bus.AddDevice(twin);
    bus.AddDevice(twin);
    // Unpaced, both answers are waiting when the first is read: the few
    // milliseconds the link waits for a second one on the paced wire are not
    // a promise a loaded test machine keeps.
    ASSERT_EQ(link.RequestClass(6), 2);
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ06 SN B000000006")), kAddrRefused);
    EXPECT_EQ(link.AnswerLog.last(), "Нельзя добавлять уже имеющийся сетевой адрес. СКМ06");

    dialogs.Expect("Не определено", "Выделите конфигурацию для записи SN!");
    EXPECT_EQ(ops.ChangeAddrBySN(std::nullopt), kAddrNothingDone);
    dialogs.Expect("Не определено", "Не задан серийный номер устройства!");
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ01")), kAddrNothingDone);
    dialogs.Expect("Не определено", "Не задан серийный номер устройства!");
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ01 SN Не доступно.")), kAddrNothingDone);
}

TEST_F(IdentityOps, ADeviceFoundByItsSerialNumberMovesToTheAddressOfItsLine) {
    const int index = Answering(9, "B000000003");
    QStringList selected;
    ctx.view.selectFoundLine = [&](const QString& serial) { selected << serial; };
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ03 SN B000000003")), 3);
    EXPECT_EQ(selected, QStringList{"B000000003"});
    EXPECT_EQ(bus.Device(index).address, 3);
    EXPECT_EQ(link.Tables.Text(3, kTextSerial), "B000000003");
    EXPECT_EQ(link.Tables.AnswerCount(9), 0);
    EXPECT_TRUE(link.AnswerLog.contains(
        "Сетевой адрес СУ СКМ09 изменен на СКМ03. Операция смены выполнена."));
    EXPECT_EQ(link.DeviceList, QStringList{"СКМ03   SN B000000003"});
    // The configuration memory went along.
    EXPECT_EQ(bus.Device(index).configStart, kConfigStart);
}

TEST_F(IdentityOps, ADeviceWithoutAValidAddressIsReachedAtItsKindsAddress) {
    SimDevice sw = DeviceAt(4);
    sw.serial = "B000000004";
    sw.programmingMode = true;
    const int swIndex = bus.AddDevice(sw);
    SimDevice panel = DeviceAt(67);
    panel.serial = "D000000067";
    panel.programmingMode = true;
    panel.password = "555";
    const int panelIndex = bus.AddDevice(panel);

    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ04 SN B000000004")), 4);
    EXPECT_EQ(quint8(bus.Received().at(bus.Received().size() - 3)[1]), 128);
    EXPECT_EQ(bus.Device(swIndex).address, 4);
    EXPECT_FALSE(bus.Device(swIndex).programmingMode);
    EXPECT_EQ(link.Tables.Text(4, kTextSerial), "B000000004");

    ctx.password = "555";
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" БВ03 SN D000000067")), 67);
    EXPECT_EQ(bus.Device(panelIndex).address, 67);
    bool askedAt136 = false;
    for (const QByteArray& frame : bus.Received()) askedAt136 |= quint8(frame[1]) == 136;
    EXPECT_TRUE(askedAt136);

    // A serial number no device has: nobody takes the address.
    EXPECT_EQ(ops.ChangeAddrBySN(QString(" КМ05 SN B000000099")), kAddrNoDevice);
    EXPECT_EQ(link.Tables.AnswerCount(5), 0);
}

TEST_F(IdentityOps, ASwitchGoesBackToItsJumpers) {
    SimDevice device = DeviceAt(7);
    device.serial = "B000000007";
    device.jumperAddress = 3;
    device.selector = true;
    const int index = AddDevice(device);
    ops.ReadDevSN(7);
    link.BuildDeviceList(link.DeviceList);
    ASSERT_EQ(link.DeviceList, QStringList{"СКМ07   SN B000000007"});
    EXPECT_EQ(ops.ResetKmAddr(7, link.DeviceList.first()), NetOpOutcome::Done);
    EXPECT_EQ(bus.Device(index).address, 3);
    EXPECT_TRUE(link.AnswerLog.contains("Замена сетевого адреса СКМ07 на перемычки."));
    EXPECT_TRUE(link.AnswerLog.contains("Сетевой адрес сброшен. Операция смены выполнена."));
    // The selector byte of this request is byte 5 of the class reply: the first mask byte.
    QByteArray request;
    for (const QByteArray& frame : bus.Received())
        if (quint8(frame[1]) == 7 && quint8(frame[8]) == 0x04) request = frame;
    EXPECT_EQ(request.toHex().left(44),
              "7f0718410f00000004000000"
              "bfbfbfbfbfbfbfbf87"
              "ff");

    dialogs.Expect("Не определено", "Устройство не является КМ!");
    EXPECT_EQ(ops.ResetKmAddr(67, QString("СБВ03   SN B000000067")), NetOpOutcome::Refused);
    dialogs.Expect("Не определено", "Не задан серийный номер устройства!");
    EXPECT_EQ(ops.ResetKmAddr(3, QString("СКМ03  ")), NetOpOutcome::Refused);
}

TEST_F(IdentityOps, TheObjectSearchAsksForEveryMatchAndDecliningAllKeepsTheObject) {
    Sql("INSERT INTO k_net (id_net, ident, id_nom, v_pod, v_kal, st_net) VALUES (2, 'Второй', 7,"
        " 3, 1, 'закрыто')");
    Sql("INSERT INTO k_net (id_net, ident, id_nom, v_pod, v_kal, st_net) VALUES (3, 'Малый', 8,"
        " 1, 0, 'закрыто')");
    ASSERT_TRUE(dm.Q_Net->Reopen());
    ASSERT_TRUE(dm.Q_Net->Locate("id_net", kIdNet));
    for (int a : {1, 2, 3, 65, 66, 67, 68}) {
        SimDevice device = DeviceAt(a);
        device.nid = quint32(kIdNom);
        AddDevice(device);
    }
    int filled = 0, shown = 0;
    ctx.view.fillDeviceList = [&] { ++filled; };
    ctx.view.showScreen = [&] { ++shown; };

    dialogs.Expect("Поиск объекта",
                   "Найден похожий объект, \"Второй\" выберем его? Нет - продолжить.",
                   DlgAnswer::No);
    dialogs.Expect("Поиск объекта",
                   "Найден похожий объект, \"Дом на Садовой\" выберем его? Нет - продолжить.",
                   DlgAnswer::No);
    EXPECT_FALSE(ops.FindObjectByNet());
    EXPECT_EQ(dm.Q_Net->FieldByName("id_net").AsLargeInt(), kIdNet);
    EXPECT_EQ(link.AnswerLog.mid(link.AnswerLog.size() - 7),
              (QStringList{"Поиск объекта.", "Совпадает количество подъездов с объектом Второй.",
                           "Объект \"Второй\" не выбран.",
                           "Совпадает количество подъездов с объектом Дом на Садовой.",
                           "Совпадают идентификаторы объекта Дом на Садовой.",
                           "Объект \"Дом на Садовой\" не выбран.", "Поиск окончен."}));
    EXPECT_EQ(filled, 0);
    EXPECT_EQ(shown, 1);

    dialogs.Expect("Поиск объекта",
                   "Найден похожий объект, \"Второй\" выберем его? Нет - продолжить.",
                   DlgAnswer::Yes);
    EXPECT_TRUE(ops.FindObjectByNet());
    EXPECT_EQ(dm.Q_Net->FieldByName("id_net").AsLargeInt(), 2);
    EXPECT_TRUE(link.AnswerLog.contains("Найден похожий объект Второй."));
    EXPECT_EQ(filled, 1);
}

TEST_F(IdentityOps, TheNetworkTestAsksOnceAndFillsEveryBlankSerialNumber) {
    Sql("UPDATE k_pk SET sn_pk = 'C000000022' WHERE n_net = 2");
    Sql("UPDATE k_bv SET sn_bv = 'D000000066' WHERE n_net = 65");
    ASSERT_TRUE(dm.ReopenSwitches());
    ASSERT_TRUE(dm.ReopenCallBlocks());
    const QMap<int, QByteArray> serials = {
        {1, "B000000001"},  {2, "B000000002"},  {3, "Z000000003"},  {63, "E000000063"},
        {65, "D000000065"}, {66, "D000000066"}, {67, "D000000067"}, {68, "D000000068"}};
    for (auto it = serials.cbegin(); it != serials.cend(); ++it) {
        SimDevice device = DeviceAt(it.key());
        device.serial = it.value();
        device.nid = it.key() == 68 ? 5 : quint32(kIdNom);
        bus.AddDevice(device);
    }
    QStringList lines;
    for (const ConfiguredDevice& device : ConfiguredDevices(dm, 63))
        lines << ConfiguredDeviceLine(device, 63);
    ASSERT_EQ(lines.size(), 8);
    int filled = 0;
    ctx.view.fillDeviceList = [&] { ++filled; };

    dialogs.Expect("Включая остальные",
                   "Будем сохранять серийные номера в объекте при их отсутствии?", DlgAnswer::Yes);
    EXPECT_EQ(ops.TestNet(lines), NetOpOutcome::Done);
    EXPECT_TRUE(link.AnswerLog.contains("ИТОГО найдено устройств 8 из 8:"));
    EXPECT_EQ(LinesWith(link.AnswerLog, "Разные устройства имеют разные идентификаторы сети"), 1);
    EXPECT_TRUE(link.AnswerLog.contains("Cерийные номера не совпадают! СКМ02 !"));
    EXPECT_TRUE(link.AnswerLog.contains(
        "Cерийный номер принадлежит блоку вызова с другим сетевым номером СБВ01 !"));
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Тест сети по объекту окончен.");
    EXPECT_EQ(filled, 1);

    QSqlQuery q(Db());
    ASSERT_TRUE(q.exec("SELECT n_net, sn_pk FROM k_pk ORDER BY n_net"));
    QStringList stored;
    while (q.next()) stored << q.value(0).toString() + "=" + q.value(1).toString().trimmed();
    // Switch 3 reported no serial number: nothing is stored for it.
    EXPECT_EQ(stored, (QStringList{"1=B000000001", "2=C000000022", "3="}));
    ASSERT_TRUE(q.exec("SELECT sn_po FROM k_po"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "E000000063");
    ASSERT_TRUE(q.exec("SELECT n_net, sn_bv FROM k_bv ORDER BY n_net"));
    stored.clear();
    while (q.next()) stored << q.value(0).toString() + "=" + q.value(1).toString().trimmed();
    EXPECT_EQ(stored, (QStringList{"65=D000000066", "66=", "67=D000000067", "68=D000000068"}));

    // Without an object there is nothing to test.
    QSqlQuery(Db()).exec("UPDATE k_net SET st_net = 'восст'");
    ASSERT_TRUE(dm.Q_Net->Reopen());
    EXPECT_EQ(ops.TestNet(lines), NetOpOutcome::Refused);
    EXPECT_EQ(link.AnswerLog.last(), "Нет объекта.");
}

}  // namespace
}  // namespace IdentityOpsTestUnit
