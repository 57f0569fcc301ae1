#include "scheduler/scheduler_start.h"

#include <exception>

#include "schedule/schedule_file.h"

namespace velkorn {

RunOutcome startScheduler(MessagePresenter& messages, const std::optional<std::filesystem::path>& programDirectory,
                          const PlatformRun& run) {
  // Without its own directory, any velkorn.txt found would be the wrong one.
  if (!programDirectory) {
    messages.show(unreadableSchedule(kScheduleFileName, ScheduleFailure::Open));
    return RunOutcome::ScheduleUnreadable;
  }
  try {
    return run(*programDirectory);
  } catch (const std::exception&) {
    // No memory, no converter: the schedule was not read to its end.
    messages.show(unreadableSchedule(scheduleFileIn(*programDirectory), ScheduleFailure::Read));
    return RunOutcome::ScheduleUnreadable;
  }
}

}  // namespace velkorn
