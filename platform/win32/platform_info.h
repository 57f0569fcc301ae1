#pragma once

#include <filesystem>
#include <optional>

#include "schedule/date.h"
#include "scheduler/daily_run.h"

namespace velkorn::win32 {

// Today's date from the local clock.
Date localToday();

// The directory that holds the running executable, however long its path;
// never the working directory. Nothing if Windows cannot tell.
std::optional<std::filesystem::path> executableDirectory();

// Empties the thread's message queue; the scheduler has no window, so this
// only keeps it a well-behaved GUI thread during a long pass.
class Win32EventPump final : public EventPump {
 public:
  void processPending() override;
};

}  // namespace velkorn::win32
