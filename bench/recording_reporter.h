// A console reporter that also keeps each benchmark's fastest time, so a run can print ratios at the end.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zuvela {

class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    RecordingReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min") continue;
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto [it, added] = m_seconds.try_emplace(run.run_name.function_name, seconds);
            if (!added)
                it->second = run.run_type == Run::RT_Aggregate ? seconds : std::min(it->second, seconds);
        }
    }
    std::optional<double> seconds(const std::string& name) const {
        const auto it = m_seconds.find(name);
        if (it == m_seconds.end()) return std::nullopt;
        return it->second;
    }

  private:
    std::map<std::string, double> m_seconds;
};

}  // namespace zuvela
