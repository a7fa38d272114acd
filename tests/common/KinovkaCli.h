#pragma once
// The built kinovka-cli, run as a user runs it.
#include <string>
#include <vector>

#include "tests/common/Programs.h"

// The program's path; for a run as another user, a copy that user may reach.
const std::string& CliPath(const RunOptions& options = {});

// kinovka-cli with these arguments, in workDir.
RunResult RunCli(const std::vector<std::string>& arguments, const std::string& workDir, RunOptions options = {});
