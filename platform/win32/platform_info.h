#pragma once

#include <windows.h>

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

// True when this process is alone on its console: Windows made the console
// for it (a double click in Explorer), and it closes when the process ends.
// The list call is a parameter so that a test can give its documented
// answers.
bool aloneOnConsole(DWORD(WINAPI* processList)(LPDWORD, DWORD) = GetConsoleProcessList);

// Empties the thread's message queue; the scheduler has no window, so this
// only keeps it a well-behaved GUI thread during a long pass.
class Win32EventPump final : public EventPump {
 public:
  void processPending() override;
};

}  // namespace velkorn::win32
