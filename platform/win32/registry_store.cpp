#include "platform/win32/registry_store.h"

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>

namespace velkorn::win32 {

namespace {

class Advapi32 final : public RegistryCalls {
 public:
  LONG createKey(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM access,
                 const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition) override {
    return RegCreateKeyExA(root, subKey, reserved, className, options, access,
                           const_cast<LPSECURITY_ATTRIBUTES>(security), key, disposition);
  }
  LONG setValue(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size) override {
    return RegSetValueExA(key, valueName, reserved, type, data, size);
  }
  LONG flushKey(HKEY key) override { return RegFlushKey(key); }
  LONG closeKey(HKEY key) override { return RegCloseKey(key); }
};

// The access every write asks for, whatever the key is then used for.
static_assert(KEY_ALL_ACCESS == 0xF003F);

}  // namespace

RegistryCalls& systemRegistry() {
  static Advapi32 calls;
  return calls;
}

std::optional<Text> storedSetting(const Codec& codec, std::string_view valueName) {
  Bytes bytes(4096, '\0');
  for (;;) {
    auto size = static_cast<DWORD>(bytes.size());
    const LONG read = RegGetValueA(HKEY_CURRENT_USER, kSettingsSubKey, std::string(valueName).c_str(), RRF_RT_REG_SZ,
                                   nullptr, bytes.data(), &size);
    if (read == ERROR_MORE_DATA) {
      bytes.resize(size);
      continue;
    }
    if (read != ERROR_SUCCESS) return std::nullopt;
    bytes.resize(size > 0 ? size - 1 : 0);  // the NUL
    return codec.decode(bytes);
  }
}

std::optional<Bytes> settingBytes(const AnsiCodePage& systemCodePage, TextView data) {
  if (std::ranges::any_of(data, isEscape)) return std::nullopt;
  return systemCodePage.exactBytes(data);
}

bool RegistrySettingsStore::write(std::string_view valueName, TextView data) {
  // A character the code page lacks would be stored as "?", and bytes that
  // are no character as some other character: paths to files that do not
  // exist. Better to report the write as failed.
  std::optional<Bytes> bytes = settingBytes(codePage_, data);
  if (!bytes) return false;
  bytes->push_back('\0');  // REG_SZ data includes its terminating NUL

  std::string name(valueName);
  std::string className = name;  // the API wants a writable string
  HKEY key = nullptr;
  DWORD disposition = 0;
  const LONG created = calls_.createKey(HKEY_CURRENT_USER, kSettingsSubKey, 0, className.data(),
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (created != ERROR_SUCCESS) key = nullptr;  // set then fails on the null handle
  const auto closeKey = [this](HKEY open) { calls_.closeKey(open); };
  const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(closeKey)> keyGuard(key, closeKey);

  const LONG set = calls_.setValue(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes->data()),
                                   static_cast<DWORD>(bytes->size()));
  const LONG flushed = calls_.flushKey(HKEY_CURRENT_USER);
  // Each code on its own: a sum could, in principle, add up to zero.
  return created == ERROR_SUCCESS && set == ERROR_SUCCESS && flushed == ERROR_SUCCESS;
}

}  // namespace velkorn::win32
