// Which call panel of the database an opened call-panel file belongs to: by
// the file's identification, and by the structure of its section 2.

#include "KeyObjectFixture.h"
#include "PanelFileKeys.h"
#include "keys/ConfigPanelSearch.h"
#include "support/QtPrinters.h"

namespace ConfigPanelSearchTestUnit {

namespace {

class ConfigPanelSearchTest : public KeyObjectFixture {
  protected:
    PanelFileKeys FileOf(int nNet) {
        return ReadPanelFileKeys(dm_->ConnectionDB(), objectId_, nNet);
    }
    PanelSearchResult ByStructure(const PanelFileKeys& file) {
        return FindPanelByStructure(*dm_, file.ident, file.entrances.mpd, file.entrances.mpp, 63);
    }
    qint64 CurrentObject() { return dm_->Q_Net->FieldByName("id_net").AsLargeInt(); }
    // A second object, current when the search starts.
    int MakeOtherObjectCurrent() {
        Exec("INSERT INTO k_net (ident, id_nom, st_net) VALUES ('Другой', 5, 'закрыто')");
        const int other = Count("SELECT MAX(id_net) FROM k_net");
        Reload();
        EXPECT_TRUE(dm_->Q_Net->Locate("id_net", other));
        return other;
    }
};

TEST_F(ConfigPanelSearchTest, TheIdentificationOfTheFileFindsItsPanelAndObject) {
    const PanelFileKeys file = FileOf(EntrancePanelNet(1));
    MakeOtherObjectCurrent();
    const PanelSearchResult r = FindPanelByIdent(*dm_, file.ident);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.text, "БВ найден.");
    EXPECT_TRUE(r.checks.idNet && r.checks.idNom && r.checks.idBv && r.checks.typeBv &&
                r.checks.nNet);
    EXPECT_EQ(CurrentObject(), objectId_);  // the file's object became the current one
    EXPECT_EQ(dm_->Q_bv->FieldByName("id_bv").AsInt(), entrancePanelIds_[1]);
}

TEST_F(ConfigPanelSearchTest, AMismatchKeepsTheObjectThatWasCurrent) {
    ConfigFileIdent ident = FileOf(EntrancePanelNet(1)).ident;
    const int other = MakeOtherObjectCurrent();
    ident.nNet = 70;
    const PanelSearchResult r = FindPanelByIdent(*dm_, ident);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.text, "БВ не найден.");
    EXPECT_TRUE(r.checks.idNet && r.checks.idBv && r.checks.typeBv);
    EXPECT_FALSE(r.checks.nNet);
    EXPECT_EQ(CurrentObject(), other);

    ident = FileOf(EntrancePanelNet(1)).ident;
    ident.typeBv = 1;
    EXPECT_FALSE(FindPanelByIdent(*dm_, ident).checks.typeBv);
    ident.idNet = 0;
    const PanelSearchResult none = FindPanelByIdent(*dm_, ident);
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.text, "Объект не определен в КФ.");
}

TEST_F(ConfigPanelSearchTest, TheStructureFindsTheEntrancePanelAndTheGate) {
    for (int nNet : {EntrancePanelNet(2), kGateNet}) {
        PanelFileKeys file = FileOf(nNet);
        file.ident.idBv = 0;
        file.ident.nNet = 0;
        const PanelSearchResult r = ByStructure(file);
        ASSERT_TRUE(r.found) << nNet;
        EXPECT_EQ(r.text, "БВ найден.");
        EXPECT_EQ(r.ident.nNet, nNet);
        EXPECT_EQ(r.ident.typeBv, nNet == kGateNet ? 1 : 0);
        EXPECT_EQ(dm_->Q_bv->FieldByName("n_net").AsInt(), nNet);
        EXPECT_FALSE(r.mppLine.has_value());
    }
}

TEST_F(ConfigPanelSearchTest, AIIsComparedAsTheWriteScreenBuildsIt) {
    // A switch whose first terminal is 0 is written with AI 99.
    Exec("UPDATE k_pk SET p_fc=0, ai=5 WHERE id_pk=?", {switchIds_[0]});
    Reload();
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    EXPECT_EQ(file.entrances.columns[1].ai, "99");
    EXPECT_TRUE(ByStructure(file).found);

    // The database's terminal changed since: the structure differs.
    Exec("UPDATE k_pk SET p_fc=3 WHERE id_pk=?", {switchIds_[0]});
    Reload();
    const PanelSearchResult r = ByStructure(file);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.text, "БВ не найден.");
    ASSERT_TRUE(r.mppLine.has_value());
    EXPECT_EQ(r.mppLine->size(), 32);  // the last structure built: one block
    EXPECT_EQ(r.ident.idBv, 0);
}

TEST_F(ConfigPanelSearchTest, EntrancesWithoutApartmentsHaveNoBlock) {
    Exec("DELETE FROM k_kvr WHERE id_pod=?", {entranceIds_[1]});
    Reload();
    const PanelFileKeys file = FileOf(kGateNet);
    EXPECT_EQ(file.entrances.servedEntrances, 3);
    EXPECT_EQ(file.entrances.mpp.size(), 2 * 32);
    EXPECT_TRUE(ByStructure(file).found);
}

TEST_F(ConfigPanelSearchTest, AnObjectWithoutPanelsFindsNone) {
    const PanelFileKeys file = FileOf(EntrancePanelNet(0));
    Exec("DELETE FROM k_bv");
    Reload();
    const PanelSearchResult r = ByStructure(file);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.text, "БВ не найден.");
}

}  // namespace
}  // namespace ConfigPanelSearchTestUnit
