// kinovka-measure PROGRAM [ARGUMENTS...]: runs the program with its output
// discarded and prints "<wall seconds> <peak resident KiB> <processor seconds>"
// of that process. On a busy machine the processor time (user and system) shows
// the work itself, the wall time also the waiting for a processor.
//
// The peak the kernel reports for a child includes what the starting process
// had resident when it forked, so a large launcher (a script interpreter) would
// inflate every figure; this one is small and starts the program directly.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kinovka-measure PROGRAM [ARGUMENTS...]\n");
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
    std::printf("%.6f %ld %.6f\n", wall.count(), usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime));
    return 0;
}
