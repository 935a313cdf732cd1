#pragma once
// Prepares the copies a run announced on worker threads, a few files ahead of
// the run, while the run itself puts each one in place in its own order.
//
// Workers only ever make temporary files; nothing a user can see changes
// until the run's thread takes a prepared copy and commits it. So progress,
// cancel and the first failure stay exactly as in a run without workers: a
// copy after a failed or cancelled one is prepared at most, never committed,
// and what was prepared is discarded.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vrx {

// Planned has from, to and onlyWithData, which a copy asked for must match.
template <typename Planned, typename Prepared>
class CopyAhead {
public:
    // Prepares plan item index on worker number worker; nullopt when it is
    // better left to the run (which then copies it as without workers).
    using Prepare = std::function<std::optional<Prepared>(std::size_t index, int worker)>;
    // Removes a prepared copy that will not be committed.
    using Discard = std::function<void(Prepared&)>;

    CopyAhead(Prepare prepare, Discard discard, int workers, std::size_t window)
        : prepare_(std::move(prepare)), discard_(std::move(discard)), workerCount_(workers), window_(window) {}
    ~CopyAhead() { stop(); }
    CopyAhead(const CopyAhead&) = delete;
    CopyAhead& operator=(const CopyAhead&) = delete;

    // Starts preparing plan, in its order; a plan given before is dropped first.
    void start(std::vector<Planned> plan) {
        stop();
        if (plan.empty()) return;
        {
            std::lock_guard lock(mutex_);
            plan_ = std::move(plan);
            slots_.assign(plan_.size(), Slot{});
            head_ = 0;
            next_ = 0;
            stopping_ = false;
        }
        for (int i = 0; i < workerCount_; ++i) workers_.emplace_back([this, i] { work(i); });
    }

    // The prepared copy of from to to when it is among the next planned ones:
    // the planned copies before it are dropped. nullopt when it is not
    // planned there or could not be prepared.
    std::optional<Prepared> take(const std::string& from, const std::string& to, bool onlyWithData) {
        std::unique_lock lock(mutex_);
        if (workers_.empty()) return std::nullopt;
        const std::size_t end = std::min(plan_.size(), head_ + kLookFor);
        std::size_t found = head_;
        while (found < end && !matches(plan_[found], from, to, onlyWithData)) ++found;
        if (found == end) return std::nullopt;
        // The ones passed over are never begun now; those begun are waited for and dropped.
        const std::size_t begun = next_;
        next_ = std::max(next_, found + 1);
        for (std::size_t i = head_; i < found && i < begun; ++i) {
            done_.wait(lock, [&] { return slots_[i].done; });
            dropSlot(slots_[i]);
        }
        std::optional<Prepared> prepared;
        if (found < begun) {
            done_.wait(lock, [&] { return slots_[found].done; });
            prepared = std::move(slots_[found].prepared);
            slots_[found].prepared.reset();
        }
        head_ = found + 1;
        // Workers are woken only once half the window is free, so that each
        // wake-up is worth several copies rather than one.
        if (next_ <= head_ + window_ / 2) room_.notify_all();
        return prepared;
    }

    // Stops the workers and discards every copy prepared and not taken.
    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        room_.notify_all();
        for (std::thread& worker : workers_) worker.join();
        workers_.clear();
        std::lock_guard lock(mutex_);
        for (Slot& slot : slots_) dropSlot(slot);
        plan_.clear();
        slots_.clear();
        head_ = next_ = 0;
    }

    // The planned copy number index, for the Prepare function (the plan stays as it is while workers run).
    const Planned& planned(std::size_t index) const { return plan_[index]; }

private:
    // How far past the next planned copy one asked for is looked for.
    static constexpr std::size_t kLookFor = 64;

    struct Slot {
        std::optional<Prepared> prepared;
        bool done = false;
    };

    static bool matches(const Planned& p, const std::string& from, const std::string& to, bool onlyWithData) {
        return p.onlyWithData == onlyWithData && p.from == from && p.to == to;
    }

    void dropSlot(Slot& slot) {
        if (slot.prepared) discard_(*slot.prepared);
        slot.prepared.reset();
    }

    void work(int worker) {
        std::unique_lock lock(mutex_);
        for (;;) {
            room_.wait(lock, [&] { return stopping_ || (next_ < plan_.size() && next_ < head_ + window_); });
            if (stopping_) return;
            const std::size_t index = next_++;
            lock.unlock();
            std::optional<Prepared> prepared = prepare_(index, worker);
            lock.lock();
            slots_[index].prepared = std::move(prepared);
            slots_[index].done = true;
            done_.notify_all();
        }
    }

    Prepare prepare_;
    Discard discard_;
    const int workerCount_;
    const std::size_t window_;

    std::mutex mutex_;
    std::condition_variable room_;  // a worker may begin another copy, or must stop
    std::condition_variable done_;  // a worker finished a copy
    std::vector<Planned> plan_;
    std::vector<Slot> slots_;
    std::size_t head_ = 0;  // the first planned copy the run has not taken or passed
    std::size_t next_ = 0;  // the first planned copy no worker has begun
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace vrx
