#include "app/WindowsHoldTheirRows.h"

#include "devices/ConsoleMelody.h"
#include "devices/Melody.h"
#include "devices/ui/TFrBv.h"
#include "devices/ui/TFrPk.h"
#include "foundation/TFDM.h"
#include "netlink/TNetLink.h"
#include "netlink/ui/TFNetTime.h"
#include "netlink/ui/TFrNetDev.h"
#include "platform/AppPaths.h"
#include "platform/DatasetModel.h"
#include "platform/ui/DatasetGrid.h"
#include "site/AccessMatrix.h"
#include "site/MatrixEditor.h"
#include "site/ObjectDeletion.h"
#include "site/ObjectScreen.h"
#include "site/ui/TFObEdit.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPod.h"
#include "site/ui/THouseGrid.h"
#include "site/ui/TRecordGrid.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>

using namespace HeldRowsTable;

const char* const kRoadNames[] = {
    "AnotherObject", "ObjectDeleted",   "NewObject",    "AnotherFolder",        "F5",
    "HouseRemoved",  "EntranceRemoved", "AnotherPlace", "RemovedBehindTheBack", "Compaction"};

namespace HeldRowsTable {

const QString kObject = QStringLiteral("Дом на Садовой");
const QString kMorningCall = QStringLiteral("Утро");
const QString kMorningVisitor = QStringLiteral("Утренний посетитель");
const QString kFoundSerial = QStringLiteral("B000000702");

void BumpSpin(QSpinBox* spin) {
    spin->setValue(spin->value() < spin->maximum() ? spin->value() + 1 : spin->value() - 1);
}

const char* const kRemovedNames[] = {"apartment", "entrance", "house", "gate panel", "object"};

}  // namespace HeldRowsTable

namespace {

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
    {"m_pk", "SELECT t.rowid, t.id_net, t.id_dom, 0, t.n_pk, t.* FROM m_pk t"},
    {"m_bv", "SELECT t.rowid, t.id_net, 0, 0, t.n_pk, t.* FROM m_bv t"},
    {"t_dip",
     "SELECT t.rowid, k.id_net, p.id_dom, k.id_pod, 0, t.* FROM t_dip t LEFT JOIN k_pk k ON "
     "k.id_pk=t.id_pk LEFT JOIN k_pod p ON p.id_pod=k.id_pod"},
    {"k_key",
     "SELECT t.rowid, t.id_net, p.id_dom, t.id_pod, t.id_kvr, t.* FROM k_key t LEFT JOIN k_pod "
     "p ON p.id_pod=t.id_pod"},
};

bool Within(const QString& table, const FileRow& row, const Place& p, const Reach& reach) {
    if (reach.table != table) return false;
    switch (reach.level) {
        case Level::Own:
            return (table == QLatin1String("k_pk") && row.key == p.pk) ||
                   (table == QLatin1String("k_bv") && row.key == p.bv) ||
                   (table == QLatin1String("k_po") && row.key == p.po) ||
                   (table == QLatin1String("k_pod") && row.key == p.pod) ||
                   (table == QLatin1String("k_kvr") && row.key == p.kvr) ||
                   // a key is the apartment's own: its column holds id_kvr
                   (table == QLatin1String("k_key") && row.column == p.kvr && row.pod == p.pod);
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

}  // namespace

void WindowsHoldTheirRows::SetUpTestSuite() {
    ProgramRoads::SetUpTestSuite();
    objects_ = WithMelodies(ThreeObjects(ReferenceDatabase()));
    alone_ = WithMelodies(ReferenceDatabase());
    anotherFile_ = BuiltByTheProgram(alone_, [] {
        Hooks().ReopenMatrix();
        return MatrixEditor().AddGates(1) == 1;
    });
}

void WindowsHoldTheirRows::StartForTheRoad(Move road) {
    const QByteArray& file = road == kF5 || road == kAnotherFolder ? alone_ : objects_;
    RestoreDatabase(file);
    const QByteArray& another = road == kAnotherFolder ? anotherFile_ : file;
    QFile other(otherFolder_.path() + QLatin1Char('/') +
                QString::fromLatin1(AppPaths::kDbFileName));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write(another) == another.size());
    other.close();
    StartOn(0);
}

void WindowsHoldTheirRows::ChooseRow(DatasetGrid* grid, const char* field, const QVariant& value) {
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

qint64 WindowsHoldTheirRows::Value(const QString& sql, const QVariantList& values) {
    QSqlDatabase db = database_.open();
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec() || !q.next()) return 0;
    return q.value(0).toLongLong();
}

