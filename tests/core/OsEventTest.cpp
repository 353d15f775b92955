#include <gtest/gtest.h>

#include "os/Event.h"
#include "os/Thread.h"

namespace {

TEST(OsEvent, AutoResetsAndTheFirstWinsWhenBothAreSet) {
    os::AutoResetEvent first;
    os::AutoResetEvent second;
    ASSERT_TRUE(first.IsValid());
    ASSERT_TRUE(second.IsValid());

    first.Set();
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::First);
    // The wait consumed `first`; a manual-reset event would win again here.
    second.Set();
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::Second);

    second.Set();
    first.Set();
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::First);
    // Only the winner was consumed: `second` is still set.
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::Second);

    // Setting twice before a wait is one signal.
    first.Set();
    first.Set();
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::First);
    second.Set();
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::Second);
}

TEST(OsEvent, ResetDropsAPendingSignal) {
    os::AutoResetEvent first;
    os::AutoResetEvent second;
    first.Set();
    first.Reset();
    second.Set();
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::Second);
}

TEST(OsEvent, HandleValuesNameTheirEvents) {
    os::AutoResetEvent first;
    os::AutoResetEvent second;
    EXPECT_NE(first.HandleValue(), 0u);
    EXPECT_NE(second.HandleValue(), 0u);
    EXPECT_NE(first.HandleValue(), second.HandleValue());

    EXPECT_TRUE(os::SetEventByHandleValue(second.HandleValue()));
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::Second);
    EXPECT_TRUE(os::SetEventByHandleValue(first.HandleValue()));
    EXPECT_EQ(os::WaitForEither(first, second), os::WaitResult::First);

    EXPECT_FALSE(os::SetEventByHandleValue(0));
}

struct Waiting {
    os::AutoResetEvent first;
    os::AutoResetEvent second;
    os::WaitResult result = os::WaitResult::Failed;
};

unsigned WaitOnce(void* argument) {
    auto* waiting = static_cast<Waiting*>(argument);
    waiting->result = os::WaitForEither(waiting->first, waiting->second);
    return 0;
}

TEST(OsEvent, ASignalWakesAWaitingThread) {
    Waiting waiting;
    os::Thread thread;
    ASSERT_TRUE(thread.Start(&WaitOnce, &waiting));
    EXPECT_TRUE(os::SetEventByHandleValue(waiting.second.HandleValue()));
    ASSERT_TRUE(thread.Join(10000));
    EXPECT_EQ(waiting.result, os::WaitResult::Second);
}

}  // namespace
