// An apartment generation that meets a full disk says so in Russian, after
// its own first sentence, and leaves the apartments, their keys and the
// entrances as they were; with room again it runs to its end. The database
// lives on a small file system of its own.

#include "ApartmentDb.h"
#include "support/QtPrinters.h"
#include "support/SmallDisk.h"

#include <QFile>
#include <QRegularExpression>

namespace GenerationFullDiskTestUnit {

namespace {

class GenerationFullDisk : public ApartmentDb {
  protected:
    // The database is let go before the small disk goes.
    void TearDown() override { dm_.Disconnect(); }
    // The data module on a copy of the database on the small disk.
    void MoveOnto(const SmallDisk& disk) {
        dm_.Disconnect();
        path_ = disk.Path() + QStringLiteral("/db_arm_vesk.mdb");
        ASSERT_TRUE(QFile::copy(db_.dbPath(), path_));
        Reconnect();
    }
    // Opens the file afresh: what it holds is what is on the disk.
    void Reconnect() {
        dm_.Disconnect();
        QString error;
        ASSERT_TRUE(dm_.Connect(path_, &error)) << error.toStdString();
        ASSERT_TRUE(dm_.OpenAllTables()) << dm_.LastError().toStdString();
        ASSERT_TRUE(dm_.Q_Net->Locate("id_net", idNet_));
    }
    QStringList Snapshot() {
        QStringList all;
        for (const char* table : {"k_kvr", "k_key", "k_pod", "k_dom", "k_net"})
            all << Rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
        return all;
    }

    SmallDisk disk_{4 * 1024 * 1024};
    QString path_;
    qint64 idNet_ = 0;
};

TEST_F(GenerationFullDisk, IsToldInRussianAndLeavesTheApartmentsAsTheyWere) {
    if (!disk_.Mounted()) GTEST_SKIP() << disk_.WhyNot().toStdString();
    idNet_ = BuildApartments();
    // Every entrance grows, so that the run has rows to add.
    const QList<qint64> pods = EntranceIds(idNet_);
    ASSERT_FALSE(pods.isEmpty());
    SetRange(pods[0], 1, 200, 200);
    SetRange(pods[1], 201, 400, 200);
    SetRange(pods[2], 1, 200, 200);
    MoveOnto(disk_);
    const QStringList before = Snapshot();
    // No room for the first row, and room for a few pages of them.
    for (qint64 room : {0, 24 * 1024}) {
        SCOPED_TRACE(room);
        ASSERT_TRUE(disk_.Fill(room));
        dialogs_.Expect(GenerationTexts::kCaption, GenerationTexts::kOverwrite, DlgAnswer::Ok);
        dialogs_.ExpectContaining(QStringLiteral("Ошибка"),
                                  QStringLiteral("Квартиры не созданы.\n"));
        EXPECT_EQ(GenerationResult::Failed, generator_.Run(4));
        dialogs_.VerifyDone();
        disk_.Free();
        const QString text = dialogs_.Shown().value(dialogs_.Shown().size() - 1);
        EXPECT_EQ(QStringLiteral("Ошибка|Квартиры не созданы.\nНа диске нет места."), text);
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))));
        Reconnect();
        EXPECT_EQ(before, Snapshot());
    }
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ(603, One("SELECT COUNT(*) FROM k_kvr WHERE id_net=?", {idNet_}).toInt());
}

}  // namespace
}  // namespace GenerationFullDiskTestUnit
