#include "support/QtPrinters.h"

#include "SiteFixture.h"

#include <gtest/gtest.h>
#include <QSqlQuery>

#include <functional>

namespace KeyCountersTestUnit {

namespace {

class KeyCountersTest : public SiteFixture {
  protected:
    // "x_key/y_key" of an apartment row.
    QString Quota(int idKvr) {
        return Scalar(QStringLiteral("SELECT x_key || '/' || y_key FROM k_kvr WHERE id_kvr=%1")
                          .arg(idKvr))
            .toString();
    }
    void AddKey(Dataset* keys, const QString& number) {
        keys->Append();
        keys->FieldByName("un_key").SetValue(number);
        ASSERT_TRUE(keys->Post()) << keys->LastError().toStdString();
    }
    void InsertKeys(int idKvr, int count) {
        Exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n"
                            " WHERE i<%2) INSERT INTO k_key (un_key, id_kvr, id_pod)"
                            " SELECT printf('%012X', i), %1, 1 FROM n")
                 .arg(idKvr)
                 .arg(count));
    }
};

// Apartment lists of a call panel (Q_Kvr under Q_Bpk): a quota above the
// count is kept unless the count falls below the object's default (2).
TEST_F(KeyCountersTest, ApartmentListKeepsQuotaAboveObjectDefault) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", 1));
    ASSERT_TRUE(dm_->Q_Kvr->Locate("n_kvr", "12"));
    const int id = dm_->Q_Kvr->FieldByName("id_kvr").AsInt();

    AddKey(dm_->Q_key, "000000000001");
    EXPECT_EQ(Quota(id), "1/1");  // count at the quota raises it
    AddKey(dm_->Q_key, "000000000002");
    EXPECT_EQ(Quota(id), "2/2");

    Exec(QStringLiteral("UPDATE k_kvr SET x_key=5 WHERE id_kvr=%1").arg(id));
    ASSERT_TRUE(dm_->Q_Kvr->Reopen());
    AddKey(dm_->Q_key, "000000000003");
    EXPECT_EQ(Quota(id), "5/3");
    ASSERT_TRUE(dm_->Q_key->Delete());
    EXPECT_EQ(Quota(id), "5/2");  // count at the default: quota stays
    ASSERT_TRUE(dm_->Q_key->Delete());
    EXPECT_EQ(Quota(id), "2/1");  // below the default: quota becomes the default
    ASSERT_TRUE(dm_->Q_key->Delete());
    EXPECT_EQ(Quota(id), "2/0");
    EXPECT_EQ(dm_->Q_Kvr->FieldByName("x_key").AsInt(), 2);  // the dataset row too
}

// The key screen (QKeys under QForKey) lowers the quota to the count when
// the count is at or above the object's default (2).
TEST_F(KeyCountersTest, KeyScreenLowersQuotaToTheCount) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    ASSERT_TRUE(dm_->QForKey->Locate("n_kvr", "21"));
    const int id = dm_->QForKey->FieldByName("id_kvr").AsInt();
    InsertKeys(id, 3);
    Exec(QStringLiteral("UPDATE k_kvr SET x_key=5, y_key=3 WHERE id_kvr=%1").arg(id));
    ASSERT_TRUE(dm_->ReopenKeys());
    ASSERT_EQ(dm_->QKeys->RecordCount(), 3);
    dm_->QKeys->SetRecNo(2);
    ASSERT_TRUE(dm_->QKeys->Delete());
    EXPECT_EQ(Quota(id), "2/2");
    EXPECT_EQ(dm_->QKeys->RecNo(), 2);  // the key row stays current
    ASSERT_TRUE(dm_->QKeys->Delete());
    EXPECT_EQ(Quota(id), "2/1");  // never below the object's default
    for (const char* k : {"B00000000001", "B00000000002", "B00000000003"}) AddKey(dm_->QKeys, k);
    EXPECT_EQ(Quota(id), "4/4");  // count at or above the quota raises it

    Exec(QStringLiteral("UPDATE k_kvr SET x_key=9 WHERE id_kvr=%1").arg(id));
    ASSERT_TRUE(dm_->ReopenKeys());
    AddKey(dm_->QKeys, "B00000000004");
    EXPECT_EQ(Quota(id), "5/5");  // unlike the panel lists, which keep 9
}

