// A key pour that meets a full disk says so in Russian, after its own first
// sentence, and leaves the key register as it was; with room again the same
// pour goes in whole. The database lives on a small file system of its own.

#include "KeyObjectFixture.h"
#include "keys/DumpKeyPour.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/SmallDisk.h"

#include <QFile>
#include <QRegularExpression>

namespace {

constexpr int kPouredKeys = 1500;

QStringList pouredKeys() {
    QStringList keys;
    for (int i = 0; i < kPouredKeys; ++i) keys << QString::number(0xD10000 + i, 16).toUpper();
    return keys;
}

class KeyPourFullDisk : public KeyObjectFixture {
  protected:
    // The data module on a copy of the database on the small disk.
    void MoveOnto(const SmallDisk& disk) {
        dm_->Disconnect();
        path_ = disk.Path() + QStringLiteral("/db_arm_vesk.mdb");
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
    QStringList Register() {
        QStringList all;
        for (const char* sql : {"SELECT * FROM k_key ORDER BY rowid", "SELECT * FROM k_pod",
                                "SELECT * FROM k_bv"})
            all << TableRows(sql);
        return all;
    }

    SmallDisk disk_{4 * 1024 * 1024};  // let go after the data module
    QString path_;
};

TEST_F(KeyPourFullDisk, IsToldInRussianAndLeavesTheRegisterAsItWas) {
    if (!disk_.Mounted()) GTEST_SKIP() << disk_.WhyNot().toStdString();
    MoveOnto(disk_);
    const QStringList before = Register();
    // No room for the first key, and room for a few pages of them.
    for (qint64 room : {0, 24 * 1024}) {
        SCOPED_TRACE(room);
        ASSERT_TRUE(disk_.Fill(room));
        ScriptedDialogs dialogs;
        dialogs.ExpectContaining(QStringLiteral("Ошибка"), QStringLiteral("Ключи не залиты.\n"));
        const DumpPourResult r = PourBekuKeys(*dm_, entranceIds_[1], pouredKeys());
        dialogs.VerifyDone();
        disk_.Free();
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(0, r.entered);
        EXPECT_EQ(QStringLiteral("Ключи не залиты.\nНа диске нет места."), r.error);
        EXPECT_FALSE(r.error.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))));
        EXPECT_EQ(QStringLiteral("Ошибка|") + r.error, dialogs.Shown().value(0));
        Reconnect();
        EXPECT_EQ(before, Register());
    }
    const DumpPourResult r = PourBekuKeys(*dm_, entranceIds_[1], pouredKeys());
    EXPECT_FALSE(r.failed) << r.error.toStdString();
    EXPECT_EQ(kPouredKeys, r.entered);
    EXPECT_EQ(3 + kPouredKeys, CommonKeysOf(1));
}

}  // namespace
