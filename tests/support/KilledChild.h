#pragma once
// Crash tests: one test of this test program runs again in a child process,
// which announces the point it should die at; the parent kills it there
// (SIGKILL, no clean-up of any kind) and then looks at what was left behind.
//
// The child's side is an ordinary test that skips itself unless it runs as
// such a child:
//
//     TEST(SaveKill, Child) {
//         if (!KilledChild::InChild()) GTEST_SKIP() << "runs only as a child";
//         open KilledChild::Value("db") ... start the work, and at the moment
//         to die: KilledChild::ReachedKillPoint();
//     }
//
// and the parent's:
//
//     KilledChild child("SaveKill.Child");
//     child.Set("db", path);
//     ASSERT_TRUE(child.RunUntilKilled()) << child.Output().toStdString();

#include <QMap>
#include <QString>

class KilledChild {
  public:
    // In the child: true when this process was started by RunUntilKilled.
    static bool InChild();
    // In the child: a value the parent set.
    static QString Value(const QString& name);
    // In the child: tells the parent to kill now, and waits for it.
    [[noreturn]] static void ReachedKillPoint();

    // testName: the child's test as "Suite.Name".
    explicit KilledChild(QString testName) : testName_(std::move(testName)) {}
    void Set(const QString& name, const QString& value) { values_[name] = value; }

    // Runs the child and kills it at its kill point. False when it ended, or
    // did not get there in time, before it was killed; Output() says more.
    bool RunUntilKilled(int timeoutMs = 60000);
    // What the child wrote (stdout and stderr together).
    QString Output() const { return output_; }

  private:
    QString testName_;
    QMap<QString, QString> values_;
    QString output_;
};
