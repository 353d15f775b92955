#include <gtest/gtest.h>

#include "os/Event.h"
#include "os/Lock.h"
#include "os/Thread.h"

namespace {

struct LockProbe {
    os::RecursiveLock* lock;
    bool entered = false;
};

unsigned EnterAndLeave(void* argument) {
    auto* probe = static_cast<LockProbe*>(argument);
    probe->lock->Enter();
    probe->entered = true;
    probe->lock->Leave();
    return 0;
}

TEST(OsLock, TheHoldingThreadEntersAgainAndOthersGetItOnceFullyLeft) {
    os::RecursiveLock lock;
    lock.Enter();
    lock.Enter();  // would hang here if the lock were not re-entrant
    { os::LockGuard nested(lock); }
    lock.Leave();

    LockProbe probe{&lock};
    os::Thread other;
    ASSERT_TRUE(other.Start(&EnterAndLeave, &probe));
    // Still held once: the other thread cannot have got in.
    EXPECT_FALSE(other.Join(50));
    lock.Leave();
    ASSERT_TRUE(other.Join(10000));
    EXPECT_TRUE(probe.entered);
}

struct Counter {
    os::RecursiveLock lock;
    long value = 0;
};

unsigned CountUnderNestedLock(void* argument) {
    auto* counter = static_cast<Counter*>(argument);
    for (int i = 0; i < 20000; ++i) {
        os::LockGuard outer(counter->lock);
        os::LockGuard inner(counter->lock);
        const long seen = counter->value;
        counter->value = seen + 1;
    }
    return 0;
}

TEST(OsLock, SerialisesThreads) {
    Counter counter;
    os::Thread threads[4];
    for (os::Thread& thread : threads) ASSERT_TRUE(thread.Start(&CountUnderNestedLock, &counter));
    for (os::Thread& thread : threads) ASSERT_TRUE(thread.Join(60000));
    EXPECT_EQ(counter.value, 4 * 20000);
}

}  // namespace
