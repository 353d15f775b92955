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

}  // namespace
