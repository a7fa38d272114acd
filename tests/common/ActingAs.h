#pragma once
// Root acting as another user for file permissions while it lives, in the test's
// own process (Programs.h runs a program as one).
#include <cstdlib>
#include <sys/types.h>
#include <unistd.h>

struct ActingAs {
    explicit ActingAs(uid_t user) : Acting(::seteuid(user) == 0) {}
    ~ActingAs() {
        if (Acting && ::seteuid(0) != 0) std::abort();
    }
    ActingAs(const ActingAs&) = delete;
    ActingAs& operator=(const ActingAs&) = delete;
    bool Acting;
};
