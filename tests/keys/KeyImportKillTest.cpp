// A program killed in the middle of a key entry from a call-panel file, or of
// a БЭКУ pour, leaves the key register as it was: the work runs in a child
// process that is killed once half of its keys are written but not committed.

#include "ImportedKeys.h"
#include "KeyObjectFixture.h"
#include "PanelFileKeys.h"
#include "keys/ConfigKeyEntry.h"
#include "keys/DumpKeyPour.h"
#include "support/KilledChild.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <cstdio>

namespace KeyImportKillTestUnit {

namespace {

constexpr int kKeys = 2000;
const QString kWrittenMark = QStringLiteral("keys written: ");

QStringList dumpKeys() {
    return ImportedKeys(kKeys, 0xC00000);
}

// Section 5 of a file holding 2,000 keys over the first entrance's apartments.
Keys5List manyKeys(int apartments) {
    return Section5Keys(dumpKeys(), apartments);
}

// The gauge that kills the child at half its course, after telling how many
// keys it holds by then.
ProgressFn killAtHalf(TFDM& dm) {
    return [&dm](int value, int maximum, bool visible) {
        if (!visible || maximum <= 0 || value * 2 < maximum) return;
        QSqlQuery q(dm.ConnectionDB());
        q.exec("SELECT COUNT(*) FROM k_key");
        std::printf("%s%d\n", qPrintable(kWrittenMark), q.next() ? q.value(0).toInt() : -1);
        std::fflush(stdout);
        KilledChild::ReachedKillPoint();
    };
}

void openChild(TFDM& dm) {
    QString error;
    ASSERT_TRUE(dm.Connect(KilledChild::Value("db"), &error)) << error.toStdString();
    ASSERT_TRUE(dm.OpenAllTables());
    ASSERT_TRUE(dm.Q_Net->Locate("id_net", KilledChild::Value("object").toLongLong()));
}

TEST(KeyImportKillChild, Entry) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    TFDM dm;
    openChild(dm);
    ConfigFileIdent ident;
    ident.idBv = KilledChild::Value("panel").toLongLong();
    EnterConfigKeys(dm, ident, manyKeys(40), {}, {}, {true, false}, 63, killAtHalf(dm));
    FAIL() << "the entry ended before it was killed";
}

TEST(KeyImportKillChild, BekuPour) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    TFDM dm;
    openChild(dm);
    PourBekuKeys(dm, KilledChild::Value("entrance").toLongLong(), dumpKeys(), killAtHalf(dm));
    FAIL() << "the pour ended before it was killed";
}

class KeyImportKill : public KeyObjectFixture {
  protected:
    // Runs the child to its kill point and checks that nothing it wrote stayed.
    void KillAndCompare(const QString& child, const QMap<QString, QString>& values) {
        Exec("UPDATE k_bv SET kf_pr=3");
        const QStringList before = RegisterRows();
        const int keysBefore = Count("SELECT COUNT(*) FROM k_key");
        dm_->Disconnect();
        KilledChild killed(child);
        killed.Set("db", tdb_.dbPath());
        killed.Set("object", QString::number(objectId_));
        for (auto it = values.begin(); it != values.end(); ++it) killed.Set(it.key(), it.value());
        ASSERT_TRUE(killed.RunUntilKilled()) << killed.Output().toStdString();
        // It died with about half of its keys written.
        const qsizetype at = killed.Output().indexOf(kWrittenMark);
        ASSERT_GE(at, 0) << killed.Output().toStdString();
        const int written =
            killed.Output().mid(at + kWrittenMark.size()).section('\n', 0, 0).toInt();
        EXPECT_GT(written, keysBefore + kKeys / 3);

        QString error;
        ASSERT_TRUE(dm_->Connect(tdb_.dbPath(), &error)) << error.toStdString();
        Reload();
        EXPECT_EQ(RegisterRows(), before);
    }

    ScriptedDialogs dialogs_;
};

TEST_F(KeyImportKill, AKilledEntryLeavesAllKeysOrNone) {
    KillAndCompare("KeyImportKillChild.Entry", {{"panel", QString::number(entrancePanelIds_[0])}});
    // The register works on: the entry runs to its end.
    ConfigFileIdent ident;
    ident.idBv = entrancePanelIds_[0];
    const ConfigKeyEntryResult r =
        EnterConfigKeys(*dm_, ident, manyKeys(40), {}, {}, {true, false}, 63);
    EXPECT_EQ(r.entered, kKeys);
    EXPECT_EQ(PanelState(EntrancePanelNet(0)), 4);
}

TEST_F(KeyImportKill, AKilledBekuPourLeavesAllKeysOrNone) {
    KillAndCompare("KeyImportKillChild.BekuPour", {{"entrance", QString::number(entranceIds_[1])}});
    EXPECT_EQ(PourBekuKeys(*dm_, entranceIds_[1], dumpKeys()).entered, kKeys);
    EXPECT_EQ(CommonKeysOf(1), 3 + kKeys);
}

}  // namespace
}  // namespace KeyImportKillTestUnit
