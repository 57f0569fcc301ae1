#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The registry as the tests see it: what a settings write left there, byte
// for byte, and the states they start from.
namespace velkorn::testing {

inline constexpr const char* kSettingsKey = "Software\\orangesoft\\winbiff\\settings";

// A REG_SZ value's raw data, terminating NUL included; nothing if the value
// is missing or of another type.
inline std::optional<std::string> storedString(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  std::string bytes(4096, '\0');
  DWORD size = static_cast<DWORD>(bytes.size());
  DWORD type = REG_NONE;
  const LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  bytes.resize(size);
  return bytes;
}

// Each test starts from a user without the mail checker's settings.
inline void removeMailCheckerSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\orangesoft"); }

// A volatile parent admits no lasting subkey: after this, creating the
// settings key fails, and with it every settings write.
inline bool makeSettingsKeyUncreatable() {
  HKEY parent = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\orangesoft\\winbiff", 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &parent, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(parent);
  return true;
}

}  // namespace velkorn::testing
