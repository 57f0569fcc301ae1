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

// `file` under the name its folder gives it. A folder made case-sensitive
// (as one made from WSL is) holds velkorn.exe, and no Velkorn.exe; the
// name as given where it is there, or where nothing in the folder has it in
// any case.
std::filesystem::path asNamedInItsFolder(const std::filesystem::path& file);

// Empties the thread's message queue; the scheduler has no window, so this
// only keeps it a well-behaved GUI thread during a long pass.
class Win32EventPump final : public EventPump {
 public:
  void processPending() override;
};

}  // namespace velkorn::win32
