#pragma once
// kinovka-cli's help in Czech, for users whose locale asks for Czech messages.
// The command table (Commands.cpp) holds the English help; this holds the same
// in Czech, by command and option name, and the Czech names of the argument
// placeholders that both write in capitals.
#include <map>
#include <string_view>

// Whether the locale asks for Czech messages: the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty names it, as the C library reads them.
bool CzechMessagesWanted();

struct CzechCommandHelp {
    std::string_view Summary;
    std::string_view Description;  // lines ended by "\n"
    std::map<std::string_view, std::string_view> Options;  // option name → help
};

// The Czech help of a command; nothing for a command that has none yet, which
// is then described in English.
const CzechCommandHelp* CzechHelpOf(std::string_view command);

// "KATALOG" for "CATALOGUE" and so on; a placeholder without a Czech name as it is.
std::string_view CzechPlaceholder(std::string_view placeholder);

// The frame of the program's help: before the command lines and after them.
extern const std::string_view kCzechProgramHelpHead;
extern const std::string_view kCzechProgramHelpTail;
