#pragma once
// The main window's own steps over a catalogue, through its real handlers on
// an offscreen display: the start-up, the title clicks, typed-search keys,
// finds, Ctrl+Z and the list window. Needs a QApplication. The catalogue is
// copied into workDirectory, which Ctrl+Z's change writes to.
#include <string>
#include <vector>

#include "bench/Stopwatch.h"

std::vector<StepTime> WindowSteps(const std::string& catalog, const std::string& workDirectory, int repeat);
