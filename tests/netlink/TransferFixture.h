#pragma once
// The configuration tests' object (ConfigObjectFixture: object 1, switches
// 1..3, the console, entrance panels 65..67 and the gate panel 68) opened
// through a data module, and the link running on the simulated device bus.
// The object's files are made by the write-configuration screen into its
// write folder, the folder the transfer takes them from.

#include "config/CallPanelFile.h"
#include "config/ConfigObjectFixture.h"
#include "config/ConfigRepository.h"
#include "config/ConfigWriteScreen.h"
#include "config/ConsoleFile.h"
#include "config/SwitchFile.h"
#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "foundation/TFDM.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/NetOpContext.h"
#include "netlink/TNetLink.h"
#include "platform/AppPaths.h"
#include "support/DeviceBusSimulator.h"
#include "support/PtyPair.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedBusClock.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include <functional>

class TransferFixture : public ConfigObjectFixture {
  protected:
    // Room for the largest file of any kind behind the usual start.
    static constexpr int kConfigStart = 0x2800;
    static constexpr int kConfigEnd = 0x2800 + 17408;
    // A record's file state once the write screen made its file.
    static inline const int kFileMade = KfPrAfterFileMade(0);

    TransferFixture() : link(Hooks()), ctx(link, &dm) {}

    void SetUp() override {
        ConfigObjectFixture::SetUp();
        QString error;
        ASSERT_TRUE(dm.Connect(Db().databaseName(), &error)) << error.toStdString();
        ASSERT_TRUE(dm.OpenAllTables()) << dm.LastError().toStdString();
        ASSERT_TRUE(dm.Q_Net->Locate("id_net", kIdNet));
        ASSERT_TRUE(link.StartNet([this] {
            return std::optional<NetPortChoice>({pty.SlavePath(), "0403", "6001"});
        }));
    }
    void TearDown() override {
        link.StopNet();
        Globals() = savedGlobals;
    }

    NetLinkHooks Hooks() {
        NetLinkHooks hooks;
        busClock.Install(hooks);
        hooks.processEvents = [this] {
            if (onEvents) onEvents();
        };
        return hooks;
    }

    // A device of the kind its address says, with room for any file.
    static SimDevice DeviceAt(int address) {
        SimDevice device = address == 63  ? SimDevice::Console(63)
                           : address < 63 ? SimDevice::Switch(address)
                                          : SimDevice::CallPanel(address - 64);
        device.configStart = kConfigStart;
        device.configEnd = kConfigEnd;
        return device;
    }

    // Puts the device on the bus and lets the link learn its class.
    int AddDevice(const SimDevice& device) {
        const int index = bus.AddDevice(device);
        EXPECT_EQ(link.RequestClass(device.address), 1);
        link.ParseClassReply(device.address);
        return index;
    }

    // The object's file of a device as the builders make it.
    QByteArray ObjectFile(int address) {
        ConfigRepository repo(Db());
        ConfigFileBuild build;
        if (address == 63) {
            std::optional<ConsoleFileInput> in;
            EXPECT_TRUE(repo.ReadConsoleFileInput(kIdNet, in) && in);
            if (in) build = BuildConsoleFile(*in, "cpo00.bin");
        } else if (address < 63) {
            std::optional<SwitchFileInput> in;
            EXPECT_TRUE(repo.ReadSwitchFileInput(kIdNet, address, in) && in);
            if (in) build = BuildSwitchFile(*in, "ckm.bin");
        } else {
            std::optional<PanelFileInput> in;
            EXPECT_TRUE(repo.ReadPanelFileInput(kIdNet, address, in) && in);
            if (in) build = BuildCallPanelFile(*in, "cbv.bin");
        }
        EXPECT_TRUE(build.HasFile());
        return build.bytes;
    }

    // Makes the object's file of the device as the write screen does (which
    // also advances the record's file state); returns the file.
    QByteArray PutObjectFile(int address) {
        ConfigWriteScreen screen(Db());
        EXPECT_TRUE(screen.BuildWriteFolder(QString(), kIdNet));
        const QString path = WritePath(address);
        if (address == 63)
            screen.WritePoFile(path);
        else if (address < 63)
            screen.WritePkFile(path, address);
        else
            screen.WriteBvFile(path, address);
        const QByteArray bytes = ReadFile(path);
        EXPECT_EQ(bytes, ObjectFile(address));
        return bytes;
    }

    QString WritePath(int address) {
        return NetFolders::WriteFolder(QString(), &dm) + "/" + NetFolders::FileStem(address, 63) +
               ".bin";
    }
    QString ReadFolder() { return NetFolders::ReadFolder(QString(), &dm); }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    int KfPr(const char* table, int nNet) {
        QSqlQuery q(Db());
        q.exec(QStringLiteral("SELECT kf_pr FROM %1 WHERE n_net = %2 OR '%1' = 'k_po'")
                   .arg(QLatin1String(table))
                   .arg(nNet));
        return q.next() ? q.value(0).toInt() : -1;
    }

    // Frames of a command (without the selector bit) the bus received.
    int FramesOf(int command) const {
        int n = 0;
        for (const QByteArray& frame : bus.Received())
            if ((quint8(frame[3]) & ~0x40) == command) ++n;
        return n;
    }

    int LinesWith(const QStringList& log, const QString& text) const {
        return int(std::count_if(log.begin(), log.end(),
                                 [&](const QString& line) { return line.contains(text); }));
    }

    ArmGlobals savedGlobals = Globals();
    ScriptedDialogs dialogs;  // every message must be expected
    TFDM dm;
    PtyPair pty;
    DeviceBusSimulator bus{pty};
    SimulatedBusClock busClock{bus};
    std::function<void()> onEvents;
    TNetLink link;
    NetOpContext ctx;
};
