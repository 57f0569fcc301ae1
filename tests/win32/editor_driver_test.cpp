// Drives the built velkorn-editor.exe as a user would, from another process:
// its window found by caption, its controls by ID, its message boxes and file
// dialog answered. The editor runs in a directory of its own, with a CP932
// velkorn.txt and a stand-in Velkorn.exe that records each start.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "editor/form_layout.h"
#include "platform/win32/resource.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kPatience = 20s;

fs::path ownDirectory() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return fs::path(path).parent_path();
}

// Reads with every sharing flag, so that reading never stands in the way of
// the editor replacing the file (Windows refuses to replace a file another
// program holds open without FILE_SHARE_DELETE).
std::string readBytes(const fs::path& file) {
  HANDLE in = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (in == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(in);
  return bytes;
}

void writeBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

std::wstring textOf(HWND hwnd) {
  // WM_GETTEXT is carried across processes.
  const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::wstring classOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds patience = kPatience) {
  const auto until = std::chrono::steady_clock::now() + patience;
  while (std::chrono::steady_clock::now() < until) {
    if (condition()) return true;
    std::this_thread::sleep_for(20ms);
  }
  return condition();
}

struct DialogSearch {
  DWORD pid;
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK matchDialog(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != s->pid || !IsWindowVisible(hwnd) || classOf(hwnd) != L"#32770") return TRUE;
  if (!s->title->empty() && textOf(hwnd) != *s->title) return TRUE;
  s->found = hwnd;
  return FALSE;
}

// A message box or a common dialog of the process: "#32770", shown; any
// title when `title` is empty.
HWND findDialog(DWORD pid, const std::wstring& title) {
  DialogSearch search{pid, &title, nullptr};
  EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct ClassSearch {
  const std::wstring* className;
  HWND found;
};

BOOL CALLBACK matchClass(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<ClassSearch*>(param);
  if (classOf(hwnd) != *s->className) return TRUE;
  s->found = hwnd;
  return FALSE;
}

HWND findDescendant(HWND parent, const std::wstring& className) {
  ClassSearch search{&className, nullptr};
  EnumChildWindows(parent, matchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

enum class Icon { None, Information, Exclamation, Critical, Other };

// Which stock icon a box shows, told by the colour of its icon on the
// screen: icon handles do not cross processes, and themes draw the pictures
// differently, but the information icon stays blue, the exclamation yellow
// and the error red.
Icon iconShownBy(HWND iconControl) {
  RECT r;
  if (!iconControl || !GetWindowRect(iconControl, &r)) return Icon::None;
  const int width = r.right - r.left, height = r.bottom - r.top;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  int red = 0, yellow = 0, blue = 0;
  const auto* pixels = static_cast<const RGBQUAD*>(bits);
  for (int i = 0; i < width * height; ++i) {
    const RGBQUAD& p = pixels[i];
    if (p.rgbRed > 150 && p.rgbGreen < 110 && p.rgbBlue < 110) ++red;
    if (p.rgbRed > 170 && p.rgbGreen > 140 && p.rgbBlue < 110) ++yellow;
    if (p.rgbBlue > 150 && p.rgbRed < 130) ++blue;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (red > yellow && red > blue) return Icon::Critical;
  if (yellow > red && yellow > blue) return Icon::Exclamation;
  if (blue > red && blue > yellow) return Icon::Information;
  return Icon::Other;
}

struct SeenBox {
  std::wstring title;
  std::wstring text;
  Icon icon = Icon::None;
};

// The editor, started in a fresh directory beside the stand-in scheduler.
class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    dir = fs::path(temp) / (L"velkorn-editor-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(GetTickCount()));
    fs::create_directories(dir);
    fs::copy_file(ownDirectory() / L"velkorn-editor.exe", dir / L"velkorn-editor.exe");
    fs::copy_file(ownDirectory() / L"stub-scheduler.exe", dir / L"velkorn.exe");
  }

  void TearDown() override {
    if (process.hProcess) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, 5000);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  // Starts the editor; with a schedule, waits for its window.
  void start() {
    const std::wstring program = (dir / L"velkorn-editor.exe").native();
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               L"C:\\", &startup, &process));
  }
  void open(const std::string& schedule) {
    writeBytes(dir / L"velkorn.txt", schedule);
    start();
    ASSERT_TRUE(waitFor([&] {
      window = FindWindowW(L"VelkornForm2", L"設定の編集");
      return window && IsWindowVisible(window);
    })) << "the editor's window did not appear";
  }

  HWND control(int id) const { return GetDlgItem(window, id); }
  void click(int id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }

  // Waits for a message box with this title, notes it, and presses `button`.
  SeenBox answer(const std::wstring& title, int button) {
    HWND box = nullptr;
    EXPECT_TRUE(waitFor([&] { return (box = findDialog(process.dwProcessId, title)) != nullptr; }))
        << "no message box titled " << fs::path(title).string();
    SeenBox seen{title, {}, Icon::None};
    if (!box) return seen;
    seen.text = textOf(GetDlgItem(box, 0xFFFF));
    HWND child = nullptr;
    while ((child = FindWindowExW(box, child, L"Static", nullptr))) {
      if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) seen.icon = iconShownBy(child);
    }
    // Posted: a sent click would wait for the box's own modal loop.
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));
    return seen;
  }

  // No box may be up: window messages ignore modality.
  void expectNoBox() {
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(findDialog(process.dwProcessId, L""), nullptr);
  }

  std::wstring list() const { return textOf(control(IDC_TEXT2)); }
  void typeIntoList(DWORD from, DWORD to, const std::wstring& text) const {
    SendMessageW(control(IDC_TEXT2), EM_SETSEL, from, to);
    SendMessageW(control(IDC_TEXT2), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  std::string onDisk() const { return readBytes(dir / L"velkorn.txt"); }
  // The editor writes after its box has gone: give it the moment it needs.
  void expectOnDisk(const std::string& bytes) const {
    waitFor([&] { return onDisk() == bytes; });
    EXPECT_EQ(onDisk(), bytes);
  }
  int schedulerStarts() const {
    const std::string ran = readBytes(dir / L"scheduler-ran.txt");
    int count = 0;
    for (std::size_t at = ran.find("ran"); at != std::string::npos; at = ran.find("ran", at + 1)) ++count;
    return count;
  }
  bool ended(DWORD* exitCode = nullptr) const {
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process.hProcess, exitCode);
    return true;
  }

  // Selects a date in the calendar of the other process: its message
  // carries a pointer, so the SYSTEMTIME is written into that process.
  void selectDate(WORD year, WORD month, WORD day) {
    SYSTEMTIME date{};
    date.wYear = year, date.wMonth = month, date.wDay = day;
    void* remote = VirtualAllocEx(process.hProcess, nullptr, sizeof date, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(WriteProcessMemory(process.hProcess, remote, &date, sizeof date, nullptr));
    EXPECT_TRUE(SendMessageW(control(IDC_MONTHVIEW1), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(remote)));
    VirtualFreeEx(process.hProcess, remote, 0, MEM_RELEASE);
  }

  void chooseKind(const std::wstring& label) {
    HWND combo = control(IDC_COMBO1);
    const auto index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(label.c_str()));
    ASSERT_NE(index, CB_ERR);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // CB_SETCURSEL notifies nobody; a user's choice would.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_COMBO1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  }

  fs::path dir;
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
};


TEST(Locale, AnsiCodePageIs932) {
  EXPECT_EQ(GetACP(), 932u);
}

TEST_F(Editor, LoadsTheScheduleAndLaysOutEveryControl) {
  // 郵便 and 表 (second byte 0x5C), one line without its line end.
  open("00/00 P C:\\\x97\x58\x95\xD6\\\x95\x5C.bmp\r\n# x\r\nlast");
  EXPECT_EQ(list(), L"00/00 P C:\\郵便\\表.bmp\r\n# x\r\nlast\r\n");

  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, velkorn::form::kClientWidth / 15);
  EXPECT_EQ(client.bottom, velkorn::form::kClientHeight / 15);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

  const int ids[] = {IDC_MONTHVIEW1, IDC_LABEL1, IDC_TEXT1,    IDC_COMMAND1, IDC_LABEL3,   IDC_COMBO1,  IDC_CHECK1,
                     IDC_LABEL2,     IDC_COMMAND2, IDC_TEXT2, IDC_COMMAND3, IDC_COMMAND5, IDC_COMMAND4};
  for (std::size_t i = 0; i < velkorn::form::kPlaces.size(); ++i) {
    const auto& place = velkorn::form::kPlaces[i];
    HWND hwnd = control(ids[i]);
    ASSERT_NE(hwnd, nullptr) << place.name;
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, place.left / 15) << place.name;
    EXPECT_EQ(r.top, place.top / 15) << place.name;
    EXPECT_EQ(r.right - r.left, place.width / 15) << place.name;
    // A closed drop-down list is as high as its font needs, and no lower.
    if (ids[i] == IDC_COMBO1) {
      EXPECT_GE(r.bottom - r.top, place.height / 15) << place.name;
      EXPECT_LE(r.bottom - r.top, place.height / 15 + 4) << place.name;
    } else {
      EXPECT_EQ(r.bottom - r.top, place.height / 15) << place.name;
    }
  }
  EXPECT_EQ(textOf(control(IDC_COMMAND1)), L"Browse");
  EXPECT_EQ(textOf(control(IDC_COMMAND2)), L"↓");
  EXPECT_FALSE(IsWindowEnabled(control(IDC_TEXT1)));
  EXPECT_EQ(SendMessageW(control(IDC_COMBO1), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(control(IDC_COMBO1), CB_GETCOUNT, 0, 0), 3);
  EXPECT_TRUE(GetWindowLongW(control(IDC_TEXT2), GWL_STYLE) & ES_NOHIDESEL);

  // A clean list ends at once.
  click(IDC_COMMAND4);
  EXPECT_TRUE(ended());
  expectNoBox();
}

