// Drives the built velkorn-editor.exe from another process, as a user would:
// its window found by caption, its controls by ID, its boxes and file dialog
// answered. What only the window can get wrong: places, captions, and the
// wiring of each button, box and dialog to the editor logic (the logic itself
// is the controller tests' business). The editor runs in a directory of its
// own, beside a stand-in Velkorn.exe that records each start.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "editor/form_layout.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/resource.h"
#include "platform/win32/win_text.h"
#include "schedule/texts.h"
#include "tests/temp_dir.h"
#include "tests/win32/desktop.h"

namespace velkorn::testing {
namespace {

// In the order of form::kPlaces.
constexpr int kIds[] = {IDC_MONTHVIEW1, IDC_LABEL1, IDC_TEXT1,    IDC_COMMAND1, IDC_LABEL3,   IDC_COMBO1,  IDC_CHECK1,
                        IDC_LABEL2,     IDC_COMMAND2, IDC_TEXT2, IDC_COMMAND3, IDC_COMMAND5, IDC_COMMAND4};

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(*win32::executableDirectory() / "velkorn-editor.exe", dir.path() / "velkorn-editor.exe");
    std::filesystem::copy_file(*win32::executableDirectory() / "stub-scheduler.exe", dir.path() / "velkorn.exe");
  }
  void TearDown() override {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
  }
  void start(const char* schedule) {
    if (schedule) dir.write("velkorn.txt", schedule);
    ASSERT_TRUE(startProgram(dir.path() / "velkorn-editor.exe", L"C:\\", process));
    if (schedule) {
      ASSERT_TRUE(waitFor([&] { return IsWindowVisible(window = FindWindowW(L"VelkornForm2", L"設定の編集")); }))
          << "the editor's window did not appear";
    }
  }

  HWND control(int id) const { return GetDlgItem(window, id); }
  void click(int id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }
  // Clicks and waits until the click has been handled; no box may come of it.
  void clickExpectingNoBox(int id) const {
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored))
        << "the click on " << id << " was not handled within 10 s: a box is up?";
  }
  // Waits for the next box, and presses `button` in it: "title|text".
  std::wstring answerBox(int button) const {
    std::vector<HWND> boxes;
    EXPECT_TRUE(waitFor([&] { return !(boxes = windowsOf(L"#32770", process.dwProcessId)).empty(); }))
        << "no box came";
    if (boxes.empty()) return {};
    const std::wstring seen = answer(boxes[0], button);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(boxes[0]); })) << "the box stayed open";
    return seen;
  }
  std::wstring list() const { return textOf(control(IDC_TEXT2)); }
  void select(WPARAM from, LPARAM to) const { SendMessageW(control(IDC_TEXT2), EM_SETSEL, from, to); }
  // The editor writes, and the stand-in scheduler records a start, shortly
  // after the click.
  bool eventuallyHolds(const char* name, const std::string& bytes) const {
    return waitFor([&] { return readBytes(dir.path() / name) == bytes; });
  }
  bool ended() const { return WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0; }

  TempDir dir;
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
};

TEST_F(Editor, LoadsTheScheduleAndPlacesEveryControl) {
  // 郵便 and 表 (second byte 0x5C), one line without its line end.
  start("00/00 P C:\\\x97\x58\x95\xD6\\\x95\x5C.bmp\r\n# x\r\nlast");
  EXPECT_EQ(list(), L"00/00 P C:\\郵便\\表.bmp\r\n# x\r\nlast\r\n");
  RECT r;
  GetClientRect(window, &r);
  EXPECT_EQ(std::vector<LONG>({r.right, r.bottom}), std::vector<LONG>({form::kClientWidth / 15, form::kClientHeight / 15}));
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_SYSMENU);
  for (std::size_t i = 0; i < form::kPlaces.size(); ++i) {
    const form::Place& place = form::kPlaces[i];
    GetWindowRect(control(kIds[i]), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left}),
              std::vector<LONG>({place.left / 15, place.top / 15, place.width / 15}))
        << place.name;
    // A closed drop-down list is as high as its font needs, and no lower.
    EXPECT_LE(r.bottom - r.top - place.height / 15, kIds[i] == IDC_COMBO1 ? 4 : 0) << place.name;
    EXPECT_GE(r.bottom - r.top - place.height / 15, 0) << place.name;
  }
  EXPECT_EQ(textOf(control(IDC_COMMAND5)), win32::toWide(texts::kRunButton));
  EXPECT_FALSE(IsWindowEnabled(control(IDC_TEXT1)));
  EXPECT_EQ(SendMessageW(control(IDC_COMBO1), CB_GETCURSEL, 0, 0) + SendMessageW(control(IDC_COMBO1), CB_GETCOUNT, 0, 0),
            CB_ERR + 3);  // the three kinds, none chosen
}

