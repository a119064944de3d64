// The key parts of the configuration-file editor on every road into the
// program (a first start on each saved screen, "БД" to another folder and
// back, a failed "БД"), with no table opened by the test: a Mirel dump of 40
// keys poured into the reference object's first entrance offers its 40
// indexes for apartments 1–40 and writes the 40 keys; the list of "Выбрать
// БВ" holds every call panel of the object.

#include "app/TFMainVesk.h"
#include "config/SectionBytes.h"  // the config tests' sections, byte by byte
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorSwitchTab.h"
#include "config/ui/TFrRedact.h"
#include "foundation/TFDM.h"
#include "keys/DumpFileBuilders.h"  // the key tests' dumps, byte by byte
#include "keys/ui/KeySavePanel.h"
#include "keys/ui/MirelDumpTab.h"
#include "keys/ui/TFKeyInKv.h"
#include "platform/ui/DatasetGrid.h"
#include "support/ProgramRoads.h"
#include "support/ReferenceDeviceFiles.h"
#include "support/ScreenShots.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace EditorRoadsTestUnit {
namespace {

constexpr int kEditor = 13;
constexpr int kLastScreen = 14;
constexpr int kDumpKeys = 40;
constexpr int kFirstDoorPanel = 64 + 2;  // the door panel of house 1, entrance 1

// Where the program starts and how it comes to the editor.
struct RoadToTheEditor {
    Road road = Road::FirstStart;
    int start = kEditor;  // the saved screen of a first start

    QString Name() const {
        return road == Road::FirstStart
                   ? RoadName(road) + QStringLiteral(" on screen %1").arg(start)
                   : RoadName(road);
    }
};

QList<RoadToTheEditor> EveryRoad() {
    QList<RoadToTheEditor> roads;
    for (int screen = 0; screen <= kLastScreen; ++screen)
        roads << RoadToTheEditor{Road::FirstStart, screen};
    roads << RoadToTheEditor{Road::AnotherFolderAndBack}
          << RoadToTheEditor{Road::FailedFolderChoice};
    return roads;
}

// A Мирель dump of a 100-apartment panel: one key for each of the indexes
// 1..40, none for index 0.
QByteArray FortyKeyDump() {
    QList<QList<QString>> records{{}};
    for (int index = 1; index <= kDumpKeys; ++index)
        records << QList<QString>{QStringLiteral("%1").arg(0xA10000 + index, 6, 16).toUpper()};
    return DumpBuild::Mirel(2, records);
}

// Switch 1's file with a call melody of more notes than a file holds.
QByteArray SwitchFileWithALongMelody(const QByteArray& database, qint64 idNet) {
    cfgtest::FileParts p = cfgtest::Split(SwitchDeviceFile(database, idNet, 1));
    if (p.sections.size() > 4) p.sections[4] = cfgtest::MelodySection(255, 2);
    return cfgtest::Join(p);
}

// What the pour conditions dialog offered.
struct PourOffer {
    bool shown = false;
    int fromIndex = 0, toIndex = 0, indexes = 0;
    int fromApartment = 0, toApartment = 0, apartments = 0;
    QString firstNumber, lastNumber;
};

class EditorRoads : public ProgramRoads {
  protected:
    static void SetUpTestSuite() {
        ProgramRoads::SetUpTestSuite();
        panelFile_ = PanelDeviceFile(ReferenceDatabase(), IdNet(), kFirstDoorPanel);
    }
    static void TearDownTestSuite() {
        panelFile_.clear();
        ProgramRoads::TearDownTestSuite();
    }

    void ReachTheEditor(const RoadToTheEditor& r) {
        TakeRoad(r.road, r.road == Road::FirstStart ? r.start : kEditor);
        if (!HasFatalFailure() && FMainVesk->VisibleScreen() != kEditor) ShowByMenu(kEditor);
        ASSERT_EQ(kEditor, FMainVesk->VisibleScreen());
    }

    // Each road in turn, from the reference database as built.
    // Every road, or with halves = 2 every other road from the first (half 0)
    // or the second (half 1): a long check runs as two tests.
    void OnEveryRoad(const std::function<void(const RoadToTheEditor&)>& check, int half = 0,
                     int halves = 1) {
        const QList<RoadToTheEditor> roads = EveryRoad();
        for (qsizetype i = half; i < roads.size(); i += halves) {
            const RoadToTheEditor& r = roads[i];
            SCOPED_TRACE(r.Name().toStdString());
            ReachTheEditor(r);
            if (!HasFatalFailure()) check(r);
            EndTheProgram();
            RestoreTheReferenceDatabase();
        }
    }

