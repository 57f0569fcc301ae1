#pragma once

#include <windows.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

// Another process's windows, as a user sees them: its message boxes and
// common dialogs found, read and answered. Every wait is a poll with a
// deadline.
namespace velkorn::testing {

// WM_GETTEXT, which is carried across processes.
inline std::wstring textOf(HWND window) {
  std::wstring text(32768, L'\0');
  text.resize(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

struct WindowSearch {
  std::wstring className;
  DWORD processId;  // 0: any
  std::vector<HWND> found;
};

inline BOOL CALLBACK collectWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  wchar_t name[64] = {};
  DWORD owner = 0;
  GetClassNameW(window, name, 64);
  GetWindowThreadProcessId(window, &owner);
  if (name == search.className && (!search.processId || owner == search.processId) && IsWindowVisible(window)) {
    search.found.push_back(window);
  }
  return TRUE;
}

// The shown windows of a class: top-level ones of a process (message boxes
// and common dialogs are "#32770"), or any inside `parent`.
inline std::vector<HWND> windowsOf(const wchar_t* className, DWORD processId, HWND parent = nullptr) {
  WindowSearch search{className, processId, {}};
  parent ? EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&search))
         : EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
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

inline bool startProgram(const std::filesystem::path& program, const std::filesystem::path& workingDir,
                         PROCESS_INFORMATION& process) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workingDir.c_str(),
                        &startup, &process);
}

// Runs a program to its end, pressing OK in each box it shows; its boxes as
// "title|text", and its exit status, or nothing if it was still running
// after 20 s (it is ended then).
inline std::optional<DWORD> runAnsweringBoxes(const std::filesystem::path& program, std::vector<std::wstring>& boxes) {
  PROCESS_INFORMATION process{};
  if (!startProgram(program, program.parent_path().parent_path(), process)) return std::nullopt;
  std::set<HWND> answered;
  const bool finished = waitFor(
      [&] {
        std::erase_if(answered, [](HWND box) { return !IsWindow(box); });  // a handle may come back
        for (HWND box : windowsOf(L"#32770", process.dwProcessId)) {
          if (answered.insert(box).second) boxes.push_back(answer(box, IDOK));
        }
        return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
      },
      20000);
  TerminateProcess(process.hProcess, 99);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  return finished ? std::optional(exitCode) : std::nullopt;
}

}  // namespace velkorn::testing
