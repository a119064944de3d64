// The network devices screen reached the ways an engineer reaches it, in the
// whole program as it starts: on a database that already holds the reference
// object, with no table opened by the test. Whatever the road, the screen
// lists every device of the object, the network test asks every one of them,
// and the records of every kind take what the link tells about them.

#include "app/AppForms.h"
#include "app/TFMainVesk.h"
#include "foundation/Globals.h"
#include "foundation/MainWindowLogic.h"
#include "foundation/NavigationHooks.h"
#include "foundation/TFDM.h"
#include "netlink/NetDeviceRecords.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/TFNetTime.h"
#include "netlink/ui/TFrNetDev.h"
#include "support/ReferenceObject.h"
#include "support/ScreenShots.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedInstallation.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kNetworkScreen = 12;
constexpr int kNetworkTest = 8;

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) items << list->item(row)->text();
    return items;
}

// The database file of the reference object with its device records, built
// by the program itself in a program folder of its own.
QByteArray BuildReferenceDatabase() {
    TestDatabase db;
    NavigationHooks hooks = Hooks();
    ArmGlobals globals = Globals();
    AppForms::CreateAll();
    ReferenceObject reference;
    const bool built = FDM && reference.Build(ReferenceStep::DeviceRecords);
    if (!built) ADD_FAILURE() << "reference object: " << reference.Error().toStdString();
    AppForms::DestroyAll();
    Hooks() = hooks;
    Globals() = globals;
    QFile f(db.dbPath());
    return built && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class NetworkScreenRoads : public ::testing::Test {
  protected:
    // Built once, before any test's program folder is made: the builder's
    // folder must not outlive it as the program's.
    static void SetUpTestSuite() { reference_ = BuildReferenceDatabase(); }
    static void TearDownTestSuite() { reference_.clear(); }

    void SetUp() override {
        ASSERT_FALSE(reference_.isEmpty());
        database_.programDir().writeFile(QStringLiteral("DB_ARM/db_arm_vesk.mdb"), reference_);
        QSqlDatabase db = database_.open();
        QSqlQuery q(QStringLiteral("SELECT id_net FROM k_net"), db);
        ASSERT_TRUE(q.next());
        idNet_ = q.value(0).toLongLong();
        bus_ = std::make_unique<SimulatedInstallation>();
        addresses_ = bus_->AddDevicesOf(db, idNet_, 63);
        ASSERT_EQ(8, addresses_.size()) << "3 switches, the console and 4 call panels";
    }
    void TearDown() override {
        if (FMainVesk) {
            TFrNetDev& f = Screen();
            if (FNetTime->Link().LinkRunning()) QTest::mouseClick(f.BitStopNet, Qt::LeftButton);
        }
        AppForms::DestroyAll();
        bus_.reset();
        Hooks() = savedHooks_;
        Globals() = savedGlobals_;
    }

    // The program starts with its settings saying which screen was shown last.
    void StartOn(int screen) {
        database_.programDir().writeFile(
            QStringLiteral("Ini/save.ini"),
            QStringLiteral("[Object]\nid=%1\nnf=%2\n").arg(idNet_).arg(screen).toUtf8());
        AppForms::CreateAll();
        ASSERT_TRUE(FMainVesk);
        ASSERT_TRUE(FDM && FDM->Connected());
        FMainVesk->show();
        QCoreApplication::processEvents();
    }

    void Menu(const QString& item) {
        QAction* action = FMainVesk->MenuItem(item);
        ASSERT_TRUE(action) << item.toStdString();
        action->trigger();
        QCoreApplication::processEvents();
    }

    // "БД": the folder chosen in the folder picker; one without a database
    // is refused with the open error.
    void ChooseDatabaseFolder(const QString& folder, bool refused = false) {
        dialogs_.ExpectPicker(QStringLiteral("Выберите папку с БД"), folder);
        if (refused)
            dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                                      QStringLiteral("Ошибка открытия БД ") + folder);
        FMainVesk->BitSelectClick();
        QCoreApplication::processEvents();
    }

    TFrNetDev& Screen() { return *qobject_cast<TFrNetDev*>(FMainVesk->FrNetDev1); }

    // "Сеть", then "Запустить сеть".
    void StartTheNetwork() {
        if (FMainVesk->VisibleScreen() != kNetworkScreen) Menu(QStringLiteral("MNetDevice"));
        ASSERT_EQ(kNetworkScreen, FMainVesk->VisibleScreen());
        FNetTime->SetPauseForTests([](int ms) {
            if (ms < 1000) FNetTime->Link().AlertableSleep(ms);
        });
        // Every device asked here is on the bus and answers: a longer wait
        // ends at its answer and keeps a late one on a loaded machine.
        FNetTime->SWaitNet->setValue(300);
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
        EXPECT_TRUE(f.Memo2->toPlainText().contains(QStringLiteral("ИТОГО найдено устройств 8 из 8:")))
            << f.Memo2->toPlainText().toStdString();
    }

    int Count(const QString& sql) {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        q.prepare(sql);
        q.addBindValue(idNet_);
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

    static inline QByteArray reference_;
    NavigationHooks savedHooks_ = Hooks();
    ArmGlobals savedGlobals_ = Globals();
    TestDatabase database_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<SimulatedInstallation> bus_;
    qint64 idNet_ = 0;
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
    QTemporaryDir otherDir;
    const QString other = otherDir.path() + QLatin1Char('/');
    QString error;
    ASSERT_TRUE(MainWindowLogic::MakeNewDatabase(other, &error)) << error.toStdString();
    const QString home = database_.dbDir();
    ChooseDatabaseFolder(other);
    ASSERT_EQ(other, FMainVesk->DatabaseFolder());
    ChooseDatabaseFolder(home);
    ASSERT_EQ(home, FMainVesk->DatabaseFolder());
    ExpectTheWholeObjectServed(QStringLiteral("folder_and_back"));
}

TEST_F(NetworkScreenRoads, AFolderChoiceThatFailsReopensTheDatabaseWhole) {
    StartOn(1);
    QTemporaryDir empty;
    ChooseDatabaseFolder(empty.path() + QLatin1Char('/'), true);
    dialogs_.VerifyDone();
    ASSERT_EQ(database_.dbDir(), FMainVesk->DatabaseFolder());
    ExpectTheWholeObjectServed(QStringLiteral("failed_choice"));
}
