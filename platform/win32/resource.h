#pragma once

// Resources of the programs, and the IDs of the editor's controls.
#define IDI_SMILEY 1

#ifndef RC_INVOKED
#include <windows.h>

#include "editor/form_layout.h"

namespace velkorn::win32 {

// A control's ID is its form::Control from 1001 on, so an ID tells its
// control.
inline constexpr int kFirstControlId = 1001;
constexpr int controlId(form::Control control) {
  return kFirstControlId + static_cast<int>(control);
}
// Clear of the dialog commands (IDOK to IDHELP) that IsDialogMessage sends
// for Return and Esc, and within WM_COMMAND's 16 bits.
static_assert(controlId(form::Control::MonthView1) > IDHELP && controlId(form::Control::Command4) < 0xFFFF);

}  // namespace velkorn::win32
#endif
