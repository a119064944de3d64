// Every window that writes object data, opened as the program opens it and
// left with an edit in it, while what it stands on moves: another object
// chosen, the object deleted, a new object, another database folder, F5, its
// house or its entrance removed, another switch, panel and house made
// current, or its row deleted by another copy of the program. Each ends one
// of three ways: the window closed; every save wrote only rows of what the
// window showed (its device, entrance, house or object), the edit among
// them; or every save changed nothing and said what is gone.

#include "app/TFMainVesk.h"
#include "devices/Melody.h"
#include "devices/ConsoleMelody.h"
#include "devices/ui/SwitchTractPanel.h"
#include "devices/ui/TFMelF.h"
#include "devices/ui/TFMelP.h"
#include "devices/ui/TFbvApp.h"
#include "devices/ui/TFbvEdit.h"
#include "devices/ui/TFbvReCount.h"
#include "devices/ui/TFpkAppr.h"
#include "devices/ui/TFpkEdit.h"
#include "devices/ui/TFpoAppr.h"
#include "devices/ui/TFrBv.h"
#include "devices/ui/TFrPk.h"
#include "devices/ui/TFrPo.h"
#include "foundation/TFDM.h"
#include "platform/AppPaths.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "site/ObjectScreen.h"
#include "site/TerminalRuleRun.h"
#include "site/ui/TFdpkPort.h"
#include "site/ui/TFkvEdit.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPod.h"
#include "site/ui/TFskEdit.h"
#include "site/ui/THouseGrid.h"
#include "site/ui/TRecordGrid.h"
#include "site/ui/TFObEdit.h"
#include "support/ProgramRoads.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// What moves under the window.
enum Move {
    kAnotherObject,
    kObjectDeleted,
    kNewObject,
    kAnotherFolder,
    kF5,
    kHouseRemoved,
    kEntranceRemoved,
    kAnotherPlace,
    kBehindTheBack,
};
const char* const kRoadNames[] = {"AnotherObject",   "ObjectDeleted",  "NewObject",
                                  "AnotherFolder",   "F5",             "HouseRemoved",
                                  "EntranceRemoved", "AnotherPlace",   "RemovedBehindTheBack"};

constexpr int kObjects = 1, kEntrances = 3, kSwitches = 4, kCallPanels = 5, kConsole = 7;
constexpr int kShownSwitch = 2;  // house 1, entrance 2
constexpr int kLastHouseSwitch = 3;  // house 2, its one entrance
constexpr int kShownPanel = 3;  // the door panel of house 1, entrance 2

const QString kObject = QStringLiteral("Дом на Садовой");
const QString kMorningCall = QStringLiteral("Утро");
const QString kMorningVisitor = QStringLiteral("Утренний посетитель");

// The reference object beside two others, with one more melody of each kind
// to choose.
QByteArray WithMelodies(const QByteArray& objects) {
    return ProgramRoads::BuiltByTheProgram(objects, [] {
        qint64 id = 0;
        return SaveMelody(FDM->ConnectionDB(), 0, kMorningCall, kCallPurpose, &id) ==
                   DeviceChange::Done &&
               SaveMelody(FDM->ConnectionDB(), 0, kMorningVisitor, kVisitorPurpose, &id) ==
                   DeviceChange::Done;
    });
}

// Where the window stands, read from the file by its numbers: the object,
// the switch's entrance, house and matrix column, the panel, the console.
struct Place {
    qint64 net = 0, dom = 0, pod = 0, column = 0, pk = 0, bv = 0, po = 0;
};

// Which rows of the file a save may write.
enum class Level { Own, Entrance, House, Object, Column };
struct Reach {
    QString table;
    Level level;
};

// A row of the file: where it stands, and its values by column.
struct FileRow {
    qint64 key = 0, net = 0, dom = 0, pod = 0, column = 0;
    QMap<QString, QString> values;
};
using FileRows = QMap<QString, FileRow>;  // "k_pk 7"

