#pragma once

#include <string>
#include <string_view>

#include "schedule/text.h"

namespace velkorn::win32 {

// wchar_t is UTF-16 on Windows: the W functions' strings, to and from Text.
inline std::wstring toWide(TextView text) {
  const std::u16string utf16 = toUtf16(text);
  return std::wstring(utf16.begin(), utf16.end());
}

inline Text fromWide(std::wstring_view wide) {
  return fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace velkorn::win32
