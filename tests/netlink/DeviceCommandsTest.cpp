// The network devices screen's commands in core on the simulated bus: the
// device source rules of the dispatcher, the polls, the storing of a found
// serial number and the device report.

#include "TransferFixture.h"
#include "netlink/NetDeviceCommands.h"
#include "netlink/NetIdentityOps.h"
#include "support/KilledChild.h"
#include "support/TempProgramDir.h"

#include <gtest/gtest.h>

namespace DeviceCommandsTestUnit {

namespace {

class DeviceCommands : public TransferFixture {
  protected:
    NetDeviceCommands Commands() { return NetDeviceCommands(ctx, hooks); }
    void Run(int index, const NetListState& configured = {}, const NetListState& found = {},
             const QString& error = QString()) {
        dialogs.Expect("Разрешение на операцию",
                       "Произвести операцию " + NetCommandCaptions().at(index) + "?",
                       DlgAnswer::Yes);
        if (!error.isEmpty()) dialogs.Expect("Ошибка", error);
        Commands().Run(index, NetCommandCaptions().at(index), configured, found);
    }
    NetCommandHooks hooks;
    TempProgramDir program;
};

TEST_F(DeviceCommands, CommandsThatNeedAFoundDeviceRefuseWithoutOne) {
    NetListState configured{{" КМ01", " КМ02"}, {0}};
    for (int index : {2, 3, 4, 5, 9}) {
        Run(index, configured, {}, "Определите устройство из списка!");
    }
    EXPECT_TRUE(bus.Received().isEmpty() || FramesOf(0x04) + FramesOf(0x03) == 0);
}

TEST_F(DeviceCommands, JumperResetOnACallPanelIsRefusedInTheLog) {
    AddDevice(DeviceAt(64));
    Run(10, {}, NetListState{{"СБВ00   SN B123456789"}, {0}});
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "СУ СБВ00 не является КМ!");
    Run(10);
    EXPECT_EQ(link.AnswerLog.last(), "СУ не выбрано!");
}

TEST_F(DeviceCommands, PollsAskTheInstallationsAddressesOnly) {
    EXPECT_EQ(PollAddresses(63, 50).size(), 50 + 51);
    ASSERT_FALSE(PollAddresses(63, 50).isEmpty());
    EXPECT_EQ(PollAddresses(63, 50).last(), 113);
    ASSERT_FALSE(PollAddresses(100, 50).isEmpty());
    EXPECT_EQ(PollAddresses(100, 50).last(), 126);  // nothing above 126

    AddDevice(DeviceAt(3));
    const int before = int(bus.Received().size());
    dialogs.Expect("Подтверждение", "Опросить устройства?", DlgAnswer::Yes);
    Commands().FindDevices(50);
    QList<int> asked;
    const QList<QByteArray> frames = bus.Received();
    for (qsizetype i = before; i < frames.size(); ++i)
        if (frames[i][3] == 0 && !asked.contains(quint8(frames[i][1])))
            asked << quint8(frames[i][1]);
    EXPECT_EQ(asked, PollAddresses(63, 50));
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Опрос окончен. ");
    EXPECT_TRUE(link.DeviceList.contains("СКМ03   SN B123456789"));

    link.StopNet();
    const int stopped = int(bus.Received().size());
    dialogs.Expect("Подтверждение", "Опросить устройства?", DlgAnswer::Yes);
    dialogs.Expect("Ошибка оборудования", "Сеть не обнаружена. Подключите СУС!");
    Commands().FindDevices(50);
    EXPECT_EQ(bus.Received().size(), stopped);
}

TEST_F(DeviceCommands, AnotherSwitchsSerialNumberIsRefused) {
    QSqlQuery q(Db());
    ASSERT_TRUE(q.exec("UPDATE k_pk SET sn_pk='B000000002' WHERE n_net=2"));
    ASSERT_TRUE(dm.OpenAllTables());
    ASSERT_TRUE(dm.Q_Net->Locate("id_net", kIdNet));
    dialogs.Expect("Отказ", "SN занят!");
    Commands().SaveFoundSerial(1, 5, "B000000002");
    Commands().SaveFoundSerial(1, 5, "B000000001");
    q.exec("SELECT sn_pk FROM k_pk WHERE n_net=1");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "B000000001");
}

TEST_F(DeviceCommands, TheReportListsEveryDeviceFound) {
    for (int a : {1, 63, 65}) {
        SimDevice d = DeviceAt(a);
        d.serial = "C00000000" + QByteArray::number(a % 10);
        AddDevice(d);
    }
    const QString path = program.file("TXT/Устройства.txt");
    NetDeviceCommands commands = Commands();
    QList<int> steps;
    bool gaugeShown = true;
    commands.progress = [&](int value, int maximum, bool visible) {
        if (visible) steps << value;
        gaugeShown = visible;
        EXPECT_EQ(maximum, 127);
    };
    ASSERT_TRUE(commands.WriteReport(path));
    EXPECT_EQ(steps.size(), 127);  // one step an address
    EXPECT_FALSE(gaugeShown);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith("СПИСОК ВСЕХ НАЙДЕННЫХ УСТРОЙСТВ "));
    for (const char* name : {"СКМ01", "СПО  ", "СБВ01", "СУС  "})
        EXPECT_TRUE(lines.contains(name)) << name << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains("    UID PTG:= $05$00$02"));
    EXPECT_TRUE(lines.contains("    Версия АПП СУС: $01$02$03"));
    ASSERT_FALSE(link.AnswerLog.isEmpty());
    EXPECT_EQ(link.AnswerLog.last(), "Данные сохранены в файле " + path + ".");
}

}  // namespace
}  // namespace DeviceCommandsTestUnit
