// The settings store on any settings file: it either refuses, leaving the
// file byte for byte, or stores the values and keeps every other setting.

#include <QSettings>

#include "platform/qt/settings_store.h"
#include "tests/temp_dir.h"

namespace {

const velkorn::testing::TempDir& home() {
  static const velkorn::testing::TempDir dir;
  return dir;
}

// The settings as QSettings reads them, through a copy of a name never used
// before: QSettings keeps what it read of a file for as long as it runs.
QVariantMap settingsIn(const std::filesystem::path& file) {
  static int copies = 0;
  const auto copy = home().write(std::to_string(++copies) + ".conf", velkorn::testing::readBytes(file));
  QSettings settings(QString::fromStdString(copy.string()), QSettings::IniFormat);
  QVariantMap map;
  for (const QString& key : settings.allKeys()) map[key] = settings.value(key);
  std::filesystem::remove(copy);
  return map;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home().path().string()));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int runs = 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto file = home().write("orangesoft/winbiff.conf", bytes);
  // A time of its own, so that the store's QSettings reads it afresh.
  std::filesystem::last_write_time(file, std::filesystem::file_time_type(std::chrono::hours(++runs)));
  QVariantMap expected = settingsIn(file);
  velkorn::qt::QtSettingsStore store;
  if (!store.write("velkornBitmap", U"a.bmp")) {
    if (velkorn::testing::readBytes(file) != bytes) __builtin_trap();
    return 0;
  }
  // A commit that fails (QSettings read its new file back some other way)
  // leaves the file as it was.
  if (!store.commit()) {
    if (velkorn::testing::readBytes(file) != bytes) __builtin_trap();
    return 0;
  }
  expected["settings/velkornBitmap"] = "a.bmp";
  if (settingsIn(file) != expected) __builtin_trap();
  return 0;
}
