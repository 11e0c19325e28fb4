// The asking of another process's handles for their path, apart from the threads, locks and clock
// that run it: the program runs it on Windows's own calls (path_workers.h), and the unit tests on
// std::thread on any platform, ThreadSanitizer included. No Windows header is included here.
//
// Asking may block (a pipe with a read waiting on it), so each ask runs on a worker and is waited
// for only as long as its budget; a worker whose call blocks keeps at it, closes its file when
// the call returns and is free again. At most kWorkers: with all of them held up, nothing more is
// asked. Each ask carries a number of its own, and its asker takes only the answer given under
// that number: a worker that is freed, asked again and only then wakes its earlier asker can
// never hand the new handle the old handle's answer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/kernel.h"

namespace kavri::win32 {

using HandleKey = std::pair<std::uintptr_t, std::uint64_t>;  // a handle's value and object

// Sync gives the platform's calls:
//   Sync::Lock, Sync::Signal                        default-constructed, never moved
//   Sync::Acquire(Lock&), Sync::Release(Lock&)
//   Sync::Wait(Signal&, Lock&)                      with the lock held: until woken, or spuriously
//   Sync::WaitFor(Signal&, Lock&, std::uint32_t ms) the same, for at most ms
//   Sync::WakeAll(Signal&)
//   Sync::NowMs()                                   a clock that never goes back, in ms
//   Sync::template Start<Run>(void* arg)            a thread running Run(arg); false when none started
// File is what a worker is given to ask, and closes once its call returned.
template <class Sync, class File>
class AskPool {
public:
    using Query = HandlePath (*)(File file);
    using Close = void (*)(File file);
    // Called by a worker once it is free again and before it wakes its asker; for tests that hold
    // a worker there.
    using Answered = void (*)(const HandleKey& key);
    static constexpr std::size_t kWorkers = 4;

    AskPool(Query query, Close close, Answered answered = nullptr) : shared_(new Shared{{}, query, close, answered}) {}
    AskPool(const AskPool&) = delete;
    AskPool& operator=(const AskPool&) = delete;
    // Workers and what they share are never freed: a worker left blocked in its call may return to
    // them at any time. Without a worker, nothing else holds them.
    ~AskPool() {
        if (count_ == 0) delete shared_;
    }

    // Whether the handle named key may be asked now.
    enum class Stand {
        Free,  // some worker is free, or another may be started
        Busy,  // a worker is still on this handle from an earlier ask
        Full,  // every worker is held up by other handles
    };
    Stand StandOf(const HandleKey& key) const {
        Locked locked(shared_->lock);
        Stand stand = count_ < kWorkers ? Stand::Free : Stand::Full;
        for (std::size_t i = 0; i < count_; ++i) {
            const Worker& w = *workers_[i];
            if (w.asked == w.answered) {
                if (stand == Stand::Full) stand = Stand::Free;
            } else if (w.key == key) {
                return Stand::Busy;
            }
        }
        return stand;
    }
    // The workers started so far.
    std::size_t Workers() const {
        Locked locked(shared_->lock);
        return count_;
    }

    // Asks file, which the worker closes once its call returns, and waits for at most budgetMs.
    // NoWorker, file closed at once, when every worker is held up or none could be started.
    HandlePath Ask(File file, const HandleKey& key, std::uint32_t budgetMs) {
        Locked locked(shared_->lock);
        Worker* worker = Free();
        if (!worker) {
            locked.Release();
            shared_->close(file);
            return {HandlePath::Outcome::NoWorker, {}};
        }
        worker->file = file;
        worker->key = key;
        const std::uint64_t ticket = ++worker->asked;
        Sync::WakeAll(worker->ask);
        const std::uint64_t deadline = Sync::NowMs() + budgetMs;
        while (worker->answered != ticket) {
            const std::uint64_t now = Sync::NowMs();
            if (now >= deadline) return {HandlePath::Outcome::TimedOut, {}};  // the worker stays on it
            Sync::WaitFor(worker->done, shared_->lock, static_cast<std::uint32_t>(deadline - now));
        }
        return worker->answer;
    }

private:
    struct Shared {
        typename Sync::Lock lock;
        Query query;
        Close close;
        Answered answered;
    };
    // One worker's state, under the shared lock: it is busy while asked is past answered.
    struct Worker {
        Shared* shared = nullptr;
        typename Sync::Signal ask, done;
        File file{};
        HandleKey key{};
        std::uint64_t asked = 0, answered = 0;  // the number of the last ask made, and of the last answered
        HandlePath answer;                      // the answer to ask number answered
    };
    class Locked {
    public:
        explicit Locked(typename Sync::Lock& lock) : lock_(&lock) { Sync::Acquire(lock); }
        ~Locked() { Release(); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;
        void Release() {
            if (lock_) Sync::Release(*std::exchange(lock_, nullptr));
        }

    private:
        typename Sync::Lock* lock_;
    };

    static void Run(void* parameter) {
        auto* worker = static_cast<Worker*>(parameter);
        Shared& shared = *worker->shared;
        Sync::Acquire(shared.lock);
        for (;;) {
            while (worker->asked == worker->answered) Sync::Wait(worker->ask, shared.lock);
            const std::uint64_t ticket = worker->asked;
            const File file = worker->file;
            const HandleKey key = worker->key;
            Sync::Release(shared.lock);
            HandlePath answer = shared.query(file);
            shared.close(file);
            Sync::Acquire(shared.lock);
            worker->answer = std::move(answer);
            worker->answered = ticket;  // free from here on: it may be asked again before its asker wakes
            Sync::Release(shared.lock);
            if (shared.answered) shared.answered(key);
            Sync::WakeAll(worker->done);
            Sync::Acquire(shared.lock);
        }
    }

