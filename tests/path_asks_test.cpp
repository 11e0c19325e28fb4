// The workers that ask another process's handles for their path, with real threads: natively on
// std::thread (also under ThreadSanitizer), and in the Windows unit tests under Wine on Windows's
// own locks, condition variables and threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "platform/win32/path_workers.h"
#else
#include "platform/win32/path_asks.h"
#endif

namespace kavri::win32 {
namespace {

using Outcome = HandlePath::Outcome;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

#ifdef _WIN32
using BaseSync = Win32Sync;
#else
struct BaseSync {
    using Lock = std::mutex;
    using Signal = std::condition_variable_any;
    static void Acquire(Lock& lock) { lock.lock(); }
    static void Release(Lock& lock) { lock.unlock(); }
    static void Wait(Signal& signal, Lock& lock) { signal.wait(lock); }
    static void WaitFor(Signal& signal, Lock& lock, std::uint32_t ms) { signal.wait_for(lock, milliseconds(ms)); }
    static void WakeAll(Signal& signal) { signal.notify_all(); }
    static std::uint64_t NowMs() {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<milliseconds>(Clock::now().time_since_epoch()).count());
    }
    template <void (*Run)(void*)>
    static bool Start(void* argument) {
        std::thread(Run, argument).detach();
        return true;
    }
};
#endif

// The platform's calls, with its signals counted and its thread starts made to fail at will.
struct Sync : BaseSync {
    struct Signal : BaseSync::Signal {
        Signal() { ++signals; }
        ~Signal() { --signals; }
    };
    static inline std::atomic<int> signals{0};
    static inline std::atomic<bool> failStarts{false};
    template <void (*Run)(void*)>
    static bool Start(void* argument) {
        return !failStarts && BaseSync::template Start<Run>(argument);
    }
};
using Pool = AskPool<Sync, int>;

// A file is a number: one blocked answers once let go, one delayed after so long, and every answer
// names its own file. The worker that answered heldAt waits there, free already, until let go.
struct Files {
    std::mutex lock;
    std::condition_variable changed;
    std::set<int> blocked;
    std::map<int, int> delayMs;
    std::vector<int> asked, closed;
    std::optional<HandleKey> heldAt;
    bool reached = false, letGo = false;

    template <class Change>
    void Set(Change change) {
        std::lock_guard<std::mutex> hold(lock);
        change();
        changed.notify_all();
    }
    template <class Ready>
    bool Await(Ready ready) {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::seconds(5), ready);
    }
};
Files* files = nullptr;  // never freed: a detached worker may touch it to the end

std::string PathOf(int file) { return "C:\\Jeux\\" + std::to_string(file) + ".iso"; }

HandlePath Query(int file) {
    std::unique_lock<std::mutex> hold(files->lock);
    files->asked.push_back(file);
    files->changed.wait(hold, [&] { return files->blocked.count(file) == 0; });
    const int delay = files->delayMs[file];
    hold.unlock();
    std::this_thread::sleep_for(milliseconds(delay));
    return {Outcome::Path, PathOf(file)};
}
void Close(int file) {
    files->Set([&] { files->closed.push_back(file); });
}
void Answered(const HandleKey& key) {
    std::unique_lock<std::mutex> hold(files->lock);
    if (files->heldAt != key) return;
    files->reached = true;
    files->changed.notify_all();
    files->changed.wait(hold, [] { return files->letGo; });
}

HandleKey Key(int file, std::uint64_t object = 1) { return {static_cast<std::uintptr_t>(file), object}; }

class PathAsksTest : public ::testing::Test {
protected:
    void SetUp() override {
        files = new Files;
        Sync::failStarts = false;
    }
};

// The fault this guards against: a worker marked itself free before it woke its asker, so the
// asking thread gave it a new handle and was woken by the old answer's signal: the new handle got
// the old handle's path (20 of 20 asks with a pause put there).
TEST_F(PathAsksTest, AWorkerAskedAgainBeforeItWokeItsAskerAnswersTheNewHandle) {
    Pool pool(Query, Close, Answered);
    for (int old = 1000; old < 1020; ++old) {
        const int fresh = old + 1000;
        files->Set([&] {
            files->heldAt = Key(old);
            files->reached = files->letGo = false;
            files->blocked.insert(old);
            files->delayMs[fresh] = 50;  // the old answer would still stand when its signal woke the asker
        });
        ASSERT_EQ(pool.Ask(old, Key(old), 20).outcome, Outcome::TimedOut);
        files->Set([&] { files->blocked.erase(old); });
        ASSERT_TRUE(files->Await([] { return files->reached; }));
        EXPECT_EQ(pool.StandOf(Key(old)), Pool::Stand::Free);
        std::thread letGo([] {
            std::this_thread::sleep_for(milliseconds(30));
            files->Set([] { files->letGo = true; });
        });
        const HandlePath answer = pool.Ask(fresh, Key(fresh), 5000);
        letGo.join();
        EXPECT_EQ(answer.path, PathOf(fresh));
        EXPECT_EQ(pool.Workers(), 1u);  // the same worker, asked again
    }
}

