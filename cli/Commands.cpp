#include "cli/Commands.h"

#include <algorithm>
#include <iostream>

#include "app/core/Global.h"
#include "cli/CommandHandlers.h"
#include "cli/CzechHelp.h"
#include "cli/ExitStatus.h"
#include "layout/CatalogLayout.h"

namespace {

const std::string kSortHelp =
    "order of index \"k\": field names joined by \";\" (default " + std::string(kDefaultSortFields) + ")";
const OptionSpec kSort{"sort", "FIELDS", kSortHelp};
const OptionSpec kRaw{"raw", "", "Windows-1250 bytes with CR LF line ends, as the list window saves them"};

const std::vector<OptionSpec> kFilmOptions{
    {"en", "T", "English title (S1)"},
    {"cz", "T", "Czech title (S2); when absent on add, the English title"},
    {"cd", "N", "CD number (S3); an empty text is 0"},
    {"lang", "T", "audio language (S4)"},
    {"subs", "T", "subtitles (S5)"},
    {"discs", "N", "number of discs (S6); an empty text is 0"},
    {"note", "T", "note (S7)"},
};

const std::vector<CommandSpec> kCommands{
    {"new", {"CATALOGUE"}, {{"force", "", "replace an existing file (the old one is kept as CATALOGUE.bak)"}},
     "create an empty catalogue",
     "Creates an empty catalogue, as the button \"Nový\" does. An existing file is\n"
     "left alone (exit status 1) unless --force is given.\n",
     RunNew},
    {"list", {"CATALOGUE"}, {kSort, kRaw}, "the list of all films",
     "Prints the list window's list of all films: the header line, an empty line\n"
     "and one fixed-width line per film, in the order of FIELDS.\n",
     RunList},
    {"summary", {"CATALOGUE"}, {kRaw}, "counts of CDs and films",
     "Prints the list window's summary: the number of CDs and the numbers of films\n"
     "by audio language.\n",
     RunSummary},
    {"dump", {"CATALOGUE"},
     {kSort, {"format", "json|csv", "json (default): an array of objects; csv: a header line and RFC 4180 rows"}},
     "every record with K and S1 to S7",
     "Prints every record with its key K and the fields S1 to S7 in the order of\n"
     "FIELDS. In JSON a null field is null and the numbers are numbers; in CSV a null\n"
     "field is an empty cell and an empty text is \"\".\n",
     RunDump},
    {"find", {"CATALOGUE"},
     {{"en", "T", "part of the English title"}, {"cz", "T", "part of the Czech title"},
      {"note", "T", "part of the note"}, kSort},
     "films whose titles and note contain the texts",
     "Prints the list lines of every film whose English title, Czech title and note\n"
     "contain the given texts, letter case aside (diacritics count: c does not find\n"
     "č). Nothing found: exit status 1.\n",
     RunFind},
    {"add", {"CATALOGUE"}, kFilmOptions, "add a film and print its K",
     "Adds one film as the edit dialog does and prints its new key K. Absent options\n"
     "take the add form's values: empty texts, language EN, subtitles CZ, 1 disc,\n"
     "CD number 0. Numbers are decimal, or hexadecimal after $, x or 0x.\n",
     RunAdd},
    {"edit", {"CATALOGUE", kKeyField}, kFilmOptions, "change the film with key K",
     "Changes the film with key K; only the fields of the given options change\n"
     "(a new English title also fills an empty Czech title). The file is rewritten\n"
     "only when something changed.\n",
     RunEdit},
    {"delete", {"CATALOGUE", kKeyField}, {}, "delete the film with key K", "Deletes the film with key K.\n", RunDelete},
    {"import", {"CATALOGUE", "FILE"},
     {{"dry-run", "", "print the summary and the first films as they would be stored; change nothing"},
      {"all", "", "add films already in the catalogue too"}},
     "add the films of a CSV file or of another catalogue program",
     "Adds the films of FILE, whose format is told from its content: Kinovka's CSV,\n"
     "Ant Movie Catalog (.amc 3.1 to 4.2, or its XML), GCstar (.gcs), Tellico (.tc\n"
     "or its XML), Griffith's or Data Crow's XML export. CSV is UTF-8 or\n"
     "Windows-1250, cells separated by \",\", \";\" or tab; its header names the\n"
     "columns by field (S1 to S7) or by the grid's titles (\"Název anglicky\",\n"
     "\"Název česky\", \"č. CD\", \"Znění\", \"Titulky\", \"ks CD\", \"Poznámka\"), in\n"
     "any order and letter case; missing columns take the add form's values, an\n"
     "empty cell is a null and \"\" an empty text. A film whose English title, Czech\n"
     "title and CD number equal those of a film already in the catalogue (letter\n"
     "case and Czech diacritics aside) is skipped unless --all is given. The whole\n"
     "import is one change (one version, which \"restore CATALOGUE 1\" takes back);\n"
     "a file that cannot be read whole adds nothing and is reported with the place\n"
     "where reading stopped. Prints the summary: films read, added and skipped, and\n"
     "per source field with no place in the catalogue, how many films had a value.\n",
     RunImport},
    {"export", {"CATALOGUE", "FILE"},
     {kSort, {"format", "csv|html", "default: html when FILE ends in .html or .htm, csv when in .csv"},
      {"force", "", "replace an existing FILE (never CATALOGUE itself)"}},
     "write the CSV dump or a web page to a file",
     "Writes the CSV dump (see dump) or a web page to FILE. A FILE whose extension\n"
     "is none of .csv, .html and .htm needs --format. FILE must not exist unless\n"
     "--force is given, and is never the catalogue itself. The page is one UTF-8\n"
     "file without external resources: the summary's counts and the grid's columns,\n"
     "a search box (English title, Czech title and note, case and Czech diacritics\n"
     "ignored) and column titles that sort; \"#q=TEXT&sort=-S3\" after its address\n"
     "gives a search and an order.\n",
     RunExport},
    {"convert", {"CATALOGUE", "OUT"}, {{"format", "xml|binary|utf8", "the form of OUT (default xml)"}},
     "save the catalogue in another form",
     "Loads the catalogue and saves it as OUT: XML, binary or XML in UTF-8. A binary\n"
     "save under a name ending in \".xml\" is written as XML.\n",
     RunConvert},
    {"rescue", {"DAMAGED", "OUT"}, {{"force", "", "replace an existing OUT (never DAMAGED itself)"}},
     "save what a damaged catalogue still holds",
     "Reads a damaged catalogue (XML or binary: cut off, bytes changed, a row\n"
     "broken) up to the first damage and saves every complete row read before it\n"
     "as a new catalogue OUT with the same fields; rows whose key K is missing or\n"
     "repeats an earlier one are left out. Prints how many films were rescued and\n"
     "where and why reading stopped (byte offset, row number). Exit status 2 when\n"
     "not even the fields could be read, or they are not the catalogue's (K, S1 to\n"
     "S7). OUT must not exist unless --force is given.\n",
     RunRescue},
    {"history", {"CATALOGUE"}, {}, "the versions kept by earlier changes",
     "Prints one line per version that the catalogue's changes kept, newest first:\n"
     "its number N (1 is the state the latest change replaced), when it was\n"
     "replaced, its number of films, and what the next newer state changed\n"
     "against it: films added, deleted and changed (\"+2 -1 ~3\") with the\n"
     "first few titles, in aligned columns. The newest 100 versions are kept in\n"
     "CATALOGUE.versions/, unless together they pass 256 MiB and 20 times the\n"
     "largest of them and the catalogue; then the oldest of them go too. Changes\n"
     "of the loans (lend, return) are listed among them in the order they were\n"
     "made, as \"výpůjčky\" and what changed (\"půjčeno CD 15\"); their versions\n"
     "are kept beside the loans file the same way.\n",
     RunHistory},
    {"restore", {"CATALOGUE", "N"}, {}, "make version N the catalogue again",
     "Makes version N of history the catalogue (or, for a version of the loans,\n"
     "the loans file) again, byte for byte. The state it replaces becomes version\n"
     "1, so \"restore CATALOGUE 1\" right after takes the restore back.\n",
     RunRestore},
    {"discs", {"CATALOGUE"},
     {{"free", "", "only the free numbers between 1 and the highest, as ranges (\"31\u201339, 42\")"},
      {"next", "", "only the lowest free number"}},
     "every CD number with its films and loan",
     "Lists every CD number in use, in order, with its films (English / Czech\n"
     "title) and, when it is lent, to whom and since when; then the free numbers.\n"
     "A lent disc whose films were all deleted is listed as \"(CD bez filmů)\" and\n"
     "its number is not free.\n",
     RunDiscs},
    {"disc", {"CATALOGUE", "CD"}, {}, "one disc: its films and loan",
     "Shows disc CD as discs lists it. A number no film and no loan has: exit\n"
     "status 1.\n",
     RunDisc},
    {"lend", {"CATALOGUE", "CD", "WHO"},
     {{"date", "YYYY-MM-DD", "since when (default today; not in the future)"}, {"note", "T", "a note"}},
     "lend a disc with all its films",
     "Records that disc CD was lent to WHO (at most 50 characters). Loans live in\n"
     "CATALOGUE's loans file (\"filmy.loans.xml\" beside \"filmy.xml\"); the\n"
     "catalogue itself is not written. Refused (exit status 1): a disc already\n"
     "lent, a number no film has, a bad date. A loans file that cannot be read is\n"
     "not written (exit status 2): rescue it first.\n",
     RunLend},
    {"return", {"CATALOGUE", "CD"}, {}, "a lent disc came back",
     "Ends the loan of disc CD. A disc that is not lent: exit status 1.\n", RunReturn},
    {"loans", {"CATALOGUE"}, {{"older-than", "DAYS", "only the loans out for more than DAYS days"}},
     "the lent discs, oldest loan first",
     "Lists the lent discs, the oldest loan first: the disc, who has it, since\n"
     "when, for how many days, the note and the disc's films.\n",
     RunLoans},
};

// The help of one command in the user's language: Czech where the locale asks
// for it and the command has Czech help, English otherwise.
class CommandHelp {
public:
    explicit CommandHelp(const CommandSpec& command)
        : command_(command), czech_(CzechMessagesWanted() ? CzechHelpOf(command.Name) : nullptr) {}

