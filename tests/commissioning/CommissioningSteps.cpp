// The steps of the commissioning road, each through the program's own
// screens and operations, each asserting what it leaves.
#include "CommissioningRoad.h"

#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/ConfigRepository.h"
#include "config/PanelKeySections.h"
#include "config/TBvParams.h"
#include "config/TPkParams.h"
#include "config/TPoParams.h"
#include "config/ui/EditorKeysTab.h"
#include "config/ui/TFrRedact.h"
#include "config/ui/TFrWrite.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/TFDM.h"
#include "app/TFMainVesk.h"
#include "keys/KeyRegister.h"
#include "keys/ui/TFrKeys.h"
#include "keys/ui/KeySavePanel.h"
#include "netlink/NetDevicesScreen.h"
#include "netlink/TBComPort.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/TFNetTime.h"
#include "netlink/ui/TFrNetDev.h"
#include "platform/Dataset.h"
#include "platform/Dialogs.h"
#include "platform/ui/DatasetGrid.h"
#include "site/EntranceScreen.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPod.h"
#include "site/ui/THouseGrid.h"
#include "site/ui/TRecordGrid.h"
#include "support/ScreenShots.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

constexpr int kApartmentsPerEntrance = 40;
constexpr int kKeyedApartments = 5;
constexpr int kKeysPerApartment = 2;
constexpr int kCommonKeys = 3;
constexpr int kGateKeys = 2;
constexpr int kEntrances = 3;
constexpr int kAllKeys =
    kEntrances * (kKeyedApartments * kKeysPerApartment + kCommonKeys) + kGateKeys;

QWidget* Focused() {
    return QApplication::focusWidget();
}

}  // namespace

// ---------------------------------------------------------------- 1. the object

// "Новый Объект", the panel typed in, "Сохранить дома" confirmed, the houses'
// prefixes and entrance counts typed into the houses grid, "Сохранить подъезды".
void CommissioningRoad::EnterTheObject() {
    Menu(QStringLiteral("MConfObject"));
    auto* f = qobject_cast<TFrMatr*>(Window().FrMatr1);
    ASSERT_TRUE(f);
    ASSERT_EQ(1, Window().VisibleScreen());
    QTest::mouseClick(f->BNew, Qt::LeftButton);
    ASSERT_TRUE(f->PanelEdit->isVisible());
    f->P1_ENew->setFocus();
    Type(f->P1_ENew, QStringLiteral("Дом на Садовой"));
    QTest::keyClick(f->P1_ENew, Qt::Key_Return);
    ASSERT_EQ(f->P1_EAdr, Focused());
    Type(f->P1_EAdr, QStringLiteral("ул. Садовая, 12"));
    EXPECT_TRUE(f->CB_po->isChecked());  // a security-post console by default
    f->P1_EDom->setValue(2);
    f->P1_EKal->setValue(1);
    dialogs_.Expect(ObjectScreenTexts::kConfirmNewCaption, ObjectScreenTexts::kConfirmNew,
                    DlgAnswer::Yes);
    QTest::mouseClick(f->BitSave, Qt::LeftButton);

    ASSERT_TRUE(f->CGridD->isVisible());
    ASSERT_EQ(2, f->CGridD->RowCount());
    QTest::keyClicks(f->CGridD->PrefixEdit(0), QStringLiteral("1"));
    QTest::keyClick(f->CGridD->PrefixEdit(0), Qt::Key_Return);
    f->CGridD->EntrancesEdit(0)->setValue(2);
    QTest::keyClicks(f->CGridD->PrefixEdit(1), QStringLiteral("2"));
    f->CGridD->EntrancesEdit(1)->setValue(1);
    QTest::mouseClick(f->BitSavePod, Qt::LeftButton);

    EXPECT_FALSE(f->PanelEdit->isVisible());
    idNet_ = Scalar(QStringLiteral("SELECT id_net FROM k_net")).toLongLong();
    ASSERT_GT(idNet_, 0);
    EXPECT_EQ(1, Count(QStringLiteral("SELECT COUNT(*) FROM k_net")));
    EXPECT_EQ(QStringLiteral("Дом на Садовой|ул. Садовая, 12|1|1"),
              Scalar(QStringLiteral("SELECT ident || '|' || adres || '|' || l_pok || '|' || v_kal "
                                    "FROM k_net"))
                  .toString());
    EXPECT_EQ(QStringLiteral("1:2,2:1"),
              Scalar(QStringLiteral("SELECT group_concat(kod_d || ':' || v_pod) FROM "
                                    "(SELECT kod_d, v_pod FROM k_dom ORDER BY kod_d)"))
                  .toString());
    EXPECT_EQ(kEntrances, Count(QStringLiteral("SELECT COUNT(*) FROM k_pod")));
}

