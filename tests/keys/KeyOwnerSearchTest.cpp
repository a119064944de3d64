// Who holds a key: the search over every object, what each found row shows,
// and the way back to the key's list.

#include "KeyObjectFixture.h"
#include "keys/KeyOwnerSearch.h"
#include "keys/KeyRegister.h"
#include "support/QtPrinters.h"

namespace KeyOwnerSearchTestUnit {

namespace {

class KeyOwnerSearchTest : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        const QString sql = QStringLiteral(
            "INSERT INTO k_key (un_key, id_pod, bv_key, id_kvr, id_net, l_ob, s_met)"
            " VALUES (?, ?, '1A2B3C', ?, ?, ?, ?)");
        Exec(sql, {"0000001A2B3C", entranceIds_[0], ApartmentId(0, 3), objectId_, 0, "кв"});
        Exec(sql, {"0000001A2B3C", entranceIds_[2], -1, objectId_, 1, "общий"});
        Exec(sql, {"0000001A2B3C", gateId_, -2, objectId_, 1, "калитка"});
        seedOtherObject();
        Exec(sql, {"FF00001A2B3C", otherEntrance_, otherApartment_, otherObject_, 0, "чужой"});
        Reload();
    }
    void seedOtherObject() {
        Exec("INSERT INTO k_net (ident, st_net) VALUES ('Другой объект', 'закрыто')");
        otherObject_ = Count("SELECT MAX(id_net) FROM k_net");
        Exec("INSERT INTO k_dom (id_net, house, kod_d) VALUES (?, '7', '7')", {otherObject_});
        Exec("INSERT INTO k_pod (id_net, id_dom, n_pod) VALUES (?, ?, 3)",
             {otherObject_, Count("SELECT MAX(id_dom) FROM k_dom")});
        otherEntrance_ = Count("SELECT MAX(id_pod) FROM k_pod");
        Exec("INSERT INTO k_kvr (id_net, id_pod, p_nom, n_kvr) VALUES (?, ?, 1, '12')",
             {otherObject_, otherEntrance_});
        otherApartment_ = Count("SELECT MAX(id_kvr) FROM k_kvr");
    }
    // Every found row as "house|n_pod|n_kvr|kod_d|ident|s_met".
    QStringList Found() {
        QStringList rows;
        Dataset* found = dm_->HavKeys;
        for (int r = 0; r < found->RecordCount(); ++r) {
            QStringList cells;
            for (const char* f : {"house", "n_pod", "n_kvr", "kod_d", "ident", "s_met"})
                cells << found->Value(r, found->FieldIndex(f)).toString();
            rows << cells.join('|');
        }
        return rows;
    }

    int otherObject_ = 0;
    int otherEntrance_ = 0;
    int otherApartment_ = 0;
};

TEST_F(KeyOwnerSearchTest, FindsEveryOwnerOfThePanelCodeOverAllObjects) {
    KeyOwnerSearch search(*dm_);
    ASSERT_EQ(search.Run("0000001A2B3C"), 4);
    const QStringList byFullNumber = Found();
    ASSERT_EQ(search.Run(" 1A2B3C "), 4);
    EXPECT_EQ(Found(), byFullNumber);
    // Common and gate keys show no apartment; a gate key shows its panel.
    EXPECT_EQ(byFullNumber, (QStringList{"1|1|3|1|Дом на Садовой|кв", "2|1||2|Дом на Садовой|общий",
                                         "БВ01 калитка ||||Дом на Садовой|калитка",
                                         "7|3|12|7|Другой объект|чужой"}));
    EXPECT_EQ(search.Run("2B3C"), 0);  // four characters are searched as they are
    EXPECT_EQ(search.Run("   "), 0);
    EXPECT_EQ(KeyOwnerSearch::SearchCode("0000001A2B3C"), QStringLiteral("1A2B3C"));
}

TEST_F(KeyOwnerSearchTest, OperatorTextReachesTheSearchOnlyAsAValue) {
    KeyOwnerSearch search(*dm_);
    EXPECT_EQ(search.Run("' OR 1=1 --"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key"), 45);
}

TEST_F(KeyOwnerSearchTest, WorksOnAnObjectWithoutApartments) {
    Exec("DELETE FROM k_key WHERE id_kvr > 0");
    Exec("DELETE FROM k_kvr WHERE id_net=?", {objectId_});
    Reload();
    KeyOwnerSearch search(*dm_);
    EXPECT_EQ(search.Run("1A2B3C"), 2);
}

TEST_F(KeyOwnerSearchTest, TheFoundKeyLeadsBackToItsList) {
    KeyOwnerSearch search(*dm_);
    ASSERT_EQ(search.Run("1A2B3C"), 4);

    dm_->HavKeys->SetRecNo(2);
    std::optional<FoundKey> key = search.Current();
    ASSERT_TRUE(key);
    EXPECT_EQ(key->mode, KeyGroup::Entrance);
    EXPECT_TRUE(search.InCurrentObject(*key));
    search.GoTo(*key);
    EXPECT_EQ(dm_->QPodKey->FieldByName("id_pod").AsInt(), entranceIds_[2]);
    EXPECT_EQ(dm_->QOKeys->FieldByName("un_key").AsString(), QStringLiteral("0000001A2B3C"));

    dm_->HavKeys->SetRecNo(3);
    key = search.Current();
    EXPECT_EQ(key->mode, KeyGroup::Gate);
    search.GoTo(*key);
    EXPECT_EQ(dm_->QKalKey->FieldByName("id_bv").AsInt(), gateId_);
    EXPECT_EQ(dm_->QKKeys->FieldByName("s_met").AsString(), QStringLiteral("калитка"));

    dm_->HavKeys->SetRecNo(1);
    key = search.Current();
    EXPECT_EQ(key->mode, KeyGroup::Apartment);
    search.GoTo(*key);
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(0, 3));
    EXPECT_EQ(dm_->QKeys->FieldByName("s_met").AsString(), QStringLiteral("кв"));

    // Another object's key: nothing of this object matches it.
    dm_->HavKeys->SetRecNo(4);
    key = search.Current();
    EXPECT_FALSE(search.InCurrentObject(*key));
    search.GoTo(*key);
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(0, 3));
}

}  // namespace
}  // namespace KeyOwnerSearchTestUnit
