#pragma once
// A part of a test run in a child process forked from the test, under
// limits, so that a runaway fails it in seconds rather than filling the
// machine:
//   - its address space may grow by no more than a budget (setrlimit), so
//     that a large allocation beyond it fails at once;
//   - its resident memory is watched from the parent against the same
//     budget: a sanitizer's allocator hands out small blocks from space it
//     reserved at its start, which the address-space limit does not see;
//   - it has a time limit, and one for each step it takes (Step): a long
//     run of quick cases fails on the one that hangs, in seconds.
// The child's failed expectations, sanitizer reports and whatever else it
// prints come back as its output. It ends without running the test's
// clean-up: objects of the test it changed are the child's own copies.
//
//     BoundedChild child;
//     EXPECT_TRUE(child.Run([&] { ...; EXPECT_EQ(...); })) << child.Output().toStdString();
//
// Several may run at once (Start, then Running() until false).

#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/types.h>

class BoundedChild {
  public:
    // The whole time is the tests' own, below the test runner's 120 s, so
    // that a test that runs away says so itself.
    struct Limits {
        qint64 growthBytes = qint64(1) << 30;
        int seconds = 110;
        int stepSeconds = 20;
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

  private:
    void readOutput();
    void stopWhenPastLimits();
    void stop(const QString& why);
    bool ended(int status);

    Limits limits_;
    pid_t pid_ = -1;
    int output_ = -1;
    qint64 startedMs_ = 0;
    qint64 stepStartedMs_ = 0;
    QString step_;
    qint64 baseResident_ = 0;
    bool ended_ = false;
    bool passed_ = false;
    QString why_;
    QByteArray printed_;
};
