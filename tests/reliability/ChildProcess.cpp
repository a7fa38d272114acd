#include "tests/reliability/ChildProcess.h"

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

std::string OutPath(const std::string& dir) { return dir + "/.stdout"; }
std::string ErrPath(const std::string& dir) { return dir + "/.stderr"; }

}  // namespace

pid_t StartProgram(const std::vector<std::string>& argv, const RunOptions& options, const std::string& outputDir) {
    std::vector<std::string> arguments = argv;
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child > 0) return child;

    // In the child: only calls that are safe after fork, then exec.
    const int out = ::open(OutPath(outputDir).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = ::open(ErrPath(outputDir).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
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
    ::execve(arguments[0].c_str(), Pointers(arguments).data(), environ);
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

namespace {

// A user without rights may be unable to reach the build tree (a checkout in a
// private directory), so it runs a copy of kinovka-cli from a scratch directory
// that everybody may enter; the copy goes with the test program.
const std::string& CliFor(const RunOptions& options) {
    static const std::string built = KINOVKA_CLI_PATH;
    if (!options.User) return built;
    static const ScratchDir place;
    static const std::string copy = [] {
        namespace fs = std::filesystem;
        const fs::path target = fs::path(place.Path()) / "kinovka-cli";
        fs::copy_file(built, target);
        const auto everybody = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
        fs::permissions(target, everybody);
        fs::permissions(place.Path(), everybody);
        return target.string();
    }();
    return copy;
}

}  // namespace

RunResult RunCli(const std::vector<std::string>& arguments, const std::string& workDir, RunOptions options) {
    std::vector<std::string> argv{CliFor(options)};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    options.WorkDir = workDir;
    return RunProgram(argv, options);
}
