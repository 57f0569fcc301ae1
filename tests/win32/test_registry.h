#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The registry as the tests see it: what a settings write left there, byte
// for byte, and the states they start from.
namespace velkorn::testing {

inline constexpr const char* kSettingsKey = "Software\\orangesoft\\winbiff\\settings";

struct StoredValue {
  DWORD type = REG_NONE;
  std::string bytes;  // raw data, terminating NUL included
};

inline std::optional<StoredValue> storedValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  StoredValue value;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    value.bytes.resize(size);
    rc = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return value;
}

// The class string given when the key was created; nothing without a key.
inline std::optional<std::string> settingsKeyClass() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char buffer[256] = {};
  DWORD size = sizeof buffer;
  const LONG rc = RegQueryInfoKeyA(key, buffer, &size, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return std::string(buffer, size);
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

// Wine, unlike Windows, replaces a key's class on every RegCreateKeyEx call.
inline bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace velkorn::testing
