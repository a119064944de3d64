// The network devices screen reached the ways an engineer reaches it, in the
// whole program as it starts: on a database that already holds the reference
// object, with no table opened by the test. Whatever the road, the screen
// lists every device of the object, the network test asks every one of them,
// and the records of every kind take what the link tells about them.

#include "app/TFMainVesk.h"
#include "foundation/TFDM.h"
#include "netlink/NetDeviceRecords.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/TFNetTime.h"
#include "netlink/ui/TFrNetDev.h"
#include "support/ProgramRoads.h"
#include "support/ScreenShots.h"
#include "support/SimulatedInstallation.h"

#include <gtest/gtest.h>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace NetworkScreenRoadsTestUnit {
namespace {

constexpr int kNetworkScreen = 12;
constexpr int kNetworkTest = 8;

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) items << list->item(row)->text();
    return items;
}

class NetworkScreenRoads : public ProgramRoads {
  protected:
    void SetUp() override {
        ProgramRoads::SetUp();
        QSqlDatabase db = database_.open();
        bus_ = std::make_unique<SimulatedInstallation>();
        addresses_ = bus_->AddDevicesOf(db, IdNet(), 63);
        ASSERT_EQ(8, addresses_.size()) << "3 switches, the console and 4 call panels";
    }
    void TearDown() override {
        if (FMainVesk) {
            TFrNetDev& f = Screen();
            if (FNetTime->Link().LinkRunning()) QTest::mouseClick(f.BitStopNet, Qt::LeftButton);
        }
        ProgramRoads::TearDown();
        bus_.reset();
    }

    TFrNetDev& Screen() { return *qobject_cast<TFrNetDev*>(FMainVesk->FrNetDev1); }

    // "Сеть", then "Запустить сеть".
    void StartTheNetwork() {
        if (FMainVesk->VisibleScreen() != kNetworkScreen) Menu(QStringLiteral("MNetDevice"));
        ASSERT_EQ(kNetworkScreen, FMainVesk->VisibleScreen());
        FNetTime->SetPauseForTests([this](int ms) { bus_->clock.Pause(ms); });
        FNetTime->SetClockForTests([this] { return bus_->clock.NowMs(); });
        QTest::mouseClick(Screen().BitStartNet, Qt::LeftButton);
        ASSERT_TRUE(FNetTime->Link().LinkRunning());
    }

    // One line per switch, the console's line, one line per call panel (in
    // the order the panels' list keeps: by type, then number).
    void ExpectEveryDeviceListed(const QString& road) {
        const QStringList lines = Items(Screen().ListHdev);
        ASSERT_EQ(addresses_.size(), lines.size()) << lines.join(" | ").toStdString();
        for (int i = 0; i < addresses_.size(); ++i) {
            const QString name = ConfiguredDeviceName(addresses_[i], 63);
            EXPECT_EQ(1, lines.filter(name).size()) << name.toStdString();
            if (addresses_[i] <= 63) {
                EXPECT_TRUE(lines[i].contains(name)) << lines[i].toStdString();
            }
        }
        SaveScreen(*FMainVesk, QStringLiteral("network_roads_") + road);
    }

    // "Тест сети по конфигурации объекта", storing the serial numbers the
    // records lack.
    void RunTheNetworkTest() {
        TFrNetDev& f = Screen();
        f.ListCmRead->setCurrentRow(kNetworkTest);
        dialogs_.Expect(QStringLiteral("Разрешение на операцию"),
                        QStringLiteral("Произвести операцию ") +
                            NetCommandCaptions().at(kNetworkTest) + QStringLiteral("?"),
                        DlgAnswer::Yes);
        dialogs_.Expect(QStringLiteral("Включая остальные"),
                        QStringLiteral("Будем сохранять серийные номера в объекте при их "
                                       "отсутствии?"),
                        DlgAnswer::Yes);
        QTest::mouseClick(f.BitAct, Qt::LeftButton);
        dialogs_.VerifyDone();
        EXPECT_TRUE(
            f.Memo2->toPlainText().contains(QStringLiteral("ИТОГО найдено устройств 8 из 8:")))
            << f.Memo2->toPlainText().toStdString();
    }

    int Count(const QString& sql) {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        q.prepare(sql);
        q.addBindValue(IdNet());
        if (!q.exec() || !q.next()) return -1;
        return q.value(0).toInt();
    }

    // Every device of the object took its serial number from the link.
    void ExpectEverySerialStored() {
        EXPECT_EQ(0, Count(QStringLiteral("SELECT COUNT(*) FROM k_pk WHERE id_net=? AND "
                                          "TRIM(COALESCE(sn_pk,''))=''")));
        EXPECT_EQ(0, Count(QStringLiteral("SELECT COUNT(*) FROM k_bv WHERE id_net=? AND "
                                          "TRIM(COALESCE(sn_bv,''))=''")));
        EXPECT_EQ(0, Count(QStringLiteral("SELECT COUNT(*) FROM k_po WHERE id_net=? AND "
                                          "TRIM(COALESCE(sn_po,''))=''")));
    }

    // A call panel's file marked written by the screen's records.
    void ExpectAPanelMarkedWritten() {
        ASSERT_FALSE(addresses_.isEmpty());
        const int panel = addresses_.last();
        NetDeviceRecords records(*FDM);
        EXPECT_TRUE(records.MarkFileWritten(panel, 63)) << records.LastError().toStdString();
        EXPECT_EQ(1, Count(QStringLiteral("SELECT COUNT(*) FROM k_bv WHERE id_net=? AND "
                                          "n_net=%1 AND kf_pr=3")
                               .arg(panel)));
    }

    void ExpectTheWholeObjectServed(const QString& road) {
        StartTheNetwork();
        ExpectEveryDeviceListed(road);
        RunTheNetworkTest();
        ExpectEverySerialStored();
        ExpectAPanelMarkedWritten();
    }

    std::unique_ptr<SimulatedInstallation> bus_;
    QList<int> addresses_;
};

TEST_F(NetworkScreenRoads, AFirstStartOnTheNetworkScreen) {
    StartOn(kNetworkScreen);
    ExpectTheWholeObjectServed(QStringLiteral("start"));
}

TEST_F(NetworkScreenRoads, AFirstStartOnTheObjectScreenThenTheNetwork) {
    StartOn(1);
    ExpectTheWholeObjectServed(QStringLiteral("object_screen"));
}

TEST_F(NetworkScreenRoads, AnotherDatabaseFolderAndBack) {
    StartOn(1);
    ToAnotherFolderAndBack();
    ExpectTheWholeObjectServed(QStringLiteral("folder_and_back"));
}

// A folder without a database is refused before the open one is let go.
TEST_F(NetworkScreenRoads, AFolderChoiceWithoutDatabaseKeepsTheDatabaseOpen) {
    StartOn(1);
    QTemporaryDir empty;
    ChooseDatabaseFolder(empty.path() + QLatin1Char('/'), true);
    dialogs_.VerifyDone();
    ASSERT_EQ(database_.dbDir(), FMainVesk->DatabaseFolder());
    ExpectTheWholeObjectServed(QStringLiteral("no_database_choice"));
}

// A damaged file is found out only after the open database was let go.
TEST_F(NetworkScreenRoads, AFolderChoiceThatFailsReopensTheDatabaseWhole) {
    StartOn(1);
    AFailedFolderChoice();
    ExpectTheWholeObjectServed(QStringLiteral("failed_choice"));
}
}  // namespace
}  // namespace NetworkScreenRoadsTestUnit
