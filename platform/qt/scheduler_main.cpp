// velkorn: applies today's schedule to the mail checker's images, then exits.

#include "platform/qt/iconv_code_page.h"
#include "platform/qt/message_box.h"
#include "platform/qt/platform_info.h"
#include "platform/qt/settings_store.h"
#include "schedule/schedule_file.h"
#include "scheduler/daily_run.h"

int main() {
  using namespace velkorn;
  const std::filesystem::path directory = qt::executableDirectory();
  qt::SchedulerMessageBox messages(directory);
  // Without its own directory, any velkorn.txt found would be the wrong one.
  if (directory.empty()) {
    messages.show(unreadableSchedule(kScheduleFileName, ScheduleFailure::Open));
    return static_cast<int>(RunOutcome::ScheduleUnreadable);
  }
  try {
    qt::IconvCodePage codePage;
    const Codec codec(codePage);
    qt::QtSettingsStore store;
    qt::QtEventPump events;
    SchedulerPlatform platform{store, messages, events, codec, qt::localToday(), directory};
    return static_cast<int>(runDaily(platform));
  } catch (const std::exception&) {
    // No CP932 converter, no memory: the schedule was not read to its end.
    messages.show(unreadableSchedule(scheduleFileIn(directory), ScheduleFailure::Read));
    return static_cast<int>(RunOutcome::ScheduleUnreadable);
  }
}
