#include "tests/common/KinovkaCli.h"

#include <filesystem>

#include "tests/common/Scratch.h"

// A user without rights may be unable to reach the build tree (a checkout in a
// private directory), so it runs a copy of kinovka-cli from a scratch directory
// that everybody may enter; the copy goes with the test program.
const std::string& CliPath(const RunOptions& options) {
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

RunResult RunCli(const std::vector<std::string>& arguments, const std::string& workDir, RunOptions options) {
    std::vector<std::string> argv{CliPath(options)};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    options.WorkDir = workDir;
    return RunProgram(argv, options);
}
