#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>

#include "editor/editor_controller.h"
#include "editor/editor_view.h"
#include "editor/form_layout.h"
#include "platform/win32/base_window.h"
#include "platform/win32/form_controls.h"
#include "platform/win32/gdi.h"
#include "platform/win32/hover_tip.h"

namespace velkorn::win32 {

// The editor's one window as a plain Win32 window. The window procedure only
// dispatches, and each handler is one call into the EditorController, which
// makes every decision.
class Form2 final : public BaseWindow<Form2>, public EditorView {
 public:
  // `scheduler` is the scheduler's executable, started by its full path.
  Form2(HINSTANCE instance, std::filesystem::path scheduler);
  ~Form2() override;
  Form2(const Form2&) = delete;
  Form2& operator=(const Form2&) = delete;

  // Creates the window and its controls, hidden. False if Windows refused.
  bool create(EditorController* controller);
  // Centres the window on its screen and shows it, the focus on Combo1.
  void show(int showCommand);

  // EditorView
  Text listText() const override;
  void setListText(TextView text) override;
  void insertAtCaret(TextView text) override;
  Date calendarDate() const override;
  void setCalendarDate(const Date& date) override;
  Text kindText() const override;
  bool everyDayChecked() const override;
  Text fileBoxText() const override;
  void setFileBoxText(TextView text) override;
  void restartIdleTimer(int milliseconds) override;
  void refreshCalendar() override;
  bool setFilePreview(const FilePreview& preview) override;
  Answer showMessage(const Message& message) override;
  std::optional<Text> pickFile(TextView filterDescription, TextView filterPattern) override;
  void setBusy(bool busy) override;
  bool startScheduler() override;
  void endProgram() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void onCreate();
  void onCommand(int id, int notification);
  void onClose();
  LRESULT onQueryEndSession(LPARAM flags);
  void onNextControl(WPARAM control, bool given);
  LRESULT onNotify(NMHDR& header);
  void onGetDayState(NMDAYSTATE& ask);
  void onTimer(UINT_PTR id);
  long tipSubjectAt(POINT screen) const;
  std::wstring tipTextOf(long subject) const;
  HWND control(form::Control id) const;
  int scale(int twips) const;

  HINSTANCE instance_;
  std::filesystem::path scheduler_;
  EditorController* controller_ = nullptr;
  // Over the disabled file box, once a file is chosen, and over each day of
  // the calendar that the list names.
  HoverTip tip_;
  std::wstring fileTip_;
  int dpi_ = 96;
  // While a save runs: the window is disabled, as a modal box's owner is,
  // and the control that had the focus gets it back afterwards.
  bool busy_ = false;
  HWND focusBeforeBusy_ = nullptr;
  FontHandle calendarFont_;  // the fitted font, while the calendar's own is too large
  HFONT calendarOwnFont_ = nullptr;
  FormControls controls_;
};

}  // namespace velkorn::win32
