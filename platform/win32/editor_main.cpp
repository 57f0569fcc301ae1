// velkorn-editor.exe: edits the schedule beside it and starts the scheduler.

#include <windows.h>

#include <commctrl.h>

#include "editor/editor_controller.h"
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/editor_window.h"
#include "platform/win32/message_box.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/schedule_writer.h"
#include "schedule/schedule_file.h"
#include "ui/texts.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace velkorn;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const auto startupError = [] {
    win32::showMessageBox(nullptr, {Text(texts::kStartupErrorTitle), Text(texts::kScheduleNotFound),
                                    Message::Icon::Critical, Message::Buttons::Ok});
    return 1;
  };
  // Without its own directory, any velkorn.txt found would be the wrong one.
  const auto directory = win32::executableDirectory();
  if (!directory) return startupError();
  try {
    const win32::CodePages codePages;
    const Codec codec(codePages.schedule);
    win32::ReplacingWriter writer;
    // Run starts it under the name its folder gives it, in whatever case.
    win32::Form2 window(instance, *directory / L"Velkorn.exe");
    EditorController controller(window, codec, writer, scheduleFileIn(*directory));
    if (!window.create(&controller)) return 1;
    if (!controller.load(win32::localToday())) return 1;
    window.show(showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      // Tab and Shift+Tab move between the controls, as in a dialog.
      if (window.window() && IsDialogMessageW(window.window(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return 0;
  } catch (const std::exception&) {
    // No memory: the schedule cannot be loaded.
    return startupError();
  }
}
