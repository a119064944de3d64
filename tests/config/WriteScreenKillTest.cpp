// A program killed in the middle of building files leaves the write folder
// and the database agreeing: every file is either the previous one or the
// whole new one, nothing half-written carries a device's name, and a device
// whose new file may not be on the disk keeps its state.

#include "config/ConfigFileReader.h"
#include "platform/DurableFile.h"
#include "support/KilledChild.h"

#include "WriteScreenFixture.h"

#include <cstdio>

namespace WriteScreenKillTestUnit {
namespace {

// The object's files in the order the folder lists them.
const QStringList kFiles = {"cbv01.bin", "cbv02.bin", "cbv03.bin", "cbv04.bin",
                            "ckm01.bin", "ckm02.bin", "ckm03.bin", "cpo00.bin"};

// The child: every device of the object is built; it dies right after the
// second file was put in place, before that device's state is written.
TEST(WriteScreenKillChild, Body) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as the child of the kill test";
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "kill_child");
    db.setDatabaseName(KilledChild::Value("db"));
    ASSERT_TRUE(db.open());
    ConfigWriteScreen screen(db);
    ASSERT_TRUE(screen.BuildWriteFolder(KilledChild::Value("folder"), 1));
    ASSERT_TRUE(screen.RefreshDeviceList());
    int written = 0;
    screen.Makers().writeFile = [&](const QString& path, const QByteArray& bytes, QString* error) {
        const bool ok = DurableFile::Write(path, bytes, error);
        if (++written == 2) KilledChild::ReachedKillPoint();
        return ok;
    };
    QList<int> all;
    for (int i = 0; i < screen.Rows().size(); ++i) all << i;
    screen.BitCreateClick(all);
    FAIL() << "the pass ended before it was killed";
}

class WriteScreenKill : public WriteScreenFixture {};

TEST_F(WriteScreenKill, AKillBetweenFilesLeavesWholeFilesAndMatchingStates) {
    auto before = NewScreen();
    before->BitCreateClick(AllRows(*before));
    QList<QByteArray> previous;
    for (const QString& name : kFiles) previous << ReadFile(FileOf(name));
    Sql("UPDATE k_pk SET kf_pr = 2");
    Sql("UPDATE k_po SET kf_pr = 2");
    Sql("UPDATE k_bv SET kf_pr = 2");
    Sql("UPDATE k_net SET id_nom = 42");  // every new file differs from the old one

    KilledChild child("WriteScreenKillChild.Body");
    child.Set("db", DbPath());
    child.Set("folder", DbFolder());
    ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();

    EXPECT_EQ(FilesInFolder(), kFiles);
    EXPECT_EQ(ReadFile(FileOf("ckm01.bin")), SwitchBytes(1));
    EXPECT_EQ(ReadFile(FileOf("ckm02.bin")), SwitchBytes(2));
    // The files after the kill are the previous ones, to the byte.
    for (const char* name : {"ckm03.bin", "cpo00.bin", "cbv01.bin", "cbv04.bin"})
        EXPECT_EQ(ReadFile(FileOf(name)), previous[kFiles.indexOf(name)]) << name;
    EXPECT_EQ(State("k_pk", 1), 1);
    // Its file is new, but the state stays as it was: building again is safe.
    EXPECT_EQ(State("k_pk", 2), 2);
    EXPECT_EQ(State("k_pk", 3), 2);
    EXPECT_EQ(State("k_po", 63), 2);
    EXPECT_EQ(State("k_bv", 65), 2);
    for (const QString& name : kFiles) {
        ConfigReadOutput out;
        EXPECT_EQ(ReadConfigFile(FileOf(name), out, nullptr, nullptr, 63), ConfigReadStatus::Ok)
            << name.toStdString();
    }
}
}  // namespace
}  // namespace WriteScreenKillTestUnit
