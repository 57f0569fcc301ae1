#pragma once

#include <windows.h>

#include "schedule/message.h"

namespace velkorn::win32 {

// A modal MessageBoxW for the message, owned by `owner` (none: on top of
// whatever is active).
Answer showMessageBox(HWND owner, const Message& message);

// MessageBoxW, owned by no window: the scheduler has none.
class Win32MessageBox final : public MessageBox {
 public:
  Answer show(const Message& message) override;
};

}  // namespace velkorn::win32
