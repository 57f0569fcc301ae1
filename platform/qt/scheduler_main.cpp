// velkorn: applies today's schedule to the mail checker's images, then exits.

#include "platform/qt/iconv_code_page.h"
#include "platform/qt/message_box.h"
#include "platform/qt/platform_info.h"
#include "platform/qt/settings_store.h"
#include "scheduler/scheduler_start.h"

int main() {
  using namespace velkorn;
  const auto directory = qt::executableDirectory();
  qt::SchedulerMessageBox messages(directory.value_or(std::filesystem::path()));
  return static_cast<int>(startScheduler(messages, directory, [&](const std::filesystem::path& programDirectory) {
    qt::IconvCodePage codePage;
    const Codec codec(codePage);
    qt::QtSettingsStore store;
    qt::QtEventPump events;
    SchedulerPlatform platform{store, messages, events, codec, qt::localToday(), programDirectory};
    return runDaily(platform);
  }));
}