    std::string_view Summary() const { return czech_ ? czech_->Summary : command_.Summary; }

    void Print() const {
        std::cout << (czech_ ? "Použití: " : "Usage: ") << Synopsis() << "\n\n"
                  << (czech_ ? czech_->Description : command_.Description) << (czech_ ? "\nVolby:\n" : "\nOptions:\n");
        for (const OptionSpec& option : command_.Options) {
            std::string left = "--" + std::string(option.Name);
            if (!option.ValueName.empty()) left += " " + std::string(Placeholder(option.ValueName));
            std::cout << "  " << left << std::string(left.size() < 18 ? 18 - left.size() : 1, ' ')
                      << OptionHelp(option) << "\n";
        }
        std::cout << (czech_ ? "  --help            tato nápověda\n" : "  --help            this help\n");
    }

private:
    std::string_view Placeholder(std::string_view name) const { return czech_ ? CzechPlaceholder(name) : name; }

    std::string_view OptionHelp(const OptionSpec& option) const {
        if (!czech_) return option.Help;
        const auto found = czech_->Options.find(option.Name);
        return found == czech_->Options.end() ? option.Help : found->second;
    }

    std::string Synopsis() const {
        std::string synopsis = "kinovka-cli " + std::string(command_.Name);
        for (std::string_view argument : command_.Arguments) synopsis += " " + std::string(Placeholder(argument));
        for (const OptionSpec& option : command_.Options) {
            synopsis += " [--" + std::string(option.Name);
            if (!option.ValueName.empty()) synopsis += " " + std::string(Placeholder(option.ValueName));
            synopsis += "]";
        }
        return synopsis;
    }

