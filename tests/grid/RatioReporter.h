// The benchmarks' reporter: prints through the library's own display reporter, so that
// its flags (--benchmark_color, --benchmark_format) hold, and keeps each benchmark's wall
// and CPU time per iteration so that figures can be set beside each other at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CRatioReporter : public benchmark::BenchmarkReporter
{
public:
    struct Times
    {
        double wall = 0.0;
        double cpu = 0.0;
    };

    // Made after benchmark::Initialize, which reads the flags.
    CRatioReporter() : m_pDisplay(benchmark::CreateDefaultDisplayReporter()) {}

    bool ReportContext(const Context& context) override
    {
        return m_pDisplay->ReportContext(context);
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                m_times[run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                                 run.GetAdjustedCPUTime()};
        }
        m_pDisplay->ReportRuns(runs);
    }

    void Finalize() override { m_pDisplay->Finalize(); }

    // The times per iteration of a benchmark, in its own unit; zero when it did not run.
    Times TimesOf(const std::string& name) const
    {
        const auto found = m_times.find(name);
        return found == m_times.end() ? Times{} : found->second;
    }

private:
    BenchmarkReporter* m_pDisplay;
    std::map<std::string, Times> m_times;
};
