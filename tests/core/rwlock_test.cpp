#include "core/rwlock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/threads.h"

namespace {

constexpr bool kShared = false;
constexpr bool kExclusive = true;

TEST(RwLock, ReadersShareAndKeepTheWriterOut) {
    RwLock lock;
    EXPECT_FALSE(lock.IsBusy(kShared));
    EXPECT_FALSE(lock.IsBusy(kExclusive));

    lock.Lock(kShared);
    lock.Lock(kShared); // a second reader is admitted at once
    EXPECT_TRUE(lock.IsBusy(kExclusive));
    EXPECT_FALSE(lock.IsBusy(kShared));
    EXPECT_FALSE(lock.TryLock(kExclusive));

    lock.Unlock(kShared);
    EXPECT_FALSE(lock.TryLock(kExclusive)); // one reader still holds it
    lock.Unlock(kShared);
    ASSERT_TRUE(lock.TryLock(kExclusive));

    EXPECT_TRUE(lock.IsBusy(kShared));
    EXPECT_TRUE(lock.IsBusy(kExclusive));
    EXPECT_FALSE(lock.TryLock(kShared));
    EXPECT_FALSE(lock.TryLock(kExclusive));
    lock.Unlock(kExclusive);
    EXPECT_FALSE(lock.IsBusy(kExclusive));
}

// A blocked request returns only after the holder's release; `released` is
// set just before that release, so the order is checked without timing.
void ExpectWaitsForRelease(bool heldMode, bool requestedMode) {
    RwLock lock;
    lock.Lock(heldMode);
    std::atomic<bool> released{false};
    std::atomic<bool> sawRelease{false};
    plat::Thread waiter;
    ASSERT_TRUE(waiter.Start([&] {
        lock.Lock(requestedMode);
        sawRelease = released.load();
        lock.Unlock(requestedMode);
    }));
    plat::Sleep(30); // give the waiter time to find the lock taken
    released = true;
    lock.Unlock(heldMode);
    ASSERT_TRUE(waiter.Join(10000));
    EXPECT_TRUE(sawRelease);
}

TEST(RwLock, BlockedRequestsWaitForTheHolder) {
    {
        SCOPED_TRACE("reader waits for writer");
        ExpectWaitsForRelease(kExclusive, kShared);
    }
    {
        SCOPED_TRACE("writer waits for reader");
        ExpectWaitsForRelease(kShared, kExclusive);
    }
    {
        SCOPED_TRACE("writer waits for writer");
        ExpectWaitsForRelease(kExclusive, kExclusive);
    }
}

TEST(RwLock, WritersExcludeEveryoneUnderContention) {
    RwLock lock;
    // Two values that writers change together; a reader that sees them differ
    // ran inside a writer's section.
    int first = 0, second = 0;
    std::atomic<int> tornReads{0};
    constexpr int kWriters = 3, kReaders = 2, kRounds = 60;

    std::vector<std::unique_ptr<plat::Thread>> threads;
    for (int t = 0; t < kWriters + kReaders; ++t) {
        const bool writer = t < kWriters;
        threads.push_back(std::make_unique<plat::Thread>());
        ASSERT_TRUE(threads.back()->Start([&, writer] {
            for (int i = 0; i < kRounds; ++i) {
                lock.Lock(writer);
                if (writer) {
                    ++first;
                    plat::Sleep(0);
                    ++second;
                } else if (first != second) {
                    ++tornReads;
                }
                lock.Unlock(writer);
                plat::Sleep(0);
            }
        }));
    }
    for (auto& thread : threads) ASSERT_TRUE(thread->Join(60000));
    EXPECT_EQ(first, kWriters * kRounds);
    EXPECT_EQ(second, kWriters * kRounds);
    EXPECT_EQ(tornReads.load(), 0);
    EXPECT_FALSE(lock.IsBusy(kExclusive));
}

} // namespace
