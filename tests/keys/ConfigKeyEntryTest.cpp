// Keys of a call-panel file entered into the key register: where each key of
// sections 5, 6 and 7 goes, what it is marked with, what is confirmed rather
// than entered, and the configuration-file states that follow.

#include "KeyObjectFixture.h"
#include "PanelFileKeys.h"
#include "foundation/BoundSql.h"
#include "keys/ConfigKeyEntry.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <QDate>

namespace ConfigKeyEntryTestUnit {

namespace {

QString today() {
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}

Keys5List keys5(const QList<std::pair<QString, QString>>& rows) {
    Keys5List list;
    for (const auto& [index, key] : rows) list.rows << Keys5Row{index, key, MainSlotMark()};
    list.kolSl5 = list.rows.size();
    return list;
}

Keys6List keys6(const QList<std::pair<QString, QString>>& rows) {
    Keys6List list;
    for (const auto& [index, key] : rows) list.rows << Keys6Row{index, key};
    list.kolSl6 = list.rows.size();
    return list;
}

Keys7List keys7(const QStringList& keys) {
    Keys7List list;
    list.keys = keys;
    list.kolSl7 = keys.size();
    return list;
}

// ---------------------------------------------------------------- the plan

TEST(ConfigKeyPlan, SectionFiveWalksTheApartmentsInIndexOrder) {
    // Two entrances of 2 and 3 apartments: indexes 1..5.
    const QList<int> counts{2, 3};
    const Keys5List list = keys5({{"1", "00000A"},
                                  {" ", "00000B"},  // blank: passed over, the walk goes on
                                  {"2", "00000C"},
                                  {"4", "00000D"},  // waits for apartment 4
                                  {"3", "00000E"},  // smaller than 4 by then: skipped
                                  {"9", "00000F"},  // beyond the walk
                                  {"", "000010"}});
    const ConfigKeyPlan withCommon = PlanConfigKeyEntry(counts, list, {}, {}, {true, true}, false);
    ASSERT_TRUE(withCommon.error.isEmpty());
    QStringList placed;
    for (const ImportedKey& k : withCommon.keys)
        placed << k.key + QLatin1Char('@') + QString::number(k.apartment);
    EXPECT_EQ(placed, QStringList({"00000A@1", "00000C@2", "00000D@4", "00000F@5", "000010@5"}));

    const ConfigKeyPlan without = PlanConfigKeyEntry(counts, list, {}, {}, {true, false}, false);
    EXPECT_EQ(without.keys.size(), 3);  // rows beyond the walk are left
}

TEST(ConfigKeyPlan, OnlySixHexDigitKeysOtherThanTheEmptySlotAreTaken) {
    const Keys5List list = keys5({{"1", "FFFFFF"},
                                  {"1", "12345"},
                                  {"1", "1234567"},
                                  {"1", "GGGGGG"},
                                  {"1", ""},
                                  {"1", " a1b2c3 "},
                                  {"1", "ffffff"}});
    const ConfigKeyPlan plan = PlanConfigKeyEntry({3}, list, {}, {}, {true, true}, false);
    ASSERT_EQ(plan.keys.size(), 1);
    EXPECT_EQ(plan.keys[0].key, "A1B2C3");
}

TEST(ConfigKeyPlan, AnIndexThatIsNoNumberStopsEverythingAndNamesTheCell) {
    const ConfigKeyPlan five = PlanConfigKeyEntry({3}, keys5({{"1", "00000A"}, {"2x", "00000B"}}),
                                                  {}, keys7({"00000C"}), {true, true}, false);
    EXPECT_TRUE(five.keys.isEmpty());
    EXPECT_EQ(five.error,
              "Секция 5, строка 2: индекс квартиры \"2x\" не является целым числом. "
              "Ключи не внесены.");
    const ConfigKeyPlan six = PlanConfigKeyEntry({3}, {}, keys6({{"1", "00000A"}, {"?", "00000B"}}),
                                                 {}, {true, true}, false);
    EXPECT_TRUE(six.error.startsWith("Секция 6, строка 2:"));
    // Without apartment keys the indexes are not read.
    EXPECT_TRUE(PlanConfigKeyEntry({3}, keys5({{"x", "00000A"}}), {}, {}, {false, true}, false)
                    .error.isEmpty());
}

TEST(ConfigKeyPlan, SectionSixAndSevenTargets) {
    const Keys6List six = keys6({{"2", "00000A"}, {"0", "00000B"}, {"7", "00000C"}});
    const ConfigKeyPlan plan =
        PlanConfigKeyEntry({2, 3}, {}, six, keys7({"00000D", "FFFFFF"}), {true, true}, false);
    ASSERT_EQ(plan.keys.size(), 4);
    EXPECT_EQ(plan.keys[0].kind, ImportedKeyKind::Section6);
    EXPECT_EQ(plan.keys[0].apartment, 2);
    for (int i : {1, 2}) {  // index 0 (none) and 7 (past 5 apartments)
        EXPECT_EQ(plan.keys[i].kind, ImportedKeyKind::NoApartment);
        EXPECT_EQ(plan.keys[i].entrance, 1);  // the walk's last entrance
    }
    EXPECT_EQ(plan.keys[3].kind, ImportedKeyKind::Common);
    EXPECT_EQ(plan.keys[3].entrance, 1);

    // A section 6 whose first index is blank is not read; a gate file's
    // section 7 neither when its first key is blank.
    EXPECT_TRUE(PlanConfigKeyEntry({2}, {}, keys6({{"", "00000A"}, {"1", "00000B"}}), {},
                                   {true, false}, false)
                    .keys.isEmpty());
    EXPECT_TRUE(
        PlanConfigKeyEntry({2}, {}, {}, keys7({"", "00000A"}), {true, true}, true).keys.isEmpty());
    const ConfigKeyPlan gate =
        PlanConfigKeyEntry({}, {}, {}, keys7({"00000A"}), {true, true}, true);
    ASSERT_EQ(gate.keys.size(), 1);
    EXPECT_EQ(gate.keys[0].kind, ImportedKeyKind::Gate);
}

// ---------------------------------------------------------------- the entry

class ConfigKeyEntryTest : public KeyObjectFixture {
  protected:
    ConfigKeyEntryResult Enter(const ConfigFileIdent& ident, const Keys5List& k5,
                               const Keys6List& k6, const Keys7List& k7,
                               ConfigKeyEntryOptions options = {}) {
        return EnterConfigKeys(*dm_, ident, k5, k6, k7, options, 63);
    }
    PanelFileKeys FileOf(int nNet) {
        return ReadPanelFileKeys(dm_->ConnectionDB(), objectId_, nNet);
    }
    ConfigFileIdent PanelIdent(int nNet) { return FileOf(nNet).ident; }

