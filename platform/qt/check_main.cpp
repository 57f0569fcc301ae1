// velkorn-check: reports what the schedule will do, and the lines that never
// apply, in UTF-8 on the standard streams.

#include <iostream>

#include "checker/check_run.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/platform_info.h"
#include "platform/qt/settings_store.h"

int main(int argc, char** argv) {
  using namespace velkorn;
  qt::IconvCodePage codePage;
  const Codec codec(codePage);
  const CheckRun run = runCheck({codec, qt::localToday(), qt::executableDirectory(), {argv + 1, argv + argc},
                                 qt::storedSetting, qt::QtSettingsStore::storable});
  std::cout << toUtf8(run.output) << std::flush;
  std::cerr << toUtf8(run.errors);
  return static_cast<int>(run.outcome);
}