// ---------------------------------------------------------------- 2. matrix, apartments

// The matrix screen's "Сохранить" and "Далее >>"; on the entrance screen the
// last apartment of each entrance, the recount, and "Сохранить квартиры для КМ".
void CommissioningRoad::SaveMatrixAndGenerateApartments() {
    Menu(QStringLiteral("MConfDom"));
    ASSERT_EQ(2, Window().VisibleScreen());
    auto* matrix = qobject_cast<TFrDom*>(Window().FrDom1);
    ASSERT_TRUE(matrix);
    QTest::mouseClick(matrix->BtnSave, Qt::LeftButton);
    EXPECT_EQ(QStringLiteral("сохранено"),
              Scalar(QStringLiteral("SELECT st_net FROM k_net")).toString());
    // Three switches; the gate and three door panels, the gate on every switch.
    EXPECT_EQ(3, Count(QStringLiteral("SELECT COUNT(*) FROM m_pk")));
    EXPECT_EQ(4, Count(QStringLiteral("SELECT COUNT(DISTINCT n_net) FROM m_bv")));
    EXPECT_EQ(3, Count(QStringLiteral("SELECT COUNT(*) FROM m_bv WHERE bv_type = 1")));

    QTest::mouseClick(matrix->BitNext, Qt::LeftButton);
    ASSERT_EQ(3, Window().VisibleScreen());
    auto* f = qobject_cast<TFrPod*>(Window().FrPod1);
    ASSERT_TRUE(f);
    for (int house = 0; house < 2; ++house) {
        if (house > 0) {
            // Down past the last entrance goes on to the next house.
            f->CGridP->FocusField(f->CGridP->RowCount() - 1, false);
            QTest::keyClick(Focused(), Qt::Key_Down);
        }
        for (int row = 0; row < f->CGridP->RowCount(); ++row) {
            QLineEdit* last = f->CGridP->Editor(row, QStringLiteral("npkvr"));
            ASSERT_TRUE(last);
            last->setFocus();
            last->selectAll();
            Type(last, QString::number((row + 1) * kApartmentsPerEntrance));
            // Enter in the last entrance would go on to the next house.
            if (row + 1 < f->CGridP->RowCount()) QTest::keyClick(last, Qt::Key_Return);
        }
        dialogs_.Expect(EntranceTexts::kRecountCaption, EntranceTexts::kRecountQuestion,
                        DlgAnswer::Yes);
        QTest::mouseClick(f->But1kv, Qt::LeftButton);
    }
    f->E_Kk->setValue(4);
    QTest::mouseClick(f->BtnSave, Qt::LeftButton);

    // 120 apartments, each entrance ending with the console's handset.
    EXPECT_EQ(123, Count(QStringLiteral("SELECT COUNT(*) FROM k_kvr")));
    EXPECT_EQ(120, Count(QStringLiteral("SELECT COUNT(*) FROM k_kvr WHERE p_kvr = n_kvr")));
    EXPECT_EQ(QStringLiteral("1-40,41-80,1-40"),
              Scalar(QStringLiteral("SELECT group_concat(r) FROM (SELECT n1kvr || '-' || npkvr AS "
                                    "r FROM k_pod p JOIN k_dom d ON d.id_dom = p.id_dom "
                                    "ORDER BY d.kod_d, p.n_pod)"))
                  .toString());
    EXPECT_EQ(QStringLiteral("сохранено"),
              Scalar(QStringLiteral("SELECT st_net FROM k_net")).toString());
}

// ---------------------------------------------------------------- 3. device records

void CommissioningRoad::MakeDeviceRecords() {
    dialogs_.Expect(ScreenTexts::kQuestion, ScreenTexts::kCreateSwitches, DlgAnswer::Yes);
    Menu(QStringLiteral("MPk"));
    EXPECT_EQ(4, Window().VisibleScreen());
    EXPECT_EQ(3, Count(QStringLiteral("SELECT COUNT(*) FROM k_pk")));
    EXPECT_EQ(4, Count(QStringLiteral("SELECT COUNT(*) FROM k_bv")));
    EXPECT_EQ(1, Count(QStringLiteral("SELECT COUNT(*) FROM k_po")));
    EXPECT_EQ(QStringLiteral("1,2,3"),
              Scalar(QStringLiteral("SELECT group_concat(n_net) FROM (SELECT n_net FROM k_pk "
                                    "ORDER BY n_net)"))
                  .toString());
    EXPECT_EQ(QStringLiteral("65,66,67,68"),
              Scalar(QStringLiteral("SELECT group_concat(n_net) FROM (SELECT n_net FROM k_bv "
                                    "ORDER BY n_net)"))
                  .toString());
    EXPECT_EQ(QStringLiteral("закрыто"),
              Scalar(QStringLiteral("SELECT st_net FROM k_net")).toString());
}