    const CommandSpec& command_;
    const CzechCommandHelp* czech_;
};

void PrintProgramHelp() {
    const bool czech = CzechMessagesWanted();
    std::cout << (czech ? kCzechProgramHelpHead
                        : "Usage: kinovka-cli COMMAND CATALOGUE [ARGS] [OPTIONS]\n\n"
                          "The Kinovka film catalogue from the command line. CATALOGUE is the path of a\n"
                          "catalogue file. Text arguments are UTF-8; a character that Windows-1250 cannot\n"
                          "hold becomes \"?\". Output is UTF-8.\n\nCommands:\n");
    for (const CommandSpec& command : kCommands) {
        std::cout << "  " << command.Name << std::string(10 - command.Name.size(), ' ')
                  << CommandHelp(command).Summary() << "\n";
    }
    std::cout << (czech ? kCzechProgramHelpTail
                        : "\n\"kinovka-cli COMMAND --help\" describes a command and its options;\n"
                          "\"kinovka-cli --version\" prints the version.\n\n"
                          "Exit status: 0 success; 1 input refused (bad argument or number, unknown key,\n"
                          "nothing found, a file that cannot be imported); 2 the catalogue could not be opened, created or saved.\n");
}

int RefuseUsage(const std::string& message, std::string_view command) {
    std::cerr << message << "\n"
              << "Nápověda: kinovka-cli " << (command.empty() ? "" : std::string(command) + " ") << "--help\n";
    return exitRefused;
}

}  // namespace

const std::vector<CommandSpec>& Commands() { return kCommands; }

int RunCommandLine(std::span<const std::string> arguments) {
    if (arguments.empty()) return RefuseUsage("Chybí příkaz", "");
    const std::string& name = arguments[0];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintProgramHelp();
        return exitSuccess;
    }
    const auto command = std::find_if(kCommands.begin(), kCommands.end(),
                                      [&](const CommandSpec& spec) { return spec.Name == name; });
    if (command == kCommands.end()) return RefuseUsage("Neznámý příkaz: " + name, "");
    try {
        const Invocation invocation = ParseInvocation(arguments.subspan(1), command->Options, command->Arguments);
        if (invocation.HelpWanted) {
            CommandHelp(*command).Print();
            return exitSuccess;
        }
        return command->Run(invocation);
    } catch (const UsageError& failure) {
        return RefuseUsage(failure.what(), command->Name);
    } catch (const std::exception& failure) {
        UserInterface().ReportError(failure);
        return exitCatalogFailed;
    }
}
