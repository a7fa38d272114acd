// kinovka-measure PROGRAM [ARGUMENTS...]: runs the program with its output
// discarded and prints "<wall seconds> <peak resident KiB> <processor seconds>
// <minor page faults>" of that process. On a busy machine the processor time
// (user and system) shows the work itself, the wall time also the waiting for a
// processor.
//
// kinovka-measure --page-touch: prints what the first touch of a fresh 4 KiB
// page of memory costs on this machine, in microseconds (the median of five
// rounds over 64 MiB, huge pages refused). It differs a hundredfold between
// machines (a virtual machine whose page tables the hypervisor keeps pays the
// most), and a program that touches much fresh memory pays it per page.
//
// The peak the kernel reports for a child includes what the starting process
// had resident when it forked, so a large launcher (a script interpreter) would
// inflate every figure; this one is small and starts the program directly.
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

int PrintPageTouchCost() {
    constexpr std::size_t kBytes = 64u << 20;
    constexpr std::size_t kPage = 4096;
    std::array<double, 5> rounds{};
    for (double& microseconds : rounds) {
        void* const area = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) return 2;
        madvise(area, kBytes, MADV_NOHUGEPAGE);
        volatile char* const bytes = static_cast<char*>(area);
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t at = 0; at < kBytes; at += kPage) bytes[at] = 1;
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        microseconds = spent.count() / (kBytes / kPage);
        munmap(area, kBytes);
    }
    std::sort(rounds.begin(), rounds.end());
    std::printf("%.3f\n", rounds[rounds.size() / 2]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--page-touch") == 0) return PrintPageTouchCost();
    if (argc < 2) {
        std::fprintf(stderr, "usage: kinovka-measure PROGRAM [ARGUMENTS...] | --page-touch\n");
        return 2;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (const int error = posix_spawnp(&child, argv[1], &actions, nullptr, argv + 1, environ)) {
        std::fprintf(stderr, "kinovka-measure: cannot start %s (error %d)\n", argv[1], error);
        return 2;
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child) return 2;
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "kinovka-measure: %s failed (status %d)\n", argv[1], status);
        return 1;
    }
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    std::printf("%.6f %ld %.6f %ld\n", wall.count(), usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime),
                usage.ru_minflt);
    return 0;
}
