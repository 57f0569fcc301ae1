// The built velkorn-editor.exe, driven from another process as a user would:
// its window found by caption, its controls by ID, its boxes and file dialog
// answered.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <future>

#include "platform/win32/platform_info.h"
#include "platform/win32/resource.h"
#include "platform/win32/win_text.h"
#include "tests/editor_window_cases.h"
#include "tests/win32/desktop.h"

namespace velkorn::testing {
namespace {

class Win32Window final : public EditorWindowDriver {
 public:
  // In a folder of a Japanese name, 表's second byte a backslash.
  explicit Win32Window(const std::string& schedule = "A\r\nB\r\n") : EditorWindowDriver(L"ビットマップ 表") {
    std::filesystem::copy_file(*win32::executableDirectory() / "velkorn-editor.exe", directory / "velkorn-editor.exe");
    std::filesystem::copy_file(*win32::executableDirectory() / "stub-scheduler.exe", directory / "velkorn.exe");
    std::ofstream(directory / "velkorn.txt", std::ios::binary) << schedule;
    EXPECT_TRUE(startProgram(directory / "velkorn-editor.exe", L"C:\\", process));
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(window = FindWindowW(L"VelkornForm2", nullptr)); }))
        << "the editor's window did not appear";
  }
  ~Win32Window() override {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
  }

  std::array<int, 4> place(form::Control c) override {
    RECT r;
    GetWindowRect(control(c), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  Text text(form::Control c) override { return win32::fromWide(textOf(control(c))); }
  // Sent, with a deadline: it returns once the click has been handled.
  void click(form::Control c) override {
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(control(c), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored))
        << "a click was not handled within 10 s: is a box up?";
  }
  std::string clickAnswering(std::optional<form::Control> c, Answer answer) override {
    c ? PostMessageW(control(*c), BM_CLICK, 0, 0) : PostMessageW(window, WM_CLOSE, 0, 0);
    return answerBox(answer);
  }
  // The box that comes, answered: its "title|text", or "(no box)".
  std::string answerBox(Answer answer) {
    std::vector<HWND> boxes;
    if (!eventually([&] { return !(boxes = windowsOf(L"#32770", process.dwProcessId)).empty(); })) return "(no box)";
    const std::wstring seen =
        testing::answer(boxes[0], answer == Answer::Yes ? IDYES : answer == Answer::No ? IDNO : IDOK);
    EXPECT_TRUE(eventually([&] { return !IsWindow(boxes[0]); })) << "the box stayed open";
    return toUtf8(win32::fromWide(seen));
  }
  // The dialog's file-name box (an edit, or a combo box holding one) filled
  // in, then Open.
  void browse(const std::filesystem::path& file) override {
    PostMessageW(control(form::Control::Command1), BM_CLICK, 0, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(eventually([&] {
      const auto dialogs = windowsOf(L"#32770", process.dwProcessId);
      HWND box = dialogs.empty() ? nullptr : GetDlgItem(dialog = dialogs[0], 0x47C);
      HWND name = box ? FindWindowExW(box, nullptr, L"Edit", nullptr) : nullptr;
      return (name || (name = box)) && SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    })) << "no file dialog with a file-name box";
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(eventually([&] { return !IsWindow(dialog); })) << "the file dialog stayed open";
  }
  void putCaret(int line, int column) override {
    const auto at = SendMessageW(control(form::Control::Text2), EM_LINEINDEX, static_cast<WPARAM>(line), 0) + column;
    SendMessageW(control(form::Control::Text2), EM_SETSEL, static_cast<WPARAM>(at), at);
  }
  void type(TextView text) override {
    const std::wstring wide = win32::toWide(text);
    SendMessageW(control(form::Control::Text2), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  void chooseKind(int index) override { SendMessageW(control(form::Control::Combo1), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  // The calendar's message carries a pointer: the date goes into the
  // editor's memory.
  void chooseDate(int year, int month, int day) override {
    const SYSTEMTIME date{static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day), 0, 0, 0, 0};
    void* remote = VirtualAllocEx(process.hProcess, nullptr, sizeof date, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process.hProcess, remote, &date, sizeof date, nullptr);
    EXPECT_TRUE(SendMessageW(control(form::Control::MonthView1), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(remote)));
  }
  std::string focused() override {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process.dwThreadId, &info);
    HWND w = info.hwndFocus;
    while (w && GetParent(w) != window) w = GetParent(w);  // the edit inside the drop-down
    const auto at = static_cast<std::size_t>(GetDlgCtrlID(w) - win32::kFirstControlId);
    return w && at < form::kPlaces.size() ? std::string(form::kPlaces[at].name) : "(none)";
  }
  // Real key presses, into the editor in front.
  std::string pressTab(bool backwards) override {
    const std::string before = focused();
    std::vector<INPUT> keys;
    for (const auto& [key, up] : {std::pair{VK_SHIFT, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_SHIFT, true}}) {
      const DWORD flags = up ? KEYEVENTF_KEYUP : 0;
      if (key != VK_SHIFT || backwards) keys.push_back({INPUT_KEYBOARD, {.ki = {static_cast<WORD>(key), 0, flags, 0, 0}}});
    }
    SetForegroundWindow(window);
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    std::string after = before;
    waitFor([&] { return (after = focused()) != before; }, 3000);
    return after;
  }
  bool isOpen() override { return IsWindowVisible(window); }
  bool eventually(const std::function<bool()>& condition) override { return waitFor(condition); }

  HWND control(form::Control c) const { return GetDlgItem(window, win32::controlId(c)); }
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
};

TEST(Win32EditorWindow, IsAFixedDialogWhoseControlsReachTheEditorLogicAndAnswersWhileSaving) {
  Win32Window window;
  EXPECT_EQ(textOf(window.window), L"設定の編集");
  RECT client;
  GetClientRect(window.window, &client);
  EXPECT_EQ(client.right * 10000 + client.bottom, form::kClientWidth / 15 * 10000 + form::kClientHeight / 15);
  EXPECT_EQ(GetWindowLongW(window.window, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_SYSMENU);
  expectPlacesAndCaptions(window);
  expectTabOrder(window);
  // A save while another program holds velkorn.txt open without sharing (a
  // scanner does; Wine answers ReplaceFileW with ERROR_SHARING_VIOLATION)
  // waits for it with the window disabled and answering, within 500 ms all
  // along; then the new text is in place.
  const auto file = window.directory / "velkorn.txt";
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  window.clickAnswering(form::Control::Command3, Answer::Yes);
  int unanswered = 0, disabled = 0;
  for (const ULONGLONG until = GetTickCount64() + 2000; GetTickCount64() < until; Sleep(20)) {
    unanswered += !SendMessageTimeoutW(window.window, WM_NULL, 0, 0, SMTO_NORMAL, 500, nullptr);
    disabled += !IsWindowEnabled(window.window);
  }
  CloseHandle(held);
  EXPECT_TRUE(held != INVALID_HANDLE_VALUE && unanswered == 0 && disabled > 0) << unanswered << ' ' << disabled;
  EXPECT_TRUE(window.eventually([&] { return readBytes(file) == "A\r\nB\r\n\r\n" && IsWindowEnabled(window.window); }))
      << "not saved once the file was let go";
  expectEveryControlReachesTheEditorLogic(window);
}

// An edit takes typed and inserted text only up to its limit, 32,767
// characters until told otherwise ("EM_LIMITTEXT message", Remarks), 30,000
// in Wine's: a list longer than that still takes an entry at its end. (Qt's
// text widget has no limit.) Then a log-off as Windows asks it, from another
// thread that waits for the answer: the Exit question comes; No keeps the
// window and the list; a critical log-off, which cannot wait, is let go at
// once; Yes lets it go on, and the window ends without saving.
TEST(Win32EditorWindow, TakesAnEntryIntoAListOfMoreThan30000CharactersAndAsksAtALogOffAsExitDoes) {
  const std::string list = "#" + std::string(35997, '-') + "\r\n";
  Win32Window window(list);
  const std::filesystem::path bitmap = window.root.write("a.bmp", "BM");
  window.browse(bitmap);
  window.chooseKind(0);
  window.click(form::Control::Check1);
  window.putCaret(1, 0);
  window.click(form::Control::Command2);
  const auto logOff = [&](LPARAM flags) {
    DWORD_PTR agreed = 2;
    SendMessageTimeoutW(window.window, WM_QUERYENDSESSION, 0, flags, SMTO_NORMAL, 15000, &agreed);
    return agreed;
  };
  const std::string exitQuestion = "終了|保存しないで終了しますが、よろしいですか？";
  auto agreed = std::async(std::launch::async, logOff, ENDSESSION_LOGOFF);
  EXPECT_EQ(window.answerBox(Answer::No), exitQuestion);
  EXPECT_EQ(agreed.get(), 0u);
  EXPECT_EQ(window.text(form::Control::Text2), widen(list) + U"00/00 P " + displayPath(bitmap) + U"\r\n");
  EXPECT_EQ(logOff(ENDSESSION_CRITICAL), 1u);
  agreed = std::async(std::launch::async, logOff, ENDSESSION_LOGOFF);
  EXPECT_EQ(window.answerBox(Answer::Yes), exitQuestion);
  EXPECT_EQ(agreed.get(), 1u);
  EXPECT_TRUE(window.eventually([&] { return !window.isOpen(); })) << "the window stayed";
  EXPECT_EQ(readBytes(window.directory / "velkorn.txt"), list);
}

}  // namespace
}  // namespace velkorn::testing
