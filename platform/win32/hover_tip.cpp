#include "platform/win32/hover_tip.h"

#include <algorithm>

namespace velkorn::win32 {

namespace {

constexpr UINT kHoverMilliseconds = 500;  // as long as a tooltip's own wait
constexpr UINT kLeavePollMilliseconds = 100;
constexpr int kPadding = 4;  // around the picture

// The tooltip's one tool, placed wherever it is needed.
TTTOOLINFOW trackedTool(HWND owner) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = owner;
  tool.lpszText = const_cast<wchar_t*>(L"");
  return tool;
}

// The picture at its preview size; nothing when Windows cannot load it.
BitmapHandle thumbnailOf(const std::filesystem::path& file, SIZE size) {
  const BitmapHandle full(static_cast<HBITMAP>(
      LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  BITMAP info{};
  if (!full || !GetObjectW(full.get(), sizeof info, &info)) return nullptr;
  const WindowDc screen(nullptr);
  BitmapHandle small(CreateCompatibleBitmap(screen, size.cx, size.cy));
  const MemoryDc from(screen), to(screen);
  const Selection fromFull(from, full.get()), toSmall(to, small.get());
  SetStretchBltMode(to, HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);
  StretchBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  return small;
}

}  // namespace

void HoverTip::create(HWND owner, HINSTANCE instance, int maxWidth) {
  owner_ = owner;
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                         owner, nullptr, instance, nullptr);
  TTTOOLINFOW tool = trackedTool(owner_);
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  // A maximum width makes the tooltip break its text at line ends.
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, maxWidth);
}

bool HoverTip::setPicture(long subject, const std::filesystem::path& file, SIZE size) {
  picture_ = thumbnailOf(file, size);
  pictureSubject_ = picture_ ? subject : 0;
  pictureSize_ = size;
  return picture_ != nullptr;
}

void HoverTip::clearPicture() {
  picture_.reset();
  pictureSubject_ = 0;
}

// A tip about something else goes; one about what is under the mouse comes
// once the mouse rests there.
void HoverTip::onMouseMove() {
  POINT cursor{};
  GetCursorPos(&cursor);
  const long subject = subjectAt_(cursor);
  if (subject == subject_) return;
  hide();
  if (subject) SetTimer(owner_, kHoverTimer, kHoverMilliseconds, nullptr);
}

bool HoverTip::onTimer(UINT_PTR id) {
  if (id != kHoverTimer && id != kLeaveTimer) return false;
  POINT cursor{};
  GetCursorPos(&cursor);
  const long subject = subjectAt_(cursor);
  if (id == kHoverTimer) {
    KillTimer(owner_, kHoverTimer);
    if (subject) show(subject);
  } else if (subject != subject_) {
    hide();
  }
  return true;
}

void HoverTip::show(long subject) {
  subject_ = subject;
  SetTimer(owner_, kLeaveTimer, kLeavePollMilliseconds, nullptr);
  text_ = textOf_(subject);
  if (text_.empty()) return;
  for (std::size_t at = 0; (at = text_.find(L'\n', at)) != std::wstring::npos; at += 2) {
    text_.insert(at, 1, L'\r');  // the tooltip's line end
  }
  // Room above the text for the picture, as wide as it.
  RECT margin{};
  if (picture_ && subject == pictureSubject_) {
    RECT text{};
    {
      const WindowDc dc(tip_);
      const Selection font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(tip_, WM_GETFONT, 0, 0)));
      DrawTextW(dc, text_.c_str(), -1, &text, DT_CALCRECT | DT_NOPREFIX);
    }
    margin.top = pictureSize_.cy + kPadding;
    margin.right = std::max(0L, pictureSize_.cx - (text.right - text.left));
  }
  SendMessageW(tip_, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
  TTTOOLINFOW tool = trackedTool(owner_);
  tool.lpszText = text_.data();
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  POINT at{};
  GetCursorPos(&at);
  SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + 12, at.y + 20));
  SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void HoverTip::hide() {
  KillTimer(owner_, kHoverTimer);
  KillTimer(owner_, kLeaveTimer);
  subject_ = 0;
  TTTOOLINFOW tool = trackedTool(owner_);
  SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

// The picture goes above the text, in the room the top margin leaves.
LRESULT HoverTip::onCustomDraw(const NMTTCUSTOMDRAW& draw) const {
  if (!picture_ || subject_ != pictureSubject_) return CDRF_DODEFAULT;
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
  if (draw.nmcd.dwDrawStage != CDDS_POSTPAINT) return CDRF_DODEFAULT;
  const MemoryDc picture(draw.nmcd.hdc);
  const Selection selected(picture, picture_.get());
  BitBlt(draw.nmcd.hdc, draw.nmcd.rc.left + kPadding, draw.nmcd.rc.top + kPadding, pictureSize_.cx, pictureSize_.cy,
         picture, 0, 0, SRCCOPY);
  return CDRF_DODEFAULT;
}

}  // namespace velkorn::win32
