#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/win32/gdi.h"

namespace velkorn::win32 {

// A window's one tooltip, its own and tracked, for what gets no mouse
// messages (a disabled box) or is no window (a day of a calendar): it comes
// once the mouse rests on a subject and goes when the mouse leaves it. One
// subject's tip may show a picture above its text.
class HoverTip {
 public:
  // What lies under a point of the screen (0: nothing with a tip), and the
  // text of its tip, lines separated by "\n" (empty: no tip after all).
  using SubjectAt = std::function<long(POINT screen)>;
  using TextOf = std::function<std::wstring(long subject)>;
  // The owner's timers that the tip runs; the owner's own have other IDs.
  static constexpr UINT_PTR kHoverTimer = 101, kLeaveTimer = 102;

  HoverTip(SubjectAt subjectAt, TextOf textOf) : subjectAt_(std::move(subjectAt)), textOf_(std::move(textOf)) {}

  // The tooltip window, `owner`'s; its lines break at `maxWidth` pixels.
  void create(HWND owner, HINSTANCE instance, int maxWidth);
  // From now on, `file`'s picture, scaled to `size`, above `subject`'s text;
  // false, and no picture, when Windows cannot load it.
  bool setPicture(long subject, const std::filesystem::path& file, SIZE size);
  void clearPicture();
  void hide();

  // The owner's messages: the mouse moved (WM_SETCURSOR); a timer went off
  // (WM_TIMER; false for one that is not the tip's); the tooltip is drawn
  // (NM_CUSTOMDRAW from window()).
  void onMouseMove();
  bool onTimer(UINT_PTR id);
  LRESULT onCustomDraw(const NMTTCUSTOMDRAW& draw) const;
  HWND window() const { return tip_; }

 private:
  void show(long subject);

  SubjectAt subjectAt_;
  TextOf textOf_;
  HWND owner_ = nullptr;
  HWND tip_ = nullptr;
  std::wstring text_;  // the tooltip reads it where it is
  long subject_ = 0;   // what the tip is about; 0: none
  long pictureSubject_ = 0;
  BitmapHandle picture_;
  SIZE pictureSize_{};
};

}  // namespace velkorn::win32