// Each table of object rows: its key, object, house, entrance and matrix
// column, then its own columns.
const struct {
    const char* table;
    const char* sql;
} kTables[] = {
    {"k_net", "SELECT t.id_net, t.id_net, 0, 0, 0, t.* FROM k_net t"},
    {"k_dom", "SELECT t.id_dom, t.id_net, t.id_dom, 0, 0, t.* FROM k_dom t"},
    {"k_pod", "SELECT t.id_pod, t.id_net, t.id_dom, t.id_pod, 0, t.* FROM k_pod t"},
    {"k_pk",
     "SELECT t.id_pk, t.id_net, p.id_dom, t.id_pod, (SELECT MIN(n_pk) FROM m_pk m WHERE "
     "m.id_pk=t.id_pk), t.* FROM k_pk t LEFT JOIN k_pod p ON p.id_pod=t.id_pod"},
    {"k_kvr",
     "SELECT t.id_kvr, t.id_net, p.id_dom, t.id_pod, 0, t.* FROM k_kvr t LEFT JOIN k_pod p ON "
     "p.id_pod=t.id_pod"},
    {"k_bv", "SELECT t.id_bv, t.id_net, 0, 0, 0, t.* FROM k_bv t"},
    {"k_po", "SELECT t.id_po, t.id_net, 0, 0, 0, t.* FROM k_po t"},
    {"m_bv", "SELECT t.rowid, t.id_net, 0, 0, t.n_pk, t.* FROM m_bv t"},
    {"t_dip",
     "SELECT t.rowid, k.id_net, p.id_dom, k.id_pod, 0, t.* FROM t_dip t LEFT JOIN k_pk k ON "
     "k.id_pk=t.id_pk LEFT JOIN k_pod p ON p.id_pod=k.id_pod"},
    {"k_key", "SELECT t.rowid, t.id_net, 0, 0, 0, t.* FROM k_key t"},
};

// Marks of the files and the object's state follow any edit of the object.
bool OnlyMarks(const FileRow& a, const FileRow& b) {
    for (auto it = a.values.cbegin(); it != a.values.cend(); ++it)
        if (it.key() != QLatin1String("kf_pr") && it.key() != QLatin1String("st_net") &&
            b.values.value(it.key()) != it.value())
            return false;
    return true;
}

bool Within(const QString& table, const FileRow& row, const Place& p, const Reach& reach) {
    if (reach.table != table) return false;
    switch (reach.level) {
        case Level::Own:
            return (table == QLatin1String("k_pk") && row.key == p.pk) ||
                   (table == QLatin1String("k_bv") && row.key == p.bv) ||
                   (table == QLatin1String("k_po") && row.key == p.po) ||
                   (table == QLatin1String("k_pod") && row.key == p.pod);
        case Level::Entrance:
            return row.pod == p.pod;
        case Level::House:
            return row.dom == p.dom;
        case Level::Object:
            return row.net == p.net;
        case Level::Column:
            return row.net == p.net && row.column == p.column;
    }
    return false;
}

// A save press: what the operator presses, the questions it asks before it
// writes (answered Yes), and the rows it may write.
struct Press {
    const char* what;
    std::function<void()> press;
    QList<std::pair<QString, QString>> questions;
    QList<Reach> reach;
};

void BumpSpin(QSpinBox* spin) {
    spin->setValue(spin->value() < spin->maximum() ? spin->value() + 1 : spin->value() - 1);
}

}  // namespace

class WindowsHoldTheirRows : public ProgramRoads, public ::testing::WithParamInterface<Move> {
  protected:
    static void SetUpTestSuite() {
        ProgramRoads::SetUpTestSuite();
        objects_ = WithMelodies(ThreeObjects(ReferenceDatabase()));
        alone_ = WithMelodies(ReferenceDatabase());
    }

    template <class Frame>
    Frame* Screen(int screen) {
        return qobject_cast<Frame*>(FMainVesk->FrameOfScreen(screen));
    }

