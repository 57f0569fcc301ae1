#include "platform/win32/schedule_writer.h"

#include <windows.h>

#include <random>
#include <string>

namespace velkorn::win32 {

namespace {

// The bytes in a new file of an unguessable name beside `target` (so that
// the replace stays on one volume), flushed to disk; its name, or nothing.
std::wstring writeTemporary(const std::wstring& target, BytesView bytes) {
  std::random_device random;
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::wstring name = target + L".saving-" + std::to_wstring(random()) + std::to_wstring(random());
    // CREATE_NEW: never an existing file, nor what a link there points to.
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return {};
    }
    bool written = true;
    for (BytesView rest = bytes; written && !rest.empty();) {
      DWORD chunk = 0;
      written = WriteFile(file, rest.data(), static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1 << 28)), &chunk,
                          nullptr) &&
                chunk > 0;
      rest.remove_prefix(chunk);
    }
    written = written && FlushFileBuffers(file);
    CloseHandle(file);
    if (written) return name;
    DeleteFileW(name.c_str());
    return {};
  }
  return {};
}

}  // namespace

bool ReplacingWriter::replaceContents(const std::filesystem::path& file, BytesView bytes) {
  const std::wstring target = file.native();
  const std::wstring temporary = writeTemporary(target, bytes);
  if (temporary.empty()) return false;
  // Another program reading the schedule at that moment (a scanner, the
  // scheduler) holds the replace up briefly: try a few times before failing.
  for (int attempt = 0; attempt < 5; ++attempt) {
    // The old file's attributes and permissions stay with the new one.
    if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      return true;
    }
    DWORD error = GetLastError();
    // The first save: there is nothing to replace yet.
    if (error == ERROR_FILE_NOT_FOUND) {
      if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
      error = GetLastError();
    }
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_UNABLE_TO_REMOVE_REPLACED) {
      break;
    }
    Sleep(50);
  }
  DeleteFileW(temporary.c_str());
  return false;
}

}  // namespace velkorn::win32
