#pragma once
// ReentrantLock: the lock a record store takes around every operation. The
// thread that holds it may take it again (operations call one another); any
// other thread waits until it is free. Meets the BasicLockable requirements.
//
// Walks take it twice for every record (the move and the field read), so it is
// kept cheap: while the process has only one thread nothing can contend and no
// atomic read-modify-write is spent; otherwise an uncontended take and release
// cost one atomic exchange each.
#include <atomic>
#include <thread>
#if __has_include(<sys/single_threaded.h>)
#include <sys/single_threaded.h>
#endif

class ReentrantLock {
public:
    void lock() {
        const std::thread::id me = std::this_thread::get_id();
        if (owner_.load(std::memory_order_relaxed) == me) {
            ++depth_;
            return;
        }
        if (OneThread()) {
            state_.store(kHeld, std::memory_order_relaxed);
        } else {
            int expected = kFree;
            if (!state_.compare_exchange_strong(expected, kHeld, std::memory_order_acquire, std::memory_order_relaxed))
                while (state_.exchange(kAwaited, std::memory_order_acquire) != kFree)
                    state_.wait(kAwaited, std::memory_order_relaxed);
        }
        owner_.store(me, std::memory_order_relaxed);
        depth_ = 1;
    }

    void unlock() {
        if (--depth_ > 0) return;
        owner_.store(std::thread::id{}, std::memory_order_relaxed);
        // With one thread there is nobody to wake (a waiter is a second thread).
        if (OneThread()) {
            state_.store(kFree, std::memory_order_relaxed);
            return;
        }
        if (state_.exchange(kFree, std::memory_order_release) == kAwaited) state_.notify_one();
    }

private:
    static constexpr int kFree = 0, kHeld = 1, kAwaited = 2;  // kAwaited: held, and another thread waits

    // False from the start of a second thread on; starting a thread publishes
    // everything stored before it.
    static bool OneThread() {
#if __has_include(<sys/single_threaded.h>)
        return __libc_single_threaded != 0;
#else
        return false;
#endif
    }

    std::atomic<int> state_{kFree};
    std::atomic<std::thread::id> owner_{};  // only the owner stores its own id
    unsigned depth_ = 0;                    // only the owner reads and writes it
};
