#pragma once
// The steps of opening, summarising and saving a catalogue, through the
// catalogue core and the table as the program uses them.
#include <string>
#include <vector>

#include "app/core/Discs.h"
#include "bench/Stopwatch.h"

// Loans of the first count discs of the shelf, over some 2000 days.
LoanBook BenchLoans(const DiscShelf& shelf, std::size_t count);

// The catalogue is copied into workDirectory, which the saves write to.
std::vector<StepTime> EngineSteps(const std::string& catalog, const std::string& workDirectory, int repeat);
