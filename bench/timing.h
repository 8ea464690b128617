// A console reporter that also keeps each benchmark's real time per iteration, for the figures a
// benchmark program sums up at its end.
#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

class KeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.iterations > 0)
                seconds_[run.run_name.function_name] = run.real_accumulated_time / double(run.iterations);
    }
    // Seconds per iteration of the benchmark named `function`; 0 when it did not run.
    double Seconds(const std::string& function) const
    {
        auto found = seconds_.find(function);
        return found == seconds_.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> seconds_;
};
