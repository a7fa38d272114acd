#include "tests/common/Programs.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <filesystem>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/common/Scratch.h"

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The test's environment with the run's variables set or removed.
std::vector<std::string> EnvironmentFor(const RunOptions& options) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text = *entry;
        const bool replaced = std::any_of(options.Environment.begin(), options.Environment.end(),
                                          [&](const auto& variable) { return text.starts_with(variable.first + "="); });
        if (!replaced) environment.emplace_back(text);
    }
    for (const auto& [name, value] : options.Environment)
        if (value) environment.push_back(name + "=" + *value);
    return environment;
}

std::string OutPath(const std::string& dir) { return dir + "/.stdout"; }
std::string ErrPath(const std::string& dir) { return dir + "/.stderr"; }

}  // namespace

pid_t StartProgram(const std::vector<std::string>& argv, const RunOptions& options, const std::string& outputDir) {
    // Built before the fork: the child may only make calls that are safe after it.
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = EnvironmentFor(options);
    const std::vector<char*> argumentPointers = Pointers(arguments);
    const std::vector<char*> environmentPointers = Pointers(environment);
    const std::string outPath = OutPath(outputDir), errPath = ErrPath(outputDir);
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child > 0) return child;

    // In the child: only calls that are safe after fork, then exec.
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) ::_exit(127);
    if (!options.WorkDir.empty() && ::chdir(options.WorkDir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (options.FileSizeLimit) {
        // Ignored, the signal lets the write fail with EFBIG as on a full disk.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{*options.FileSizeLimit, *options.FileSizeLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(127);
    }
    if (options.User && ::geteuid() == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(*options.User) != 0 || ::setuid(*options.User) != 0) ::_exit(127);
    }
    ::execve(argumentPointers[0], argumentPointers.data(), environmentPointers.data());
    ::_exit(127);
}

RunResult WaitForProgram(pid_t child, const std::string& outputDir) {
    RunResult result;
    int status = 0;
    if (::waitpid(child, &status, 0) == child) {
        if (WIFEXITED(status)) result.Status = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
    }
    result.Out = ReadBytes(OutPath(outputDir));
    result.Err = ReadBytes(ErrPath(outputDir));
    std::error_code ignored;
    std::filesystem::remove(OutPath(outputDir), ignored);
    std::filesystem::remove(ErrPath(outputDir), ignored);
    return result;
}

RunResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options) {
    // The output files lie outside the work directory, so that they never count
    // among the files a test expects there.
    static const ScratchDir outputs;
    return WaitForProgram(StartProgram(argv, options, outputs.Path()), outputs.Path());
}