TEST_F(Editor, WithoutAScheduleShowsTheStartErrorAndNoWindow) {
  start(nullptr);
  EXPECT_EQ(answerBox(IDOK), L"起動エラー|設定ファイルが見つかりません。");
  DWORD exitCode = 0;
  ASSERT_TRUE(ended());
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_NE(exitCode, 0u);
}

TEST_F(Editor, ButtonsBoxesAndDialogsReachTheEditorLogic) {
  start("first\r\nsecond\r\n");
  clickExpectingNoBox(IDC_COMMAND5);  // clean: the scheduler starts at once
  EXPECT_TRUE(eventuallyHolds("scheduler-ran.txt", "ran\r\n")) << "the scheduler did not start";
  click(IDC_COMMAND2);
  EXPECT_EQ(answerBox(IDOK), L"ファイル名エラー|ファイルが指定されていません");

  // Browse: the open dialog, its file-name box filled in, then Open.
  const std::wstring bitmap = dir.write(L"郵便 屋.bmp", "BM").wstring();
  click(IDC_COMMAND1);
  HWND dialog = nullptr, name = nullptr;
  ASSERT_TRUE(waitFor([&] {
    const auto dialogs = windowsOf(L"#32770", process.dwProcessId);
    const auto edits = dialogs.empty() ? dialogs : windowsOf(L"Edit", 0, GetDlgItem(dialog = dialogs[0], 0x47C));
    name = edits.empty() ? GetDlgItem(dialog, 0x47C) : edits[0];  // the box, or the edit inside it
    return name && textOf(name).empty() && SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bitmap.c_str()));
  })) << "no file dialog with a file-name box";
  PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([&] { return textOf(control(IDC_TEXT1)) == bitmap; })) << "the file box was not filled";

  // Dated from the calendar at the start of the second line; then every day
  // from a mid-line caret, which splits the line. The calendar's message
  // carries a pointer, so the date goes into the editor's memory.
  const SYSTEMTIME march3{2026, 3, 0, 3, 0, 0, 0, 0};
  void* remote = VirtualAllocEx(process.hProcess, nullptr, sizeof march3, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(WriteProcessMemory(process.hProcess, remote, &march3, sizeof march3, nullptr));
  EXPECT_TRUE(SendMessageW(control(IDC_MONTHVIEW1), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(remote)));
  SendMessageW(control(IDC_COMBO1), CB_SETCURSEL, 1, 0);
  select(7, 7);
  clickExpectingNoBox(IDC_COMMAND2);
  SendMessageW(control(IDC_TEXT1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\a.bmp"));
  SendMessageW(control(IDC_CHECK1), BM_SETCHECK, BST_CHECKED, 0);
  select(2, 2);
  clickExpectingNoBox(IDC_COMMAND2);
  EXPECT_EQ(list(), L"fi00/00 W C:\\a.bmp\r\nrst\r\n03/03 W " + bitmap + L"\r\nsecond\r\n");
  EXPECT_EQ(textOf(control(IDC_TEXT1)), L"");

  click(IDC_COMMAND3);
  EXPECT_EQ(answerBox(IDNO), L"保存|保存しますが、よろしいですか？");
  PostMessageW(window, WM_CLOSE, 0, 0);  // the close box
  EXPECT_EQ(answerBox(IDNO), L"終了|保存しないで終了しますが、よろしいですか？");
  click(IDC_COMMAND4);
  EXPECT_EQ(answerBox(IDNO), L"終了|保存しないで終了しますが、よろしいですか？");
  click(IDC_COMMAND5);
  EXPECT_EQ(answerBox(IDYES), L"終了|実行前には保存する必要があります。保存しますか？");
  EXPECT_TRUE(eventuallyHolds("scheduler-ran.txt", "ran\r\nran\r\n")) << "the scheduler did not start again";
  EXPECT_EQ(readBytes(dir.path() / "velkorn.txt").substr(0, 22), "fi00/00 W C:\\a.bmp\r\nrs");
  clickExpectingNoBox(IDC_COMMAND4);  // saved by Run: no question
  EXPECT_TRUE(ended());
}

}  // namespace
}  // namespace velkorn::testing
