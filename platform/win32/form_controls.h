#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

#include "editor/form_layout.h"
#include "platform/win32/gdi.h"

namespace velkorn::win32 {

// Twips to pixels at `dpi`.
inline int scaled(int twips, int dpi) {
  return MulDiv(twips, dpi, form::kTwipsPerInch);
}

// The editor window's controls, made at their places at `dpi`, with their
// IDs (controlId) and captions, in tab order and the window's font: the
// drop-down filled with the kinds and as high as its place, the hint in the
// largest size of that font that fits its label, the list with no length
// limit and keeping its caret when Tab comes into it. The calendar keeps its
// own font (calendar_fit.h fits it).
class FormControls {
 public:
  void create(HWND parent, HINSTANCE instance, int dpi);
  HWND operator[](form::Control control) const { return windows_[static_cast<std::size_t>(control)]; }

 private:
  void fitHintToItsPlace(int dpi);

  std::array<HWND, form::kPlaces.size()> windows_{};
  FontHandle font_, hintFont_;  // kept while the controls use them
};

}  // namespace velkorn::win32
