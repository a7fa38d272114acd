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

StepTime TimeStep(const std::string& name, int repeat, const std::function<void()>& step,
                  const std::function<void()>& prepare) {
    if (name.find(stepFilter) == std::string::npos) {
        if (prepare) prepare();
        step();
        return {name, false};
    }
    std::vector<double> wall, processor;
    for (int round = 0; round < std::max(repeat, 1); ++round) {
        if (prepare) prepare();
        const double processorStart = ProcessorMs();
        const auto start = std::chrono::steady_clock::now();
        step();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        wall.push_back(took.count());
        processor.push_back(ProcessorMs() - processorStart);
    }
    return {name, true, Median(wall), *std::min_element(wall.begin(), wall.end()), Median(processor)};
}

void PrintSteps(const std::string& heading, const std::vector<StepTime>& steps) {
    std::printf("%s\n", heading.c_str());
    std::printf("  %-48s %10s %10s %10s\n", "step", "median ms", "fastest ms", "cpu ms");
    for (const StepTime& step : steps)
        if (step.Timed)
            std::printf("  %-48s %10.2f %10.2f %10.2f\n", step.Name.c_str(), step.MedianMs, step.FastestMs,
                        step.ProcessorMs);
    std::fflush(stdout);
}
