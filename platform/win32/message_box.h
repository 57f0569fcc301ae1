#pragma once

#include <windows.h>

#include "ui/message.h"

namespace velkorn::win32 {

// The MessageBoxW style of the message: its buttons and icon, and, for a box
// owned by no window, in front of every other window.
UINT messageBoxStyle(const Message& message, bool owned);

// A modal MessageBoxW for the message, owned by `owner` (none: on top of
// whatever is active).
Answer showMessageBox(HWND owner, const Message& message);

// MessageBoxW, owned by no window: the scheduler has none.
class Win32MessageBox final : public MessagePresenter {
 public:
  Answer show(const Message& message) override;
};

}  // namespace velkorn::win32
