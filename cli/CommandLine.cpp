#include "cli/CommandLine.h"

#include <algorithm>

std::optional<std::string> Invocation::Value(std::string_view name) const {
    const auto found = Options.find(name);
    if (found == Options.end()) return std::nullopt;
    return found->second;
}

std::string Invocation::ValueOr(std::string_view name, std::string_view fallback) const {
    return Value(name).value_or(std::string(fallback));
}

Invocation ParseInvocation(std::span<const std::string> arguments, std::span<const OptionSpec> options,
                           std::span<const std::string_view> positionalNames) {
    Invocation invocation;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !argument.starts_with("-") || argument == "-") {
            invocation.Arguments.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            invocation.HelpWanted = true;
            continue;
        }
        if (!argument.starts_with("--")) {
            // There are no short options: a word with one dash is an argument, such as a negative key.
            invocation.Arguments.push_back(argument);
            continue;
        }
        const std::string_view body = std::string_view(argument).substr(2);
        const std::size_t equals = body.find('=');
        const std::string_view name = body.substr(0, equals);
        const auto spec = std::find_if(options.begin(), options.end(),
                                       [&](const OptionSpec& option) { return option.Name == name; });
        if (spec == options.end()) throw UsageError("Neznámá volba: --" + std::string(name));

        std::string value;
        if (spec->ValueName.empty()) {
            if (equals != std::string_view::npos) {
                throw UsageError("Volba --" + std::string(name) + " nemá hodnotu");
            }
        } else if (equals != std::string_view::npos) {
            value = body.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw UsageError("Volbě --" + std::string(name) + " chybí hodnota");
        }
        invocation.Options[std::string(name)] = std::move(value);
    }
    if (invocation.HelpWanted) return invocation;
    const std::size_t given = invocation.Arguments.size();
    if (given < positionalNames.size()) throw UsageError("Chybí argument " + std::string(positionalNames[given]));
    if (given > positionalNames.size()) {
        throw UsageError("Nadbytečný argument: " + invocation.Arguments[positionalNames.size()]);
    }
    return invocation;
}
