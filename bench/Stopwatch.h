#pragma once
// Timing of benchmark steps: each step runs a number of times and is reported by
// the median and the fastest of its wall times, and the median of the processor
// time it took, in milliseconds. On a busy machine the processor time shows the
// work itself, the wall time also the waiting for a processor.
#include <functional>
#include <string>
#include <vector>

struct StepTime {
    std::string Name;
    bool Timed = true;
    double MedianMs = 0;
    double FastestMs = 0;
    double ProcessorMs = 0;
};

// Only steps whose name contains this text are timed and printed; the others
// run once, since later steps may build on them. Empty: every step.
void SetStepFilter(std::string text);

// Runs step `repeat` times (at least once); prepare, when given, runs before
// each round outside the timing.
StepTime TimeStep(const std::string& name, int repeat, const std::function<void()>& step,
                  const std::function<void()>& prepare = {});

// One line per step, aligned, under a heading.
void PrintSteps(const std::string& heading, const std::vector<StepTime>& steps);
