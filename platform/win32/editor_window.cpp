#include "platform/win32/editor_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32/calendar_fit.h"
#include "platform/win32/form_controls.h"
#include "platform/win32/message_box.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/resource.h"
#include "platform/win32/win_text.h"
#include "ui/texts.h"

namespace velkorn::win32 {

namespace {

constexpr const wchar_t* kWindowClass = L"VelkornForm2";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The window's own timer (the tooltip has others): the list left alone.
constexpr UINT_PTR kIdleTimer = 1;
constexpr long kFileBoxTip = 1;  // tipSubjectAt(): the file box; a day is yyyymmdd
constexpr int kTipWidthTwips = 9000;

// Bit 0 is day 1.
MONTHDAYSTATE dayStateOf(const DaySet& days) {
  return static_cast<MONTHDAYSTATE>(days.to_ulong() >> 1);
}

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

Form2::Form2(HINSTANCE instance, std::filesystem::path scheduler)
    : instance_(instance),
      scheduler_(std::move(scheduler)),
      tip_([this](POINT screen) { return tipSubjectAt(screen); }, [this](long subject) { return tipTextOf(subject); }) {}

Form2::~Form2() {
  if (hwnd_) DestroyWindow(hwnd_);
}

int Form2::scale(int twips) const {
  return scaled(twips, dpi_);
}

bool Form2::create(EditorController* controller) {
  controller_ = controller;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_SMILEY));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  dpi_ = GetDeviceCaps(WindowDc(nullptr), LOGPIXELSX);