    // A free worker, or a new one; the lock held. A worker whose thread could not be started is
    // dropped whole, so that failures keep nothing.
    Worker* Free() {
        for (std::size_t i = 0; i < count_; ++i)
            if (workers_[i]->asked == workers_[i]->answered) return workers_[i];
        if (count_ >= kWorkers) return nullptr;
        auto* fresh = new Worker;
        fresh->shared = shared_;
        if (!Sync::template Start<&AskPool::Run>(fresh)) {
            delete fresh;
            return nullptr;
        }
        return workers_[count_++] = fresh;
    }

    Shared* shared_;
    Worker* workers_[kWorkers] = {};  // the first count_ started, touched by the asking thread only
    std::size_t count_ = 0;
};

// One look's time for asking the handles of a list one after the other: the first ask sets the
// look's deadline budgetMs on, and each later ask gets what is left of it, so that a look waits
// budgetMs at most however many handles it asks. A handle that the deadline leaves unasked, or
// whose ask it cut short, is where the next look begins, the handles before it passed over in that
// look; so every handle is reached in turn, however slow the ones before it.
class LookBudget {
public:
    // The handle where the last look stopped, if it did.
    const std::optional<HandleKey>& Stopped() const { return stopped_; }
    // A new look; stoppedListed: the handle where the last look stopped is in this look's list.
    void Start(bool stoppedListed) {
        from_ = stoppedListed ? stopped_ : std::nullopt;
        stopped_.reset();
        deadline_.reset();
    }
    // Forgets every look, for another process.
    void Clear() { *this = LookBudget(); }

    // The handle key comes next in the look's order: false while it lies before the handle where
    // the last look stopped (it is passed over in this look).
    bool Reached(const HandleKey& key) {
        if (!from_) return true;
        if (key != *from_) return false;
        from_.reset();
        return true;
    }
    // The time key may be waited for at nowMs, at most budgetMs; 0 when the look's time is spent.
    std::uint32_t Allow(const HandleKey& key, std::uint32_t budgetMs, std::uint64_t nowMs) {
        if (stopped_) return 0;
        if (!deadline_) deadline_ = nowMs + budgetMs;
        if (nowMs >= *deadline_) {
            stopped_ = key;
            return 0;
        }
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(budgetMs, *deadline_ - nowMs));
    }
    // The ask of key, allowed waitedMs, got no answer: true when the look's deadline cut it short of
    // budgetMs, which makes it where the next look begins.
    bool Cut(const HandleKey& key, std::uint32_t waitedMs, std::uint32_t budgetMs) {
        if (waitedMs >= budgetMs) return false;
        stopped_ = key;
        return true;
    }

private:
    std::optional<HandleKey> from_;     // this look asks nothing before this handle
    std::optional<HandleKey> stopped_;  // this look stopped at this handle
    std::optional<std::uint64_t> deadline_;
};

// The workers and the look's time together, as the kernel service asks a process's handles: the
// handles of one look (one list) asked in the list's order, each at most once.
template <class Sync, class File>
class PathAsks {
public:
    using Pool = AskPool<Sync, File>;
    explicit PathAsks(typename Pool::Query query, typename Pool::Close close, typename Pool::Answered answered = nullptr)
        : pool_(query, close, answered) {}

    // A new look, of a list in which listed tells whether a handle is.
    template <class Listed>
    void StartLook(Listed listed) {
        const auto& stopped = look_.Stopped();
        look_.Start(stopped && listed(*stopped));
    }
    void Clear() { look_.Clear(); }

    // The path of the handle key, within what is left of the look's budgetMs; open gives the file
    // to ask (nothing when it cannot be had: the ask Failed). A handle the look does not reach, or
    // whose wait the look's end cut short, is NotAsked: it is asked at a later look.
    template <class Open>
    HandlePath PathOf(const HandleKey& key, std::uint32_t budgetMs, Open open) {
        using Outcome = HandlePath::Outcome;
        HandlePath answer{Outcome::NotAsked, {}};
        if (!look_.Reached(key)) return answer;
        switch (pool_.StandOf(key)) {
            case Pool::Stand::Busy: answer.outcome = Outcome::Pending; return answer;
            case Pool::Stand::Full: answer.outcome = Outcome::NoWorker; return answer;
            case Pool::Stand::Free: break;
        }
        const std::uint32_t wait = look_.Allow(key, budgetMs, Sync::NowMs());
        if (wait == 0) return answer;
        const std::optional<File> file = open();
        if (!file) {
            answer.outcome = Outcome::Failed;
            return answer;
        }
        answer = pool_.Ask(*file, key, wait);
        if (answer.outcome == Outcome::TimedOut && look_.Cut(key, wait, budgetMs)) answer.outcome = Outcome::NotAsked;
        return answer;
    }

    Pool& Workers() { return pool_; }

private:
    Pool pool_;
    LookBudget look_;
};

}  // namespace kavri::win32
