// The rows the bulk key imports write on the reference object (a БЭКУ dump
// poured twice, a Мирель dump into common keys and into apartments, a
// panel file's keys entered), compared row by row with the rows kept from
// before the imports were rewritten for speed; and the key datasets left
// showing what is in the register.

#include "KeyObjectFixture.h"
#include "PanelFileKeys.h"
#include "keys/ConfigKeyEntry.h"
#include "keys/DumpKeyPour.h"
#include "support/RecordedRows.h"
#include "support/ScriptedDialogs.h"

namespace BulkKeyRowsTestUnit {
namespace {

// The gauge's reports, one text each.
struct GaugeLog {
    QStringList steps;
    ProgressFn Fn() {
        return [this](int value, int maximum, bool visible) {
            steps << QStringLiteral("%1/%2%3").arg(value).arg(maximum).arg(visible ? ""
                                                                                   : " hidden");
        };
    }
};

// Keys of a dump: new ones, keys the entrance holds as apartment and common
// keys, a key of another entrance, 8-digit keys, blanks, empty slots and
// repeats within the dump.
QStringList bekuKeys() {
    QStringList keys{"1A000E", "1A0019", "1A0001", "AB0B0C0D", "FFFFFF", "", " 0E0F10 ", "0E0F10"};
    for (int i = 0; i < 300; ++i) {
        keys << QStringLiteral("%1").arg(0x2B0000 + i * 7, 6, 16, QLatin1Char('0')).toUpper();
        if (i % 50 == 49) keys << keys[keys.size() - 20];
        if (i % 60 == 0) keys << QStringLiteral("FFFFFF");
        if (i % 70 == 0) keys << QStringLiteral("CC") + keys.last();
    }
    return keys;
}

QList<MirelKeyRow> mirelRows() {
    QList<MirelKeyRow> rows;
    for (int index = 0; index <= 12; ++index)
        for (int k = 0; k < 3; ++k)
            rows << MirelKeyRow{QStringLiteral("%1")
                                    .arg(0x3C0000 + index * 16 + k, 6, 16, QLatin1Char('0'))
                                    .toUpper(),
                                index};
    rows[4].key = QStringLiteral("1A0019");  // a common key of entrance 1
    rows[7].key = QStringLiteral("FFFFFF");
    return rows;
}

class BulkKeyRows : public KeyObjectFixture {
  protected:
    DumpEntrance Entrance(int e) {
        QList<DumpEntrance> all;
        EXPECT_TRUE(ReadDumpEntrances(*dm_, objectId_, all, nullptr));
        return all.value(e);
    }
    QStringList Written() {
        return TableRowsOf(dm_->ConnectionDB(), {"k_key", "k_kvr", "k_pod", "k_bv"});
    }
    static QStringList Told(const DumpPourResult& r) {
        return QStringList{QStringLiteral("entered %1").arg(r.entered)} + r.console;
    }
    // The data module shows the register as it is.
    void ExpectKeyDatasetsUpToDate(int entrance) {
        EXPECT_EQ(dm_->QPodKey->FieldByName("id_pod").AsInt(), entranceIds_[entrance]);
        EXPECT_EQ(dm_->QPodKey->FieldByName("o_rky").AsInt(),
                  Count("SELECT o_rky FROM k_pod WHERE id_pod=?", {entranceIds_[entrance]}));
        EXPECT_EQ(dm_->QOKeys->RecordCount(), CommonKeysOf(entrance));
        EXPECT_FALSE(dm_->QAKeys->IsOpen());
    }

    ScriptedDialogs dialogs_;
    GaugeLog gauge_;
};

TEST_F(BulkKeyRows, BekuAndMirelPoursWriteTheRowsTheyAlwaysWrote) {
    Exec("UPDATE k_bv SET kf_pr=3");
    Reload();
    QStringList told;
    const QStringList keys = bekuKeys();
    told << Told(PourBekuKeys(*dm_, Entrance(1).idPod, keys, gauge_.Fn()));
    ExpectKeyDatasetsUpToDate(1);
    told << Told(PourBekuKeys(*dm_, Entrance(1).idPod, keys, gauge_.Fn()));

    const QList<MirelKeyRow> rows = mirelRows();
    told << Told(PourMirelKeys(*dm_, Entrance(2), rows, {true, 2, 30, 1}, gauge_.Fn()));
    ExpectKeyDatasetsUpToDate(2);
    ASSERT_TRUE(PositionDumpEntrance(*dm_, Entrance(0)));
    told << Told(PourMirelKeys(*dm_, Entrance(0), rows, {false, 1, 9, 3}, gauge_.Fn()));

    ExpectRecordedRows("bulk_key_pours", told + gauge_.steps + Written() + DatasetStates(*dm_));
}

TEST_F(BulkKeyRows, KeysOfPanelFilesEnterTheRowsTheyAlwaysEntered) {
    const PanelFileKeys gate = ReadPanelFileKeys(dm_->ConnectionDB(), objectId_, kGateNet);
    const PanelFileKeys door =
        ReadPanelFileKeys(dm_->ConnectionDB(), objectId_, EntrancePanelNet(1));
    Exec("UPDATE k_bv SET kf_pr=3");
    Exec("DELETE FROM k_key WHERE id_pod=? AND id_kvr IN (-1, ?, ?)",
         {entranceIds_[1], ApartmentId(1, 2), ApartmentId(1, 4)});
    Exec("DELETE FROM k_key WHERE id_kvr=-2 AND s_met='0002'");
    Exec("UPDATE k_key SET status='вставка 01.01.2024' WHERE id_kvr=?", {ApartmentId(1, 1)});
    Reload();

    Keys6List six = door.keys6;
    six.rows = {{"3", "3D0001"}, {"60", "3D0002"}, {"1", "1A000E"}};
    six.kolSl6 = six.rows.size();
    QStringList told;
    for (const PanelFileKeys* file : {&door, &gate}) {
        const ConfigKeyEntryResult r =
            EnterConfigKeys(*dm_, file->ident, file->keys5, file == &door ? six : file->keys6,
                            file->keys7, {true, true}, 63, gauge_.Fn());
        told << r.FoundText() << r.KeysText();
    }
    EXPECT_FALSE(dm_->Q_key1->IsOpen());
    EXPECT_FALSE(dm_->Q_Kvr1->IsOpen());
    ExpectRecordedRows("config_key_entry", told + gauge_.steps + Written() + DatasetStates(*dm_));
}
}  // namespace
}  // namespace BulkKeyRowsTestUnit