TEST_F(KeyCountersTest, CommonKeysOfAnEntrance) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    ASSERT_TRUE(dm_->QPodKey->Locate("id_pod", 2));
    Exec("UPDATE k_pod SET o_key=3 WHERE id_pod=2");
    ASSERT_TRUE(dm_->ReopenKeys());
    ASSERT_EQ(dm_->QPodKey->FieldByName("id_pod").AsInt(), 2);
    auto counts = [&] {
        return Scalar("SELECT o_key || '/' || o_rky FROM k_pod WHERE id_pod=2").toString();
    };
    auto addCommon = [&](const QString& number) {
        dm_->QOKeys->Append();
        EXPECT_EQ(dm_->QOKeys->FieldByName("id_pod").AsInt(), 2);  // filled from the entrance
        dm_->QOKeys->FieldByName("id_kvr").SetValue(-1);
        dm_->QOKeys->FieldByName("un_key").SetValue(number);
        ASSERT_TRUE(dm_->QOKeys->Post());
    };
    addCommon("C00000000001");
    EXPECT_EQ(counts(), "3/1");
    for (const char* k : {"C00000000002", "C00000000003", "C00000000004"}) addCommon(k);
    EXPECT_EQ(counts(), "4/4");
    ASSERT_TRUE(dm_->QOKeys->Delete());
    EXPECT_EQ(counts(), "4/3");  // the quota is never lowered here
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM k_key WHERE id_pod=2 AND id_kvr=-1").toInt(), 3);

    // A gate key post counts the entrance's common keys as well.
    ASSERT_TRUE(dm_->QKalKey->Locate("id_bv", 2));
    dm_->QKKeys->Append();
    EXPECT_EQ(dm_->QKKeys->FieldByName("id_pod").AsInt(), 2);  // the gate's id_bv
    dm_->QKKeys->FieldByName("id_kvr").SetValue(-2);
    ASSERT_TRUE(dm_->QKKeys->Post());
    EXPECT_EQ(counts(), "4/3");
}

TEST_F(KeyCountersTest, CountsNearTheTopOfTheRange) {
    ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
    ASSERT_TRUE(dm_->QForKey->Locate("n_kvr", "22"));
    const int id = dm_->QForKey->FieldByName("id_kvr").AsInt();
    InsertKeys(id, 65535);
    Exec(QStringLiteral("UPDATE k_kvr SET x_key=7, y_key=7 WHERE id_kvr=%1").arg(id));
    ASSERT_TRUE(dm_->ReopenKeys());
    AddKey(dm_->QKeys, "FFFFFFFFFFFF");
    EXPECT_EQ(Quota(id), "7/7");  // 65536 keys: the key screen writes nothing

    // The panel's key list caps the count at 65534.
    ASSERT_TRUE(dm_->Q_bv->Locate("id_bv", 2));
    ASSERT_TRUE(dm_->Q_Bpo->Locate("p.id_pod", 2));
    ASSERT_TRUE(dm_->Q_Kvr1->Open());  // the screens that use them open them
    ASSERT_TRUE(dm_->Q_key1->Open());
    ASSERT_TRUE(dm_->Q_Kvr1->Locate("id_kvr", id));
    ASSERT_EQ(dm_->Q_key1->RecordCount(), 65536);
    ASSERT_TRUE(dm_->Q_key1->Delete());
    EXPECT_EQ(Quota(id), "65534/65534");
}