TEST_F(PathAsksTest, AHandleThatBlocksHoldsUpOnlyItsWorkerAndEveryFileIsClosedOnce) {
    Pool pool(Query, Close);
    const int workers = static_cast<int>(Pool::kWorkers);
    files->Set([&] {
        for (int file = 2; file <= workers + 1; ++file) files->blocked.insert(file);
    });
    EXPECT_EQ(pool.Ask(1, Key(1), 5000).path, PathOf(1));
    EXPECT_EQ(pool.Ask(2, Key(2), 20).outcome, Outcome::TimedOut);
    EXPECT_EQ(pool.StandOf(Key(2)), Pool::Stand::Busy);
    EXPECT_EQ(pool.StandOf(Key(2, 3)), Pool::Stand::Free);  // the same value for another object is another handle
    for (int file = 10; file < 30; ++file) EXPECT_EQ(pool.Ask(file, Key(file), 5000).path, PathOf(file));
    for (int file = 3; file <= workers + 1; ++file) EXPECT_EQ(pool.Ask(file, Key(file), 20).outcome, Outcome::TimedOut);
    EXPECT_EQ(pool.StandOf(Key(9)), Pool::Stand::Full);
    EXPECT_EQ(pool.Ask(9, Key(9), 5000).outcome, Outcome::NoWorker);
    files->Set([] { files->blocked.clear(); });
    EXPECT_TRUE(files->Await([&] { return files->closed.size() == 22u + static_cast<std::size_t>(workers); }));
    EXPECT_EQ(pool.Ask(40, Key(2), 5000).path, PathOf(40));  // free again, asked again
    std::vector<int> closed = files->closed;
    std::sort(closed.begin(), closed.end());
    EXPECT_EQ(std::adjacent_find(closed.begin(), closed.end()), closed.end());
}

TEST_F(PathAsksTest, AThreadThatCannotStartKeepsNothing) {
    const int before = Sync::signals;
    Pool pool(Query, Close);
    Sync::failStarts = true;
    for (int file = 1; file <= 100; ++file) EXPECT_EQ(pool.Ask(file, Key(8), 5000).outcome, Outcome::NoWorker);
    EXPECT_EQ(pool.Workers(), 0u);
    EXPECT_EQ(Sync::signals, before);  // 100 asks leave no worker and no signal behind
    EXPECT_EQ(files->closed.size(), 100u);
    Sync::failStarts = false;
    EXPECT_EQ(pool.Ask(101, Key(8), 5000).path, PathOf(101));
    EXPECT_EQ(Sync::signals, before + 2);
}

TEST(LookBudget, OneBudgetForTheWholeLookThenOnFromWhereItStopped) {
    LookBudget look;
    const HandleKey a{4, 0}, b{8, 0}, c{12, 0};
    look.Start(false);
    EXPECT_TRUE(look.Reached(a) && look.Reached(b));
    EXPECT_EQ(look.Allow(a, 300, 1000), 300u);  // the first ask sets the deadline
    EXPECT_EQ(look.Allow(b, 300, 1200), 100u);  // the next gets what is left
    EXPECT_TRUE(look.Cut(b, 100, 300));         // cut short: where the next look begins
    EXPECT_EQ(look.Allow(c, 300, 1250), 0u);
    look.Start(true);  // b still listed
    EXPECT_FALSE(look.Reached(a));  // passed over in this look
    EXPECT_TRUE(look.Reached(b) && look.Reached(c));
    EXPECT_EQ(look.Allow(b, 300, 5000), 300u);
    EXPECT_FALSE(look.Cut(b, 300, 300));      // its own budget spent: a timeout, no cut
    EXPECT_EQ(look.Allow(c, 300, 5300), 0u);  // the deadline reached: c is where the next begins
    EXPECT_EQ(look.Stopped(), c);
    look.Start(false);  // c closed meanwhile: from the list's start
    EXPECT_TRUE(look.Reached(a));
}

// Where the list names no objects every handle is asked at every look: ten handles of 120 ms wait
// one budget of 300 ms in all, not 1.2 s, and the next looks go on where the last stopped.
TEST_F(PathAsksTest, ALookOfSlowHandlesWaitsOneBudgetAndReachesEveryHandleInTurn) {
    PathAsks<Sync, int> asks(Query, Close);
    for (int file = 1; file <= 10; ++file) files->delayMs[file] = 120;
    std::set<int> answered;
    for (int look = 0; look < 30 && answered.size() < 10; ++look) {
        asks.StartLook([](const HandleKey&) { return true; });
        const auto start = Clock::now();
        for (int file = 1; file <= 10; ++file) {
            const HandlePath answer = asks.PathOf(Key(file, 0), 300, [&] { return std::optional<int>(file); });
            EXPECT_NE(answer.outcome, Outcome::TimedOut);
            if (answer.outcome == Outcome::Path) answered.insert(file);
        }
        EXPECT_LT(Clock::now() - start, milliseconds(1000));
        std::this_thread::sleep_for(milliseconds(200));  // the ticks are apart
    }
    EXPECT_EQ(answered.size(), 10u);
}

}  // namespace
}  // namespace kavri::win32
