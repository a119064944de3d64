// The object screen's work without its window: new objects, header edits,
// house counts, the entrance save and the normalisation, on a real database.
#include "SiteDb.h"
#include "site/ObjectScreen.h"
#include "site/ObjectState.h"

#include <gtest/gtest.h>
#include <QDate>

namespace ObjectScreenTestUnit {
namespace {

using namespace ObjectScreenTexts;

namespace {

ObjectPanelValues Panel(const QString& name = QStringLiteral("Дом на Садовой"),
                        const QString& address = QStringLiteral("ул. Садовая, 12"), int houses = 2,
                        int gates = 1) {
    ObjectPanelValues p;
    p.name = name;
    p.address = address;
    p.houses = houses;
    p.gates = gates;
    return p;
}

}  // namespace

class ObjectScreenDb : public SiteDb {
  protected:
    // "Новый Объект", the panel, "Сохранить дома" confirmed.
    HousesSaveOutcome SaveNew(const ObjectPanelValues& panel) {
        screen_.BeginNewObject();
        dialogs_.Expect(kConfirmNewCaption, kConfirmNew, DlgAnswer::Yes);
        return screen_.SaveHouses(panel);
    }
    qint64 CurrentId() { return dm_.Q_Net->FieldByName("id_net").AsLargeInt(); }
    // The current object opened for editing ("Действующий объект").
    ObjectPanelValues Edit(qint64 idNet) {
        EXPECT_TRUE(dm_.Q_Net->Locate("id_net", idNet));
        screen_.BeginEditObject();
        return screen_.LoadObjectPanel(nullptr);
    }
    // Counts the matrix rebuilds the entrance save asks for.
    void CountRebuilds() {
        Hooks().RebuildDevices = [this] { ++rebuilds_; };
    }
    // An apartment with a key, a common key and a switch record in the entrance.
    void FillEntrance(qint64 idNet, qint64 idPod) {
        const qint64 flat = Insert(
            "INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr, p_kvr) "
            "VALUES (?, ?, 1, '1', '1')",
            {idNet, idPod});
        Sql("INSERT INTO k_key (un_key, id_pod, id_kvr, id_net) VALUES (?, ?, ?, ?)",
            {QStringLiteral("A%1").arg(idPod), idPod, flat, idNet});
        Sql("INSERT INTO k_key (un_key, id_pod, id_kvr, id_net) VALUES (?, ?, -1, ?)",
            {QStringLiteral("C%1").arg(idPod), idPod, idNet});
        Sql("INSERT INTO k_pk (id_pod, id_net, n_net) VALUES (?, ?, 1)", {idPod, idNet});
    }
    // A gate key of another object whose gate panel id equals the entrance id.
    void AddForeignGateKey(qint64 panelId) {
        Sql("INSERT INTO k_key (un_key, id_pod, id_kvr, id_net) VALUES ('GATE', ?, -2, 999)",
            {panelId});
    }
    // Of the filled entrances only idPod is left with its rows; the other
    // object's gate key is still there.
    void ExpectOnlyEntranceLeft(qint64 idPod) {
        const QString kept = QString::number(idPod);
        EXPECT_EQ(QStringList({kept}), Rows("SELECT id_pod FROM k_pod"));
        EXPECT_EQ(QStringList({kept}), Rows("SELECT id_pod FROM k_kvr"));
        EXPECT_EQ(QStringList({kept}), Rows("SELECT id_pod FROM k_pk"));
        EXPECT_EQ(QStringList({"A" + kept, "C" + kept, "GATE"}),
                  Rows("SELECT un_key FROM k_key ORDER BY un_key"));
    }
    QList<qint64> EntranceIds(qint64 idDom) {
        QList<qint64> ids;
        QSqlQuery q = Sql("SELECT id_pod FROM k_pod WHERE id_dom=? ORDER BY n_pod", {idDom});
        while (q.next()) ids << q.value(0).toLongLong();
        return ids;
    }

