#include "platform/win32/schedule_writer.h"

#include <windows.h>

#include <algorithm>
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

// Another program has the file open (a virus scanner, a search indexer, a
// sync client, the scheduler reading it): it lets go within a second or two.
bool isHeld(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// The call, tried again with growing pauses while the file is held, for at
// least three seconds; its last result.
template <typename Call>
DWORD whileHeld(SaveCalls& calls, Call call) {
  constexpr ULONGLONG kPatience = 3000;
  const ULONGLONG start = calls.milliseconds();
  for (DWORD pause = 50;; pause = std::min<DWORD>(pause * 2, 500)) {
    const DWORD error = call();
    if (!isHeld(error) || calls.milliseconds() - start >= kPatience) return error;
    calls.pause(pause);
  }
}

}  // namespace

DWORD SaveCalls::replace(const std::wstring& target, const std::wstring& replacement) {
  // The old file's attributes and permissions stay with the new one.
  const bool replaced = ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr);
  return replaced ? ERROR_SUCCESS : GetLastError();
}

DWORD SaveCalls::move(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS : GetLastError();
}

bool SaveCalls::exists(const std::wstring& file) {
  return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SaveCalls::remove(const std::wstring& file) {
  DeleteFileW(file.c_str());
}

ULONGLONG SaveCalls::milliseconds() {
  return GetTickCount64();
}

void SaveCalls::pause(DWORD milliseconds) {
  const HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  Sleep(milliseconds);
  SetCursor(before);
}

SaveCalls& systemSaveCalls() {
  static SaveCalls calls;
  return calls;
}

bool ReplacingWriter::replaceContents(const std::filesystem::path& file, BytesView bytes) {
  leftIn_.reset();
  const std::wstring target = file.native();
  const std::wstring temporary = writeTemporary(target, bytes);
  if (temporary.empty()) return false;
  DWORD error = whileHeld(calls_, [&] { return calls_.replace(target, temporary); });
  // Nothing to replace on the first save. After 1176 and 1177 the old file
  // no longer has its name (ReplaceFileW's documented results without a
  // backup file), and only the temporary file holds the schedule whole.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
      error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    error = whileHeld(calls_, [&] { return calls_.move(temporary, target); });
  }
  if (error == ERROR_SUCCESS) return true;
  // The temporary file goes only while the old contents keep their name.
  if (calls_.exists(target)) {
    calls_.remove(temporary);
  } else {
    leftIn_ = temporary;
  }
  return false;
}

}  // namespace velkorn::win32
