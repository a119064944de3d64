#pragma once
// A crash in the middle of a write, for tests of all-or-nothing operations:
// the test program runs itself again limited to one test (the child), the
// child does the work and says when it is well inside it, and is then killed
// with SIGKILL, so that nothing is cleaned up. The parent then looks at what
// the database holds.
//
//   TEST(MyChild, Works) {              // runs only as the child
//       if (!KilledChild::InChild()) return;
//       ... work, calling KilledChild::SignalReady() half-way ...
//   }
//   TEST_F(MyTest, AKilledWriteLeavesTheDataAsBefore) {
//       ASSERT_TRUE(KilledChild::RunAndKill("MyChild.Works", {{"MY_DB", path}}, &out)) << out;
//   }

#include <QMap>
#include <QString>

namespace KilledChild {

// Whether this process runs as a child started by RunAndKill.
bool InChild();
// In the child: the work is half done; the parent kills the process soon after.
void SignalReady();
// In the child: waits to be killed (at most a minute).
void WaitToBeKilled();

// Runs childTest ("Suite.Name") with the extra environment, waits until it
// signals (at most a minute) and kills it. False when it ended or timed out
// before it signalled; output then holds what it printed.
bool RunAndKill(const QString& childTest, const QMap<QString, QString>& environment,
                QString* output);

}  // namespace KilledChild
