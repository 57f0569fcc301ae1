// velkorn: applies today's schedule to the mail checker's images, then exits.

#include "platform/qt/iconv_code_page.h"
#include "platform/qt/message_box.h"
#include "platform/qt/platform_info.h"
#include "platform/qt/settings_store.h"
#include "scheduler/daily_run.h"

int main() {
  using namespace velkorn;
  const std::filesystem::path directory = qt::executableDirectory();
  qt::IconvCodePage codePage;
  const Codec codec(codePage);
  qt::QtSettingsStore store;
  qt::SchedulerMessageBox messages(directory);
  qt::QtEventPump events;
  SchedulerPlatform platform{store, messages, events, codec, qt::localToday(), directory};
  return static_cast<int>(runDaily(platform));
}
