#pragma once
// Timing of benchmark steps: each step runs a number of times and is reported by
// the median and the fastest of its wall times, and the median of the processor
// time it took, in milliseconds. On a busy machine the processor time shows the
// work itself, the wall time also the waiting for a processor.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct StepTime {
    std::string Name;
    bool Timed = true;
    double MedianMs = 0;
    double FastestMs = 0;
    double ProcessorMs = 0;  // below 0: not told
};

// Only steps whose name contains this text are timed and printed; the others
// run once, since later steps may build on them. Empty: every step.
void SetStepFilter(std::string text);

// Runs step `repeat` times (at least once); prepare, when given, runs before
// each round outside the timing.
StepTime TimeStep(const std::string& name, int repeat, const std::function<void()>& step,
                  const std::function<void()>& prepare = {});

// The same for a step that notes in `divide` the moment that parts it in two (a
// question put to the user, say): the whole, then each part by its wall time
// (their processor time is not told).
std::vector<StepTime> TimeDividedStep(const std::string& name, const std::string& firstPart,
                                      const std::string& secondPart, int repeat, const std::function<void()>& step,
                                      const std::function<void()>& prepare,
                                      const std::chrono::steady_clock::time_point& divide);

// One line per step, aligned, under a heading.
void PrintSteps(const std::string& heading, const std::vector<StepTime>& steps);
