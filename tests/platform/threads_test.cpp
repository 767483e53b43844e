#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <set>
#include <string>
#include <thread>

#include <unistd.h>

#include "platform/fpu.h"
#include "platform/paths.h"
#include "platform/threads.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(Threads, IdsAreSmallNonZeroStableAndDistinct) {
    const plat::ThreadId mine = plat::CurrentThreadId();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(plat::CurrentThreadId(), mine);
    std::set<plat::ThreadId> ids{mine};
    for (int i = 0; i < 4; ++i) {
        plat::Thread thread;
        plat::ThreadId seenInside = 0;
        ASSERT_TRUE(thread.Start([&] { seenInside = plat::CurrentThreadId(); }));
        const plat::ThreadId id = thread.Id();
        ASSERT_TRUE(thread.Join());
        EXPECT_EQ(seenInside, id);
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " given twice";
    }
    EXPECT_LT(*ids.rbegin(), 1'000'000u);
}

TEST(Threads, NewThreadTakesItsCreatorsDirectoryAndFloatingPointMode) {
    TempDir dir;
    dir.Write("Sub/x", "");
    const std::string saved = plat::GetCurrentDir();
    ASSERT_TRUE(plat::SetCurrentDir(dir.path()));
    std::string startDir, changedDir;
    bool gameMode = false;
    plat::Thread thread;
    ASSERT_TRUE(thread.Start([&] {
        startDir = plat::GetCurrentDir();
        gameMode = plat::IsGameFpuMode();
        plat::SetCurrentDir("SUB");
        changedDir = plat::GetCurrentDir();
    }));
    ASSERT_TRUE(thread.Join());
    EXPECT_EQ(startDir, dir.path());
    EXPECT_TRUE(gameMode);
    EXPECT_EQ(changedDir, dir / "Sub");
    EXPECT_EQ(plat::GetCurrentDir(), dir.path()); // the thread's change stays its own

    // A thread made outside the layer starts from the process's directory.
    std::string foreignDir;
    std::thread([&] { foreignDir = plat::GetCurrentDir(); }).join();
    EXPECT_EQ(foreignDir, std::filesystem::current_path().string());
    ASSERT_TRUE(plat::SetCurrentDir(saved));
}

TEST(Threads, JoinWaitsOnlyAsLongAsItIsAllowed) {
    plat::Event release(true);
    plat::Thread thread;
    EXPECT_TRUE(thread.Join(0)); // nothing started
    ASSERT_TRUE(thread.Start([&] { release.Wait(); }));
    EXPECT_FALSE(thread.Start([] {})); // one body at a time
    EXPECT_FALSE(thread.Join(20));
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_TRUE(thread.SetPriority(plat::ThreadPriority::BelowNormal)); // lowering needs no rights
    thread.SetPriority(plat::ThreadPriority::TimeCritical); // may be refused without rights
    release.Set();
    EXPECT_TRUE(thread.Join());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_FALSE(thread.SetPriority(plat::ThreadPriority::Normal)); // it has ended
    // The object can run another body once the first has ended.
    bool ran = false;
    ASSERT_TRUE(thread.Start([&] { ran = true; }));
    ASSERT_TRUE(thread.Join());
    EXPECT_TRUE(ran);
}

TEST(Events, AutoResetEventsReleaseOneWaitAndManualOnesStaySet) {
    plat::Event autoReset;
    plat::Event manual(true, true);
    EXPECT_FALSE(autoReset.Wait(0));
    autoReset.Set();
    EXPECT_TRUE(autoReset.Wait(0));
    EXPECT_FALSE(autoReset.Wait(10));
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.Wait(0));
}

TEST(Events, WaitForAnyTakesTheLowestSignalledEventAndConsumesOnlyIt) {
    plat::Event quit, request(false), data(false), always(true);
    plat::Event* events[] = {&quit, &request, &data};
    EXPECT_EQ(plat::WaitForAnyEvent(events, 3, 10), plat::kWaitTimeout);
    data.Set();
    request.Set();
    EXPECT_EQ(plat::WaitForAnyEvent(events, 3, 0), 1u);
    EXPECT_EQ(plat::WaitForAnyEvent(events, 3, 0), 2u);
    EXPECT_EQ(plat::WaitForAnyEvent(events, 3, 0), plat::kWaitTimeout);

    always.Set();
    plat::Event* withManual[] = {&always, &data};
    EXPECT_EQ(plat::WaitForAnyEvent(withManual, 2, 0), 0u);
    EXPECT_EQ(plat::WaitForAnyEvent(withManual, 2, 0), 0u);

    // A waiter blocked without a timeout wakes for a signal from another thread.
    uint32_t woke = 99;
    plat::Thread waiter;
    ASSERT_TRUE(waiter.Start([&] { woke = plat::WaitForAnyEvent(events, 3, plat::kInfinite); }));
    EXPECT_FALSE(waiter.Join(20));
    data.Set();
    ASSERT_TRUE(waiter.Join());
    EXPECT_EQ(woke, 2u);
    EXPECT_FALSE(data.Wait(0));
}

TEST(CriticalSections, AreReEntrantAndExcludeOtherThreads) {
    plat::CriticalSection cs;
    cs.Enter();
    EXPECT_TRUE(cs.TryEnter());
    auto otherThreadEnters = [&] {
        bool entered = false;
        plat::Thread other;
        other.Start([&] {
            entered = cs.TryEnter();
            if (entered) cs.Leave();
        });
        other.Join();
        return entered;
    };
    cs.Leave();
    EXPECT_FALSE(otherThreadEnters()); // still held once
    cs.Leave();
    EXPECT_TRUE(otherThreadEnters());
}

TEST(InstanceLocks, OnlyOneHolderAtATime) {
    const std::string name = "test-" + std::to_string(::getpid()) + "\\lock";
    plat::InstanceLock first, second;
    ASSERT_TRUE(first.Acquire(name));
    EXPECT_FALSE(second.Acquire(name));
    first.Release();
    EXPECT_TRUE(second.Acquire(name));
}

TEST(SystemQueries, MemoryAndUtcTimeAreThoseOfTheSystem) {
    EXPECT_GT(plat::PhysicalMemoryBytes(), uint64_t{16} << 20);
    const plat::MemoryStatus memory = plat::QueryMemoryStatus();
    EXPECT_EQ(memory.totalPhysical, plat::PhysicalMemoryBytes());
    EXPECT_LE(memory.availablePhysical, memory.totalPhysical);
    EXPECT_GT(memory.availableVirtual, 0u);
    EXPECT_LT(memory.availableVirtual, memory.totalVirtual); // this process maps something
    const std::time_t now = std::time(nullptr);
    const plat::SystemTime t = plat::UtcNow();
    std::tm expected;
    gmtime_r(&now, &expected);
    EXPECT_EQ(t.year, expected.tm_year + 1900);
    EXPECT_EQ(t.month, expected.tm_mon + 1);
    EXPECT_EQ(t.day, expected.tm_mday);
    EXPECT_EQ(t.dayOfWeek, expected.tm_wday);
    EXPECT_LT(t.milliseconds, 1000);
}

} // namespace
