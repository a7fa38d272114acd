#pragma once
// The command table of kinovka-cli and the dispatch of a command line to it.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"

struct CommandSpec {
    std::string_view Name;
    std::vector<std::string_view> Arguments;  // positional, e.g. CATALOGUE, K
    std::vector<OptionSpec> Options;
    std::string_view Summary;      // one line for the program's help
    std::string_view Description;  // the command's help, lines ended by "\n"
    int (*Run)(const Invocation&);
};

const std::vector<CommandSpec>& Commands();

// Runs the command line (the arguments after the program name) and gives the
// exit status. Help goes to standard output, every failure to standard error.
int RunCommandLine(std::span<const std::string> arguments);
