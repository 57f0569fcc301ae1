#pragma once

#include <windows.h>

#include "platform/win32/ansi_code_page.h"
#include "schedule/codec.h"
#include "scheduler/daily_run.h"

namespace velkorn::win32 {

// The registry functions a settings write calls, with the API's own
// signatures, so that a test can record the exact arguments.
class RegistryCalls {
 public:
  virtual ~RegistryCalls() = default;
  virtual LONG createKey(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                         REGSAM access, const SECURITY_ATTRIBUTES* security, PHKEY key,
                         LPDWORD disposition) = 0;
  virtual LONG setValue(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD size) = 0;
  virtual LONG flushKey(HKEY key) = 0;
  virtual LONG closeKey(HKEY key) = 0;
};

// Advapi32's ANSI functions.
RegistryCalls& systemRegistry();

inline constexpr const char* kSettingsSubKey = "Software\\orangesoft\\winbiff\\settings";

// The bytes a write stores for `data`, in the system's ANSI code page; nothing
// where the mail checker, an ANSI program, would not read back exactly
// `data`. A byte of the schedule that is no character (an escape) names no
// file: the registry would turn it into some character.
std::optional<Bytes> settingBytes(const AnsiCodePage& systemCodePage, TextView data);

// The mail checker's settings key under HKEY_CURRENT_USER. Each write opens
// (or creates) the key, sets the REG_SZ value in the ANSI code page, and
// flushes HKEY_CURRENT_USER: all three calls every time, success only when
// all three returned ERROR_SUCCESS. Data without settingBytes() makes no
// call: the write fails.
class RegistrySettingsStore final : public SettingsStore {
 public:
  explicit RegistrySettingsStore(const AnsiCodePage& systemCodePage, RegistryCalls& calls = systemRegistry())
      : codePage_(systemCodePage), calls_(calls) {}

  bool write(std::string_view valueName, TextView data) override;

 private:
  const AnsiCodePage& codePage_;
  RegistryCalls& calls_;
};

// A value as the settings key holds it now, read only (nothing is made);
// nothing when it is not there, or is no string.
std::optional<Text> storedSetting(const Codec& codec, std::string_view valueName);

}  // namespace velkorn::win32
