#include "platform/win32/schedule_writer.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "platform/win32/win_text.h"

namespace velkorn::win32 {

namespace {

// One wait for the whole save, however its calls share it: a window that
// does not answer for 5 s is "not responding", and a user may end it.
constexpr ULONGLONG kBudget = 3000;
constexpr DWORD kFirstPause = 50;
constexpr DWORD kLongestPause = 250;

// The bytes in a new file beside `target` (so that the replace stays on one
// volume), flushed to disk; its name in `name`. The name is the schedule's
// with the extension "~" and two hex digits, as long as the schedule's own:
// where velkorn.txt can be opened, in a folder near MAX_PATH, so can it. One
// of 256 names, from a random one on past those taken.
DWORD writeTemporary(SaveCalls& calls, const std::filesystem::path& target, BytesView bytes, std::wstring& name) {
  constexpr wchar_t kDigits[] = L"0123456789abcdef";
  const unsigned first = std::random_device()();
  for (unsigned i = 0; i < 256; ++i) {
    const unsigned n = first + i;
    const wchar_t extension[] = {L'.', L'~', kDigits[n >> 4 & 15], kDigits[n & 15], L'\0'};
    name = std::filesystem::path(target).replace_extension(extension).native();
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = calls.create(name, file);
    if (error == ERROR_FILE_EXISTS) continue;
    if (error != ERROR_SUCCESS) return error;
    for (BytesView rest = bytes; error == ERROR_SUCCESS && !rest.empty();) {
      DWORD chunk = 0;
      if (!WriteFile(file, rest.data(), static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1 << 28)), &chunk,
                     nullptr)) {
        error = GetLastError();
      } else if (chunk == 0) {
        error = ERROR_WRITE_FAULT;
      }
      rest.remove_prefix(chunk);
    }
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file)) error = GetLastError();
    CloseHandle(file);
    if (error != ERROR_SUCCESS) calls.remove(name);
    return error;
  }
  return ERROR_FILE_EXISTS;
}

// Another program has the file open (a virus scanner, a search indexer, a
// sync client, the scheduler reading it): it lets go within a second or two.
bool isHeld(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// What some network and FAT volumes answer ReplaceFileW, which they do not
// support; both files keep their names.
bool isUnsupported(DWORD error) {
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}

// The call, tried again with growing pauses while the file is held, until
// `deadline`; its last result.
template <typename Call>
DWORD whileHeld(SaveCalls& calls, ULONGLONG deadline, Call call) {
  for (DWORD pause = kFirstPause;; pause = std::min(pause * 2, kLongestPause)) {
    const DWORD error = call();
    const ULONGLONG now = calls.milliseconds();
    if (!isHeld(error) || now >= deadline) return error;
    calls.pause(static_cast<DWORD>(std::min<ULONGLONG>(pause, deadline - now)));
  }
}

// Windows' own words for the error, in the user's language, without the
// line end they come with.
Text systemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::wstring_view all(text ? text : L"", length);
  const Text trimmed = fromWide(all.substr(0, all.find_last_not_of(L"\r\n ") + 1));
  LocalFree(text);
  return trimmed;
}

SaveResult failure(DWORD error) {
  if (error == ERROR_ACCESS_DENIED) return {SaveResult::Status::AccessDenied, {}};
  return {SaveResult::Status::Failed, systemText(error)};
}

}  // namespace

DWORD SaveCalls::create(const std::wstring& file, HANDLE& handle) {
  // CREATE_NEW: never an existing file, nor what a link there points to.
  handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
}

DWORD SaveCalls::replace(const std::wstring& target, const std::wstring& replacement) {
  // The old file's attributes and permissions stay with the new one.
  const bool replaced = ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr);
  return replaced ? ERROR_SUCCESS : GetLastError();
}

DWORD SaveCalls::move(const std::wstring& from, const std::wstring& to, bool replacing) {
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replacing ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(from.c_str(), to.c_str(), flags) ? ERROR_SUCCESS : GetLastError();
}

DWORD SaveCalls::attributes(const std::wstring& file) {
  return GetFileAttributesW(file.c_str());
}

void SaveCalls::remove(const std::wstring& file) {
  DeleteFileW(file.c_str());
}

ULONGLONG SaveCalls::milliseconds() {
  return GetTickCount64();
}

void SaveCalls::pause(DWORD milliseconds) {
  // The program's end (its window gone with the session), kept for the
  // loop that ends it; the wait goes on without messages.
  std::optional<int> quit;
  const ULONGLONG until = GetTickCount64() + milliseconds;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    if (quit) {
      Sleep(static_cast<DWORD>(until - now));
      break;
    }
    // MWMO_INPUTAVAILABLE: also for messages that came before the wait.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    for (MSG message; !quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
      if (message.message == WM_QUIT) {
        quit = static_cast<int>(message.wParam);
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (quit) PostQuitMessage(*quit);
}

SaveCalls& systemSaveCalls() {
  static SaveCalls calls;
  return calls;
}

SaveResult ReplacingWriter::replaceContents(const std::filesystem::path& file, BytesView bytes) {
  leftIn_.reset();
  const std::wstring target = file.native();
  const ULONGLONG deadline = calls_.milliseconds() + kBudget;
  // No wait makes a read-only file writable, nor a folder that takes no
  // new file (no write access there, Controlled folder access) take one.
  const DWORD attributes = calls_.attributes(target);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return failure(ERROR_ACCESS_DENIED);
  }
  std::wstring temporary;
  DWORD error = writeTemporary(calls_, file, bytes, temporary);
  if (error != ERROR_SUCCESS) return failure(error);
  error = whileHeld(calls_, deadline, [&] { return calls_.replace(target, temporary); });
  // Nothing to replace on the first save. After 1176 and 1177 the old file
  // no longer has its name (ReplaceFileW's documented results without a
  // backup file), and only the temporary file holds the schedule whole. A
  // volume that cannot replace leaves both names: the move goes over the
  // old file, whose attributes are then lost.
  const bool nameFree = error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                        error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
  if (nameFree || isUnsupported(error)) {
    error = whileHeld(calls_, deadline, [&] { return calls_.move(temporary, target, !nameFree); });
  }
  if (error == ERROR_SUCCESS) return {};
  // The temporary file goes only while the old contents keep their name.
  if (calls_.attributes(target) != INVALID_FILE_ATTRIBUTES) {
    calls_.remove(temporary);
  } else {
    leftIn_ = temporary;
  }
  return failure(error);
}

}  // namespace velkorn::win32
