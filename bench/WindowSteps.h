#pragma once
// The main window's own walks over a catalogue, through its real handlers on
// an offscreen display: the start-up, a sort by a title click, a typed-search
// key and a find. Needs a QApplication.
#include <string>
#include <vector>

#include "bench/Stopwatch.h"

std::vector<StepTime> WindowSteps(const std::string& catalog, int repeat);
