#pragma once

#include <QString>
#include <map>
#include <optional>

#include "scheduler/daily_run.h"

namespace velkorn::qt {

// Stands in for the mail checker's registry key on Linux: the per-user
// settings file of organisation "orangesoft", application "winbiff", group
// "settings" ($XDG_CONFIG_HOME/orangesoft/winbiff.conf). A run's values are
// kept and committed together in one atomic replace of the file, so that a
// crash never leaves half a day applied, and every other setting in the file
// is kept. A file it cannot read completely and correctly is never written.
class QtSettingsStore final : public SettingsStore {
 public:
  bool write(std::string_view valueName, TextView data) override;
  bool commit() override;

  // Whether a write takes `data`: a byte of the schedule that is not text
  // has no place in a text file.
  static bool storable(TextView data);

  // What QSettings writes, and so reads back as it was written: UTF-8 text
  // of "[group]" lines, "key=value" lines, ";" comments and blank lines.
  static bool isPlainIni(const QByteArray& bytes);

 private:
  bool readable();

  std::optional<bool> readable_;
  std::map<QString, QString> values_;
};

// A value as the settings file holds it now, read only; nothing when it is
// not there.
std::optional<Text> storedSetting(std::string_view valueName);

}  // namespace velkorn::qt