    QStringList Statuses(const QString& where, const QVariantList& values = {}) {
        QStringList all;
        QSqlQuery q(dm_->ConnectionDB());
        EXPECT_TRUE(ExecBound(q, "SELECT status FROM k_key WHERE " + where + " ORDER BY rowid",
                              values, nullptr));
        while (q.next()) all << q.value(0).toString();
        return all;
    }
    QStringList Snapshot() {
        QStringList rows;
        for (const char* sql : {"SELECT * FROM k_key ORDER BY rowid",
                                "SELECT id_kvr, x_key, y_key FROM k_kvr ORDER BY id_kvr",
                                "SELECT id_pod, o_key, o_rky FROM k_pod ORDER BY id_pod",
                                "SELECT id_bv, kf_pr FROM k_bv ORDER BY id_bv"})
            rows << TableRows(sql);
        return rows;
    }
    void ClearEntranceKeys(int entrance) {
        Exec("DELETE FROM k_key WHERE id_pod=?", {entranceIds_[entrance]});
        Exec("UPDATE k_kvr SET y_key=0 WHERE id_pod=?", {entranceIds_[entrance]});
        Exec("UPDATE k_pod SET o_rky=0 WHERE id_pod=?", {entranceIds_[entrance]});
        Reload();
    }

    ScriptedDialogs dialogs_;
};

TEST_F(ConfigKeyEntryTest, TheFileOfAPanelConfirmsTheKeysItWasMadeFrom) {
    Exec("UPDATE k_bv SET kf_pr=3");
    Reload();
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    const ConfigKeyEntryResult r = Enter(file.ident, file.keys5, file.keys6, file.keys7);
    EXPECT_EQ(r.entered, 0);
    EXPECT_EQ(r.confirmed, 10 + 3);
    EXPECT_EQ(r.FoundText(), "");
    EXPECT_EQ(r.KeysText(), "Подтверждено ключей: 13.");
    EXPECT_EQ(Statuses("id_pod=?", {entranceIds_[0]}),
              QStringList(13, QStringLiteral("АРМ+CNF ") + today()));
    EXPECT_EQ(Statuses("id_pod=?", {entranceIds_[1]}).first(), "АРМ 01.03.2024");
    // Confirmations change no file.
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 3);
    EXPECT_EQ(PanelState(kGateNet), 3);
    EXPECT_FALSE(dm_->Q_key1->IsOpen());
    EXPECT_FALSE(dm_->Q_Kvr1->IsOpen());
}

TEST_F(ConfigKeyEntryTest, KeysMissingFromTheRegisterAreEnteredWithTheirMarks) {
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    Exec("UPDATE k_bv SET kf_pr=3");
    ClearEntranceKeys(0);
    const ConfigKeyEntryResult r = Enter(file.ident, file.keys5, file.keys6, file.keys7);
    EXPECT_EQ(r.entered, 13);
    EXPECT_EQ(r.FoundText(), "Внесено ключей: 13.");
    EXPECT_EQ(r.KeysText(), "");
    const int first = ApartmentId(0, 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE id_kvr=? AND un_key='0000001A0001'"
                    " AND bv_key='1A0001' AND l_ob=0 AND id_net=? AND id_pod=?",
                    {first, objectId_, entranceIds_[0]}),
              1);
    EXPECT_EQ(Statuses("id_kvr=?", {first}), QStringList(2, QStringLiteral("CNF ") + today()));
    EXPECT_EQ(Count("SELECT y_key FROM k_kvr WHERE id_kvr=?", {first}), 2);
    EXPECT_EQ(Statuses("id_kvr=-1 AND id_pod=?", {entranceIds_[0]}),
              QStringList(3, QStringLiteral("CNF 7\u0441 o ") + today()));
    EXPECT_EQ(Count("SELECT o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[0]}), 3);
    // The panels of the entrance's switch get new files: 3 becomes 4.
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 4);
    EXPECT_EQ(PanelState(kGateNet), 4);  // wired to that switch with plus 1 too
    EXPECT_EQ(PanelState(EntrancePanelNet(1)), 3);

    // The same file again only confirms.
    Reload();
    const ConfigKeyEntryResult again = Enter(file.ident, file.keys5, file.keys6, file.keys7);
    EXPECT_EQ(again.entered, 0);
    EXPECT_EQ(again.confirmed, 13);
    EXPECT_EQ(Statuses("id_kvr=?", {first}), QStringList(2, QStringLiteral("CNF ") + today()));
}

TEST_F(ConfigKeyEntryTest, AKeyIsConfirmedInItsOwnApartmentOnlyAndEnteredAnewElsewhere) {
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    // The first key of apartment 1, once at index 1 and once at index 6.
    const Keys5List list = keys5({{"1", "1A0001"}, {"6", "1A0001"}});
    const ConfigKeyEntryResult r = Enter(file.ident, list, {}, {}, {true, false});
    EXPECT_EQ(r.confirmed, 1);
    EXPECT_EQ(r.entered, 1);
    EXPECT_EQ(r.KeysText(), "Подтверждено ключей: 1.");
    EXPECT_EQ(Statuses("id_kvr=? AND bv_key='1A0001'", {ApartmentId(0, 1)}),
              QStringList{QStringLiteral("АРМ+CNF ") + today()});
    EXPECT_EQ(Statuses("id_kvr=? AND bv_key='1A0001'", {ApartmentId(0, 6)}),
              QStringList{QStringLiteral("CNF ") + today()});
    // Another status than the key screen's is confirmed as "CNF ".
    Exec("UPDATE k_key SET status='вставка 01.01.2024' WHERE id_kvr=?", {ApartmentId(0, 1)});
    Reload();
    Enter(file.ident, keys5({{"1", "1A0001"}}), {}, {}, {true, false});
    EXPECT_EQ(Statuses("id_kvr=? AND bv_key='1A0001'", {ApartmentId(0, 1)}),
              QStringList{QStringLiteral("CNF ") + today()});
}

TEST_F(ConfigKeyEntryTest, RowsBeyondTheWalkGoToItsLastApartmentOnlyWithCommonKeys) {
    const ConfigFileIdent ident = PanelIdent(EntrancePanelNet(0));
    const Keys5List list = keys5({{"2", "0B0001"}, {"50", "0B0002"}, {"", "0B0003"}});
    const int last = ApartmentId(0, kApartments + 1);  // the walk ends on the console's handset
    Enter(ident, list, {}, {}, {true, false});
    EXPECT_EQ(KeysOf(last), 0);
    EXPECT_EQ(
        Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0B0001' AND id_kvr=?", {ApartmentId(0, 2)}),
        1);
    Enter(ident, list, {}, {}, {true, true});
    EXPECT_EQ(KeysOf(last), 2);
}

TEST_F(ConfigKeyEntryTest, SectionSixKeysWithoutAnApartmentBecomeOneCommonKey) {
    const ConfigFileIdent ident = PanelIdent(EntrancePanelNet(0));
    const Keys6List six = keys6({{"3", "0C0001"}, {"99", "0C0002"}, {"0", "FFFFFF"}});
    const ConfigKeyEntryResult r = Enter(ident, {}, six, {});
    EXPECT_EQ(r.entered, 2);
    EXPECT_EQ(Statuses("bv_key='0C0001' AND id_kvr=?", {ApartmentId(0, 3)}),
              QStringList{QStringLiteral("CNF 6c ") + today()});
    EXPECT_EQ(Statuses("bv_key='0C0002' AND id_kvr=-1 AND id_pod=?", {entranceIds_[0]}),
              QStringList{QStringLiteral("CNF несущ.кв. ") + today()});
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0C0001'"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='FFFFFF'"), 0);

    // A second import confirms the common key rather than adding another.
    Reload();
    const ConfigKeyEntryResult again = Enter(ident, {}, six, {});
    EXPECT_EQ(again.entered, 0);
    EXPECT_EQ(again.confirmed, 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0C0002'"), 1);
}

TEST_F(ConfigKeyEntryTest, MarksAreStoredByteExact) {
    const ConfigFileIdent panel = PanelIdent(EntrancePanelNet(0));
    Enter(panel, {}, keys6({{"1", "0D0001"}}), keys7({"0D0002"}));
    const QByteArray six = Statuses("bv_key='0D0001'").value(0).toUtf8();
    const QByteArray seven = Statuses("bv_key='0D0002'").value(0).toUtf8();
    EXPECT_TRUE(six.startsWith(QByteArray("CNF 6c ")));             // Latin c
    EXPECT_TRUE(seven.startsWith(QByteArray("CNF 7\xD1\x81 o ")));  // Cyrillic с, Latin o

    Exec("UPDATE k_bv SET kf_pr=5 WHERE id_bv=?", {gateId_});
    Reload();
    const ConfigFileIdent gate = PanelIdent(kGateNet);
    ASSERT_EQ(gate.typeBv, 1);
    const ConfigKeyEntryResult r = Enter(gate, {}, {}, keys7({"0D0003", "FFFFFF", "1A0001"}));
    EXPECT_EQ(r.entered, 2);  // a gate takes what its entrances hold too
    const QByteArray gateMark = Statuses("bv_key='0D0003'").value(0).toUtf8();
    EXPECT_TRUE(gateMark.startsWith(QByteArray("CNF 7\xD1\x81 k ")));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key='0D0003' AND id_kvr=-2 AND id_pod=?"
                    " AND l_ob=1",
                    {gateId_}),
              1);
    EXPECT_EQ(PanelState(kGateNet), 4);
}

