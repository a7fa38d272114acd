#include "bench/Stopwatch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

std::string stepFilter;

double ProcessorMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

}  // namespace

void SetStepFilter(std::string text) { stepFilter = std::move(text); }

namespace {

// Wall and processor times of each round, and of each round's first part where
// `divide` marks where it ends.
struct Rounds {
    std::vector<double> Wall, Processor, FirstPart;
};

Rounds RunRounds(int repeat, const std::function<void()>& step, const std::function<void()>& prepare,
                 const std::chrono::steady_clock::time_point* divide) {
    Rounds rounds;
    for (int round = 0; round < std::max(repeat, 1); ++round) {
        if (prepare) prepare();
        const double processorStart = ProcessorMs();
        const auto start = std::chrono::steady_clock::now();
        step();
        const auto end = std::chrono::steady_clock::now();
        rounds.Wall.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        rounds.Processor.push_back(ProcessorMs() - processorStart);
        if (divide) rounds.FirstPart.push_back(std::chrono::duration<double, std::milli>(*divide - start).count());
    }
    return rounds;
}

StepTime Summary(const std::string& name, const std::vector<double>& wall, double processorMs) {
    return {name, true, Median(wall), *std::min_element(wall.begin(), wall.end()), processorMs};
}

}  // namespace

StepTime TimeStep(const std::string& name, int repeat, const std::function<void()>& step,
                  const std::function<void()>& prepare) {
    if (name.find(stepFilter) == std::string::npos) {
        if (prepare) prepare();
        step();
        return {name, false};
    }
    const Rounds rounds = RunRounds(repeat, step, prepare, nullptr);
    return Summary(name, rounds.Wall, Median(rounds.Processor));
}

std::vector<StepTime> TimeDividedStep(const std::string& name, const std::string& firstPart,
                                      const std::string& secondPart, int repeat, const std::function<void()>& step,
                                      const std::function<void()>& prepare,
                                      const std::chrono::steady_clock::time_point& divide) {
    if (name.find(stepFilter) == std::string::npos) return {TimeStep(name, repeat, step, prepare)};
    const Rounds rounds = RunRounds(repeat, step, prepare, &divide);
    std::vector<double> secondParts;
    for (std::size_t round = 0; round < rounds.Wall.size(); ++round)
        secondParts.push_back(rounds.Wall[round] - rounds.FirstPart[round]);
    return {Summary(name, rounds.Wall, Median(rounds.Processor)), Summary(firstPart, rounds.FirstPart, -1),
            Summary(secondPart, secondParts, -1)};
}

void PrintSteps(const std::string& heading, const std::vector<StepTime>& steps) {
    std::printf("%s\n", heading.c_str());
    std::printf("  %-48s %10s %10s %10s\n", "step", "median ms", "fastest ms", "cpu ms");
    for (const StepTime& step : steps)
        if (step.Timed && step.ProcessorMs >= 0)
            std::printf("  %-48s %10.2f %10.2f %10.2f\n", step.Name.c_str(), step.MedianMs, step.FastestMs,
                        step.ProcessorMs);
        else if (step.Timed)
            std::printf("  %-48s %10.2f %10.2f\n", step.Name.c_str(), step.MedianMs, step.FastestMs);
    std::fflush(stdout);
}