    // The row of grid whose field holds value, clicked.
    static void ChooseRow(DatasetGrid* grid, const char* field, const QVariant& value) {
        Dataset* ds = grid->Model()->GetDataset();
        const int column = ds->FieldIndex(QString::fromLatin1(field));
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (ds->Value(row, column).toString() == value.toString()) {
                const QModelIndex cell = grid->model()->index(row, 0);
                grid->scrollTo(cell);
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                  grid->visualRect(cell).center());
                QCoreApplication::processEvents();
                ASSERT_EQ(value.toString(), ds->FieldByName(QString::fromLatin1(field)).AsString());
                return;
            }
        ADD_FAILURE() << "no row with " << field << " " << value.toString().toStdString();
    }
    void OpenFromSwitchList(QPushButton* TFrPk::*button, int nNet) {
        ShowByMenu(kSwitches);
        TFrPk* list = Screen<TFrPk>(kSwitches);
        ChooseRow(list->DBGrid1, "k.n_net", nNet);
        (list->*button)->click();
        QCoreApplication::processEvents();
    }

    qint64 Value(const QString& sql, const QVariantList& values = {}) {
        QSqlDatabase db = database_.open();
        QSqlQuery q(db);
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        if (!q.exec() || !q.next()) return 0;
        return q.value(0).toLongLong();
    }
    Place ReadPlace(int nNet) {
        Place p;
        p.net = IdNet();
        p.pk = Value("SELECT id_pk FROM k_pk WHERE id_net=? AND n_net=?", {p.net, nNet});
        p.pod = Value("SELECT id_pod FROM k_pk WHERE id_pk=?", {p.pk});
        p.dom = Value("SELECT id_dom FROM k_pod WHERE id_pod=?", {p.pod});
        p.column = Value("SELECT n_pk FROM m_pk WHERE id_pk=?", {p.pk});
        p.bv = Value("SELECT id_bv FROM k_bv WHERE id_net=? AND n_nt0=?", {p.net, kShownPanel});
        p.po = Value("SELECT id_po FROM k_po WHERE id_net=?", {p.net});
        return p;
    }
    FileRows Rows() {
        QSqlDatabase db = database_.open();
        FileRows rows;
        for (const auto& t : kTables) {
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(QString::fromLatin1(t.sql))) << t.table;
            while (q.next()) {
                FileRow row;
                row.key = q.value(0).toLongLong();
                row.net = q.value(1).toLongLong();
                row.dom = q.value(2).toLongLong();
                row.pod = q.value(3).toLongLong();
                row.column = q.value(4).toLongLong();
                for (int i = 5; i < q.record().count(); ++i)
                    row.values[q.record().fieldName(i)] = q.value(i).toString();
                rows[QStringLiteral("%1 %2").arg(QLatin1String(t.table)).arg(row.key)] = row;
            }
        }
        return rows;
    }
    // The rows a save changed that it may not have changed.
    QStringList Outside(const FileRows& before, const FileRows& after, const Place& p,
                        const QList<Reach>& reach) {
        QStringList keys = before.keys() + after.keys();
        keys.removeDuplicates();
        QStringList outside;
        for (const QString& key : std::as_const(keys)) {
            const FileRow a = before.value(key), b = after.value(key);
            const bool there = before.contains(key) && after.contains(key);
            if (there && a.values == b.values) continue;
            const FileRow& row = after.contains(key) ? b : a;
            if (there && row.net == p.net && OnlyMarks(a, b) && OnlyMarks(b, a)) continue;
            const QString table = key.section(QLatin1Char(' '), 0, 0);
            bool allowed = false;
            for (const Reach& r : reach) allowed = allowed || Within(table, row, p, r);
            if (!allowed) outside << key;
        }
        return outside;
    }

    // ---------------------------------------------------------------- roads

    void DeleteTheObject() {
        QTimer::singleShot(0, [this] {
            dialogs_.Expect(QStringLiteral("Удаление объекта!"),
                            QStringLiteral("Будут удалены все дома и устройства, относящиеся к "
                                           "данному объекту! Удаляем?"),
                            DlgAnswer::Yes);
            FObEdit->PDel->trigger();
            FObEdit->reject();
        });
        Menu(QStringLiteral("MServDel"));
    }
    void EnterANewObject() {
        ShowByMenu(kObjects);
        TFrMatr* objects = Screen<TFrMatr>(kObjects);
        objects->BNew->click();
        objects->P1_ENew->setText(QStringLiteral("Новый дом"));
        objects->P1_EAdr->setPlainText(QStringLiteral("ул. Новая, 1"));
        objects->P1_EDom->setValue(1);
        dialogs_.Expect(ObjectScreenTexts::kConfirmNewCaption, ObjectScreenTexts::kConfirmNew,
                        DlgAnswer::Yes);
        objects->BitSave->click();
        QCoreApplication::processEvents();
    }
    void RemoveTheLastHouse() {
        ShowByMenu(kObjects);
        TFrMatr* objects = Screen<TFrMatr>(kObjects);
        objects->BEdit->click();
        objects->P1_EDom->setValue(objects->P1_EDom->value() - 1);
        dialogs_.Expect(ObjectScreenTexts::kDeleteHousesCaption, ObjectScreenTexts::kDeleteHouses,
                        DlgAnswer::Yes);
        objects->BitSave->click();
        QCoreApplication::processEvents();
    }
    void RemoveTheShownEntrance() {
        ShowByMenu(kObjects);
        TFrMatr* objects = Screen<TFrMatr>(kObjects);
        objects->BEdit->click();
        QSpinBox* entrances = objects->CGridD->EntrancesEdit(0);
        entrances->setValue(entrances->value() - 1);
        objects->BitSavePod->click();
        QCoreApplication::processEvents();
    }
    // Another switch (of another house) in the switch list, another panel in
    // the panel list, another house on the entrance screen.
    void MakeAnotherPlaceCurrent() {
        OpenListsOn(kLastHouseSwitch, 1);
        ShowByMenu(kEntrances);
        Screen<TFrPod>(kEntrances)->CGridD->FocusField(1, false);
        QCoreApplication::processEvents();
    }
    void OpenListsOn(int nNet, int nNt0) {
        ShowByMenu(kSwitches);
        ChooseRow(Screen<TFrPk>(kSwitches)->DBGrid1, "k.n_net", nNet);
        ShowByMenu(kCallPanels);
        ChooseRow(Screen<TFrBv>(kCallPanels)->DBGrid1, "n_nt0", nNt0);
    }
    void RemoveBehindTheBack(const QStringList& statements) {
        QSqlDatabase copy = database_.open();
        for (const QString& sql : statements) {
            QSqlQuery q(copy);
            EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        }
    }

    void TakeTheRoad(Move road, const QStringList& behind) {
        switch (road) {
            case kAnotherObject:
                ChooseObject(kOtherObject);
                break;
            case kObjectDeleted:
                DeleteTheObject();
                break;
            case kNewObject:
                EnterANewObject();
                break;
            case kAnotherFolder:
                ChooseDatabaseFolder(otherFolder_.path() + QLatin1Char('/'));
                break;
            case kF5:
                Menu(QStringLiteral("MReOpen"));
                break;
            case kHouseRemoved:
                RemoveTheLastHouse();
                break;
            case kEntranceRemoved:
                RemoveTheShownEntrance();
                break;
            case kAnotherPlace:
                MakeAnotherPlaceCurrent();
                break;
            case kBehindTheBack:
                RemoveBehindTheBack(behind);
                break;
        }
        QCoreApplication::processEvents();
        dialogs_.VerifyDone();
    }

    // What the road did, as the file and the program show it.
    void ExpectTheRoadTaken(Move road, const Place& p) {
        const auto count = [this](const char* table, const char* key, qint64 id) {
            return Value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2=?")
                             .arg(QLatin1String(table), QLatin1String(key)),
                         {id});
        };
        const QString current = FDM->Q_Net->FieldByName(QStringLiteral("ident")).AsString();
        switch (road) {
            case kAnotherObject:
                EXPECT_EQ(kOtherObject, current);
                break;
            case kObjectDeleted:
                EXPECT_EQ(0, count("k_net", "id_net", p.net));
                break;
            case kNewObject:
                EXPECT_EQ(QStringLiteral("Новый дом"), current);
                break;
            case kAnotherFolder:
                EXPECT_EQ(otherFolder_.path() + QLatin1Char('/'), FMainVesk->DatabaseFolder());
                break;
            case kF5:
                break;
            case kHouseRemoved:
                EXPECT_EQ(0, count("k_dom", "id_dom", p.dom));
                break;
            case kEntranceRemoved:
                EXPECT_EQ(0, count("k_pod", "id_pod", p.pod));
                EXPECT_EQ(1, count("k_dom", "id_dom", p.dom));
                break;
            case kAnotherPlace:
                EXPECT_EQ(kLastHouseSwitch,
                          FDM->Q_MNpk->FieldByName(QStringLiteral("k.n_net")).AsInt());
                EXPECT_EQ(1, FDM->Q_bv->FieldByName(QStringLiteral("n_nt0")).AsInt());
                EXPECT_NE(p.dom, FDM->Q_Dom->FieldByName(QStringLiteral("id_dom")).AsLargeInt());
                break;
            case kBehindTheBack:
                break;
        }
    }

    static inline QByteArray objects_;
    // The reference object alone, first in the object list: a new reading of
    // a file whose list stands on the same object.
    static inline QByteArray alone_;
    QTemporaryDir otherFolder_;
    qint64 edited_ = 0;
};

