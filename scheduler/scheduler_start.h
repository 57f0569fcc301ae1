#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "scheduler/daily_run.h"

namespace velkorn {

// The platform's part of a run: makes its pieces for the schedule in the
// program's directory and makes the daily pass with them. May throw where
// it cannot (no memory, no converter for the code page).
using PlatformRun = std::function<RunOutcome(const std::filesystem::path& programDirectory)>;

// The scheduler program: the run in its own directory, or, where the
// platform cannot tell that directory or the run throws, the error report
// and ScheduleUnreadable.
RunOutcome startScheduler(MessagePresenter& messages, const std::optional<std::filesystem::path>& programDirectory,
                          const PlatformRun& run);

}  // namespace velkorn
