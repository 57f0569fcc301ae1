#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

// Another process's windows, as a user sees them: its message boxes and
// common dialogs found, read and answered. Every wait is a poll with a
// deadline.
namespace velkorn::testing {

// WM_GETTEXT, which is carried across processes.
inline std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

// The shown top-level windows of a class that a process owns (message boxes
// and common dialogs are "#32770").
inline std::vector<HWND> windowsOf(const wchar_t* className, DWORD processId) {
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}

// Polls `condition` every 20 ms until it holds or `patienceMs` have passed.
template <typename Condition>
bool waitFor(Condition condition, ULONGLONG patienceMs = 10000) {
  for (const ULONGLONG until = GetTickCount64() + patienceMs; !condition(); Sleep(20)) {
    if (GetTickCount64() > until) return false;
  }
  return true;
}

// A box's title and text (its static control 0xFFFF) as "title|text", and a
// press of one of its buttons, posted: a sent click would wait for the box's
// own modal loop.
inline std::wstring answer(HWND box, int button) {
  const std::wstring seen = textOf(box) + L"|" + textOf(GetDlgItem(box, 0xFFFF));
  PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
  return seen;
}

// Starts `program` in `workingDir` with `arguments` (each quoted), its
// standard output and error into `out` and `err` when given.
inline bool startProgram(const std::filesystem::path& program, const std::filesystem::path& workingDir,
                         PROCESS_INFORMATION& process, const std::vector<std::wstring>& arguments = {},
                         HANDLE out = nullptr, HANDLE err = nullptr) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  for (const std::wstring& argument : arguments) commandLine += L" \"" + argument + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = out ? STARTF_USESTDHANDLES : 0;
  startup.hStdOutput = out;
  startup.hStdError = err;
  return CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, out != nullptr, CREATE_NO_WINDOW,
                        nullptr, workingDir.c_str(), &startup, &process);
}

}  // namespace velkorn::testing