    TFrRedact& Editor() { return *qobject_cast<TFrRedact*>(FMainVesk->FrRedact1); }

    // Brings up the page that holds widget (a page may scroll its tab).
    void BringUp(QWidget* widget) {
        QTabWidget* pages = Editor().PageFile;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->widget(i) == widget || pages->widget(i)->isAncestorOf(widget))
                pages->setCurrentIndex(i);
        QCoreApplication::processEvents();
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = database_.programDir().file(name);
        database_.programDir().writeFile(name, bytes);
        return path;
    }

    // The numbers of the query's row, on the program's own connection.
    std::vector<int> Numbers(const QString& sql) {
        QSqlQuery q(FDM->ConnectionDB());
        q.prepare(sql);
        q.addBindValue(IdNet());
        std::vector<int> row;
        if (!q.exec() || !q.next()) {
            ADD_FAILURE() << sql.toStdString();
            return row;
        }
        for (int i = 0; i < q.record().count(); ++i) row.push_back(q.value(i).toInt());
        return row;
    }
    int KeysOfTheObject() {
        const std::vector<int> n =
            Numbers(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE id_net=?"));
        return n.empty() ? -1 : n[0];
    }

    // The dump read, the first entrance chosen, "Залить ключи": what the
    // dialog offers, taken on "Записать".
    PourOffer PourIntoTheFirstEntrance(const QString& dump, const QString& picture) {
        MirelDumpTab* tab = Editor().TabCP;
        BringUp(tab);
        dialogs_.ExpectPicker(QStringLiteral("Открыть файл Mirel"), dump);
        QTest::mouseClick(tab->BitCP, Qt::LeftButton);
        EXPECT_EQ(kDumpKeys, tab->KolCPkey->value());
        QListWidget* entrances = tab->ListKvKey;
        EXPECT_EQ(3, entrances->count()) << "the entrances of both houses";
        PourOffer offer;
        if (entrances->count() == 0) return offer;
        entrances->setCurrentRow(0);
        QTest::mouseClick(entrances->viewport(), Qt::LeftButton, {},
                          entrances->visualItemRect(entrances->item(0)).center());
        EXPECT_TRUE(tab->BitCPkeys->isEnabled());
        QTimer::singleShot(0, FKeyInKv, [&offer, &picture] {
            if (!FKeyInKv->isVisible()) return;
            offer = {true,
                     FKeyInKv->Ind_1->value(),
                     FKeyInKv->Ind_po->value(),
                     FKeyInKv->KolIndItog->value(),
                     FKeyInKv->Kv_n1->value(),
                     FKeyInKv->Kv_np->value(),
                     FKeyInKv->KolKvItog->value(),
                     FKeyInKv->KvEn1->text(),
                     FKeyInKv->KvEnp->text()};
            if (!picture.isEmpty()) SaveScreen(*FKeyInKv, picture);
            FKeyInKv->OKBtn->click();
        });
        QTest::mouseClick(tab->BitCPkeys, Qt::LeftButton);
        QCoreApplication::processEvents();  // a dialog that never showed must not wait for another
        EXPECT_TRUE(offer.shown) << "no pour conditions";
        EXPECT_EQ(kDumpKeys, tab->InCpKey->value());
        return offer;
    }

    // The call panel file opened in the editor, "Выбрать БВ": the names
    // the list shows.
    QStringList ListedPanels(const QString& file) {
        TFrRedact& editor = Editor();
        dialogs_.ExpectPicker(QStringLiteral("Открыть созданный в АРМЕ КФ"), file);
        editor.ButBit->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(file, editor.LFile1->text());
        KeySavePanel* panel = editor.KeySave;
        BringUp(panel);
        panel->BitChek->click();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_TRUE(panel->DBGrid1->isVisible());
        QStringList names;
        const QAbstractItemModel* model = panel->DBGrid1->model();
        for (int row = 0; model && row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }

    static inline QByteArray panelFile_;
};

class EditorRoadsInHalves : public EditorRoads, public ::testing::WithParamInterface<int> {};

TEST_P(EditorRoadsInHalves, AFortyKeyMirelDumpFillsApartmentsOneToFortyOnEveryRoad) {
    const QString dump = WriteFile(QStringLiteral("dumps/mirel40.bin"), FortyKeyDump());
    OnEveryRoad([&](const RoadToTheEditor& r) {
        const int keysBefore = KeysOfTheObject();
        const QString picture = r.road == Road::FailedFolderChoice
                                    ? QStringLiteral("editor_roads_mirel_pour")
                                    : QString();
        const PourOffer offer = PourIntoTheFirstEntrance(dump, picture);
        EXPECT_EQ(1, offer.fromIndex);
        EXPECT_EQ(kDumpKeys, offer.toIndex);
        EXPECT_EQ(kDumpKeys, offer.indexes) << "Итого индексов для записи";
        EXPECT_EQ(1, offer.fromApartment);
        EXPECT_EQ(kDumpKeys, offer.toApartment);
        EXPECT_EQ(kDumpKeys, offer.apartments) << "Итого квартир для записи";
        EXPECT_EQ("1", offer.firstNumber.toStdString());
        EXPECT_EQ("40", offer.lastNumber.toStdString());

        // One key in each of the apartments 1..40 of house 1, entrance 1.
        const std::vector<int> written = Numbers(QStringLiteral(
            "SELECT COUNT(*), COUNT(DISTINCT k.id_kvr), MIN(v.p_nom), MAX(v.p_nom) "
            "FROM k_key k JOIN k_kvr v ON v.id_kvr = k.id_kvr "
            "JOIN k_pod p ON p.id_pod = v.id_pod JOIN k_dom d ON d.id_dom = p.id_dom "
            "WHERE k.id_net = ? AND d.kod_d = '1' AND p.n_pod = 1"));
        EXPECT_EQ((std::vector<int>{kDumpKeys, kDumpKeys, 1, kDumpKeys}), written)
            << "keys, apartments, the first and the last apartment";
        EXPECT_EQ(keysBefore + kDumpKeys, KeysOfTheObject());
        dialogs_.VerifyDone();
    }, GetParam(), 2);
}

INSTANTIATE_TEST_SUITE_P(Half, EditorRoadsInHalves, ::testing::Values(0, 1));

TEST_F(EditorRoads, ThePanelListHoldsEveryCallPanelOnEveryRoad) {
    ASSERT_FALSE(panelFile_.isEmpty());
    const QString file = WriteFile(QStringLiteral("files/cbv02.bin"), panelFile_);
    OnEveryRoad([&](const RoadToTheEditor& r) {
        QStringList panels;
        QSqlQuery q(FDM->ConnectionDB());
        q.prepare(QStringLiteral("SELECT n_bv FROM k_bv WHERE id_net=?"));
        q.addBindValue(IdNet());
        ASSERT_TRUE(q.exec());
        while (q.next()) panels << q.value(0).toString();
        ASSERT_EQ(4, panels.size()) << "the gate panel and three door panels";
        QStringList listed = ListedPanels(file);
        if (r.road == Road::AnotherFolderAndBack) {
            // Wide enough for the list beside the key grids.
            FMainVesk->resize(kWindowRoom);
            SaveScreen(*FMainVesk, QStringLiteral("editor_roads_panel_list"));
        }
        listed.sort();
        panels.sort();
        EXPECT_EQ(panels, listed);
        dialogs_.VerifyDone();
    });
}

// A switch file whose call melody has more notes than a file holds, as a
// device or another program may give it: the editor says so as it opens the
// file, and its save names the melody, puts the focus there and writes nothing.
TEST_F(EditorRoads, AMelodyTooLongForAFileIsToldWhenTheFileOpens) {
    const QByteArray bytes = SwitchFileWithALongMelody(ReferenceDatabase(), IdNet());
    const QString file = WriteFile(QStringLiteral("files/ckm01.bin"), bytes);
    ReachTheEditor({});
    TFrRedact& editor = Editor();
    dialogs_.ExpectPicker(QStringLiteral("Открыть созданный в АРМЕ КФ"), file);
    editor.ButBit->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(
        editor.Memo4->toPlainText()
            .split(QLatin1Char('\n'))
            .contains(QStringLiteral(
                "Файл нельзя сохранить, пока не исправлено: Мелодия вызова: больше 254 нот.")));
    FMainVesk->resize(kWindowRoom);
    SaveScreen(*FMainVesk, QStringLiteral("editor_melody_too_long"));

    dialogs_.Expect(QStringLiteral("Запрос на сохранение"),
                    QStringLiteral("Сохранить файл конфигурации?"), DlgAnswer::Yes);
    dialogs_.Expect(QStringLiteral("Ошибка"), QStringLiteral("Мелодия вызова: больше 254 нот."));
    editor.TabCPK1->BitSaveKm->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(editor.TabCPK1->MelVv->isAncestorOf(QApplication::focusWidget()) ||
                editor.TabCPK1->MelVv->hasFocus());
    QFile saved(file);
    EXPECT_TRUE(saved.open(QIODevice::ReadOnly) && saved.readAll() == bytes) << "written over";
    dialogs_.VerifyDone();
}
}  // namespace
}  // namespace EditorRoadsTestUnit
