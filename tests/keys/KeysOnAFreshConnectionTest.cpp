// The key operations on a data module just connected, as a first start or a
// change of database folder and back leaves it, and on key lists closed with
// the object list: each reads the rows of the current object, never a closed
// list as one without rows; a list that cannot be read stops the operation
// with its reason.

#include "KeyObjectFixture.h"
#include "keys/DumpKeyPour.h"
#include "keys/KeyClipboard.h"
#include "keys/KeyListEditor.h"
#include "keys/KeyOwnerSearch.h"
#include "keys/KeyPourConditions.h"
#include "keys/KeyRegister.h"
#include "support/FakeClipboard.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

namespace KeysOnAFreshConnectionTestUnit {

namespace {

using F = PourField;

class KeysOnAFreshConnection : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        // Every panel's file written: a pour marks those it changes.
        Exec("UPDATE k_bv SET kf_pr=3");
        Reconnect();
    }

    DumpEntrance Entrance(int e) {
        QList<DumpEntrance> all;
        QString error;
        EXPECT_TRUE(ReadDumpEntrances(*dm_, objectId_, all, &error)) << error.toStdString();
        return all.value(e);
    }
    // A dump with one key per index 0 .. count-1: 5D0001, 5D0002...
    static QList<MirelKeyRow> MirelDump(int count) {
        QList<MirelKeyRow> rows;
        for (int i = 0; i < count; ++i) rows << MirelKeyRow{Code(i + 1), i};
        return rows;
    }
    static QString Code(int n) { return QStringLiteral("5D%1").arg(n, 4, 10, QLatin1Char('0')); }
    // The pour dialog's conditions as it computes them when it shows.
    KeyPourConditions Conditions(const QList<MirelKeyRow>& rows) {
        const MirelPourSource source = MirelPourSourceOf(rows);
        KeyPourConditions c;
        c.Set(F::KolIndIsx, source.indexCount);
        c.Set(F::KolKeys, source.keyCount);
        c.Set(F::Ind_1, source.firstIndex);
        c.SetEntrance(ReadPourEntrance(*dm_));
        c.Activate();
        return c;
    }
    int KeysWithCode(const QString& code, int idKvr) {
        return Count("SELECT COUNT(*) FROM k_key WHERE bv_key=? AND id_kvr=?", {code, idKvr});
    }

    ScriptedDialogs dialogs_;
};

// A 40-key dump into the 40 apartments of the first entrance: the dialog
// offers every index and apartment, and the pour enters every key.
TEST_F(KeysOnAFreshConnection, AMirelDumpFillsEveryApartmentOfItsEntrance) {
    for (const Dataset* ds : {dm_->Q_Dom, dm_->Q_DPd, dm_->Q_Kvp})
        ASSERT_FALSE(ds->IsOpen()) << ds->Name().toStdString();
    const DumpEntrance entrance = Entrance(0);
    ASSERT_TRUE(PositionDumpEntrance(*dm_, entrance));
    const QList<MirelKeyRow> rows = MirelDump(kApartments);
    const KeyPourConditions c = Conditions(rows);
    EXPECT_EQ(c.Value(F::KolKvIsx), 40);
    EXPECT_EQ(c.Value(F::Ind_1), 0);
    EXPECT_EQ(c.Value(F::Ind_po), 39);
    EXPECT_EQ(c.Value(F::KolIndItog), 40);
    EXPECT_EQ(c.Value(F::Kv_n1), 1);
    EXPECT_EQ(c.Value(F::Kv_np), 40);
    EXPECT_EQ(c.Value(F::KolKvItog), 40);
    EXPECT_EQ(c.Value(F::Kv_c), 1);
    EXPECT_EQ(c.Value(F::Kv_po), 40);
    EXPECT_EQ(c.KvEn1(), QStringLiteral("1"));
    EXPECT_EQ(c.KvEnp(), QStringLiteral("40"));

    const DumpPourResult r = PourMirelKeys(
        *dm_, entrance, rows, {false, c.Value(F::Ind_1), c.Value(F::Ind_po), c.Value(F::Kv_n1)});
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.entered, 40);
    QList<int> withoutTheirKey;
    for (int pNom = 1; pNom <= kApartments; ++pNom)
        if (KeysWithCode(Code(pNom), ApartmentId(0, pNom)) != 1) withoutTheirKey << pNom;
    EXPECT_EQ(withoutTheirKey, QList<int>());
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 4);  // its file is to be written anew
    EXPECT_EQ(PanelState(EntrancePanelNet(1)), 3);
}