TEST_F(Editor, WithoutAScheduleShowsTheStartErrorAndNoWindow) {
  start();
  const SeenBox box = answer(L"起動エラー", IDOK);
  EXPECT_EQ(box.text, L"設定ファイルが見つかりません。");
  EXPECT_EQ(box.icon, Icon::Critical);
  DWORD exitCode = 0;
  ASSERT_TRUE(ended(&exitCode));
  EXPECT_NE(exitCode, 0u);
  EXPECT_EQ(FindWindowW(L"VelkornForm2", nullptr), nullptr);
}

TEST_F(Editor, SaveAskedAndAnsweredNoThenYes) {
  open("A\r\nB\r\n");
  typeIntoList(0, 0, L"x");

  click(IDC_COMMAND3);
  SeenBox box = answer(L"保存", IDNO);
  EXPECT_EQ(box.text, L"保存しますが、よろしいですか？");
  EXPECT_EQ(box.icon, Icon::Information);
  EXPECT_EQ(onDisk(), "A\r\nB\r\n");

  click(IDC_COMMAND3);
  answer(L"保存", IDYES);
  expectOnDisk("xA\r\nB\r\n\r\n");

  // Saved: Exit ends without a question.
  click(IDC_COMMAND4);
  EXPECT_TRUE(ended());
}

