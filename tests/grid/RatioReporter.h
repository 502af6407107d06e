// The console reporter of the benchmarks, which also keeps each benchmark's time so that
// the grid's figures can be set beside the table view's at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        benchmark::ConsoleReporter::ReportRuns(runs);
    }

    // The time per iteration of a benchmark, 0 when it did not run.
    double TimeOf(const std::string& name) const
    {
        const auto found = m_times.find(name);
        return found == m_times.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> m_times;
};
