#pragma once

#include "scheduler/daily_run.h"

namespace velkorn::qt {

// Stands in for the mail checker's registry key on Linux: the per-user
// settings file of organisation "orangesoft", application "winbiff", group
// "settings" ($XDG_CONFIG_HOME/orangesoft/winbiff.conf). Every other key in
// that file is kept; each write replaces the file atomically.
class QtSettingsStore final : public SettingsStore {
 public:
  bool write(std::string_view valueName, TextView data) override;
};

}  // namespace velkorn::qt
