// A key change begun on the keys screen, as the program reaches it, while
// the ground moves under it: the database compacted from the menu, or the
// key deleted by another copy of the program on the same file, its row number
// perhaps taken by a new key there. The change rewrites the key it began on or
// nothing; no other key takes the new number.

#include "app/TFMainVesk.h"
#include "foundation/TFDM.h"
#include "keys/KeyRegister.h"
#include "keys/ui/TFrKeys.h"
#include "platform/ui/DatasetGrid.h"
#include "support/ProgramRoads.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace KeyChangeRoadsTestUnit {

namespace {

constexpr int kKeys = 9;
const QString kFirst = QStringLiteral("0000001C0001");
const QString kSecond = QStringLiteral("0000001C0002");

class KeyChangeRoads : public ProgramRoads {
  protected:
    // The keys screen, reached from the start, with two keys typed into its
    // current apartment and the change of the second one begun.
    TFrKeys* ChangeTheSecondKey(bool bySpace) {
        TakeRoad(Road::FirstStart, kKeys);
        auto* keys = qobject_cast<TFrKeys*>(FMainVesk->FrameOfScreen(kKeys));
        EXPECT_TRUE(keys);
        if (!keys) return nullptr;
        for (const char* number : {"1C0001", "1C0002"}) Type(keys, QString::fromLatin1(number));
        const QAbstractItemModel* list = keys->DBGrid2->model();
        for (int row = 0; row < list->rowCount(); ++row)
            if (list->index(row, 0).data().toString() == kSecond)
                keys->DBGrid2->setCurrentIndex(list->index(row, 0));
        if (bySpace)
            QTest::keyClick(keys->DBGrid2, Qt::Key_Space);
        else
            keys->BitEdit->click();
        EXPECT_EQ(keys->E_sn->text(), kSecond);
        EXPECT_EQ(keys->Register()->EditMode(), 1);
        return keys;
    }
    // A number typed and confirmed with Enter, as at the keyboard.
    static void Type(TFrKeys* keys, const QString& number) {
        keys->E_sn->selectAll();
        QTest::keyClicks(keys->E_sn, number);
        QTest::keyClick(keys->E_sn, Qt::Key_Return);
        QTest::keyClick(keys->E_Met, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    int KeysNumbered(const QString& number) {
        QSqlDatabase file = database_.open();
        QSqlQuery q(file);
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM k_key WHERE un_key=?"));
        q.addBindValue(number);
        return q.exec() && q.next() ? q.value(0).toInt() : -1;
    }
};

// Compaction reads the file anew and puts the key list on its first row:
// the change ends there, its number cleared, as on a return to the screen.
TEST_F(KeyChangeRoads, CompactionEndsTheChangeAndRewritesNoKey) {
    TFrKeys* keys = ChangeTheSecondKey(false);
    ASSERT_TRUE(keys);
    dialogs_.Expect(QStringLiteral("Подтверждение"), QStringLiteral("Сжать БД на диске?"),
                    DlgAnswer::Yes);
    Menu(QStringLiteral("NCompact"));
    dialogs_.VerifyDone();
    EXPECT_EQ(keys->E_sn->text(), QString());
    EXPECT_EQ(keys->E_Met->text(), QString());
    EXPECT_EQ(keys->Register()->EditMode(), 0);

    // What is typed now is a new key of the apartment shown.
    Type(keys, QStringLiteral("1E0009"));
    EXPECT_EQ(KeysNumbered(kFirst), 1);
    EXPECT_EQ(KeysNumbered(kSecond), 1);
    EXPECT_EQ(KeysNumbered(QStringLiteral("0000001E0009")), 1);
    EXPECT_EQ(keys->DBGrid2->model()->rowCount(), 3);
}

// What another copy did to the key under the change.
struct BehindTheChange {
    const char* name;
    // The other copy's new key 1D0001 of the same apartment took the deleted
    // key's row number: the file holds a key there, but another one.
    bool rowTaken;
};

void PrintTo(const BehindTheChange& c, std::ostream* os) {
    *os << c.name;
}

class KeyChangeBehindTheBack : public KeyChangeRoads,
                               public ::testing::WithParamInterface<BehindTheChange> {
  protected:
    // Another copy deletes the key on a connection of its own and may store
    // a new key of the same apartment under its row number at once.
    void DeleteTheSecondKey(bool rowTaken) {
        QSqlDatabase other = database_.open();
        auto run = [&other](const char* sql, const QVariantList& values) {
            QSqlQuery q(other);
            q.prepare(QString::fromLatin1(sql));
            for (const QVariant& value : values) q.addBindValue(value);
            EXPECT_TRUE(q.exec()) << sql << ": " << q.lastError().text().toStdString();
            return q;
        };
        QSqlQuery row = run("SELECT rowid FROM k_key WHERE un_key=?", {kSecond});
        ASSERT_TRUE(row.next());
        const qint64 rowid = row.value(0).toLongLong();
        row.finish();
        run("DELETE FROM k_key WHERE rowid=?", {rowid});
        if (!rowTaken) return;
        QSqlQuery taken = run(
            "INSERT INTO k_key (rowid, un_key, bv_key, id_pod, id_kvr, id_net, l_ob, s_met, status)"
            " SELECT ?, ?, ?, id_pod, id_kvr, id_net, l_ob, s_met, status"
            " FROM k_key WHERE un_key=?",
            {rowid, kTaker, kTaker.right(6), kFirst});
        ASSERT_EQ(taken.numRowsAffected(), 1);
    }
    static inline const QString kTaker = QStringLiteral("0000001D0001");
};

// Another copy deleted the key under the change, and perhaps stored a new
// key under its row number: the confirmation writes nothing, says so, and the
// list shows the file. The other copy's key keeps its number.
TEST_P(KeyChangeBehindTheBack, AChangeOfAKeyAnotherCopyDeletedWritesNothingAndSaysSo) {
    const BehindTheChange c = GetParam();
    TFrKeys* keys = ChangeTheSecondKey(true);
    ASSERT_TRUE(keys);
    DeleteTheSecondKey(c.rowTaken);
    dialogs_.Expect(QStringLiteral("Ошибка"),
                    QStringLiteral("Ключ 0000001C0002 удалён; изменения не сохранены."));
    Type(keys, QStringLiteral("1E0009"));
    dialogs_.VerifyDone();
    EXPECT_EQ(KeysNumbered(kFirst), 1);
    EXPECT_EQ(KeysNumbered(kSecond), 0);
    EXPECT_EQ(KeysNumbered(kTaker), c.rowTaken ? 1 : 0);
    EXPECT_EQ(KeysNumbered(QStringLiteral("0000001E0009")), 0);
    EXPECT_EQ(keys->Register()->EditMode(), 0);
    EXPECT_EQ(keys->DBGrid2->model()->rowCount(), c.rowTaken ? 2 : 1);
}

const BehindTheChange kBehindTheChange[] = {
    {"Deleted", false},
    {"DeletedAndItsRowTaken", true},
};

INSTANTIATE_TEST_SUITE_P(AnotherCopy, KeyChangeBehindTheBack, ::testing::ValuesIn(kBehindTheChange),
                         [](const ::testing::TestParamInfo<BehindTheChange>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace KeyChangeRoadsTestUnit
