// The tests' bounded children: a runaway is stopped by the work it does and
// named by its step, a child's failure comes back as its output, and a child
// started while a thread of the test holds a lock still runs.

#include "support/BoundedChild.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>
#include <list>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include <unistd.h>

namespace BoundedChildTestUnit {

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

[[noreturn]] void spin() {
    [[maybe_unused]] volatile unsigned counted = 0;
    for (unsigned n = 0;; ++n) counted = n;
}

// Memory that is touched, in small blocks, up to well past any budget here;
// kept, so that nothing gives it back.
void allocateInSmallBlocks() {
    static std::list<std::vector<char>> kept;
    for (int i = 0; i < 64 * 1024; ++i) kept.emplace_back(16 * 1024, char(i));
}

// Several children at once, each running away in its own way.
TEST(BoundedChildren, ARunawayIsStoppedByTheWorkItDoesAndNamesItsStep) {
    BoundedChild::Limits small;
    small.growthBytes = qint64(64) << 20;
    BoundedChild::Limits fewCpuSeconds;
    fewCpuSeconds.seconds = 2;
    fewCpuSeconds.stepSeconds = 60;
    BoundedChild::Limits oneCpuSecondAStep;
    oneCpuSecondAStep.stepSeconds = 1;
    // Its own short backstop: the default one is for a whole loaded run.
    // A child's start takes well under a second even so, and the spinners
    // above take as long.
    BoundedChild::Limits shortBackstop;
    shortBackstop.backstopSeconds = 2;
    const struct {
        const char* what;
        BoundedChild::Limits limits;
        std::function<void()> work;
        // Either text tells why it stopped: an allocation refused by the
        // address-space limit, or (with a sanitizer's allocator) the
        // resident memory the parent saw grow.
        std::vector<const char*> why;
    } runaways[] = {
        {"allocating",
         small,
         [] { allocateInSmallBlocks(); },
         {"grew by", "bad_alloc", "out of memory"}},
        {"spinning", fewCpuSeconds, [] { spin(); }, {"ran past its CPU time of 2 s"}},
        {"spinning in one step",
         oneCpuSecondAStep,
         [] {
             BoundedChild::Step(QStringLiteral("a quick step"));
             BoundedChild::Step(QStringLiteral("spinning"));
             spin();
         },
         {"ran past 1 s of CPU time in step \"spinning\""}},
        {"waiting",
         shortBackstop,
         [] {
             // Without a backstop the child would wait on: it ends itself
             // long after, with another reason, so that the case fails
             // rather than hangs.
             ::alarm(60);
             for (;;) ::pause();
         },
         {"ran past its backstop of 2 s of wall-clock time in step \"waiting\""}},
    };
    std::vector<std::unique_ptr<BoundedChild>> children;
    for (const auto& r : runaways) {
        children.push_back(std::make_unique<BoundedChild>(r.limits));
        const QString step = QString::fromUtf8(r.what);
        EXPECT_TRUE(children.back()->Start([&r, step] {
            BoundedChild::Step(step);
            r.work();
        })) << r.what;
    }
    for (bool running = true; running;) {
        running = false;
        for (const auto& child : children) running = child->Running() || running;
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        const auto& r = runaways[i];
        const std::string output = children[i]->Output().toStdString();
        EXPECT_FALSE(children[i]->Passed()) << r.what << "\n" << output;
        bool told = false;
        for (const char* why : r.why) told = told || output.find(why) != std::string::npos;
        EXPECT_TRUE(told) << r.what << ":\n" << output;
        EXPECT_THAT(output, HasSubstr(r.what));
    }
}

// A child ends with its work's result: a failed expectation or an exception
// fails it and is in its output, among little else. The children start
// before any is looked at: in a child, those started before it count as
// passed.
TEST(BoundedChildren, AChildsFailureComesBackAsItsOutput) {
    const int seen = 42;  // before Start, so that the children see it too
    BoundedChild passing, failing, throwing;
    EXPECT_TRUE(passing.Start([&] { EXPECT_EQ(42, seen); }));
    EXPECT_TRUE(failing.Start([&] {
        BoundedChild::Step(QStringLiteral("comparing"));
        EXPECT_EQ(41, seen) << "the child's own words";
    }));
    EXPECT_TRUE(throwing.Start([] { throw std::runtime_error("thrown in the child"); }));
    while (passing.Running() || failing.Running() || throwing.Running()) {
    }
    EXPECT_TRUE(passing.Passed()) << passing.Output().toStdString();
    EXPECT_THAT(passing.Output().toStdString(), Not(HasSubstr("[ RUN")));
    EXPECT_FALSE(failing.Passed());
    EXPECT_THAT(failing.Output().toStdString(), HasSubstr("the child's own words"));
    EXPECT_THAT(failing.Output().toStdString(), HasSubstr("comparing"));
    EXPECT_FALSE(throwing.Passed());
    EXPECT_THAT(throwing.Output().toStdString(), HasSubstr("thrown in the child"));
}

// A thread of the test holds a lock until it is told to let go. The child's
// work tells it, then takes the lock: in a program started afresh the
// thread is there to let go. A fork would have the lock held and no thread.
TEST(BoundedChildren, AChildStartedWhileAThreadHoldsALockStillRuns) {
    std::mutex lock;
    std::promise<void> held;
    std::promise<void> letGo;
    std::thread holder([&] {
        std::lock_guard<std::mutex> hold(lock);
        held.set_value();
        letGo.get_future().wait();
    });
    held.get_future().wait();
    BoundedChild::Limits limits;
    limits.backstopSeconds = 30;
    BoundedChild child(limits);
    const bool ran = child.Run([&] {
        letGo.set_value();
        std::lock_guard<std::mutex> taken(lock);
    });
    letGo.set_value();
    holder.join();
    EXPECT_TRUE(ran) << child.Output().toStdString();
}

}  // namespace
}  // namespace BoundedChildTestUnit
