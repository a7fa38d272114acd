// kinovka-bench [--repeat N] [--engine-only] [--only TEXT] CATALOGUE
//
// Times the catalogue operations step by step on a catalogue file (for example
// one written by bench/make_catalogue.py) and prints the median and fastest time of
// each step. With the windows built in, it also drives the main window offscreen.
// Message boxes are recorded, never shown; the catalogue file is only read.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/core/Global.h"
#include "app/core/RecordingUiServices.h"
#include "bench/EngineSteps.h"
#include "table/Collation.h"

#ifdef KINOVKA_BENCH_WINDOW
#include "app/window/KinovkaApplication.h"
#include "bench/WindowSteps.h"
#endif

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kinovka-bench [--repeat N] [--engine-only] [--only TEXT] CATALOGUE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    bool engineOnly = false;
    std::string catalog;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--repeat" && i + 1 < argc) {
            repeat = std::atoi(argv[++i]);
        } else if (argument == "--only" && i + 1 < argc) {
            SetStepFilter(argv[++i]);
        } else if (argument == "--engine-only") {
            engineOnly = true;
        } else if (!argument.empty() && argument[0] != '-' && catalog.empty()) {
            catalog = argument;
        } else {
            return Usage();
        }
    }
    if (catalog.empty() || repeat < 1) return Usage();

    RecordingUiServices ui;
    SetUserInterface(ui);
    try {
        const std::filesystem::path work =
            std::filesystem::temp_directory_path() / ("kinovka-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(work);
        PrintSteps("Catalogue operations on " + catalog, EngineSteps(catalog, work.string(), repeat));
        std::filesystem::remove_all(work);
#ifdef KINOVKA_BENCH_WINDOW
        if (!engineOnly) {
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
            KinovkaApplication application(argc, argv);
            std::filesystem::create_directories(work);
            PrintSteps("Main window on " + catalog, WindowSteps(catalog, work.string(), repeat));
            std::filesystem::remove_all(work);
        }
#else
        if (!engineOnly) std::printf("(built without the windows: no main-window steps)\n");
#endif
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kinovka-bench: %s\n", failure.what());
        return 1;
    }
    for (const auto& message : ui.ErrorReports) std::fprintf(stderr, "error report: %s\n", message.c_str());
    return ui.ErrorReports.empty() ? 0 : 1;
}
