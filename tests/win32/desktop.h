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
  text.resize(static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

struct WindowSearch {
  const wchar_t* className;
  DWORD processId;
  std::vector<HWND> found;
};

inline BOOL CALLBACK collectWindow(HWND window, LPARAM context) {
  auto& s = *reinterpret_cast<WindowSearch*>(context);
  wchar_t name[64] = {};
  DWORD owner = 0;
  GetClassNameW(window, name, 64);
  GetWindowThreadProcessId(window, &owner);
  if (std::wstring(name) == s.className && (!s.processId || owner == s.processId) && IsWindowVisible(window)) {
    s.found.push_back(window);
  }
  return TRUE;
}

// The shown windows of a class: top-level ones of a process, or any inside
// `parent`.
inline std::vector<HWND> windowsOf(const wchar_t* className, DWORD processId, HWND parent = nullptr) {
  WindowSearch search{className, processId, {}};
  parent ? EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&search))
         : EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls `condition` every 20 ms until it holds or 10 s have passed.
template <typename Condition>
bool waitFor(Condition condition, ULONGLONG patienceMs = 10000) {
  for (const ULONGLONG until = GetTickCount64() + patienceMs; !condition(); Sleep(20)) {
    if (GetTickCount64() > until) return false;
  }
  return true;
}

// A box's title and text (its static control 0xFFFF), as "title|text", and
// a press of one of its buttons, posted: a sent click would wait for the
// box's own modal loop.
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
  return CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.c_str(), &startup, &process);
}

struct ProgramRun {
  bool finished = false;
  DWORD exitCode = 0;
  std::vector<std::wstring> boxes;  // "title|text"
};

// Runs a program to its end, pressing OK in each box it shows. A program
// still running after 20 s is ended and reported unfinished.
inline ProgramRun runAnsweringBoxes(const std::filesystem::path& program, const std::filesystem::path& workingDir) {
  ProgramRun run;
  PROCESS_INFORMATION process{};
  if (!startProgram(program, workingDir, process)) return run;
  std::set<HWND> answered;
  run.finished = waitFor(
      [&] {
        // A closed box's handle may come back for the next one.
        std::erase_if(answered, [](HWND box) { return !IsWindow(box); });
        for (HWND box : windowsOf(L"#32770", process.dwProcessId)) {
          if (answered.insert(box).second) run.boxes.push_back(answer(box, IDOK));
        }
        return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
      },
      20000);
  TerminateProcess(process.hProcess, 99);
  WaitForSingleObject(process.hProcess, 5000);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

}  // namespace velkorn::testing
