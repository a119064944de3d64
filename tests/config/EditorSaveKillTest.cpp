// A save of the editor killed while it writes: the file holds the old bytes
// or the new ones, never a mix or a truncated file.

#include "config/ConfigEditorFile.h"
#include "support/KilledChild.h"

#include "ConfigFilesFixture.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace EditorSaveKillTestUnit {

namespace {

ConfigScreenSettings Settings() {
    return ConfigFilesFixture::ScreenSettings();
}

// The source file as loaded and the same with one value changed, both to be
// saved as target.
std::pair<EditorFile, EditorFile> TwoVersions(const QString& source, const QString& target) {
    EditorFile a = LoadEditorFile(source, Settings());
    a.fileName = target;
    EditorFile b = a;
    b.pk.blocking.pto = a.pk.blocking.pto + 4;
    return {a, b};
}

// Runs only as the child of the test below: saves the two versions in turn,
// without end, and has the parent kill it once the saves are under way.
TEST(EditorSaveKillChild, SavesOverAndOver) {
    if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as a child";
    const auto [a, b] = TwoVersions(KilledChild::Value("source"), KilledChild::Value("target"));
    ASSERT_TRUE(a.Parsed());
    std::atomic<int> saves = 0;
    QThread* saver = QThread::create([&, a = a, b = b] {
        for (;;) {
            SaveEditorFile(saves % 2 ? b : a, 0, Settings());
            ++saves;
        }
    });
    saver->start();
    while (saves < 3) QThread::msleep(1);
    KilledChild::ReachedKillPoint();
}

class EditorSaveKillTest : public ConfigFilesFixture {};

TEST_F(EditorSaveKillTest, ASaveKilledMidWriteLeavesTheOldBytesOrTheNew) {
    const QString source = Write("source.bin", SwitchFile(1));
    const QString path = Path("ckm01.bin");
    const auto [a, b] = TwoVersions(source, Path("new.bin"));
    const QByteArray newBytes = SaveEditorFile(b, 0, Settings()).bytes;
    EditorFile old = a;
    old.fileName = path;
    const QByteArray oldBytes = SaveEditorFile(old, 0, Settings()).bytes;
    ASSERT_NE(oldBytes, newBytes);
    for (int run = 0; run < 3; ++run) {
        KilledChild child("EditorSaveKillChild.SavesOverAndOver");
        child.Set("source", source);
        child.Set("target", path);
        ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();
        const QByteArray left = Read(path);
        EXPECT_TRUE(left == oldBytes || left == newBytes) << "run " << run << ": " << left.size();
    }
}

}  // namespace
}  // namespace EditorSaveKillTestUnit