TEST_F(Editor, ExitAndCloseBoxAskBeforeDroppingChanges) {
  open("A\r\n");
  typeIntoList(1, 1, L"y");

  click(IDC_COMMAND4);
  const SeenBox box = answer(L"終了", IDNO);
  EXPECT_EQ(box.text, L"保存しないで終了しますが、よろしいですか？");
  EXPECT_EQ(box.icon, Icon::Information);
  EXPECT_TRUE(IsWindowVisible(window));

  PostMessageW(window, WM_CLOSE, 0, 0);  // the close box
  answer(L"終了", IDNO);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(list(), L"Ay\r\n");

  PostMessageW(window, WM_CLOSE, 0, 0);
  answer(L"終了", IDYES);
  EXPECT_TRUE(ended());
  EXPECT_EQ(onDisk(), "A\r\n");
}

TEST_F(Editor, RunSavesWhenNeededAndStartsTheSchedulerBesideIt) {
  open("A\r\n");
  click(IDC_COMMAND5);  // clean: starts at once
  EXPECT_TRUE(waitFor([&] { return schedulerStarts() == 1; }));
  expectNoBox();
  EXPECT_EQ(onDisk(), "A\r\n");

  typeIntoList(0, 0, L"z");
  click(IDC_COMMAND5);
  const SeenBox no = answer(L"終了", IDNO);
  EXPECT_EQ(no.text, L"実行前には保存する必要があります。保存しますか？");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(schedulerStarts(), 1);

  click(IDC_COMMAND5);
  answer(L"終了", IDYES);
  EXPECT_TRUE(waitFor([&] { return schedulerStarts() == 2; }));
  expectOnDisk("zA\r\n\r\n");
  EXPECT_TRUE(IsWindowVisible(window));

  click(IDC_COMMAND4);  // saved by Run: no question
  EXPECT_TRUE(ended());
}