TEST_F(ConfigKeyEntryTest, NothingIsWrittenWithoutBoxesOrForABadCellOrAnUnknownPanel) {
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    ClearEntranceKeys(0);
    const QStringList before = Snapshot();
    int gauge = -1, top = -1;
    const auto progress = [&](int value, int maximum, bool) {
        gauge = value;
        top = maximum;
    };
    const ConfigKeyEntryResult none = EnterConfigKeys(*dm_, file.ident, file.keys5, file.keys6,
                                                      file.keys7, {false, false}, 63, progress);
    EXPECT_EQ(none.entered + none.confirmed, 0);
    EXPECT_EQ(gauge, top);  // the gauge ends at its end
    EXPECT_EQ(Snapshot(), before);

    dialogs_.ExpectContaining("Ошибка", "строка 1: индекс квартиры \"один\"");
    Keys5List bad = file.keys5;
    bad.rows[0].apartment = QStringLiteral("один");
    const ConfigKeyEntryResult refused = Enter(file.ident, bad, file.keys6, file.keys7);
    EXPECT_TRUE(refused.failed);
    EXPECT_EQ(Snapshot(), before);

    ConfigFileIdent elsewhere = file.ident;
    elsewhere.idBv = 999;
    Enter(elsewhere, file.keys5, file.keys6, file.keys7);
    EXPECT_EQ(Snapshot(), before);
}

