// A key import that meets a full disk, a pour from a key dump or an entry
// from a call-panel file, says so in Russian after its own first sentence
// and leaves the key register as it was; with room again the same import
// goes in whole. The database lives on a small file system of its own.

#include "ImportedKeys.h"
#include "KeyObjectFixture.h"
#include "keys/ConfigKeyEntry.h"
#include "keys/DumpKeyPour.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/SmallDisk.h"

#include <QFile>
#include <QRegularExpression>

#include <functional>

namespace KeyImportFullDiskTestUnit {

namespace {

constexpr int kImportedKeys = 1500;

QStringList dumpKeys() {
    return ImportedKeys(kImportedKeys, 0xD10000);
}

class KeyImportFullDisk : public KeyObjectFixture {
  protected:
    void SetUp() override {
        KeyObjectFixture::SetUp();
        if (!disk_.Mounted()) GTEST_SKIP() << disk_.WhyNot().toStdString();
        dm_->Disconnect();
        path_ = disk_.Path() + QStringLiteral("/db_arm_vesk.mdb");
        ASSERT_TRUE(QFile::copy(tdb_.dbPath(), path_));
        Reconnect();
    }
    // Opens the file afresh: what it holds is what is on the disk.
    void Reconnect() {
        dm_->Disconnect();
        QString error;
        ASSERT_TRUE(dm_->Connect(path_, &error)) << error.toStdString();
        Reload();
        ASSERT_TRUE(dm_->Q_Net->Locate("id_net", objectId_));
    }
    // Runs the import with no room at all on the disk, then with room for a
    // few pages of keys: each time the operator reads head and the reason,
    // and the register is as it was. import returns the text it told.
    void ExpectRefusedForWantOfRoom(const QString& head, const std::function<QString()>& import) {
        const QStringList before = RegisterRows();
        for (qint64 room : {0, 24 * 1024}) {
            SCOPED_TRACE(room);
            ASSERT_TRUE(disk_.Fill(room));
            ScriptedDialogs dialogs;
            dialogs.ExpectContaining(QStringLiteral("Ошибка"), head);
            const QString told = import();
            dialogs.VerifyDone();
            disk_.Free();
            EXPECT_EQ(head + QStringLiteral("На диске нет места."), told);
            EXPECT_FALSE(told.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))));
            EXPECT_EQ(QStringLiteral("Ошибка|") + told, dialogs.Shown().value(0));
            Reconnect();
            EXPECT_EQ(before, RegisterRows());
        }
    }

    SmallDisk disk_{4 * 1024 * 1024};  // let go after the data module
    QString path_;
};

TEST_F(KeyImportFullDisk, APourIsToldInRussianAndLeavesTheRegisterAsItWas) {
    ExpectRefusedForWantOfRoom(QStringLiteral("Ключи не залиты.\n"), [this] {
        const DumpPourResult r = PourBekuKeys(*dm_, entranceIds_[1], dumpKeys());
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(0, r.entered);
        return r.error;
    });
    const DumpPourResult r = PourBekuKeys(*dm_, entranceIds_[1], dumpKeys());
    EXPECT_FALSE(r.failed) << r.error.toStdString();
    EXPECT_EQ(kImportedKeys, r.entered);
    EXPECT_EQ(3 + kImportedKeys, CommonKeysOf(1));
}

TEST_F(KeyImportFullDisk, AnEntryFromAPanelFileIsToldInRussianAndLeavesTheRegisterAsItWas) {
    ConfigFileIdent ident;
    ident.idBv = entrancePanelIds_[0];
    auto enter = [&] {
        return EnterConfigKeys(*dm_, ident, Section5Keys(dumpKeys(), kApartments), {}, {},
                               {true, false}, 63);
    };
    ExpectRefusedForWantOfRoom(QStringLiteral("Ключи не внесены.\n"), [&] {
        const ConfigKeyEntryResult r = enter();
        EXPECT_TRUE(r.failed);
        return r.error;
    });
    const ConfigKeyEntryResult r = enter();
    EXPECT_FALSE(r.failed) << r.error.toStdString();
    EXPECT_EQ(kImportedKeys, r.entered);
}

}  // namespace
}  // namespace KeyImportFullDiskTestUnit