  // The client area is fixed; the frame goes around it.
  RECT frame{0, 0, scale(form::kClientWidth), scale(form::kClientHeight)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  const std::wstring caption = toWide(texts::kEditorCaption);
  return CreateWindowExW(kWindowExStyle, kWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         instance_, this) != nullptr;
}

void Form2::show(int showCommand) {
  RECT window;
  GetWindowRect(hwnd_, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  SetFocus(control(form::Control::Combo1));
}

void Form2::onCreate() {
  controls_.create(hwnd_, instance_, dpi_);
  HWND calendar = control(form::Control::MonthView1);
  calendarOwnFont_ = reinterpret_cast<HFONT>(SendMessageW(calendar, WM_GETFONT, 0, 0));
  fitCalendarToItsPlace(calendar, dpi_, calendarOwnFont_, calendarFont_);
  tip_.create(hwnd_, instance_, scale(kTipWidthTwips));
}

HWND Form2::control(form::Control id) const {
  return controls_[id];
}

LRESULT Form2::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_NEXTDLGCTL:
      onNextControl(wParam, LOWORD(lParam) != 0);
      return 0;
    case WM_NOTIFY:
      return onNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
      onTimer(wParam);
      return 0;
    case WM_SETCURSOR:
      // Sent on by the child under the mouse (the disabled file box too),
      // which then sets its cursor as before. A cursor set once would last
      // only to the next move of the mouse.
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      tip_.onMouseMove();
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_QUERYENDSESSION:
      return onQueryEndSession(lParam);
    case WM_ENDSESSION:
      if (wParam && controller_) controller_->handleSessionEnd();
      return 0;
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      // A new system font or theme changes the size the calendar asks for.
      SendMessageW(control(form::Control::MonthView1), message, wParam, lParam);
      fitCalendarToItsPlace(control(form::Control::MonthView1), dpi_, calendarOwnFont_, calendarFont_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void Form2::onCommand(int id, int notification) {
  if (!controller_) return;
  using form::Control;
  if (id == controlId(Control::Text2) && notification == EN_CHANGE) return controller_->handleListChanged();
  if (notification != BN_CLICKED) return;
  switch (id) {
    case controlId(Control::Command1): return controller_->handleBrowse();
    case controlId(Control::Command2): return controller_->handleAdd();
    case controlId(Control::Command3): return controller_->handleSave();
    case controlId(Control::Command4): return controller_->handleExit();
    case controlId(Control::Command5): return controller_->handleRun();
    default: return;
  }
}

// The list, a multi-line edit, asks its parent to move the focus on Tab and
// Shift+Tab, as it would ask a dialog; a plain window does it itself.
void Form2::onNextControl(WPARAM control, bool given) {
  HWND next = given ? reinterpret_cast<HWND>(control) : GetNextDlgTabItem(hwnd_, GetFocus(), control != 0);
  if (next) SetFocus(next);
}

LRESULT Form2::onNotify(NMHDR& header) {
  if (header.hwndFrom == tip_.window() && header.code == NM_CUSTOMDRAW) {
    return tip_.onCustomDraw(reinterpret_cast<const NMTTCUSTOMDRAW&>(header));
  }
  if (header.idFrom == controlId(form::Control::MonthView1) && header.code == MCN_GETDAYSTATE) {
    onGetDayState(reinterpret_cast<NMDAYSTATE&>(header));
  }
  return 0;
}

// The calendar asks for the months it shows, the partly shown ones too.
void Form2::onGetDayState(NMDAYSTATE& ask) {
  if (!controller_) return;
  int year = ask.stStart.wYear;
  int month = ask.stStart.wMonth;
  for (int i = 0; i < ask.cDayState; ++i) {
    ask.prgDayState[i] = dayStateOf(controller_->datedDays(year, month));
    if (++month > 12) month = 1, ++year;
  }
}

void Form2::onTimer(UINT_PTR id) {
  if (tip_.onTimer(id) || id != kIdleTimer) return;
  KillTimer(hwnd_, kIdleTimer);
  if (controller_) controller_->handleIdle();
}

// The file box while it has a tooltip, a day of the calendar (yyyymmdd), or
// nothing (0).
long Form2::tipSubjectAt(POINT screen) const {
  RECT box{};
  GetWindowRect(control(form::Control::Text1), &box);
  if (PtInRect(&box, screen)) return fileTip_.empty() ? 0 : kFileBoxTip;
  HWND calendar = control(form::Control::MonthView1);
  MCHITTESTINFO hit{};
  hit.cbSize = offsetof(MCHITTESTINFO, st) + sizeof hit.st;  // the first version's size: every comctl32 knows it
  hit.pt = screen;
  ScreenToClient(calendar, &hit.pt);
  RECT client{};
  GetClientRect(calendar, &client);
  if (!PtInRect(&client, hit.pt)) return 0;
  const auto where = static_cast<UINT>(SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if ((where & MCHT_CALENDARDATE) != MCHT_CALENDARDATE) return 0;
  return hit.st.wYear * 10000L + hit.st.wMonth * 100L + hit.st.wDay;
}

std::wstring Form2::tipTextOf(long subject) const {
  if (subject == kFileBoxTip) return fileTip_;
  if (!controller_) return {};
  const auto part = [&](long divisor) { return static_cast<int>(subject / divisor % 100); };
  return toWide(controller_->dayTip({static_cast<int>(subject / 10000), part(100), part(1)}));
}

namespace {

// A log-off or shutdown as Windows asks: a critical one ends the session
// whatever the answer; a reason, while it is set, shows on the screen that
// lists what keeps Windows from going on.
class WindowsSessionEnd final : public SessionEnd {
 public:
  WindowsSessionEnd(HWND window, LPARAM flags) : window_(window), flags_(flags) {}
  bool mayAsk() override { return !(flags_ & ENDSESSION_CRITICAL); }
  void hold(TextView reason) override { ShutdownBlockReasonCreate(window_, toWide(reason).c_str()); }
  void release() override { ShutdownBlockReasonDestroy(window_); }

 private:
  HWND window_;
  LPARAM flags_;
};

}  // namespace

LRESULT Form2::onQueryEndSession(LPARAM flags) {
  WindowsSessionEnd session(hwnd_, flags);
  return !controller_ || controller_->handleSessionEndQuery(session);
}

void Form2::onClose() {
  if (!controller_ || controller_->handleCloseRequest()) DestroyWindow(hwnd_);
}

Text Form2::listText() const {
  return fromWide(windowText(control(form::Control::Text2)));
}

void Form2::setListText(TextView text) {
  HWND list = control(form::Control::Text2);
  const std::wstring wide = toWide(text);
  SetWindowTextW(list, wide.c_str());
  SendMessageW(list, EM_SETSEL, 0, 0);
  SendMessageW(list, EM_SCROLLCARET, 0, 0);
}

void Form2::insertAtCaret(TextView text) {
  const std::wstring wide = toWide(text);
  SendMessageW(control(form::Control::Text2), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

Date Form2::calendarDate() const {
  SYSTEMTIME selected{};
  SendMessageW(control(form::Control::MonthView1), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&selected));
  return {selected.wYear, selected.wMonth, selected.wDay};
}

void Form2::setCalendarDate(const Date& date) {
  SYSTEMTIME selected{};
  selected.wYear = static_cast<WORD>(date.year);
  selected.wMonth = static_cast<WORD>(date.month);
  selected.wDay = static_cast<WORD>(date.day);
  SendMessageW(control(form::Control::MonthView1), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&selected));
}

Text Form2::kindText() const {
  HWND combo = control(form::Control::Combo1);
  const auto selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return {};
  std::wstring label(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0)) + 1,
                     L'\0');
  const auto length = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                                   reinterpret_cast<LPARAM>(label.data()));
  label.resize(length == CB_ERR ? 0 : static_cast<std::size_t>(length));
  return fromWide(label);
}

bool Form2::everyDayChecked() const {
  return SendMessageW(control(form::Control::Check1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

Text Form2::fileBoxText() const {
  return fromWide(windowText(control(form::Control::Text1)));
}

void Form2::setFileBoxText(TextView text) {
  const std::wstring wide = toWide(text);
  SetWindowTextW(control(form::Control::Text1), wide.c_str());
}

void Form2::restartIdleTimer(int milliseconds) {
  SetTimer(hwnd_, kIdleTimer, static_cast<UINT>(milliseconds), nullptr);
}

// The calendar keeps the states it was given: hand it new ones for the
// months it shows.
void Form2::refreshCalendar() {
  HWND calendar = control(form::Control::MonthView1);
  SYSTEMTIME range[2]{};
  const auto months = static_cast<int>(
      SendMessageW(calendar, MCM_GETMONTHRANGE, GMR_DAYSTATE, reinterpret_cast<LPARAM>(range)));
  std::vector<MONTHDAYSTATE> states(static_cast<std::size_t>(std::max(months, 0)));
  NMDAYSTATE ask{};
  ask.stStart = range[0];
  ask.cDayState = months;
  ask.prgDayState = states.data();
  onGetDayState(ask);
  SendMessageW(calendar, MCM_SETDAYSTATE, static_cast<WPARAM>(months), reinterpret_cast<LPARAM>(states.data()));
  InvalidateRect(calendar, nullptr, FALSE);
}

bool Form2::setFilePreview(const FilePreview& preview) {
  tip_.hide();
  fileTip_.clear();
  tip_.clearPicture();
  if (preview.shownWidth && !tip_.setPicture(kFileBoxTip, preview.file, {preview.shownWidth, preview.shownHeight})) {
    return false;
  }
  fileTip_ = toWide(preview.caption);
  return true;
}

Answer Form2::showMessage(const Message& message) {
  return showMessageBox(hwnd_, message);
}

std::optional<Text> Form2::pickFile(TextView filterDescription, TextView filterPattern) {
  // "description NUL pattern NUL NUL"
  std::wstring filter = toWide(filterDescription);
  filter.push_back(L'\0');
  filter += toWide(filterPattern);
  filter.push_back(L'\0');
  std::vector<wchar_t> path(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  // The working directory stays where it was: nothing here depends on it.
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return fromWide(path.data());
}

void Form2::setBusy(bool busy) {
  busy_ = busy;
  if (busy) {
    tip_.hide();
    POINT mouse{};
    GetCursorPos(&mouse);
    // WindowFromPoint passes over a disabled window.
    if (GetAncestor(WindowFromPoint(mouse), GA_ROOT) == hwnd_) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // No control keeps the focus to take keys meanwhile.
    focusBeforeBusy_ = GetFocus();
    SetFocus(nullptr);
    EnableWindow(hwnd_, FALSE);
    return;
  }
  EnableWindow(hwnd_, TRUE);
  if (focusBeforeBusy_) SetFocus(focusBeforeBusy_);
}

bool Form2::startScheduler() {
  // By its full path and with that path as the program: Windows then looks
  // neither in the working directory nor along PATH.
  const std::wstring program = asNamedInItsFolder(scheduler_).native();
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  const std::wstring directory = scheduler_.parent_path().native();
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void Form2::endProgram() {
  DestroyWindow(hwnd_);
}

}  // namespace velkorn::win32
