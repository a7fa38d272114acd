#pragma once
// ReentrantLock: the lock a record store takes around every operation. The
// thread that holds it may take it again (operations call one another); any
// other thread waits until it is free. Meets the BasicLockable requirements.
//
// Walks take it twice for every record (the move and the field read), so it is
// kept cheap: while the process has only one thread nothing can contend and it
// costs no atomic read-modify-write at all; otherwise one compare-and-swap to
// take it and a plain store to free it. A thread that finds it taken waits by
// polling: the program itself never lets two threads at one table, so that wait
// only has to be correct, not quick.
#include <atomic>
#include <chrono>
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
            held_.store(true, std::memory_order_relaxed);
        } else {
            for (int attempt = 0;; ++attempt) {
                bool expected = false;
                if (held_.compare_exchange_weak(expected, true, std::memory_order_acquire, std::memory_order_relaxed))
                    break;
                if (attempt < 64)
                    std::this_thread::yield();
                else
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        }
        owner_.store(me, std::memory_order_relaxed);
        depth_ = 1;
    }

    void unlock() {
        if (--depth_ > 0) return;
        owner_.store(std::thread::id{}, std::memory_order_relaxed);
        held_.store(false, std::memory_order_release);
    }

private:
    // False from the start of a second thread on; starting a thread publishes
    // everything stored before it.
    static bool OneThread() {
#if __has_include(<sys/single_threaded.h>)
        return __libc_single_threaded != 0;
#else
        return false;
#endif
    }

    std::atomic<bool> held_{false};
    std::atomic<std::thread::id> owner_{};  // only the owner stores its own id
    unsigned depth_ = 0;                    // only the owner reads and writes it
};