// ---------------------------------------------------------------- 4. keys

TFrKeys* CommissioningRoad::OpenKeysScreen() {
    Menu(QStringLiteral("MKey"));
    EXPECT_EQ(9, Window().VisibleScreen());
    return qobject_cast<TFrKeys*>(Window().FrKeys1);
}

QList<qint64> CommissioningRoad::Entrances() {
    QList<qint64> entrances;
    QSqlQuery q(sql_);
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT p.id_pod FROM k_pod p JOIN k_dom d ON d.id_dom = "
                                      "p.id_dom ORDER BY d.kod_d, p.n_pod")));
    while (q.next()) entrances << q.value(0).toLongLong();
    return entrances;
}

// The keys screen's apartment list on the apartment at position pNom.
bool CommissioningRoad::GoToApartment(TFrKeys* keys, qint64 idPod, int pNom) {
    QTest::mouseClick(keys->RB_KvrKey, Qt::LeftButton);
    const qint64 idKvr =
        Scalar(QStringLiteral("SELECT id_kvr FROM k_kvr WHERE id_pod = ? AND p_nom = ?"),
               {idPod, pNom})
            .toLongLong();
    return FDM->QForKey->Locate(QStringLiteral("id_kvr"), idKvr);
}

// The next key number typed into the number field and confirmed.
void CommissioningRoad::ConfirmNextKey(TFrKeys* keys) {
    keys->E_sn->setText(KeyNumber(++keysRegistered_));
    QTest::mouseClick(keys->BitAdd, Qt::LeftButton);
}

