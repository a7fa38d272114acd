// kinovka-cli: the film catalogue from the command line.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/core/Global.h"
#include "cli/Commands.h"
#include "cli/ConsoleUiServices.h"

int main(int argc, char** argv) {
    ConsoleUiServices console(std::cerr);
    SetUserInterface(console);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The version is the build's, so it is answered here rather than by the
    // command table, which the fuzz targets share.
    int status = 0;
    if (arguments.size() == 1 && arguments[0] == "--version")
        std::cout << "kinovka-cli " KINOVKA_VERSION "\n";
    else
        status = RunCommandLine(arguments);
    std::cout.flush();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "Nepodařilo se zapsat výstup.\n";
        if (status == 0) status = 2;
    }
    return status;
}
