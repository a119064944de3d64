#pragma once
// A part of a test run in a child process under limits, so that a runaway
// fails it in seconds rather than filling the machine.
//
// The child is the test program started again (never a bare fork: a fork
// of a process whose earlier tests started threads inherits locks that no
// thread of the child will ever release). It runs the same test alone; the
// k-th Start of that test runs its work there, in the child's own process,
// and the child ends with the work's result. So what the test did before
// Start is done again in the child, and the work sees the same state.
//
// Its limits count the work it does:
//   - its CPU time, from the moment the work begins (RLIMIT_CPU), and the
//     CPU time of each step it takes (Step), watched from the parent: a
//     long run of quick cases fails on the one that runs away, and names it;
//   - its address space may grow by no more than a budget (setrlimit), so
//     that a large allocation beyond it fails at once;
//   - its resident memory is watched from the parent against the same
//     budget: a sanitizer's allocator hands out small blocks from space it
//     reserved at its start, which the address-space limit does not see;
//   - a wall clock only as a backstop against a child that waits forever,
//     generous enough for a machine whose every core is busy.
// The child's failed expectations, sanitizer reports and whatever else it
// prints come back as its output; the test's own clean-up runs only in the
// parent.
//
//     BoundedChild child;
//     EXPECT_TRUE(child.Run([&] { ...; EXPECT_EQ(...); })) << child.Output().toStdString();
//
// Several may run at once (Start, then Running() until false). The test
// must reach its Starts in the same order each time it runs; in a child,
// the children started before its own count as ended and passed, so a test
// looks at its children's results after it has started them all.

#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/types.h>

class BoundedChild {
  public:
    // The backstop is the tests' own, below the test runner's 120 s, so
    // that a test that hangs says so itself.
    struct Limits {
        qint64 growthBytes = qint64(1) << 30;
        int seconds = 40;          // CPU time of the whole work
        int stepSeconds = 15;      // CPU time of each step
        int backstopSeconds = 110; // wall-clock time of the whole child
    };

    BoundedChild() : BoundedChild(Limits{}) {}
    explicit BoundedChild(Limits limits) : limits_(limits) {}
    ~BoundedChild();  // a child still running is killed
    BoundedChild(const BoundedChild&) = delete;
    BoundedChild& operator=(const BoundedChild&) = delete;

    // In the child: the next step begins (a case of a table, say); the
    // output names the step a stopped child was in.
    static void Step(const QString& what);

    // Starts work in a child; false when no child could be made.
    bool Start(const std::function<void()>& work);
    // Reads what the child printed and keeps it within its limits; false
    // once it has ended (or was never started).
    bool Running();
    // Runs work in a child and waits for it; true when it ended by itself
    // with no failed expectation.
    bool Run(const std::function<void()>& work);

    // True when the child ended by itself with no failed expectation.
    bool Passed() const { return ended_ && passed_; }
    // What the child printed, after why it was stopped when it was.
    QString Output() const;

    // The test program's RUN_ALL_TESTS (TestMain): in a program started as
    // a child, a failure when its test ended without reaching its work.
    static int RunAllTests();

  private:
    bool spawn(int start);
    void readOutput();
    void seen(const QByteArray& mark, const QByteArray& value);
    void stopWhenPastLimits();
    void stop(const QString& why);
    bool ended(int status);
    QString inStep() const;

    Limits limits_;
    pid_t pid_ = -1;
    int output_ = -1;
    qint64 startedMs_ = 0;
    bool working_ = false;  // the child's work has begun
    qint64 stepStartedCpuMs_ = 0;
    QString step_;
    qint64 baseResident_ = 0;
    bool ended_ = false;
    bool passed_ = false;
    QString why_;
    QByteArray printed_;
    qsizetype scanned_ = 0;
};
