// velkorn: applies today's schedule to the mail checker's images, then exits.
// A windows-subsystem program: no console flashes up on a daily run.

#include <windows.h>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/message_box.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/registry_store.h"
#include "scheduler/scheduler_start.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace velkorn;
  win32::Win32MessageBox messages;
  return static_cast<int>(
      startScheduler(messages, win32::executableDirectory(), [&](const std::filesystem::path& programDirectory) {
        const win32::CodePages codePages;
        const Codec codec(codePages.schedule);
        win32::RegistrySettingsStore store(codePages.system);
        win32::Win32EventPump events;
        SchedulerPlatform platform{store, messages, events, codec, win32::localToday(), programDirectory};
        return runDaily(platform);
      }));
}
