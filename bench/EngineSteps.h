#pragma once
// The steps of opening, summarising and saving a catalogue, through the
// catalogue core and the table as the program uses them.
#include <string>
#include <vector>

#include "bench/Stopwatch.h"

// The catalogue is copied into workDirectory, which the saves write to.
std::vector<StepTime> EngineSteps(const std::string& catalogue, const std::string& workDirectory, int repeat);