    ObjectScreen screen_;
    int rebuilds_ = 0;
};

// ---------------------------------------------------------------- new object

TEST_F(ObjectScreenDb, NewObjectStartsEmptyWithItsNetworkIdAndHousesWaitingForEntrances) {
    const HousesSaveOutcome out = SaveNew(Panel());
    EXPECT_TRUE(out.objectInserted);
    EXPECT_TRUE(out.showHouses);
    EXPECT_EQ(PanelField::FirstPrefix, out.focus);
    EXPECT_EQ(std::optional<bool>(false), out.newObjectEntry);
    const qint64 id = CurrentId();
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_EQ(QStringList({"Дом на Садовой|ул. Садовая, 12|1|2|0|1|пусто|000|0|" + today + "|" +
                           QString::number(id)}),
              Rows("SELECT ident, adres, l_pok, v_dom, v_pod, v_kal, st_net, p_kvr, farc, d_beg, "
                   "id_nom FROM k_net"));
    EXPECT_EQ(QStringList({"1||добавлен", "1||добавлен"}),
              Rows("SELECT v_pod, kod_d, st_dom FROM k_dom WHERE id_net=? ORDER BY id_dom", {id}));
    // The entrance count follows the entrance rows there are: none yet.
    EXPECT_EQ(0, out.panel.entrances);
    EXPECT_EQ(2, dm_.Q_Dom->RecordCount());
    EXPECT_EQ(1, screen_.EditMark());
    EXPECT_EQ(0, screen_.NewMark());
}

TEST_F(ObjectScreenDb, NetworkIdWrapsAtTwentyFourBits) {
    Sql("DELETE FROM sqlite_sequence WHERE name='k_net'");
    Sql("INSERT INTO sqlite_sequence (name, seq) VALUES ('k_net', 16777215)");
    SaveNew(Panel());
    EXPECT_EQ(16777216, CurrentId());
    EXPECT_EQ(1, One("SELECT id_nom FROM k_net").toInt());

    EXPECT_EQ(16777215, NetworkIdOf(16777215));
    EXPECT_EQ(1, NetworkIdOf(16777216));
    EXPECT_EQ(16777215, NetworkIdOf(2 * 16777215LL));
    EXPECT_EQ(1, NetworkIdOf(2 * 16777215LL + 1));
    EXPECT_EQ(7, NetworkIdOf(7));
}

TEST_F(ObjectScreenDb, FlagMasksComeFromTheFlagNames) {
    Sql("DELETE FROM t_fl");
    Sql("INSERT INTO t_fl (tabl, nomf, namf) VALUES ('БВ', 2, 'а'), ('ППО', 1, 'б'), "
        "('КМ', 3, 'в'), ('БВ', 17, 'г')");
    SaveNew(Panel());
    const QString bv = QStringLiteral("0100000000000000");
    const QString po = QStringLiteral("1000000000000000");
    EXPECT_EQ(QStringList({bv + bv + "|" + po + po}), Rows("SELECT flbv, flpo FROM k_net"));

    const FlagMasks none = FlagMasksOf({});
    EXPECT_EQ(QString(32, QLatin1Char('0')), none.flbv);
    EXPECT_EQ(QString(32, QLatin1Char('0')), none.flpo);
}

TEST_F(ObjectScreenDb, NameAndAddressAreStoredAsTyped) {
    SaveNew(
        Panel(QStringLiteral("  Д'Артаньян 100% _  "), QStringLiteral("пр. О'Хара, 5%\nкорп. 2")));
    EXPECT_EQ(QStringList({"Д'Артаньян 100% _|пр. О'Хара, 5%\nкорп. 2"}),
              Rows("SELECT ident, adres FROM k_net"));
}

TEST_F(ObjectScreenDb, AMissingNameOrAddressOrHouseCountSavesNothing) {
    screen_.BeginNewObject();
    HousesSaveOutcome out = screen_.SaveHouses(Panel(QString(), QStringLiteral("адрес")));
    EXPECT_EQ(PanelField::Name, out.focus);
    EXPECT_EQ(std::optional<bool>(false), out.newObjectEntry);
    out = screen_.SaveHouses(Panel(QStringLiteral("имя"), QStringLiteral("   ")));
    EXPECT_EQ(PanelField::Address, out.focus);
    out = screen_.SaveHouses(Panel(QStringLiteral(" "), QString()));
    EXPECT_EQ(PanelField::Name, out.focus);
    // Both filled but no house: the entry stands, nothing is asked or saved.
    out = screen_.SaveHouses(Panel(QStringLiteral("имя"), QStringLiteral("адрес"), 0));
    EXPECT_EQ(PanelField::Houses, out.focus);
    EXPECT_EQ(std::optional<bool>(true), out.newObjectEntry);
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_net").toInt());
    EXPECT_EQ(2, screen_.NewMark());
}

TEST_F(ObjectScreenDb, DeclinedNewObjectClosesThePanel) {
    screen_.BeginNewObject();
    dialogs_.Expect(kConfirmNewCaption, kConfirmNew, DlgAnswer::No);
    const HousesSaveOutcome out = screen_.SaveHouses(Panel());
    EXPECT_TRUE(out.hidePanel);
    EXPECT_FALSE(out.objectInserted);
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_net").toInt());
}

TEST_F(ObjectScreenDb, ADuplicateNameIsRefusedAndItsNamesakeBecomesCurrent) {
    const qint64 first = BuildReference();
    BuildReference({QStringLiteral("Другой")});
    Sql("INSERT INTO k_net (ident, st_net) VALUES ('Скрытый', 'восст')");
    ASSERT_NE(first, CurrentId());

    screen_.BeginNewObject();
    dialogs_.Expect(kConfirmNewCaption, kConfirmNew, DlgAnswer::Yes)
        .Expect(kNameExistsCaption, kNameExists);
    const HousesSaveOutcome out = screen_.SaveHouses(Panel(QStringLiteral(" Дом на Садовой ")));
    EXPECT_TRUE(out.hidePanel);
    EXPECT_EQ(first, CurrentId());
    EXPECT_EQ(3, One("SELECT COUNT(*) FROM k_net").toInt());

    // An object hidden from the list does not hold its name.
    SaveNew(Panel(QStringLiteral("Скрытый")));
    EXPECT_EQ(2, One("SELECT COUNT(*) FROM k_net WHERE ident='Скрытый'").toInt());
}

// ---------------------------------------------------------------- entrance save

TEST_F(ObjectScreenDb, RepeatedOrMissingPrefixesAreRefusedBeforeAnyEntranceChanges) {
    CountRebuilds();
    SaveNew(Panel());
    const QList<qint64> houses = HouseIds(CurrentId());
    ASSERT_TRUE(screen_.SetHousePrefix(houses[0], "1"));
    ASSERT_TRUE(screen_.SetHousePrefix(houses[1], "1"));
    dialogs_.Expect(kError, kPrefixRepeated);
    EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(EntranceSaveResult::PrefixRepeated, out.result);
    EXPECT_EQ(PanelField::Prefix, out.focus);
    EXPECT_FALSE(out.hidePanel);

    Sql("UPDATE k_dom SET kod_d=NULL WHERE id_dom=?", {houses[1]});
    dialogs_.Expect(kError, kPrefixRepeated);
    EXPECT_EQ(EntranceSaveResult::PrefixRepeated, screen_.SaveEntrancesAndRebuild().result);
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_pod").toInt());
    EXPECT_EQ(0, rebuilds_);

    // Without a prefix only the first house may go.
    Sql("UPDATE k_dom SET kod_d=NULL WHERE id_dom=?", {houses[0]});
    Sql("UPDATE k_dom SET kod_d='2' WHERE id_dom=?", {houses[1]});
    out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(EntranceSaveResult::Saved, out.result);
    EXPECT_TRUE(out.hidePanel);
    EXPECT_EQ(1, rebuilds_);

    EXPECT_FALSE(PrefixRepeated({}));
    EXPECT_FALSE(PrefixRepeated({QVariant(), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_TRUE(PrefixRepeated({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")}));
    EXPECT_TRUE(PrefixRepeated({QStringLiteral("1"), QString("")}));
}

TEST_F(ObjectScreenDb, AnEntranceSumUpToTheDeviceLimitIsSaved) {
    Globals().MaxDevice = 50;
    SaveNew(Panel());
    const QList<qint64> houses = HouseIds(CurrentId());
    ASSERT_FALSE(houses.isEmpty());
    screen_.SetHousePrefix(houses[0], "1");
    screen_.SetHousePrefix(houses[1], "2");
    screen_.SetHouseEntrances(houses[0], 25);
    screen_.SetHouseEntrances(houses[1], 25);
    const EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(EntranceSaveResult::Saved, out.result);
    EXPECT_EQ(50, out.entrances);
    EXPECT_EQ(50, One("SELECT COUNT(*) FROM k_pod").toInt());
}

TEST_F(ObjectScreenDb, OneEntranceOverTheLimitIsRefusedAndTheHousesNormalised) {
    CountRebuilds();
    Globals().MaxDevice = 50;
    SaveNew(Panel());
    const qint64 id = CurrentId();
    const QList<qint64> houses = HouseIds(id);
    ASSERT_FALSE(houses.isEmpty());
    screen_.SetHousePrefix(houses[0], "1");
    screen_.SetHousePrefix(houses[1], "2");
    screen_.SetHouseEntrances(houses[0], 25);
    screen_.SetHouseEntrances(houses[1], 26);
    dialogs_.Expect(kError, kTooManyEntrances);
    const EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(EntranceSaveResult::TooManyEntrances, out.result);
    EXPECT_EQ(PanelField::HouseEntrances, out.focus);
    // A new object's houses have no entrance rows yet, so they go.
    EXPECT_TRUE(out.countsKnown);
    EXPECT_EQ(0, out.houses);
    EXPECT_EQ(QStringList({"0|0"}), Rows("SELECT v_dom, v_pod FROM k_net WHERE id_net=?", {id}));
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_dom").toInt());
    EXPECT_EQ(1, screen_.EditMark());
    EXPECT_EQ(0, rebuilds_);
}

TEST_F(ObjectScreenDb, TheReferenceObjectGetsItsEntrancesNamedInSaveOrder) {
    CountRebuilds();
    const qint64 id = BuildReference();
    const QList<qint64> houses = HouseIds(id);
    ASSERT_FALSE(houses.isEmpty());
    EXPECT_EQ(QStringList({"1 Л-01", "2 Л-02"}), Entrances(houses[0]));
    EXPECT_EQ(QStringList({"1 Л-03"}), Entrances(houses[1]));
    EXPECT_EQ(QStringList({"1|2", "2|1"}),
              Rows("SELECT kod_d, v_pod FROM k_dom WHERE id_net=? ORDER BY id_dom", {id}));
    EXPECT_EQ(QStringList({"0|1", "0|1", "0|1"}), Rows("SELECT v_kvr, v_dvr FROM k_pod"));
    // The first entrance save leaves "пусто" to the matrix rebuild (counted here).
    EXPECT_EQ(QStringList({"2|3|пусто"}),
              Rows("SELECT v_dom, v_pod, st_net FROM k_net WHERE id_net=?", {id}));
    EXPECT_EQ(1, rebuilds_);
}

TEST_F(ObjectScreenDb, AGrowingHouseNamesItsNewEntrancesByItsOwnCount) {
    const qint64 id = BuildReference();
    const QList<qint64> houses = HouseIds(id);
    Edit(id);
    screen_.SetHouseEntrances(houses[1], 3);
    const EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(EntranceSaveResult::Saved, out.result);
    EXPECT_EQ(5, out.entrances);
    ASSERT_FALSE(houses.isEmpty());
    EXPECT_EQ(QStringList({"1 Л-01", "2 Л-02"}), Entrances(houses[0]));
    EXPECT_EQ(QStringList({"1 Л-03", "2 Л-02", "3 Л-03"}), Entrances(houses[1]));
    EXPECT_EQ(0, screen_.EditMark());
}

TEST_F(ObjectScreenDb, AShrinkingHouseLosesItsLastEntrancesWithTheirRowsButNoGateKey) {
    const qint64 id = BuildReference({.houses = {{QStringLiteral("1"), 3}}});
    const qint64 house = HouseIds(id).first();
    const QList<qint64> entrances = EntranceIds(house);
    ASSERT_EQ(entrances.size(), 3);
    for (qint64 e : entrances) FillEntrance(id, e);
    AddForeignGateKey(entrances[2]);
    Edit(id);
    screen_.SetHouseEntrances(house, 1);
    EXPECT_EQ(EntranceSaveResult::Saved, screen_.SaveEntrancesAndRebuild().result);

    EXPECT_EQ(QStringList({"1 Л-01"}), Entrances(house));
    ExpectOnlyEntranceLeft(entrances[0]);
    EXPECT_EQ(QStringList({"1|1"}), Rows("SELECT v_dom, v_pod FROM k_net WHERE id_net=?", {id}));
}

TEST_F(ObjectScreenDb, AHouseReducedToNoEntranceGoes) {
    const qint64 id = BuildReference();
    const QList<qint64> houses = HouseIds(id);
    ASSERT_FALSE(EntranceIds(houses[1]).isEmpty());
    FillEntrance(id, EntranceIds(houses[1]).first());
    Edit(id);
    screen_.SetHouseEntrances(houses[1], 0);
    const EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(1, out.houses);
    EXPECT_EQ(2, out.entrances);
    ASSERT_FALSE(houses.isEmpty());
    EXPECT_EQ(QList<qint64>({houses[0]}), HouseIds(id));
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_key").toInt());
    EXPECT_EQ(0, One("SELECT COUNT(*) FROM k_kvr").toInt());
}

TEST_F(ObjectScreenDb, EntranceSaveMovesTheStateByWhatChanged) {
    struct Case {
        const char* before;
        int house2;  // entrances of house 2 after the edit (1 = unchanged)
        const char* after;
    };
    const Case cases[] = {
        {"создано", 2, "создано"},     {"введено", 2, "введ+ввод"},   {"сохранено", 2, "сохр+ввод"},
        {"сохр+ввод", 2, "сохр+ввод"}, {"закрыто", 2, "закр+ввод"},   {"закр+сохр", 2, "закр+ввод"},
        {"закрыто", 0, "закр+ввод"},   {"закр+сохр", 0, "сохр+ввод"}, {"закрыто", 1, "закрыто"},
        {"сохранено", 1, "сохранено"},
    };
    for (const Case& c : cases) {
        Sql("DELETE FROM k_pod");
        Sql("DELETE FROM k_dom");
        Sql("DELETE FROM k_net");
        const qint64 id = BuildReference();
        SetState(id, QString::fromUtf8(c.before));
        Edit(id);
        screen_.SetHouseEntrances(HouseIds(id)[1], c.house2);
        EXPECT_EQ(EntranceSaveResult::Saved, screen_.SaveEntrancesAndRebuild().result);
        EXPECT_EQ(QString::fromUtf8(c.after), State(id))
            << c.before << " with " << c.house2 << " entrances in house 2";
    }
}

TEST_F(ObjectScreenDb, WithoutEditModeTheEntranceSaveOnlyClosesThePanel) {
    CountRebuilds();
    const qint64 id = BuildReference();
    rebuilds_ = 0;
    screen_.SetHouseEntrances(HouseIds(id)[1], 4);
    const EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(EntranceSaveResult::Saved, out.result);
    EXPECT_TRUE(out.hidePanel);
    EXPECT_FALSE(out.countsKnown);
    EXPECT_EQ(3, One("SELECT COUNT(*) FROM k_pod").toInt());
    EXPECT_EQ(0, rebuilds_);
}

TEST_F(ObjectScreenDb, AFailingEntranceSaveChangesNothingAndSaysSo) {
    const qint64 id = BuildReference();
    Sql("CREATE TRIGGER no_entrance BEFORE INSERT ON k_pod BEGIN SELECT RAISE(ABORT, 'x'); END");
    Edit(id);
    const QList<qint64> houses = HouseIds(id);
    ASSERT_FALSE(houses.isEmpty());
    screen_.SetHouseEntrances(houses[0], 1);
    screen_.SetHouseEntrances(houses[1], 2);
    QSqlDatabase db = Db();
    const QString before = TestDatabase::Dump(db);
    dialogs_.ExpectContaining(kError, QStringLiteral("Подъезды не сохранены."));
    const EntrancesSaveOutcome out = screen_.SaveEntrancesAndRebuild();
    EXPECT_EQ(EntranceSaveResult::Failed, out.result);
    EXPECT_FALSE(out.hidePanel);
    EXPECT_EQ(before, TestDatabase::Dump(db));
    EXPECT_EQ(2, screen_.EditMark());
}

// ---------------------------------------------------------------- houses of an existing object

class HouseRemoval : public ObjectScreenDb {
  protected:
    void SetUp() override {
        ObjectScreenDb::SetUp();
        id_ = BuildReference(
            {.houses = {
                 {QStringLiteral("1"), 1}, {QStringLiteral("2"), 1}, {QStringLiteral("3"), 1}}});
        houses_ = HouseIds(id_);
        for (qint64 house : houses_) {
            const QList<qint64> entrances = EntranceIds(house);
            ASSERT_FALSE(entrances.isEmpty());
            FillEntrance(id_, entrances.first());
        }
        ASSERT_FALSE(EntranceIds(houses_[2]).isEmpty());
        gatePanel_ = EntranceIds(houses_[2]).first();
        AddForeignGateKey(gatePanel_);
    }
    // failure: the start of the message that follows a failed removal.
    HousesSaveOutcome ReduceToOneHouse(DlgAnswer answer, const QString& failure = {}) {
        ObjectPanelValues panel = Edit(id_);
        panel.houses = 1;
        dialogs_.Expect(kDeleteHousesCaption, kDeleteHouses, answer);
        if (!failure.isEmpty()) dialogs_.ExpectContaining(kError, failure);
        return screen_.SaveHouses(panel);
    }

    qint64 id_ = 0;
    QList<qint64> houses_;
    qint64 gatePanel_ = 0;
};

TEST_F(HouseRemoval, RemovedHousesTakeTheirEntrancesApartmentsKeysAndSwitches) {
    const HousesSaveOutcome out = ReduceToOneHouse(DlgAnswer::Yes);
    EXPECT_TRUE(out.showHouses);
    EXPECT_EQ(1, out.panel.houses);
    EXPECT_EQ(1, out.panel.entrances);
    ASSERT_FALSE(houses_.isEmpty());
    EXPECT_EQ(QList<qint64>({houses_[0]}), HouseIds(id_));
    ASSERT_FALSE(EntranceIds(houses_[0]).isEmpty());
    ExpectOnlyEntranceLeft(EntranceIds(houses_[0]).first());
    EXPECT_EQ(QStringList({"1|1"}), Rows("SELECT v_dom, v_pod FROM k_net WHERE id_net=?", {id_}));
}

TEST_F(HouseRemoval, DeclinedRemovalKeepsTheHousesAndTheirCount) {
    const HousesSaveOutcome out = ReduceToOneHouse(DlgAnswer::No);
    EXPECT_EQ(3, out.panel.houses);
    EXPECT_EQ(houses_, HouseIds(id_));
    EXPECT_EQ(QStringList({"3|3"}), Rows("SELECT v_dom, v_pod FROM k_net WHERE id_net=?", {id_}));
}

TEST_F(HouseRemoval, ARemovalFailingHalfWayLeavesEveryRow) {
    Sql("CREATE TRIGGER keep_keys BEFORE DELETE ON k_key BEGIN SELECT RAISE(ABORT, 'x'); END");
    QSqlDatabase db = Db();
    const QString before = TestDatabase::Dump(db);
    const HousesSaveOutcome out =
        ReduceToOneHouse(DlgAnswer::Yes, QStringLiteral("Дома не сохранены."));
    EXPECT_FALSE(out.showHouses);
    EXPECT_EQ(before, TestDatabase::Dump(db));
    EXPECT_EQ(3, dm_.Q_Dom->RecordCount());
}

TEST_F(ObjectScreenDb, AddedHousesWaitForTheirEntrances) {
    const qint64 id = BuildReference();
    ObjectPanelValues panel = Edit(id);
    panel.houses = 3;
    const HousesSaveOutcome out = screen_.SaveHouses(panel);
    EXPECT_TRUE(out.showHouses);
    EXPECT_EQ(3, out.panel.entrances);
    EXPECT_EQ(QStringList({"1|2|добавлен", "2|1|добавлен", "|1|добавлен"}),
              Rows("SELECT kod_d, v_pod, st_dom FROM k_dom WHERE id_net=? ORDER BY id_dom", {id}));
    EXPECT_EQ(QStringList({"3|3"}), Rows("SELECT v_dom, v_pod FROM k_net WHERE id_net=?", {id}));
    EXPECT_EQ(2, screen_.EditMark());
}

TEST_F(ObjectScreenDb, AHeaderChangeIsSavedButNotAnotherObjectsName) {
    CountRebuilds();
    const qint64 id = BuildReference();
    BuildReference({QStringLiteral("Другой")});
    SetState(id, ObjectState::kClosed);
    ObjectPanelValues panel = Edit(id);
    panel.name = QStringLiteral("Другой");
    panel.address = QStringLiteral("ул. Новая, 1");
    panel.console = false;
    dialogs_.Expect(kError, kNameRepeated);
    const HousesSaveOutcome out = screen_.SaveHouses(panel);
    EXPECT_EQ(QStringLiteral("Дом на Садовой"), out.panel.name);
    EXPECT_EQ(QStringList({"Дом на Садовой|ул. Новая, 1|0|закр+сохр"}),
              Rows("SELECT ident, adres, l_pok, st_net FROM k_net WHERE id_net=?", {id}));
    EXPECT_EQ(0, screen_.EditMark());

    // Out of edit mode a following entrance save only closes the panel.
    rebuilds_ = 0;
    EXPECT_TRUE(screen_.SaveEntrancesAndRebuild().hidePanel);
    EXPECT_EQ(0, rebuilds_);

    panel = Edit(id);
    panel.name = QStringLiteral("Дом на Садовой, 12");
    screen_.SaveHouses(panel);
    EXPECT_EQ(QStringList({"Дом на Садовой, 12|сохранено"}),
              Rows("SELECT ident, st_net FROM k_net WHERE id_net=?", {id}));
}

// ---------------------------------------------------------------- panel and normalisation

// The count shown is the houses there are; loading writes nothing, the next
// save of the houses stores it.
TEST_F(ObjectScreenDb, LoadingThePanelTakesAMissingHouseCountFromTheHouses) {
    QString headline;
    ObjectPanelValues v = screen_.LoadObjectPanel(&headline);
    EXPECT_EQ(kNoObjectHeadline, headline);
    EXPECT_EQ(0, screen_.EditMark());
    EXPECT_EQ(1, v.houses);
    EXPECT_TRUE(v.console);

    const qint64 id = BuildReference();
    Sql("UPDATE k_net SET v_dom=0 WHERE id_net=?", {id});
    dm_.Q_Net->Reopen();
    v = screen_.LoadObjectPanel(&headline);
    EXPECT_EQ(QStringLiteral("Вы производите корректировку существующего объекта Дом на Садовой."),
              headline);
    EXPECT_EQ(2, v.houses);
    EXPECT_EQ(3, v.entrances);
    EXPECT_EQ(1, v.gates);
    EXPECT_EQ(QStringLiteral("ул. Садовая, 12"), v.address);
    EXPECT_EQ(0, One("SELECT v_dom FROM k_net WHERE id_net=?", {id}).toInt());
    EXPECT_EQ(2, screen_.EditMark());
    screen_.SaveHouses(v);
    EXPECT_EQ(2, One("SELECT v_dom FROM k_net WHERE id_net=?", {id}).toInt());
}

TEST_F(ObjectScreenDb, NormalisationFollowsTheEntranceRowsAndTheSavedMatrix) {
    const qint64 id = BuildReference();
    const QList<qint64> houses = HouseIds(id);
    ASSERT_FALSE(houses.isEmpty());
    Sql("UPDATE k_dom SET v_pod=5 WHERE id_dom=?", {houses[0]});
    Sql("INSERT INTO k_dom (id_net, kod_d, v_pod) VALUES (?, '3', 1)", {id});
    for (const char* prefix : {"1", "7", "9"})
        Sql("INSERT INTO m_pk (id_net, n_pk, kod_d) VALUES (?, (SELECT COUNT(*) + 1 FROM m_pk), ?)",
            {id, QString::fromLatin1(prefix)});
    Sql("UPDATE k_net SET v_pod=9 WHERE id_net=?", {id});
    Edit(id);
    const std::optional<ObjectCounts> counts = screen_.Normalise();
    ASSERT_TRUE(counts);
    EXPECT_EQ(2, counts->houses);
    EXPECT_EQ(3, counts->entrances);
    EXPECT_EQ(QStringList({"7|2", "9|1"}),
              Rows("SELECT kod_d, v_pod FROM k_dom WHERE id_net=? ORDER BY id_dom", {id}));
    EXPECT_EQ(QStringList({"2|3"}), Rows("SELECT v_dom, v_pod FROM k_net WHERE id_net=?", {id}));
    EXPECT_EQ(0, screen_.EditMark());
}

TEST_F(ObjectScreenDb, ANewObjectNotYetSavedLeavesTheCurrentObjectAlone) {
    const qint64 id = BuildReference();
    Sql("INSERT INTO k_dom (id_net, kod_d, v_pod) VALUES (?, '3', 1)", {id});
    screen_.BeginNewObject();
    EXPECT_FALSE(screen_.Normalise());
    EXPECT_EQ(3, HouseIds(id).size());
    EXPECT_EQ(0, screen_.NewMark());

    // Leaving for the matrix in edit mode normalises.
    Edit(id);
    screen_.LeaveForMatrix();
    EXPECT_EQ(2, HouseIds(id).size());
    EXPECT_EQ(0, screen_.EditMark());
}

TEST_F(ObjectScreenDb, TheHousesGridTakesOnlyDigitsAndKnownHouses) {
    const qint64 id = BuildReference();
    const qint64 house = HouseIds(id).first();
    EXPECT_FALSE(screen_.SetHousePrefix(house, QStringLiteral("1a")));
    EXPECT_FALSE(screen_.SetHousePrefix(house, QStringLiteral("123456")));
    EXPECT_FALSE(screen_.SetHousePrefix(house + 100, QStringLiteral("5")));
    EXPECT_FALSE(screen_.SetHouseEntrances(house, -1));
    EXPECT_TRUE(screen_.SetHousePrefix(house, QStringLiteral("01234")));
    EXPECT_EQ(QStringLiteral("01234"),
              One("SELECT kod_d FROM k_dom WHERE id_dom=?", {house}).toString());
}

TEST(HouseGrid, ShowsFourRowsOrWhatFits) {
    EXPECT_EQ(0, HouseGridRows(1000, 100, 38, 0));
    EXPECT_EQ(2, HouseGridRows(1000, 100, 38, 2));
    EXPECT_EQ(4, HouseGridRows(1000, 100, 38, 10));
    // 100 pixels under the grid's top hold 2.6 rows: one less, rounded.
    EXPECT_EQ(2, HouseGridRows(200, 100, 38, 10));
    EXPECT_EQ(1, HouseGridRows(120, 100, 38, 10));
    EXPECT_EQ(QStringLiteral("Л-07"), DefaultEntranceName(7));
    EXPECT_EQ(QStringLiteral("Л-123"), DefaultEntranceName(123));
}
}  // namespace
}  // namespace ObjectScreenTestUnit
