#include "platform/win32/message_box.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace velkorn::win32 {

namespace {

UINT iconStyle(Message::Icon icon) {
  switch (icon) {
    case Message::Icon::Information: return MB_ICONINFORMATION;
    case Message::Icon::Exclamation: return MB_ICONEXCLAMATION;
    case Message::Icon::Critical: return MB_ICONERROR;
  }
  return MB_ICONINFORMATION;
}

}  // namespace

UINT messageBoxStyle(const Message& message, bool owned) {
  const UINT buttons = message.buttons == Message::Buttons::YesNo ? MB_YESNO : MB_OK;
  // With no owner window (the scheduler, started by Task Scheduler or at
  // log-on) the box would open behind whatever is active, and nothing is
  // applied until it is answered.
  return buttons | iconStyle(message.icon) | (owned ? 0 : MB_SETFOREGROUND | MB_TOPMOST);
}

Answer showMessageBox(HWND owner, const Message& message) {
  const std::wstring title = toWide(message.title);
  const std::wstring text = toWide(message.text);
  const int answer = ::MessageBoxW(owner, text.c_str(), title.c_str(), messageBoxStyle(message, owner != nullptr));
  if (message.buttons == Message::Buttons::Ok) return Answer::Ok;
  // A box that could not be shown (0) answers nothing: take the cautious No.
  return answer == IDYES ? Answer::Yes : Answer::No;
}

Answer Win32MessageBox::show(const Message& message) {
  return showMessageBox(nullptr, message);
}

}  // namespace velkorn::win32