TEST_P(WindowsHoldTheirRows, AWindowWritesTheRowsItShowsOrClosesOrSaysTheyAreGone) {
    const Move road = GetParam();
    const auto questionOne = std::pair{kObject + QStringLiteral(", СКМ02"),
                                       QStringLiteral("Сохранить для данного КМ?")};
    const auto questionHouse = std::pair{kObject + QStringLiteral(", дом 1"),
                                         QStringLiteral("Сохранить для всего дома?")};
    const auto questionObject = std::pair{kObject, QStringLiteral("Сохранить для всего объекта?")};
    const Reach ownSwitch{QStringLiteral("k_pk"), Level::Own};
    const Reach houseSwitches{QStringLiteral("k_pk"), Level::House};
    const Reach objectSwitches{QStringLiteral("k_pk"), Level::Object};
    auto removeSwitch = [](const Place& p) {
        return QStringList{QStringLiteral("DELETE FROM k_pk WHERE id_pk=%1").arg(p.pk)};
    };
    auto removeConsole = [](const Place& p) {
        return QStringList{QStringLiteral("DELETE FROM k_po WHERE id_po=%1").arg(p.po)};
    };
    const struct {
        const char* what;
        std::function<QWidget*(int nNet)> open;
        std::function<void()> edit;
        QList<Press> presses;
        std::function<QStringList(const Place&)> removedBehind;
        std::function<bool(const Place&)> landed;
        bool onTheEntrance = true;  // stands on the switch's entrance and house
    } windows[] = {
        {"the switch editor",
         [this](int nNet) {
             OpenFromSwitchList(&TFrPk::BitpkEdit, nNet);
             return FpkEdit;
         },
         [this] {
             BumpSpin(FpkEdit->TCM);
             edited_ = FpkEdit->TCM->value();
         },
         {{"Сохранить для данного КМ", [] { FpkEdit->BitSavePk->click(); }, {questionOne},
           {ownSwitch}},
          {"Сохранить для всех КМ дома", [] { FpkEdit->BitSaveDm->click(); }, {questionHouse},
           {houseSwitches}},
          {"Сохранить для всех КМ объекта", [] { FpkEdit->BitSaveOb->click(); },
           {questionObject}, {objectSwitches}},
          {"Аппаратные настройки",
           [] {
               QTimer::singleShot(0, [] {
                   BumpSpin(FpkAppr->Reserv);
                   FpkAppr->BitOk->click();
               });
               FpkEdit->BitAppr->click();
           },
           {},
           {ownSwitch}},
          {"the serial number",
           [] {
               FpkEdit->E_SN->setText(QStringLiteral("A000000123"));
               FpkEdit->E_SNExit();
           },
           {},
           {ownSwitch}},
          {"the switch's tracts", [] { FpkEdit->Tracts->BitRetryTr->click(); }, {},
           {{QStringLiteral("m_bv"), Level::Column}, ownSwitch}},
          {"the object's tracts",
           [] { FpkEdit->Tracts->BitRetryTrAll->click(); },
           {{QStringLiteral("Тракты объекта"),
             QStringLiteral("Перераспределить БВ по трактам объекта?")}},
           {{QStringLiteral("m_bv"), Level::Object}, objectSwitches}}},
         removeSwitch,
         [this](const Place& p) {
             return Value("SELECT e.t_cm FROM k_pk k JOIN t_ke e ON e.id_ke=k.id_ke WHERE "
                          "k.id_pk=?",
                          {p.pk}) == edited_;
         }},
        {"the switch melody form",
         [this](int nNet) {
             OpenFromSwitchList(&TFrPk::BitpkEdit, nNet);
             FpkEdit->BitMel->click();
             QCoreApplication::processEvents();
             return FMelF;
         },
         [this] {
             ChooseRow(FMelF->DBGm, "name", kMorningCall);
             edited_ = CurrentMelodyId();
         },
         {{"Сохранить для данного КМ", [] { FMelF->BitSavePk->click(); }, {questionOne},
           {ownSwitch}},
          {"Сохранить для всех КМ дома", [] { FMelF->BitSaveDm->click(); }, {questionHouse},
           {houseSwitches}},
          {"Сохранить для всех КМ объекта", [] { FMelF->BitSaveOb->click(); }, {questionObject},
           {objectSwitches}}},
         removeSwitch,
         [this](const Place& p) {
             return Value("SELECT id_mvv FROM k_pk WHERE id_pk=?", {p.pk}) == edited_;
         }},
        {"the call panel editor",
         [this](int) {
             ShowByMenu(kCallPanels);
             ChooseRow(Screen<TFrBv>(kCallPanels)->DBGrid1, "n_nt0", kShownPanel);
             Screen<TFrBv>(kCallPanels)->BitpkEdit->click();
             QCoreApplication::processEvents();
             return FbvEdit;
         },
         [this] {
             BumpSpin(FbvEdit->SL);
             edited_ = FbvEdit->SL->value();
         },
         {{"Сохранить", [] { FbvEdit->BitSave->click(); }, {},
           {{QStringLiteral("k_bv"), Level::Own}}},
          {"Сохранить для БВ подъезда", [] { FbvEdit->BitSavePk->click(); }, {},
           {{QStringLiteral("k_bv"), Level::Object}}},
          {"Сохранить для всех БВ подъездов",
           [] { FbvEdit->BitSaveDm->click(); },
           {{QStringLiteral("Подтверждение"),
             QStringLiteral("Запишем общие параметры в БВ этого типа?")}},
           {{QStringLiteral("k_bv"), Level::Object}}},
          {"Сохранить для всех БВ объекта",
           [] { FbvEdit->BitSaveOb->click(); },
           {{QStringLiteral("Подтверждение"), QStringLiteral("Запишем общие параметры во все БВ?")}},
           {{QStringLiteral("k_bv"), Level::Object}}},
          {"Аппаратные настройки",
           [] {
               QTimer::singleShot(0, [] {
                   if (!FbvApp->isVisible()) return;
                   FbvApp->Reserv->click();
                   FbvApp->BitSave->click();
               });
               FbvEdit->BitAppr->click();
           },
           {},
           {{QStringLiteral("k_bv"), Level::Own}}},
          {"the serial number",
           [] {
               FbvEdit->E_SN->setText(QStringLiteral("A000000124"));
               FbvEdit->E_SNExit();
           },
           {},
           {{QStringLiteral("k_bv"), Level::Own}}},
          {"Пересчитать индексы трубок",
           [] {
               QTimer::singleShot(0, [] {
                   if (!FbvReCount->isVisible()) return;
                   FbvReCount->CB_null->click();
                   FbvReCount->BitOk->click();
               });
               FbvEdit->BitDeEdit->click();
           },
           {{QStringLiteral("Пакетная операция"), QStringLiteral("Пересчитать индексы трубок?")}},
           {{QStringLiteral("k_bv"), Level::Object}}}},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_bv WHERE id_bv=%1").arg(p.bv)};
         },
         [this](const Place& p) {
             return Value("SELECT sl FROM k_bv WHERE id_bv=?", {p.bv}) == edited_;
         },
         false},
        {"the apartment editor",
         [this](int nNet) {
             OpenFromSwitchList(&TFrPk::BitkvEdit, nNet);
             return FkvEdit;
         },
         [] {  // a new handset begun
             FkvEdit->BitAdd->click();
             FkvEdit->E_bv->setText(QStringLiteral("777"));
         },
         {{"Сохранить новую трубку", [] { FkvEdit->BitSave->click(); }, {},
           {{QStringLiteral("k_kvr"), Level::Entrance},
            ownSwitch,
            {QStringLiteral("k_pod"), Level::Own}}},
          {"Сохранить изменения",
           [this] {
               FkvEdit->Call->click();
               edited_ = FkvEdit->Call->isChecked();
               FkvEdit->BitSave->click();
           },
           {},
           {{QStringLiteral("k_kvr"), Level::Entrance}}}},
         [](const Place& p) {  // another copy removes the entrance
             return QStringList{QStringLiteral("DELETE FROM k_kvr WHERE id_pod=%1").arg(p.pod),
                                QStringLiteral("DELETE FROM k_pk WHERE id_pod=%1").arg(p.pod),
                                QStringLiteral("DELETE FROM k_pod WHERE id_pod=%1").arg(p.pod)};
         },
         [this](const Place& p) {
             return Value("SELECT call FROM k_kvr WHERE id_pod=? AND TRIM(p_kvr)='777'",
                          {p.pod}) == edited_;
         }},
        {"the entrance switch parameters",
         [this](int nNet) {
             OpenFromSwitchList(&TFrPk::BitskEdit, nNet);
             return FskEdit;
         },
         [this] {
             BumpSpin(FskEdit->KeyDop);
             edited_ = FskEdit->KeyDop->value();
         },
         {{"Сохранить места для ключей", [] { FskEdit->BtnSaveD->click(); }, {},
           {{QStringLiteral("k_pod"), Level::Own}}},
          {"the fill method",
           [] { (FskEdit->RGkm0->isChecked() ? FskEdit->RGkm1 : FskEdit->RGkm0)->click(); },
           {},
           {ownSwitch}}},
         removeSwitch,
         [this](const Place& p) {
             return Value("SELECT d_key FROM k_pod WHERE id_pod=?", {p.pod}) == edited_ &&
                    Value("SELECT type_f FROM k_pk WHERE id_pk=?", {p.pk}) ==
                        (FskEdit->RGkm0->isChecked() ? 0 : 1);
         }},
        {"the console's hardware settings",
         [this](int) {
             ShowByMenu(kConsole);
             Screen<TFrPo>(kConsole)->BitAppr->click();
             QCoreApplication::processEvents();
             return FpoAppr;
         },
         [this] {
             BumpSpin(FpoAppr->Cbto);
             edited_ = FpoAppr->Cbto->value();
         },
         {{"Сохранить для ППО", [] { FpoAppr->BitSavePo->click(); }, {},
           {{QStringLiteral("k_po"), Level::Own}}}},
         removeConsole,
         [this](const Place& p) {
             return Value("SELECT cbto FROM k_po WHERE id_po=?", {p.po}) == edited_;
         },
         false},
        {"the console melody form",
         [this](int) {
             ShowByMenu(kConsole);
             Screen<TFrPo>(kConsole)->BitMel->click();
             QCoreApplication::processEvents();
             return FMelP;
         },
         [this] {
             ChooseRow(FMelP->DBGm, "name", kMorningVisitor);
             edited_ = CurrentMelodyId(MelodyList::Console);
         },
         {{"Сохранить для ППО",
           [] { FMelP->BitSavePk->click(); },
           {{kObject, QStringLiteral("Сохранить для ПО?")}},
           {{QStringLiteral("k_po"), Level::Own}}}},
         removeConsole,
         [this](const Place& p) {
             return Value("SELECT id_mel0 FROM k_po WHERE id_po=?", {p.po}) == edited_;
         },
         false},
        {"the terminal distribution",
         [this](int nNet) {
             OpenFromSwitchList(&TFrPk::BitskEdit, nNet);
             FskEdit->BitDeEdit->click();
             QCoreApplication::processEvents();
             return FdpkPort;
         },
         [] {
             FdpkPort->RBTop2->click();
             FdpkPort->RB_0->click();
         },
         {{"OK",
           [] { FdpkPort->OKBtn->click(); },
           {{TerminalRuleTexts::kCaption, TerminalRuleTexts::kQuestion}},
           {objectSwitches,
            {QStringLiteral("k_kvr"), Level::Object},
            {QStringLiteral("t_dip"), Level::Object}}}},
         [](const Place& p) {
             return QStringList{QStringLiteral("DELETE FROM k_net WHERE id_net=%1").arg(p.net)};
         },
         [](const Place&) { return !FdpkPort->isVisible(); },
         false},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(std::string(w.what) + ", " + kRoadNames[road]);
        const QByteArray& file = road == kF5 || road == kAnotherFolder ? alone_ : objects_;
        RestoreDatabase(file);
        QFile other(otherFolder_.path() + QLatin1Char('/') +
                    QString::fromLatin1(AppPaths::kDbFileName));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write(file) == file.size());
        other.close();
        StartOn(0);
        if (HasFatalFailure()) return;
        const int nNet = road == kHouseRemoved ? kLastHouseSwitch : kShownSwitch;
        const Place place = ReadPlace(nNet);
        QWidget* window = w.open(nNet);
        ASSERT_TRUE(window && window->isVisible()) << "opened as the program opens it";
        w.edit();
        QCoreApplication::processEvents();

        TakeTheRoad(road, road == kBehindTheBack ? w.removedBehind(place) : QStringList{});
        if (HasFatalFailure()) return;
        ExpectTheRoadTaken(road, place);
        const bool objectOrFileMoved = road <= kF5;
        if (objectOrFileMoved) {
            EXPECT_FALSE(window->isVisible()) << "closed";
        }
        if (road == kHouseRemoved || road == kEntranceRemoved) {
            EXPECT_EQ(!w.onTheEntrance, window->isVisible()) << "closed with its entrance";
        }
        if (road == kAnotherPlace || road == kBehindTheBack) {
            EXPECT_TRUE(window->isVisible()) << "still on its rows";
        }
        const bool gone = road == kBehindTheBack;
        if (window->isVisible() && !objectOrFileMoved) {
            for (const Press& press : w.presses) {
                SCOPED_TRACE(press.what);
                const FileRows before = Rows();
                if (gone)
                    dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("удал"));
                else
                    for (const auto& [caption, text] : press.questions)
                        dialogs_.Expect(caption, text, DlgAnswer::Yes);
                press.press();
                QCoreApplication::processEvents();
                dialogs_.VerifyDone();
                const QStringList outside =
                    Outside(before, Rows(), place, gone ? QList<Reach>{} : press.reach);
                EXPECT_TRUE(outside.isEmpty()) << outside.join(QLatin1Char(',')).toStdString();
            }
            if (!gone) {
                EXPECT_TRUE(w.landed(place)) << "the edit went where it was shown";
            }
        }
        EndTheProgram();
        dialogs_.VerifyDone();
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, WindowsHoldTheirRows,
                         ::testing::Values(kAnotherObject, kObjectDeleted, kNewObject,
                                           kAnotherFolder, kF5, kHouseRemoved, kEntranceRemoved,
                                           kAnotherPlace, kBehindTheBack),
                         [](const ::testing::TestParamInfo<Move>& info) {
                             return std::string(kRoadNames[info.param]);
                         });
