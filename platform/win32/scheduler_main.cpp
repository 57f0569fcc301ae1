// velkorn: applies today's schedule to the mail checker's images, then exits.
// A windows-subsystem program: no console flashes up on a daily run.

#include <windows.h>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/message_box.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/registry_store.h"
#include "schedule/schedule_file.h"
#include "scheduler/daily_run.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace velkorn;
  win32::Win32MessageBox messages;
  const std::optional<std::filesystem::path> directory = win32::executableDirectory();
  // Without its own directory, any velkorn.txt found would be the wrong one.
  if (!directory) {
    messages.show(unreadableSchedule(kScheduleFileName, ScheduleFailure::Open));
    return static_cast<int>(RunOutcome::ScheduleUnreadable);
  }
  try {
    const win32::CodePages codePages;
    const Codec codec(codePages.schedule);
    win32::RegistrySettingsStore store(codePages.system);
    win32::Win32EventPump events;
    SchedulerPlatform platform{store, messages, events, codec, win32::localToday(), *directory};
    return static_cast<int>(runDaily(platform));
  } catch (const std::exception&) {
    // No memory: the schedule was not read to its end.
    messages.show(unreadableSchedule(scheduleFileIn(*directory), ScheduleFailure::Read));
    return static_cast<int>(RunOutcome::ScheduleUnreadable);
  }
}
