#pragma once
// The command line of one command: what it accepts and what was given.
//
// Arguments are `COMMAND CATALOGUE [ARGS] [OPTIONS]`. Options are long ("--en T"
// or "--en=T") and may stand anywhere after the command; an option that takes a
// value takes the next argument whatever it looks like, so "--cd -5" works.
// "--" ends the options. "--help" (or "-h") asks for the command's help.
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// An option a command accepts; a flag has an empty ValueName.
struct OptionSpec {
    std::string_view Name;       // without the leading "--"
    std::string_view ValueName;  // as shown in the help, e.g. "T" or "N"
    std::string_view Help;
};

// What was given to one command.
struct Invocation {
    std::vector<std::string> Arguments;  // positional, the catalogue first
    std::map<std::string, std::string, std::less<>> Options;  // by name; "" for a flag
    bool HelpWanted = false;

    bool Has(std::string_view name) const { return Options.find(name) != Options.end(); }
    std::optional<std::string> Value(std::string_view name) const;
    // The option's value, or fallback when it was not given.
    std::string ValueOr(std::string_view name, std::string_view fallback) const;
};

// A command line that does not fit the command; the text says what is wrong (UTF-8).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Splits the arguments that follow the command name. Unknown options, missing
// option values and a wrong number of positional arguments (named by
// positionalNames) raise UsageError; with "--help" the rest is not checked.
Invocation ParseInvocation(std::span<const std::string> arguments, std::span<const OptionSpec> options,
                           std::span<const std::string_view> positionalNames);