// On the keys screen, through its number field and confirm button: apartment
// keys, the common keys of each entrance, the gate's keys.
void CommissioningRoad::RegisterKeys() {
    TFrKeys* f = OpenKeysScreen();
    ASSERT_TRUE(f);
    const QList<qint64> entrances = Entrances();
    ASSERT_EQ(kEntrances, entrances.size());
    for (qint64 idPod : entrances)
        for (int a = 1; a <= kKeyedApartments; ++a) {
            ASSERT_TRUE(GoToApartment(f, idPod, a));
            for (int k = 0; k < kKeysPerApartment; ++k) ConfirmNextKey(f);
        }
    // An entrance has no common-key slots until the engineer gives it some.
    QTest::mouseClick(f->RB_ObsKey, Qt::LeftButton);
    for (qint64 idPod : entrances) {
        ASSERT_TRUE(FDM->QPodKey->Locate(QStringLiteral("id_pod"), idPod));
        f->KeyObs->setValue(kCommonKeys);
        emit f->KeyObs->editingFinished();
        for (int k = 0; k < kCommonKeys; ++k) ConfirmNextKey(f);
        EXPECT_EQ(kCommonKeys, Count(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE id_kvr = -1 "
                                                     "AND id_pod = %1")
                                         .arg(idPod)));
    }
    QTest::mouseClick(f->RB_KalKey, Qt::LeftButton);
    ASSERT_TRUE(FDM->QKalKey->Locate(QStringLiteral("n_net"), 65));
    for (int k = 0; k < kGateKeys; ++k) ConfirmNextKey(f);

    EXPECT_EQ(kAllKeys, Count(QStringLiteral("SELECT COUNT(*) FROM k_key")));
    EXPECT_EQ(kAllKeys, Count(QStringLiteral("SELECT COUNT(DISTINCT bv_key) FROM k_key")));
    EXPECT_EQ(kEntrances * kKeyedApartments * kKeysPerApartment,
              Count(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE id_kvr > 0")));
    EXPECT_EQ(kEntrances * kCommonKeys,
              Count(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE id_kvr = -1")));
    EXPECT_EQ(kGateKeys, Count(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE id_kvr = -2")));
    // Leaving the screen marks the panels whose keys changed; no file yet, so
    // their state stays "no file".
    Menu(QStringLiteral("MConfObject"));
    EXPECT_EQ(0, Count(QStringLiteral("SELECT COUNT(*) FROM k_bv WHERE kf_pr <> 0")));
}

// ---------------------------------------------------------------- 5. files

namespace {

// The sections of a file read as the read screen reads it, section 0 first.
QList<ConfigSection> ReadSections(const QByteArray& bytes, const QString& name) {
    ScreenReadOutput out;
    QStringList detail, steps;
    const ConfigReadStatus status =
        ReadConfigBytesForScreen(bytes, name, out, &detail, &steps, 63);
    EXPECT_EQ(ConfigReadStatus::Ok, status) << name.toStdString();
    QString image = out.image;
    return TakeAllSections(image);
}

// A parameter record decoded from a file holds the record built from the
// database; in front of it at most the zero bits that filled the section up
// to whole bytes. A field the database left blank is written as zeros.
void ExpectSameRecord(QString fromDb, const QString& fromFile, const QString& name) {
    fromDb.replace(QLatin1Char(' '), QLatin1Char('0'));
    const QString filling = fromFile.left(fromFile.size() - fromDb.size());
    EXPECT_EQ(fromDb.toStdString(), fromFile.right(fromDb.size()).toStdString())
        << name.toStdString();
    EXPECT_LT(filling.size(), 8) << name.toStdString();
    EXPECT_EQ(QString(filling.size(), QLatin1Char('0')), filling) << name.toStdString();
}

QStringList KeysOfList(const QList<Keys5Row>& rows) {
    QStringList keys;
    for (const Keys5Row& row : rows)
        if (!row.key.isEmpty() && row.key != QStringLiteral("FFFFFF")) keys << row.key;
    return keys;
}

QStringList RealKeys(const QStringList& cells) {
    QStringList keys;
    for (const QString& key : cells)
        if (!key.isEmpty() && key != QStringLiteral("FFFFFF")) keys << key;
    return keys;
}

}  // namespace

// The panel codes of the keys a call panel serves: its own gate keys, and
// every key of the entrances on the switches it is wired to; sorted.
QStringList CommissioningRoad::ServedKeys(int address) {
    QStringList served;
    QSqlQuery q(sql_);
    q.prepare(QStringLiteral(
        "SELECT k.bv_key FROM k_key k WHERE (k.id_kvr = -2 AND k.id_pod = "
        "(SELECT id_bv FROM k_bv WHERE n_net = :a)) OR (k.id_kvr <> -2 AND k.id_pod IN "
        "(SELECT p.id_pod FROM m_bv b JOIN m_pk m ON m.n_pk = b.n_pk AND m.id_net = "
        "b.id_net JOIN k_pk s ON s.id_pk = m.id_pk JOIN k_pod p ON p.id_pod = s.id_pod "
        "WHERE b.n_net = :a AND b.id_net = :id))"));
    q.bindValue(QStringLiteral(":a"), address);
    q.bindValue(QStringLiteral(":id"), idNet_);
    if (!q.exec()) ADD_FAILURE() << q.lastError().text().toStdString();
    while (q.next()) served << q.value(0).toString();
    served.sort();
    return served;
}

void CommissioningRoad::BuildFiles() {
    Menu(QStringLiteral("MWriteConf"));
    ASSERT_EQ(10, Window().VisibleScreen());
    auto* f = qobject_cast<TFrWrite*>(Window().FrWrite1);
    ASSERT_TRUE(f);
    ASSERT_EQ(8, f->ListCdev->count());
    f->N_allClick();
    f->BitCreateClick();

    const int sep = Globals().SepDevice;
    const QMap<int, int> states = FileStates();
    ASSERT_EQ(8, states.size());
    for (auto it = states.begin(); it != states.end(); ++it)
        EXPECT_EQ(1, it.value()) << "kf_pr of device " << it.key();
    QStringList expected;
    for (int address : states.keys()) expected << DeviceFileName(address, sep);
    expected.sort();
    EXPECT_EQ(expected, QDir(WriteFolder()).entryList(QDir::Files, QDir::Name));

    ConfigRepository repo(sql_);
    for (int address : states.keys()) {
        const QString name = DeviceFileName(address, sep);
        const QList<ConfigSection> sections = ReadSections(FileBytes(WriteFolder() + name), name);
        ASSERT_GE(sections.size(), 2) << name.toStdString();
        const ConfigIdent ident = DecodeIdentSection(sections[1].text);
        EXPECT_EQ(address, ident.nNet) << name.toStdString();
        EXPECT_EQ(idNet_, ident.idNom) << name.toStdString();
        if (address < 64 && address != sep) {
            std::optional<SwitchFileInput> in;
            ASSERT_TRUE(repo.ReadSwitchFileInput(idNet_, address, in) && in);
            TPkParams fromDb, fromFile;
            InitPkParams(fromDb);
            InitPkParams(fromFile);
            PkParamsFromDB(fromDb, in->paramSet.value_or(PkParamSetRow{}), in->device);
            PkParamsFromBits(sections[0].text, fromFile);
            ExpectSameRecord(PkParamsToBits(fromDb), PkParamsToBits(fromFile), name);
        } else if (address == sep) {
            std::optional<ConsoleFileInput> in;
            ASSERT_TRUE(repo.ReadConsoleFileInput(idNet_, in) && in && in->console);
            TPoParams fromDb, fromFile;
            InitPoParams(fromDb);
            InitPoParams(fromFile);
            PoParamsFromDB(fromDb, *in->console, in->visitorMelody, in->subscriberMelody);
            PoParamsFromBits(sections[0].text, fromFile);
            ExpectSameRecord(PoParamsToBits(fromDb), PoParamsToBits(fromFile), name);
        } else {
            ASSERT_GE(sections.size(), 8) << name.toStdString();
            std::optional<PanelFileInput> in;
            ASSERT_TRUE(repo.ReadPanelFileInput(idNet_, address, in) && in);
            TBvParams fromDb, fromFile;
            InitBvParams(fromDb);
            InitBvParams(fromFile);
            ASSERT_TRUE(BvParamsFromDB(fromDb, in->device, in->entrances));
            BvParamsFromBits(sections[0].text, fromFile);
            ExpectSameRecord(BvParamsToBits(fromDb), BvParamsToBits(fromFile), name);
            // Every key the panel serves is in its key sections, once.
            QStringList inFile = KeysOfList(DecodeBvKeys5(sections[5].text).rows) +
                                 RealKeys(DecodeBvKeys7(sections[7].text).keys);
            inFile.sort();
            const QStringList served = ServedKeys(address);
            EXPECT_FALSE(served.isEmpty()) << name.toStdString();
            EXPECT_EQ(served, inFile) << name.toStdString();
        }
    }
}

// ---------------------------------------------------------------- 6. the bus

namespace {

// The addresses a device list's lines name, in list order.
QList<int> AddressesOf(const QListWidget* list, int sep) {
    QList<int> addresses;
    for (int row = 0; row < list->count(); ++row)
        addresses << DesignationToAddress(list->item(row)->text().left(5), sep);
    return addresses;
}

}  // namespace

TFrNetDev& CommissioningRoad::NetScreen() {
    return *qobject_cast<TFrNetDev*>(Window().FrNetDev1);
}

void CommissioningRoad::StartTheBus() {
    const int sep = Globals().SepDevice;
    devices_ = bus_->AddDevicesOf(sql_, idNet_, sep);
    ASSERT_EQ(8, devices_.size());
    if (paced_) {
        // The link's one-second settling pauses are skipped; the waits
        // between read attempts are real, as the wire time is measured.
        FNetTime->SetPauseForTests([](int ms) {
            if (ms < 1000) FNetTime->Link().AlertableSleep(ms);
        });
    } else {
        FNetTime->SetPauseForTests([this](int ms) { bus_->clock.Pause(ms); });
        FNetTime->SetClockForTests([this] { return bus_->clock.NowMs(); });
    }
    Menu(QStringLiteral("MNetDevice"));
    ASSERT_EQ(12, Window().VisibleScreen());
    TFrNetDev& f = NetScreen();
    QTest::mouseClick(f.BitStartNet, Qt::LeftButton);
    ASSERT_TRUE(FNetTime->Link().LinkRunning());
    EXPECT_EQ(QStringLiteral("Порт:=") + bus_->Port() + QStringLiteral(" Vid:=0403 Pid:=6001"),
              f.ListCdev->item(0)->text());

    FindDevices();
    QList<int> found = AddressesOf(f.ListCdev, sep);
    QList<int> expected = devices_;
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, found);
}

// "Опросить устройства": the screen's full poll.
void CommissioningRoad::FindDevices() {
    dialogs_.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Опросить устройства?"),
                    DlgAnswer::Yes);
    QTest::mouseClick(NetScreen().BitFindDev, Qt::LeftButton);
}

// ---------------------------------------------------------------- 7, 8. writing, reading

// The screen's command on the found devices at these addresses, through its
// command list; expectDuringRun scripts the messages the run shows.
void CommissioningRoad::RunOnDevices(int command, const QList<int>& addresses,
                                     const std::function<void()>& expectDuringRun) {
    TFrNetDev& f = NetScreen();
    const QList<int> found = AddressesOf(f.ListCdev, Globals().SepDevice);
    f.ListCmRead->setCurrentRow(command);
    f.ListCdev->clearSelection();
    for (int row = 0; row < found.size(); ++row)
        f.ListCdev->item(row)->setSelected(addresses.contains(found[row]));
    dialogs_.Expect(QStringLiteral("Разрешение на операцию"),
                    QStringLiteral("Произвести операцию ") + NetCommandCaptions().at(command) +
                        QStringLiteral("?"),
                    DlgAnswer::Yes);
    if (expectDuringRun) expectDuringRun();
    QTest::mouseClick(f.BitAct, Qt::LeftButton);
}

void CommissioningRoad::WriteFiles(const QList<int>& addresses, bool lineLost) {
    const QString port = bus_->Port();
    RunOnDevices(3, addresses, [&] {
        if (lineLost) dialogs_.Expect(Dialogs::ApplicationTitle(), TBComPort::DeviceLostText(port));
    });
}

// The device's configuration memory holds its file of the write folder.
void CommissioningRoad::ExpectDeviceHoldsItsFile(int address) {
    const QByteArray sent =
        FileBytes(WriteFolder() + DeviceFileName(address, Globals().SepDevice)).mid(29);
    ASSERT_FALSE(sent.isEmpty()) << address;
    EXPECT_EQ(sent, bus_->DeviceAt(address).memory.left(sent.size())) << address;
}

void CommissioningRoad::WriteDevices() {
    WriteFiles(devices_);
    for (int address : devices_) ExpectDeviceHoldsItsFile(address);
    const QMap<int, int> states = FileStates();
    for (auto it = states.begin(); it != states.end(); ++it)
        EXPECT_EQ(3, it.value()) << "kf_pr of device " << it.key();
}

void CommissioningRoad::ReadDevicesBack() {
    RunOnDevices(2, devices_);
    const int sep = Globals().SepDevice;
    for (int address : devices_) {
        const QString name = DeviceFileName(address, sep);
        const QByteArray written = FileBytes(WriteFolder() + name).mid(29);
        const QByteArray read = FileBytes(ReadFolder() + name);
        ASSERT_FALSE(read.isEmpty()) << name.toStdString();
        EXPECT_EQ(written, read.mid(29, written.size())) << name.toStdString();
        EXPECT_EQ(address, quint8(read[0])) << name.toStdString();
    }
    EXPECT_FALSE(SaveScreen(Window(), QStringLiteral("commissioning_FrNetDev1")).isEmpty());
}

// ---------------------------------------------------------------- 9. keys back

// The file of the first entrance's door panel as it was read from the
// device, opened in the editor from the folder of files read from devices;
// its keys taken into the register again, where every one of them is already.
void CommissioningRoad::ImportKeysBack() {
    const int panel = 66;
    const QString name = DeviceFileName(panel, Globals().SepDevice);
    Menu(QStringLiteral("MRedactConf"));
    ASSERT_EQ(13, Window().VisibleScreen());
    auto* f = qobject_cast<TFrRedact*>(Window().FrRedact1);
    ASSERT_TRUE(f);
    QTest::mouseClick(f->RBnet, Qt::LeftButton);
    dialogs_.ExpectPicker(QStringLiteral("Открыть считанный из сети КФ"), ReadFolder() + name);
    QTest::mouseClick(f->ButBit, Qt::LeftButton);
    ASSERT_EQ(ReadFolder() + name, f->OpenFile().fileName);
    EXPECT_EQ(panel, f->V_n_net->value());
    Keys5List keys5;
    Keys6List keys6;
    Keys7List keys7;
    f->TabCBV2->Read(keys5, keys6, keys7);
    QStringList shown = KeysOfList(keys5.rows) + RealKeys(keys7.keys);
    shown.sort();
    const QStringList served = ServedKeys(panel);
    EXPECT_EQ(served, shown);

    auto* import = f->findChild<KeySavePanel*>();
    ASSERT_TRUE(import);
    const int keysBefore = Count(QStringLiteral("SELECT COUNT(*) FROM k_key"));
    const QMap<int, int> statesBefore = FileStates();
    QTest::mouseClick(import->BitFind, Qt::LeftButton);
    ASSERT_TRUE(import->BitKeys->isEnabled()) << import->L_Found->text().toStdString();
    import->CB_Kv->setChecked(true);
    import->CB_Ob->setChecked(true);
    QTest::mouseClick(import->BitKeys, Qt::LeftButton);
    EXPECT_EQ(QString(), import->L_Found->text());  // nothing entered anew
    EXPECT_EQ(QStringLiteral("Подтверждено ключей: %1.").arg(served.size()), import->L_Keys->text());
    EXPECT_EQ(keysBefore, Count(QStringLiteral("SELECT COUNT(*) FROM k_key")));
    EXPECT_EQ(int(served.size()),
              Count(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE status LIKE 'АРМ+CNF %'")));
    EXPECT_EQ(statesBefore, FileStates());  // a confirmation changes no file
}
// ---------------------------------------------------------------- 10. a change

void CommissioningRoad::RebuildFiles(const QList<int>& addresses) {
    Menu(QStringLiteral("MWriteConf"));
    ASSERT_EQ(10, Window().VisibleScreen());
    auto* f = qobject_cast<TFrWrite*>(Window().FrWrite1);
    ASSERT_TRUE(f);
    f->ListCdev->clearSelection();
    for (int row = 0; row < f->ListCdev->count(); ++row) {
        const QString text = f->ListCdev->item(row)->text();
        const int address = DesignationToAddress(QStringLiteral("С") + text.mid(1, 4));
        f->ListCdev->item(row)->setSelected(addresses.contains(address));
    }
    ASSERT_EQ(addresses.size(), f->ListCdev->selectedItems().size());
    f->BitCreateClick();
    Menu(QStringLiteral("MNetDevice"));
    ASSERT_EQ(12, Window().VisibleScreen());
}

namespace {

QStringList PanelFileKeys(const QByteArray& file, const QString& name) {
    const QList<ConfigSection> sections = ReadSections(file, name);
    if (sections.size() < 8) return {};
    return KeysOfList(DecodeBvKeys5(sections[5].text).rows) +
           RealKeys(DecodeBvKeys7(sections[7].text).keys);
}

}  // namespace

// The first key of the first apartment deleted on the keys screen; leaving the
// screen marks the entrance's door panel and the gate, and only those get new
// files and are written again.
void CommissioningRoad::ChangeOneKey() {
    TFrKeys* keys = OpenKeysScreen();
    ASSERT_TRUE(keys);
    const qint64 idPod = Entrances().value(0);
    ASSERT_TRUE(GoToApartment(keys, idPod, 1));
    ASSERT_TRUE(FDM->QKeys->Locate(QStringLiteral("un_key"), KeyNumber(1)));
    const QString gone = KeyNumber(1).right(6);
    dialogs_.Expect(QStringLiteral("Удаление"), QStringLiteral("Удалить ключ?"), DlgAnswer::Yes);
    keys->DBGrid2->setFocus();
    QTest::keyClick(keys->DBGrid2, Qt::Key_Delete);
    EXPECT_EQ(0, Count(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE bv_key = ?"), {gone}));

    // The panels that serve the apartment: the gate, wired to every switch,
    // and the door panel of the apartment's entrance.
    const QList<int> serving = {
        65, Scalar(QStringLiteral("SELECT b.n_net FROM m_bv b JOIN m_pk m ON m.n_pk = b.n_pk AND "
                                  "m.id_net = b.id_net JOIN k_pk s ON s.id_pk = m.id_pk WHERE "
                                  "s.id_pod = ? AND b.bv_type = 0"),
                   {idPod})
                .toInt()};
    ASSERT_GT(serving[1], 65);
    Menu(QStringLiteral("MNetDevice"));  // leaving the keys screen marks them
    QMap<int, int> states = FileStates();
    for (auto it = states.begin(); it != states.end(); ++it)
        EXPECT_EQ(serving.contains(it.key()) ? 4 : 3, it.value()) << "kf_pr of " << it.key();
    if (HasFailure()) return;

    RebuildFiles(serving);
    const int frames = int(bus_->bus.Received().size());
    WriteFiles(serving);
    states = FileStates();
    for (auto it = states.begin(); it != states.end(); ++it)
        EXPECT_EQ(3, it.value()) << "kf_pr of " << it.key();
    // Only the two panels were spoken to.
    for (const QByteArray& frame : bus_->bus.Received().mid(frames))
        EXPECT_TRUE(serving.contains(quint8(frame[1])) || quint8(frame[1]) == 127)
            << "a frame to " << quint8(frame[1]);
    for (int address : serving) {
        ExpectDeviceHoldsItsFile(address);
        const QString name = DeviceFileName(address, Globals().SepDevice);
        const QStringList inDevice = PanelFileKeys(
            FileBytes(WriteFolder() + name).left(29) + bus_->DeviceAt(address).memory, name);
        EXPECT_FALSE(inDevice.isEmpty()) << name.toStdString();
        EXPECT_FALSE(inDevice.contains(gone)) << name.toStdString();
    }
}

// ---------------------------------------------------------------- 11. a fault

// The line goes dead in the middle of a panel's file: one message, the panel
// not marked written, the other devices as they were. The link started again
// on the adapter plugged back in writes the panel through.
void CommissioningRoad::WriteThroughAFault() {
    // A new key in the sixth apartment of the first entrance; its door
    // panel gets a new file.
    const int panel = 66;
    TFrKeys* keys = OpenKeysScreen();
    ASSERT_TRUE(keys);
    ASSERT_TRUE(GoToApartment(keys, Entrances().value(0), kKeyedApartments + 1));
    ConfirmNextKey(keys);
    RebuildFiles({panel});
    ASSERT_EQ(5, FileStates().value(panel));
    QMap<int, QByteArray> before;
    for (const SimDevice& device : bus_->Devices()) before.insert(device.address, device.memory);

    // The device end of the line closes at the first packet that changes
    // the panel's memory (the packets it holds already are not sent).
    const qsizetype shown = dialogs_.Shown().size();
    bus_->bus.InjectFault({BusFault::HangUp, panel, 0, 0, 1, 0x04, 0});
    WriteFiles({panel}, true);
    dialogs_.VerifyDone();
    // One message besides the screen's question before the command.
    QStringList told = dialogs_.Shown().mid(shown);
    told.removeIf([](const QString& m) { return m.startsWith(QStringLiteral("Разрешение")); });
    EXPECT_EQ(QStringList{Dialogs::ApplicationTitle() + '|' +
                          TBComPort::DeviceLostText(bus_->Port())},
              told);
    EXPECT_NE(3, FileStates().value(panel));
    for (const SimDevice& device : bus_->Devices()) {
        if (device.address == panel) continue;
        EXPECT_EQ(before.value(device.address), device.memory) << device.address;
    }
    if (HasFailure()) return;

    // The adapter plugged in again: a new line with the same devices on it.
    TFrNetDev& f = NetScreen();
    if (FNetTime->Link().LinkRunning()) QTest::mouseClick(f.BitStopNet, Qt::LeftButton);
    const QList<SimDevice> devices = bus_->Devices();
    bus_.reset();  // the old line's port list goes before the new one comes
    bus_ = std::make_unique<SimulatedInstallation>();
    bus_->AddDevices(devices);
    FNetTime->Link().TimerRestartTick();  // the restart pause is over
    ASSERT_TRUE(f.BitStartNet->isEnabled());
    QTest::mouseClick(f.BitStartNet, Qt::LeftButton);
    ASSERT_TRUE(FNetTime->Link().LinkRunning());
    FindDevices();
    WriteFiles({panel});
    EXPECT_EQ(3, FileStates().value(panel));
    ExpectDeviceHoldsItsFile(panel);
}

// ---------------------------------------------------------------- the road

bool CommissioningRoad::RunSteps(int first, int last) {
    const QList<std::pair<const char*, std::function<void()>>> steps = {
        {"1. the object", [this] { EnterTheObject(); }},
        {"2. matrix and apartments", [this] { SaveMatrixAndGenerateApartments(); }},
        {"3. device records", [this] { MakeDeviceRecords(); }},
        {"4. keys", [this] { RegisterKeys(); }},
        {"5. files", [this] { BuildFiles(); }},
        {"6. the bus", [this] { StartTheBus(); }},
        {"7. writing", [this] { WriteDevices(); }},
        {"8. reading back", [this] { ReadDevicesBack(); }},
        {"9. keys back", [this] { ImportKeysBack(); }},
        {"10. a change", [this] { ChangeOneKey(); }},
        {"11. a fault", [this] { WriteThroughAFault(); }},
    };
    for (int n = first; n <= last && n <= steps.size(); ++n) {
        const auto& [name, step] = steps[n - 1];
        SCOPED_TRACE(name);
        step();
        dialogs_.VerifyDone();
        if (Stopped()) return false;
    }
    return true;
}