Place WindowsHoldTheirRows::ReadPlace(int nNet) {
    Place p;
    p.net = IdNet();
    p.pk = Value("SELECT id_pk FROM k_pk WHERE id_net=? AND n_net=?", {p.net, nNet});
    p.pod = Value("SELECT id_pod FROM k_pk WHERE id_pk=?", {p.pk});
    p.dom = Value("SELECT id_dom FROM k_pod WHERE id_pod=?", {p.pod});
    p.column = Value("SELECT n_pk FROM m_pk WHERE id_pk=?", {p.pk});
    p.bv = Value("SELECT id_bv FROM k_bv WHERE id_net=? AND n_nt0=?", {p.net, kShownPanel});
    p.po = Value("SELECT id_po FROM k_po WHERE id_net=?", {p.net});
    p.kvr = Value("SELECT MIN(id_kvr) FROM k_kvr WHERE id_pod=?", {p.pod});
    return p;
}

FileRows WindowsHoldTheirRows::Rows() {
    QSqlDatabase db = database_.open();
    FileRows rows;
    for (const auto& t : kTables) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(QString::fromLatin1(t.sql))) << t.table;
        const QSqlRecord record = q.record();
        QList<bool> isMark;
        for (int i = 0; i < record.count(); ++i)
            isMark << (record.fieldName(i) == QLatin1String("kf_pr") ||
                       record.fieldName(i) == QLatin1String("st_net"));
        while (q.next()) {
            FileRow row;
            row.key = q.value(0).toLongLong();
            row.net = q.value(1).toLongLong();
            row.dom = q.value(2).toLongLong();
            row.pod = q.value(3).toLongLong();
            row.column = q.value(4).toLongLong();
            for (int i = 5; i < record.count(); ++i)
                (isMark[i] ? row.marks : row.values) += QChar(0x1F) + q.value(i).toString();
            rows.insert(QLatin1String(t.table) + QLatin1Char(' ') + QString::number(row.key), row);
        }
    }
    return rows;
}

QStringList WindowsHoldTheirRows::Outside(const FileRows& before, const FileRows& after,
                                          const Place& p, const QList<Reach>& reach) {
    QStringList keys = before.keys() + after.keys();
    keys.removeDuplicates();
    QStringList outside;
    for (const QString& key : std::as_const(keys)) {
        const FileRow a = before.value(key), b = after.value(key);
        const bool there = before.contains(key) && after.contains(key);
        if (there && a.values == b.values && a.marks == b.marks) continue;
        const FileRow& row = after.contains(key) ? b : a;
        // Marks of the files and the object's state follow any edit of the object.
        if (there && row.net == p.net && a.values == b.values) continue;
        const QString table = key.section(QLatin1Char(' '), 0, 0);
        bool allowed = false;
        for (const Reach& r : reach) allowed = allowed || Within(table, row, p, r);
        if (!allowed) outside << key;
    }
    return outside;
}

QStringList WindowsHoldTheirRows::BroughtBack(const FileRows& before, const FileRows& after,
                                              qint64 idNet) {
    const auto count = [idNet](const FileRows& rows, const QString& table) {
        int n = 0;
        for (auto it = rows.cbegin(); it != rows.cend(); ++it)
            n += it.key().startsWith(table + QLatin1Char(' ')) && it->net == idNet ? 1 : 0;
        return n;
    };
    QStringList more;
    for (const char* table : {"k_net", "k_dom", "k_pod", "k_bv"})
        if (count(after, QLatin1String(table)) > count(before, QLatin1String(table)))
            more << QLatin1String(table);
    return more;
}

QStringList WindowsHoldTheirRows::CountersOff(qint64 idNet) {
    static const char* const kCounted[] = {
        "SELECT 'k_net.v_dom' FROM k_net n WHERE id_net=%1 AND v_dom <> "
        "(SELECT COUNT(*) FROM k_dom WHERE id_net=n.id_net)",
        "SELECT 'k_net.v_pod' FROM k_net n WHERE id_net=%1 AND v_pod <> "
        "(SELECT COUNT(*) FROM k_pod WHERE id_net=n.id_net)",
        "SELECT 'k_dom.v_pod ' || id_dom FROM k_dom d WHERE id_net=%1 AND v_pod <> "
        "(SELECT COUNT(*) FROM k_pod WHERE id_dom=d.id_dom)",
        "SELECT 'k_pod.v_kvr ' || id_pod FROM k_pod p WHERE id_net=%1 AND v_kvr <> "
        "(SELECT COUNT(*) FROM k_kvr WHERE id_pod=p.id_pod AND NOT l_trub)",
        "SELECT 'k_pod.o_rky ' || id_pod FROM k_pod p WHERE id_net=%1 AND o_rky <> "
        "(SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND id_pod=p.id_pod)",
        "SELECT 'k_kvr.y_key ' || id_kvr FROM k_kvr r WHERE id_net=%1 AND y_key <> "
        "(SELECT COUNT(*) FROM k_key WHERE id_kvr=r.id_kvr)",
    };
    QSqlDatabase db = database_.open();
    QStringList off;
    for (const char* sql : kCounted) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QString::fromLatin1(sql).arg(idNet))) << sql;
        while (q.next()) off << q.value(0).toString();
    }
    return off;
}

