#include "support/QtPrinters.h"

#include "SiteFixture.h"

#include <gtest/gtest.h>

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

}  // namespace