// Two copies of the program on one file: the other copy enters two keys for
// the same owner after this copy read its key list, then this copy enters
// one (or deletes one of its own). The owner's counters count the keys the
// file holds, never the keys this copy's list shows.
TEST_F(KeyCountersTest, AnOwnersCountersCountTheKeysAnotherCopyEnteredToo) {
    struct Owner {
        const char* list;
        std::function<void()> stand;  // this copy's list on the owner, read
        std::function<Dataset*()> keys;
        const char* ownerKey;  // "id_kvr" of an apartment, "id_pod" of an entrance
        bool deleting;
        QString counted;  // the counter and what the keys give it, %1 the owner
    };
    const QString apartment = QStringLiteral(
        "SELECT y_key || '/' || (SELECT COUNT(*) FROM k_key WHERE id_kvr=%1) FROM k_kvr "
        "WHERE id_kvr=%1");
    const QString entrance = QStringLiteral(
        "SELECT o_rky || '/' || (SELECT COUNT(*) FROM k_key WHERE id_kvr=-1 AND id_pod=%1) "
        "FROM k_pod WHERE id_pod=%1");
    const Owner owners[] = {
        {"the key screen's apartment keys", [&] { dm_->QForKey->Locate("n_kvr", "21"); },
         [&] { return dm_->QKeys; }, "id_kvr", false, apartment},
        {"the key screen's apartment keys, deleting", [&] { dm_->QForKey->Locate("n_kvr", "22"); },
         [&] { return dm_->QKeys; }, "id_kvr", true, apartment},
        {"a call panel's apartment keys",
         [&] {
             dm_->Q_bv->Locate("id_bv", 1);
             dm_->Q_Kvr->Locate("n_kvr", "12");
         },
         [&] { return dm_->Q_key; }, "id_kvr", false, apartment},
        {"the keys of a call panel's entrance list",
         [&] {
             dm_->Q_bv->Locate("id_bv", 2);
             dm_->Q_Bpo->Locate("p.id_pod", 2);
             dm_->Q_Kvr1->Open();
             dm_->Q_key1->Open();
             dm_->Q_Kvr1->Locate("n_kvr", "23");
         },
         [&] { return dm_->Q_key1; }, "id_kvr", true, apartment},
        {"an entrance's common keys", [&] { dm_->QPodKey->Locate("id_pod", 2); },
         [&] { return dm_->QOKeys; }, "id_pod", false, entrance},
        {"an entrance's common keys, deleting", [&] { dm_->QPodKey->Locate("id_pod", 3); },
         [&] { return dm_->QOKeys; }, "id_pod", true, entrance},
    };
    QSqlDatabase other = tdb_.open();
    int number = 0;
    auto enter = [&](Dataset* keys, bool common) {
        keys->Append();
        if (common) keys->FieldByName("id_kvr").SetValue(-1);
        keys->FieldByName("un_key").SetValue(
            QStringLiteral("F%1").arg(++number, 11, 10, QLatin1Char('0')));
        ASSERT_TRUE(keys->Post()) << keys->LastError().toStdString();
    };
    for (const Owner& owner : owners) {
        SCOPED_TRACE(owner.list);
        ASSERT_TRUE(dm_->Q_Net->Locate("id_net", 1));
        owner.stand();
        Dataset* keys = owner.keys();
        const bool common = QLatin1String(owner.ownerKey) == QLatin1String("id_pod");
        Dataset* ownerList = common ? dm_->QPodKey : keys->Master();
        const qint64 id = ownerList->FieldByName(owner.ownerKey).AsLargeInt();
        ASSERT_GT(id, 0);
        if (owner.deleting) enter(keys, common);
        const int before = keys->RecordCount();
        for (int i = 0; i < 2; ++i) {
            QSqlQuery q(other);
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO k_key (un_key, id_kvr, id_pod) VALUES "
                                              "('E%1', %2, %3)")
                                   .arg(++number, 11, 10, QLatin1Char('0'))
                                   .arg(common ? -1 : id)
                                   .arg(common ? id : 1)))
                << q.lastError().text().toStdString();
        }
        ASSERT_EQ(before, keys->RecordCount()) << "this copy's list is as it read it";
        if (owner.deleting) {
            keys->Last();
            ASSERT_TRUE(keys->Delete()) << keys->LastError().toStdString();
        } else {
            enter(keys, common);
        }
        const QStringList counts = Scalar(owner.counted.arg(id)).toString().split('/');
        ASSERT_EQ(2, counts.size());
        EXPECT_EQ(counts[1], counts[0]) << "counter/keys";
        EXPECT_EQ(common ? dm_->QPodKey->FieldByName("o_rky").AsString()
                         : ownerList->FieldByName("y_key").AsString(),
                  counts[1])
            << "the owner's row as this copy shows it";
    }
}

}  // namespace
}  // namespace KeyCountersTestUnit
