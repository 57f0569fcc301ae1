#pragma once

#include <filesystem>
#include <optional>

#include "schedule/date.h"
#include "scheduler/daily_run.h"

namespace velkorn::qt {

// Today's date from the local clock.
Date localToday();

// The directory that holds the running executable, from /proc/self/exe: never
// the working directory or argv[0], which depend on how the program was
// started. Nothing if the system cannot tell.
std::optional<std::filesystem::path> executableDirectory();

// Delivers pending events once the GUI module has created an application;
// before that there is nothing to deliver, and the check costs nothing.
class QtEventPump final : public EventPump {
 public:
  void processPending() override;
};

}  // namespace velkorn::qt
