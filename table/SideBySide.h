#pragma once
// Two pieces of work at once, for the builds that split over both cores.
#include <exception>
#include <system_error>
#include <thread>

// Runs `second` on a thread of its own while this thread runs `first`, and
// returns when both are done. An exception from either is passed on (the
// first's when both throw) only after both have ended, so nothing is left
// running. Where no thread can be started both run here, one after the other.
// The two must not touch the same data unless only reading it.
template <class First, class Second>
void RunSideBySide(First&& first, Second&& second) {
    std::exception_ptr secondFailure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                second();
            } catch (...) {
                secondFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        first();
        second();
        return;
    }
    std::exception_ptr firstFailure;
    try {
        first();
    } catch (...) {
        firstFailure = std::current_exception();
    }
    worker.join();
    if (firstFailure) std::rethrow_exception(firstFailure);
    if (secondFailure) std::rethrow_exception(secondFailure);
}
