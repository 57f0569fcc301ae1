#include "platform/win32/platform_info.h"

#include <windows.h>

#include <string>

namespace velkorn::win32 {

Date localToday() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

std::optional<std::filesystem::path> executableDirectory() {
  // MAX_PATH is no limit here: a truncated result fills the whole buffer, so
  // grow it until the name fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(buffer).parent_path();
    }
    if (buffer.size() >= 0x10000) return std::nullopt;  // longer than any Windows path
    buffer.resize(buffer.size() * 2);
  }
}

std::filesystem::path asNamedInItsFolder(const std::filesystem::path& file) {
  const std::wstring wanted = file.filename().native();
  const std::wstring everything = (file.parent_path() / L"*").native();
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileExW(everything.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return file;
  std::wstring inOtherCase;
  do {
    if (found.cFileName == wanted) {
      inOtherCase.clear();
      break;
    }
    if (inOtherCase.empty() && CompareStringOrdinal(found.cFileName, -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL) {
      inOtherCase = found.cFileName;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return inOtherCase.empty() ? file : file.parent_path() / inOtherCase;
}

void Win32EventPump::processPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace velkorn::win32
