// Work handed out in order and taken back in the same order: the calling
// thread fills items one after another, worker threads work on them as they
// come, and the calling thread takes each back only once every item before
// it has been taken. At most `window` items are between filling and taking
// back, and they live in a ring that is reused, so memory stays bounded
// however many items pass through.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <pthread.h>
#include <signal.h>

namespace valmora {

template <class Item>
class OrderedPool {
public:
    // `work` runs on the workers, one item at a time; `atExit` runs on each
    // worker as it ends (to release what the thread itself holds).
    OrderedPool(unsigned threads, std::size_t window, std::function<void(Item&)> work,
                std::function<void()> atExit = {})
        : work_(std::move(work)), atExit_(std::move(atExit)), items_(window), done_(window, 0), errors_(window) {
        // The workers take no signals: Ctrl-C and the like reach the threads
        // that were there before them, as they did without the pool.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &previous);
        workers_.reserve(threads);
        try {
            for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
        } catch (...) {
            pthread_sigmask(SIG_SETMASK, &previous, nullptr);
            Stop();
            throw;
        }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }

    // Items still with the workers are finished, the rest dropped.
    ~OrderedPool() { Stop(); }

    OrderedPool(const OrderedPool&) = delete;
    OrderedPool& operator=(const OrderedPool&) = delete;

    std::size_t Window() const { return items_.size(); }
    // Items filled and not yet released.
    std::size_t InFlight() const { return static_cast<std::size_t>(filled_ - released_); }

    // The item to fill next; only while InFlight() < Window(). It keeps
    // whatever its last use left in it (the capacity of its vectors too).
    Item& Free() { return items_[Slot(filled_)]; }
    // The item Free gave is filled: it goes to the workers.
    void Submit() {
        {
            std::lock_guard lock(mutex_);
            done_[Slot(filled_)] = 0;
            ++filled_;
        }
        workReady_.notify_one();
    }

    // The oldest item not yet released, once a worker has done with it; the
    // exception its work threw, if it threw. Only while InFlight() > 0.
    Item& Oldest() {
        const std::size_t slot = Slot(released_);
        std::unique_lock lock(mutex_);
        if (!done_[slot]) {
            waiting_ = true;
            oldestDone_.wait(lock, [&] { return done_[slot] != 0; });
            waiting_ = false;
        }
        if (errors_[slot]) std::rethrow_exception(std::exchange(errors_[slot], nullptr));
        return items_[slot];
    }
    // The oldest item is done with: its place takes the next one.
    void Release() {
        std::lock_guard lock(mutex_);
        ++released_;
    }

private:
    std::size_t Slot(long long sequence) const { return static_cast<std::size_t>(sequence) % items_.size(); }

    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            workReady_.wait(lock, [this] { return stopping_ || taken_ < filled_; });
            if (stopping_) break;
            const std::size_t slot = Slot(taken_++);
            lock.unlock();
            std::exception_ptr error;
            try {
                work_(items_[slot]);
            } catch (...) { error = std::current_exception(); }
            lock.lock();
            errors_[slot] = error;
            done_[slot] = 1;
            // Only the oldest item wakes the thread that takes them back.
            if (waiting_ && slot == Slot(released_)) oldestDone_.notify_one();
        }
        lock.unlock();
        if (atExit_) atExit_();
    }

    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        workReady_.notify_all();
        for (std::thread& t : workers_)
            if (t.joinable()) t.join();
        workers_.clear();
    }

    const std::function<void(Item&)> work_;
    const std::function<void()> atExit_;
    std::vector<Item> items_;

    std::mutex mutex_;  // guards what follows, and the items between Submit and the end of their work
    std::condition_variable workReady_;
    std::condition_variable oldestDone_;
    std::vector<char> done_;
    std::vector<std::exception_ptr> errors_;
    long long filled_ = 0;    // items submitted (written by the calling thread)
    long long taken_ = 0;     // items a worker has started on
    long long released_ = 0;  // items released (written by the calling thread)
    bool waiting_ = false;    // the calling thread waits for the oldest item
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace valmora
