// Commissioning the reference object: from an empty program folder to
// programmed devices on the simulated device network, the way an engineer
// does it, through the program's own screens and operations.
#include "CommissioningRoad.h"

#include "config/ConfigFileReader.h"
#include "config/ConfigHeader.h"
#include "config/ConfigImage.h"
#include "config/ConfigRepository.h"
#include "config/PanelKeySections.h"
#include "config/TBvParams.h"
#include "config/TPkParams.h"
#include "config/TPoParams.h"
#include "config/ui/TFrWrite.h"
#include "foundation/ScreenNavigation.h"
#include "foundation/TFDM.h"
#include "foundation/ui/TFMainVesk.h"
#include "keys/KeyRegister.h"
#include "keys/ui/TFrKeys.h"
#include "platform/Dataset.h"
#include "site/EntranceScreen.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPod.h"
#include "site/ui/THouseGrid.h"
#include "site/ui/TRecordGrid.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

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
    if (Count(QStringLiteral("SELECT COUNT(*) FROM k_pk")) == 0)
        GTEST_SKIP() << "the switch menu command does not make device records from the matrix "
                        "yet (device record synchronisation)";
    EXPECT_EQ(4, Window().VisibleScreen());
    EXPECT_EQ(3, Count(QStringLiteral("SELECT COUNT(*) FROM k_pk")));
    EXPECT_EQ(4, Count(QStringLiteral("SELECT COUNT(*) FROM k_bv")));
    if (Count(QStringLiteral("SELECT COUNT(*) FROM k_po")) == 0)
        missing_ << QStringLiteral("the console record is not loaded before the switch records "
                                   "are made (console screen)");
    else
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

// On the keys screen, through its number field and confirm button: apartment
// keys, the common keys of each entrance, the gate's keys.
void CommissioningRoad::RegisterKeys() {
    Menu(QStringLiteral("MKey"));
    ASSERT_EQ(9, Window().VisibleScreen());
    auto* f = qobject_cast<TFrKeys*>(Window().FrKeys1);
    ASSERT_TRUE(f);
    auto confirm = [&] {
        f->E_sn->setText(KeyNumber(++keysRegistered_));
        QTest::mouseClick(f->BitAdd, Qt::LeftButton);
    };
    QList<qint64> entrances;
    QSqlQuery q(sql_);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT p.id_pod FROM k_pod p JOIN k_dom d ON d.id_dom = "
                                      "p.id_dom ORDER BY d.kod_d, p.n_pod")));
    while (q.next()) entrances << q.value(0).toLongLong();
    ASSERT_EQ(kEntrances, entrances.size());

    QTest::mouseClick(f->RB_KvrKey, Qt::LeftButton);
    for (qint64 idPod : entrances)
        for (int a = 1; a <= kKeyedApartments; ++a) {
            const qint64 idKvr =
                Scalar(QStringLiteral("SELECT id_kvr FROM k_kvr WHERE id_pod = ? AND p_nom = ?"),
                       {idPod, a})
                    .toLongLong();
            ASSERT_TRUE(FDM->QForKey->Locate(QStringLiteral("id_kvr"), idKvr));
            for (int k = 0; k < kKeysPerApartment; ++k) confirm();
        }
    QTest::mouseClick(f->RB_ObsKey, Qt::LeftButton);
    for (qint64 idPod : entrances) {
        ASSERT_TRUE(FDM->QPodKey->Locate(QStringLiteral("id_pod"), idPod));
        for (int k = 0; k < kCommonKeys; ++k) confirm();
    }
    QTest::mouseClick(f->RB_KalKey, Qt::LeftButton);
    ASSERT_TRUE(FDM->QKalKey->Locate(QStringLiteral("n_net"), 65));
    for (int k = 0; k < kGateKeys; ++k) confirm();

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

void CommissioningRoad::BuildFiles() {
    Menu(QStringLiteral("MWriteConf"));
    ASSERT_EQ(10, Window().VisibleScreen());
    auto* f = qobject_cast<TFrWrite*>(Window().FrWrite1);
    ASSERT_TRUE(f);
    ASSERT_EQ(8, f->ListCdev->count());
    const int devices = 7 + Count(QStringLiteral("SELECT COUNT(*) FROM k_po"));
    f->N_allClick();
    f->BitCreateClick();

    const int sep = Globals().SepDevice;
    const QMap<int, int> states = FileStates();
    ASSERT_EQ(devices, states.size());
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
            EXPECT_EQ(PkParamsToBits(fromDb), PkParamsToBits(fromFile)) << name.toStdString();
        } else if (address == sep) {
            std::optional<ConsoleFileInput> in;
            ASSERT_TRUE(repo.ReadConsoleFileInput(idNet_, in) && in && in->console);
            TPoParams fromDb, fromFile;
            InitPoParams(fromDb);
            InitPoParams(fromFile);
            PoParamsFromDB(fromDb, *in->console, in->visitorMelody, in->subscriberMelody);
            PoParamsFromBits(sections[0].text, fromFile);
            EXPECT_EQ(PoParamsToBits(fromDb), PoParamsToBits(fromFile)) << name.toStdString();
        } else {
            ASSERT_GE(sections.size(), 8) << name.toStdString();
            // Every key the panel serves is in its key sections, once.
            QStringList inFile = KeysOfList(DecodeBvKeys5(sections[5].text).rows) +
                                 RealKeys(DecodeBvKeys7(sections[7].text).keys);
            inFile.sort();
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
            ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
            while (q.next()) served << q.value(0).toString();
            served.sort();
            EXPECT_FALSE(served.isEmpty()) << name.toStdString();
            EXPECT_EQ(served, inFile) << name.toStdString();
        }
    }
}

// ---------------------------------------------------------------- 6 - 11. the bus

void CommissioningRoad::StartTheBus() {
    GTEST_SKIP() << "not built yet";
}
void CommissioningRoad::WriteDevices() {
    GTEST_SKIP() << "not built yet";
}
void CommissioningRoad::ReadDevicesBack() {
    GTEST_SKIP() << "not built yet";
}
void CommissioningRoad::ImportKeysBack() {
    GTEST_SKIP() << "not built yet";
}
void CommissioningRoad::ChangeOneKey() {
    GTEST_SKIP() << "not built yet";
}
void CommissioningRoad::WriteThroughAFault() {
    GTEST_SKIP() << "not built yet";
}

// ---------------------------------------------------------------- the road

TEST_F(CommissioningRoad, TheReferenceObjectFromAnEmptyFolderToProgrammedDevices) {
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
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        dialogs_.VerifyDone();
        if (Stopped()) return;
    }
    if (!missing_.isEmpty()) GTEST_SKIP() << "not on main yet: " << missing_.join("; ").toStdString();
}