TEST_F(Editor, ComposesEntriesFromTheControlsAtTheCaret) {
  open("first\r\nsecond\r\n");
  const std::wstring bitmap = (dir / L"郵便 屋.bmp").native();
  writeBytes(bitmap, "BM");

  // Without a file: the message, nothing inserted.
  chooseKind(L"書くの？");
  click(IDC_COMMAND2);
  const SeenBox noFile = answer(L"ファイル名エラー", IDOK);
  EXPECT_EQ(noFile.text, L"ファイルが指定されていません");
  EXPECT_EQ(noFile.icon, Icon::Exclamation);
  EXPECT_EQ(list(), L"first\r\nsecond\r\n");

  // Browse: the open dialog, its file-name box filled in, then Open.
  click(IDC_COMMAND1);
  HWND dialog = nullptr;
  ASSERT_TRUE(waitFor([&] {
    dialog = findDialog(process.dwProcessId, L"");
    return dialog && GetDlgItem(dialog, 0x47C);
  }));
  HWND nameBox = GetDlgItem(dialog, 0x47C);
  HWND nameEdit = classOf(nameBox) == L"Edit" ? nameBox : findDescendant(nameBox, L"Edit");
  ASSERT_NE(nameEdit, nullptr);
  SendMessageW(nameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bitmap.c_str()));
  PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(textOf(control(IDC_TEXT1)), bitmap);

  // At the start of the second line, dated from the calendar.
  selectDate(2026, 3, 3);
  SendMessageW(control(IDC_TEXT2), EM_SETSEL, 7, 7);
  click(IDC_COMMAND2);
  EXPECT_TRUE(waitFor([&] { return textOf(control(IDC_TEXT1)).empty(); }));

  // Every day, from a mid-line caret: the line is split.
  SendMessageW(control(IDC_TEXT1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\a.bmp"));
  SendMessageW(control(IDC_CHECK1), BM_SETCHECK, BST_CHECKED, 0);
  chooseKind(L"郵便屋さん");
  SendMessageW(control(IDC_TEXT2), EM_SETSEL, 2, 2);
  click(IDC_COMMAND2);
  EXPECT_TRUE(waitFor([&] { return textOf(control(IDC_TEXT1)).empty(); }));
  EXPECT_EQ(list(), L"fi00/00 P C:\\a.bmp\r\nrst\r\n03/03 W " + bitmap + L"\r\nsecond\r\n");

  click(IDC_COMMAND3);
  answer(L"保存", IDYES);
  waitFor([&] { return onDisk().size() > 20; });
  const std::string saved = onDisk();
  EXPECT_EQ(saved.substr(0, 20), "fi00/00 P C:\\a.bmp\r\n");
  EXPECT_NE(saved.find("\x97\x58\x95\xD6 \x89\xAE.bmp\r\nsecond\r\n\r\n"), std::string::npos);  // 郵便 屋
  click(IDC_COMMAND4);
  EXPECT_TRUE(ended());
}

}  // namespace
