#pragma once

#include "schedule/message.h"

namespace velkorn::win32 {

// MessageBoxW, owned by no window: the scheduler has none.
class Win32MessageBox final : public MessageBox {
 public:
  Answer show(const Message& message) override;
};

}  // namespace velkorn::win32
