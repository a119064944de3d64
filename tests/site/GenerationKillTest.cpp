// A program killed in the middle of the apartment generation leaves the
// apartments, their keys and the entrances as they were: the generation runs
// in a child process, which is killed once it has written its rows but not
// committed them.
#include "ApartmentDb.h"
#include "support/KilledChild.h"

#include <gtest/gtest.h>
#include <cstdio>

namespace GenerationKillTestUnit {
namespace {

const QString kWrittenMark = QStringLiteral("rows written: ");

// The child: the generation of the object, stopped for good at half its gauge,
// when every row is written and the repeated codes are being counted.
TEST(GenerationKillChild, Body) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    TFDM dm;
    QString error;
    ASSERT_TRUE(dm.Connect(KilledChild::Value("db"), &error)) << error.toStdString();
    ASSERT_TRUE(dm.OpenAllTables());
    ASSERT_TRUE(dm.Q_Net->Locate("id_net", KilledChild::Value("object").toLongLong()));
    ScriptedDialogs answers;
    answers.Expect(GenerationTexts::kCaption, GenerationTexts::kOverwrite, DlgAnswer::Ok);
    ApartmentGenerator generator;
    generator.SetProgress([&dm](int value, int maximum, bool visible) {
        if (!visible || maximum <= 0 || value * 2 < maximum) return;
        QSqlQuery q(dm.ConnectionDB());
        q.exec("SELECT COUNT(*) FROM k_kvr");
        std::printf("%s%d\n", qPrintable(kWrittenMark), q.next() ? q.value(0).toInt() : -1);
        KilledChild::ReachedKillPoint();
    });
    generator.Run(4);
    FAIL() << "the generation ended before it was killed";
}

class GenerationKill : public ApartmentDb {
  protected:
    QStringList Snapshot() {
        QStringList all;
        for (const char* table : {"k_kvr", "k_key", "k_pod", "k_dom", "k_net"})
            all << Rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
        return all;
    }
};

TEST_F(GenerationKill, AKillInTheMiddleLeavesTheApartmentsAsTheyWere) {
    const qint64 idNet = BuildApartments();
    const QList<qint64> pods = EntranceIds(idNet);
    // Ten more apartments per entrance, and keys that a shrink would take.
    ASSERT_FALSE(pods.isEmpty());
    SetRange(pods[0], 1, 50, 50);
    SetRange(pods[1], 51, 100, 50);
    SetRange(pods[2], 1, 50, 50);
    AddKey(pods[0], RowId(pods[0], 3), "000000000003");
    const QStringList before = Snapshot();
    dm_.Disconnect();

    KilledChild child("GenerationKillChild.Body");
    child.Set("db", db_.dbPath());
    child.Set("object", QString::number(idNet));
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
    // It died with 150 apartments and three handsets written.
    EXPECT_TRUE(child.Output().contains(kWrittenMark + "153")) << child.Output().toStdString();

    QString error;
    ASSERT_TRUE(dm_.Connect(db_.dbPath(), &error)) << error.toStdString();
    ASSERT_TRUE(dm_.OpenAllTables());
    EXPECT_EQ(before, Snapshot());

    // The database works on: the generation runs to its end.
    ASSERT_TRUE(dm_.Q_Net->Locate("id_net", idNet));
    EXPECT_EQ(GenerationResult::Done, Generate(DlgAnswer::Ok));
    EXPECT_EQ(153, One("SELECT COUNT(*) FROM k_kvr").toInt());
}
}  // namespace
}  // namespace GenerationKillTestUnit
