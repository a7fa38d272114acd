#pragma once
// Programs run as a user runs them, in a directory of the test's choosing, with
// what the tests need to make their runs fail for real: another user (so that
// a missing read permission counts even for root) and a file size limit (a disk
// that fills up). Standard input is empty (/dev/null), so that no run can wait
// for typing.
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <utility>
#include <vector>

struct RunOptions {
    std::string WorkDir;                   // empty: the test's own
    std::optional<uid_t> User;             // run as this user (and its group), when root
    std::optional<rlim_t> FileSizeLimit;   // bytes any file may grow to; beyond, writes fail
    // Variables set for the run (or, without a value, removed); the rest is the test's.
    std::vector<std::pair<std::string, std::optional<std::string>>> Environment;
};

struct RunResult {
    int Status = -1;  // the exit status; -1 when the program did not exit normally
    int Signal = 0;   // the signal that ended it, if one did
    std::string Out;
    std::string Err;
};

// Starts the program (argv[0] is its path); standard output and standard error
// go to files under outputDir.
pid_t StartProgram(const std::vector<std::string>& argv, const RunOptions& options, const std::string& outputDir);
// Waits for a started program and collects what it wrote.
RunResult WaitForProgram(pid_t child, const std::string& outputDir);
// Both in one.
RunResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options = {});

// The user without rights that root runs programs as, to see permissions refused.
inline constexpr uid_t kNobody = 65534;