// The counters follow every key as the data module takes them on each post:
// a count below the object's quota (4) first makes that the quota, so a
// quota of 10 does not survive three keys entered into an apartment of 2.
TEST_F(ConfigKeyEntryTest, AnApartmentsQuotaFollowsEachKeyAsItIsPosted) {
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    const int apartment = ApartmentId(0, 1);
    Exec("UPDATE k_kvr SET x_key=10 WHERE id_kvr=?", {apartment});
    Reload();
    const ConfigKeyEntryResult r = Enter(
        file.ident, keys5({{"1", "0A0001"}, {"1", "0A0002"}, {"1", "0A0003"}, {"1", "1A0001"}}), {},
        {}, {true, false});
    EXPECT_EQ(r.entered, 3);
    EXPECT_EQ(r.confirmed, 1);
    EXPECT_EQ(
        TableRows(QStringLiteral("SELECT x_key, y_key FROM k_kvr WHERE id_kvr=%1").arg(apartment)),
        QStringList{"5|5"});
}

// A key twice in one file: entered once, then found and confirmed as a key
// that did not come from the key screen.
TEST_F(ConfigKeyEntryTest, AKeyTwiceInAFileIsEnteredThenConfirmed) {
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    const ConfigKeyEntryResult r =
        Enter(file.ident, {}, {}, keys7({"0C0001", "0C0001"}), {false, true});
    EXPECT_EQ(r.entered, 1);
    EXPECT_EQ(r.confirmed, 1);
    EXPECT_EQ(Statuses("bv_key='0C0001'"), QStringList{QStringLiteral("CNF ") + today()});
    EXPECT_EQ(Count("SELECT o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[0]}), 4);
}

}  // namespace
}  // namespace ConfigKeyEntryTestUnit
