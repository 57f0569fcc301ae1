#pragma once

#include <windows.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

// Runs a program to its end, answering its message boxes as a user would:
// each box (a "#32770" dialog of that process) is read, its static text
// (control 0xFFFF) noted, and its OK button clicked. Never hangs: a program
// still running after the time limit is ended and reported as such.
namespace velkorn::testing {

struct ShownBox {
  std::wstring title;
  std::wstring text;
};

struct ProgramRun {
  bool finished = false;
  DWORD exitCode = 0;
  std::vector<ShownBox> boxes;
};

namespace detail {

struct BoxSearch {
  DWORD processId;
  std::vector<HWND> found;
};

inline BOOL CALLBACK collectBox(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (owner == search.processId && std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
    search.found.push_back(window);
  }
  return TRUE;
}

inline std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace detail

inline ProgramRun runAnsweringBoxes(const std::filesystem::path& program, const std::filesystem::path& workingDir,
                                    DWORD timeoutMs = 30000) {
  ProgramRun run;
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDir.c_str(), &startup, &process)) {
    return run;
  }
  std::set<HWND> answered;
  bool timedOut = false;
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
    if (GetTickCount64() > deadline) {
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, 5000);
      timedOut = true;
      break;
    }
    detail::BoxSearch search{process.dwProcessId, {}};
    EnumWindows(detail::collectBox, reinterpret_cast<LPARAM>(&search));
    // A closed box's handle may come back for the next one.
    std::erase_if(answered, [](HWND window) { return !IsWindow(window); });
    for (HWND box : search.found) {
      if (!answered.insert(box).second) continue;
      run.boxes.push_back({detail::textOf(box), detail::textOf(GetDlgItem(box, 0xFFFF))});
      // SendMessage would wait for the box's modal loop; Post does not.
      PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }
  }
  run.finished = !timedOut;
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

}  // namespace velkorn::testing