// ---------------------------------------------------------------- roads

void WindowsHoldTheirRows::expectLeaving() {
    if (!onLeaving_.first.isEmpty())
        dialogs_.Expect(onLeaving_.first, onLeaving_.second, DlgAnswer::No);
}

bool WindowsHoldTheirRows::LeavesTheScreen(Move road) {
    return road != kAnotherFolder && road != kF5 && road != kBehindTheBack && road != kCompaction;
}

void WindowsHoldTheirRows::DeleteTheObject() {
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

void WindowsHoldTheirRows::EnterANewObject() {
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

void WindowsHoldTheirRows::RemoveTheLastHouse() {
    ShowByMenu(kObjects);
    TFrMatr* objects = Screen<TFrMatr>(kObjects);
    objects->BEdit->click();
    objects->P1_EDom->setValue(objects->P1_EDom->value() - 1);
    dialogs_.Expect(ObjectScreenTexts::kDeleteHousesCaption, ObjectScreenTexts::kDeleteHouses,
                    DlgAnswer::Yes);
    objects->BitSave->click();
    QCoreApplication::processEvents();
}

void WindowsHoldTheirRows::RemoveTheShownEntrance() {
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
void WindowsHoldTheirRows::MakeAnotherPlaceCurrent() {
    if (!listsLocked_) OpenListsOn(kLastHouseSwitch, 1);
    ShowByMenu(kEntrances);
    Screen<TFrPod>(kEntrances)->CGridD->FocusField(1, false);
    QCoreApplication::processEvents();
}

void WindowsHoldTheirRows::OpenListsOn(int nNet, int nNt0) {
    ShowByMenu(kSwitches);
    ChooseRow(Screen<TFrPk>(kSwitches)->DBGrid1, "k.n_net", nNet);
    ShowByMenu(kCallPanels);
    ChooseRow(Screen<TFrBv>(kCallPanels)->DBGrid1, "n_nt0", nNt0);
}

void WindowsHoldTheirRows::RemoveBehindTheBack(const QStringList& statements) {
    QSqlDatabase copy = database_.open();
    for (const QString& sql : statements) {
        QSqlQuery q(copy);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    }
}

void WindowsHoldTheirRows::RemoveAsAnotherCopy(Removed what, const Place& p) {
    const QString ofHouse = QStringLiteral("(SELECT id_pod FROM k_pod WHERE id_dom=%1)").arg(p.dom);
    const qint64 gate = Value("SELECT MIN(id_bv) FROM k_bv WHERE id_net=? AND bv_type=1", {p.net});
    switch (what) {
        case Removed::Apartment:
            RemoveBehindTheBack(
                {QStringLiteral("DELETE FROM k_key WHERE id_kvr=%1").arg(p.kvr),
                 QStringLiteral("DELETE FROM k_kvr WHERE id_kvr=%1").arg(p.kvr),
                 QStringLiteral("UPDATE k_pod SET v_kvr=v_kvr-1 WHERE id_pod=%1").arg(p.pod)});
            break;
        case Removed::Entrance:
            RemoveBehindTheBack(
                {QStringLiteral("DELETE FROM k_key WHERE id_kvr > -2 AND id_pod=%1").arg(p.pod),
                 QStringLiteral("DELETE FROM k_kvr WHERE id_pod=%1").arg(p.pod),
                 QStringLiteral("DELETE FROM k_pk WHERE id_pod=%1").arg(p.pod),
                 QStringLiteral("DELETE FROM k_pod WHERE id_pod=%1").arg(p.pod),
                 QStringLiteral("UPDATE k_dom SET v_pod=v_pod-1 WHERE id_dom=%1").arg(p.dom),
                 QStringLiteral("UPDATE k_net SET v_pod=v_pod-1 WHERE id_net=%1").arg(p.net)});
            break;
        case Removed::House:
            RemoveBehindTheBack(
                {QStringLiteral("DELETE FROM k_key WHERE id_kvr > -2 AND id_pod IN ") + ofHouse,
                 QStringLiteral("DELETE FROM k_kvr WHERE id_pod IN ") + ofHouse,
                 QStringLiteral("DELETE FROM k_pk WHERE id_pod IN ") + ofHouse,
                 QStringLiteral("UPDATE k_net SET v_dom=v_dom-1, v_pod=v_pod-(SELECT COUNT(*) "
                                "FROM k_pod WHERE id_dom=%1) WHERE id_net=%2")
                     .arg(p.dom)
                     .arg(p.net),
                 QStringLiteral("DELETE FROM k_pod WHERE id_dom=%1").arg(p.dom),
                 QStringLiteral("DELETE FROM k_dom WHERE id_dom=%1").arg(p.dom)});
            break;
        case Removed::GatePanel:
            RemoveBehindTheBack(
                {QStringLiteral("DELETE FROM k_key WHERE id_kvr=-2 AND id_pod=%1").arg(gate),
                 QStringLiteral("DELETE FROM m_bv WHERE id_bv=%1").arg(gate),
                 QStringLiteral("DELETE FROM k_bv WHERE id_bv=%1").arg(gate)});
            break;
        case Removed::Object: {
            QString error;
            EXPECT_TRUE(ObjectDeletion::DeleteObjectRows(database_.open(), p.net, {}, &error))
                << error.toStdString();
            return;
        }
    }
    // Entrances gone: the matrix made again from those left, as the program
    // makes it after the entrance save.
    if (what == Removed::Entrance || what == Removed::House) {
        QSqlDatabase copy = database_.open();
        QSqlQuery q(copy);
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT st_net, v_pod, v_kal FROM k_net WHERE id_net=%1")
                               .arg(p.net)) &&
                    q.next());
        const MatrixObject object{p.net, q.value(0).toString(), q.value(1).toInt(),
                                  q.value(2).toInt()};
        q.finish();
        QString error;
        SqlTransaction tr(copy);
        EXPECT_TRUE(RebuildMatrixOn(copy, object, &error) && tr.Commit()) << error.toStdString();
    }
}

void WindowsHoldTheirRows::StartTheNetwork(const Place& p) {
    bus_.reset();  // its ports are given back before the next are listed
    bus_ = std::make_unique<SimulatedInstallation>();
    SimDevice device =
        SimDevice::Switch(int(Value("SELECT n_net FROM k_pk WHERE id_pk=?", {p.pk})));
    device.serial = kFoundSerial.toLatin1();
    bus_->bus.AddDevice(device);
    FNetTime->SetPauseForTests([this](int ms) { bus_->clock.Pause(ms); });
    FNetTime->SetClockForTests([this] { return bus_->clock.NowMs(); });
    ShowByMenu(kNetwork);
    QTest::mouseClick(Screen<TFrNetDev>(kNetwork)->BitStartNet, Qt::LeftButton);
    ASSERT_TRUE(FNetTime->Link().LinkRunning());
}

void WindowsHoldTheirRows::EndTheProgram() {
    if (FMainVesk && FNetTime && FNetTime->Link().LinkRunning())
        QTest::mouseClick(Screen<TFrNetDev>(kNetwork)->BitStopNet, Qt::LeftButton);
    ProgramRoads::EndTheProgram();
}

void WindowsHoldTheirRows::CompactTheFile() {
    dialogs_.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сжать БД на диске?"),
                    DlgAnswer::Yes);
    Menu(QStringLiteral("NCompact"));
}

