#include <gtest/gtest.h>

#include <atomic>

#include "os/Event.h"
#include "os/Thread.h"

namespace {

struct Gate {
    os::AutoResetEvent open;
    os::AutoResetEvent unused;
    std::atomic<int> passed{0};
};

unsigned PassGate(void* argument) {
    auto* gate = static_cast<Gate*>(argument);
    os::WaitForEither(gate->open, gate->unused);
    gate->passed = 1;
    return 0;
}

unsigned OpenGate(void* argument) {
    static_cast<Gate*>(argument)->open.Set();
    return 0;
}

TEST(OsThread, JoinIsBoundedAndSucceedsOnceTheThreadEnded) {
    os::Thread idle;
    EXPECT_TRUE(idle.Join(0));  // never started

    Gate gate;
    os::Thread thread;
    ASSERT_TRUE(thread.Start(&PassGate, &gate));
    // The thread cannot end before the gate opens, so the bounded join must give up.
    EXPECT_FALSE(thread.Join(20));
    EXPECT_EQ(gate.passed.load(), 0);
    gate.open.Set();
    ASSERT_TRUE(thread.Join(10000));
    EXPECT_EQ(gate.passed.load(), 1);
    EXPECT_TRUE(thread.Join(0));  // joining again is harmless
    EXPECT_FALSE(thread.Start(&PassGate, &gate)) << "a thread object runs one thread";
}

TEST(OsThread, DestructorWaitsForTheThread) {
    Gate gate;
    os::Thread opener;
    {
        os::Thread thread;
        ASSERT_TRUE(thread.Start(&PassGate, &gate));
        ASSERT_TRUE(opener.Start(&OpenGate, &gate));
    }
    // Had the destructor let go of a running thread, the gate might not have been passed.
    EXPECT_EQ(gate.passed.load(), 1);
}

}  // namespace