// Apartment keys cannot be poured while the key lists cannot be read, be it
// from the start or from the next apartment on: the operator is told why,
// and nothing of the pour stays.
TEST_F(KeysOnAFreshConnection, APourIntoUnreadableKeyListsIsRefusedWithItsReason) {
    const DumpEntrance entrance = Entrance(0);
    ASSERT_TRUE(PositionDumpEntrance(*dm_, entrance));
    ASSERT_TRUE(dm_->QKeys->IsOpen());
    Exec("ALTER TABLE k_key RENAME TO k_key_away");
    auto pourRefused = [&](const char* road) {
        dialogs_.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ключи не залиты.\n"));
        const DumpPourResult r = PourMirelKeys(*dm_, entrance, MirelDump(3), {false, 0, 2, 1});
        EXPECT_TRUE(r.failed) << road;
        EXPECT_EQ(r.entered, 0) << road;
        EXPECT_TRUE(r.error.contains(QStringLiteral("k_key"))) << road << r.error.toStdString();
        dialogs_.VerifyDone();
    };
    pourRefused("the list read before, not its next apartment");
    dm_->Q_Net->Close();  // the key lists close with it
    pourRefused("the lists closed");
    Exec("ALTER TABLE k_key_away RENAME TO k_key");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM k_key WHERE bv_key LIKE '5D%'"), 0);
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 3);
}

// ---------------------------------------------------------------- closed key lists

// The object list closed: the key screen's lists close with it, and are read
// again, on the current object, by whatever reads them first.
class KeysOfAClosedObjectList : public KeysOnAFreshConnection {
  protected:
    void SetUp() override {
        KeysOnAFreshConnection::SetUp();
        dm_->Q_Net->Close();
        for (const Dataset* ds :
             {dm_->QForKey, dm_->QKeys, dm_->QPodKey, dm_->QOKeys, dm_->QKalKey, dm_->QKKeys})
            ASSERT_FALSE(ds->IsOpen()) << ds->Name().toStdString();
    }
};

TEST_F(KeysOfAClosedObjectList, ABekuDumpEntersItsCommonKeys) {
    const DumpPourResult r = PourBekuKeys(*dm_, Entrance(1).idPod, {"0B0C0D", "0E0F10"});
    EXPECT_EQ(r.entered, 2);
    EXPECT_EQ(CommonKeysOf(1), 5);
    EXPECT_EQ(PanelState(EntrancePanelNet(1)), 4);
}

// The register stores into the key list of the first apartment, labels by
// that list and counts the object's keys.
TEST_F(KeysOfAClosedObjectList, TheRegisterReadsTheKeyListOfTheCurrentApartment) {
    KeyRegister keys(*dm_);
    keys.SetMode(KeyGroup::Apartment);
    EXPECT_EQ(keys.AutoLabel(), QStringLiteral("0003"));
    const ConfirmResult r = keys.Confirm(QStringLiteral("1B2C3D"), QStringLiteral("m"));
    EXPECT_EQ(r.outcome, ConfirmOutcome::Stored);
    EXPECT_EQ(KeysWithCode(QStringLiteral("1B2C3D"), ApartmentId(0, 1)), 1);
    EXPECT_TRUE(keys.CodesInScope().contains(QStringLiteral("1B2C3D")));
    const std::optional<KeyCounts> counts = keys.CountKeys();
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->entranceKeys, 14);
}

TEST_F(KeysOfAClosedObjectList, TheListEditorAndTheClipboardWorkOnTheCurrentList) {
    FakeClipboard clipboard;
    KeyRegister keys(*dm_);
    keys.SetMode(KeyGroup::Entrance);
    KeyListEditor editor(keys);
    KeyClipboard copies(keys, editor);
    // The common keys of the first entrance: copied, then cut and pasted back.
    EXPECT_EQ(copies.Copy({1, 2}), 2);
    EXPECT_EQ(clipboard.Text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).size(), 2);
    EXPECT_EQ(copies.Cut({3}), 1);
    EXPECT_EQ(CommonKeysOf(0), 2);
    EXPECT_EQ(copies.Paste().pasted, 1);
    EXPECT_EQ(CommonKeysOf(0), 3);
    ASSERT_TRUE(editor.DeleteEntranceKeys());
    EXPECT_EQ(CommonKeysOf(0), 0);
    EXPECT_EQ(CommonKeysOf(1), 3);

    dm_->Q_Net->Close();
    keys.SetMode(KeyGroup::Apartment);
    EXPECT_TRUE(editor.FindApartment(houseIds_[0], QStringLiteral("42")));
    EXPECT_EQ(dm_->QForKey->FieldByName("id_kvr").AsInt(), ApartmentId(1, 2));
}

TEST_F(KeysOfAClosedObjectList, AFoundKeyLeadsBackToItsList) {
    // 1A000B is the first common key of the first entrance.
    KeyOwnerSearch search(*dm_);
    ASSERT_EQ(search.Run(QStringLiteral("1A000B")), 1);
    const std::optional<FoundKey> key = search.Current();
    ASSERT_TRUE(key);
    ASSERT_EQ(key->mode, KeyGroup::Entrance);
    EXPECT_TRUE(search.InCurrentObject(*key));
    dm_->Q_Net->Close();
    search.GoTo(*key);
    EXPECT_EQ(dm_->QPodKey->FieldByName("id_pod").AsInt(), entranceIds_[0]);
    EXPECT_EQ(dm_->QOKeys->FieldByName("bv_key").AsString(), QStringLiteral("1A000B"));
}

}  // namespace
}  // namespace KeysOnAFreshConnectionTestUnit