void WindowsHoldTheirRows::TakeTheRoad(Move road, const QStringList& behind) {
    if (LeavesTheScreen(road)) expectLeaving();
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
        case kCompaction:
            CompactTheFile();
            break;
    }
    QCoreApplication::processEvents();
    dialogs_.VerifyDone();
}

void WindowsHoldTheirRows::ExpectTheRoadTaken(Move road, const Place& p) {
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
        case kCompaction:
            EXPECT_EQ(kObject, current);
            break;
        case kHouseRemoved:
            EXPECT_EQ(0, count("k_dom", "id_dom", p.dom));
            break;
        case kEntranceRemoved:
            EXPECT_EQ(0, count("k_pod", "id_pod", p.pod));
            EXPECT_EQ(1, count("k_dom", "id_dom", p.dom));
            break;
        case kAnotherPlace:
            EXPECT_NE(p.dom, FDM->Q_Dom->FieldByName(QStringLiteral("id_dom")).AsLargeInt());
            if (listsLocked_) break;
            EXPECT_EQ(kLastHouseSwitch,
                      FDM->Q_MNpk->FieldByName(QStringLiteral("k.n_net")).AsInt());
            EXPECT_EQ(1, FDM->Q_bv->FieldByName(QStringLiteral("n_nt0")).AsInt());
            break;
        case kBehindTheBack:
            break;
    }
}
