#include "platform/win32/calendar_fit.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "editor/form_layout.h"
#include "platform/win32/form_controls.h"

namespace velkorn::win32 {

namespace {

bool monthFits(HWND calendar, SIZE room) {
  RECT wanted{};
  return SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&wanted)) &&
         wanted.right <= room.cx && wanted.bottom <= room.cy;
}

}  // namespace

RECT calendarPlace(int dpi, SIZE wanted) {
  using form::Control, form::placeOf;
  const form::Place& place = placeOf(Control::MonthView1);
  const int top = scaled(place.top, dpi);
  // Twice the place's centre: a whole number of pixels.
  const int centre2 = 2 * scaled(place.left, dpi) + scaled(place.width, dpi);
  const int right = std::min(scaled(placeOf(Control::Label1).left, dpi), scaled(placeOf(Control::Text1).left, dpi));
  const int width = std::min<int>({wanted.cx, centre2, 2 * right - centre2});
  const int height = std::min<int>(wanted.cy, scaled(placeOf(Control::Check1).top, dpi) - top);
  const int left = (centre2 - width) / 2;
  return {left, top, left + width, top + height};
}

FontHandle fitCalendarFont(HWND calendar, SIZE room) {
  FontHandle font;
  if (monthFits(calendar, room)) return font;
  // A control that answers WM_GETFONT with nothing draws in the system font.
  const auto own = reinterpret_cast<HFONT>(SendMessageW(calendar, WM_GETFONT, 0, 0));
  LOGFONTW face{};
  GetObjectW(own ? own : GetStockObject(SYSTEM_FONT), sizeof face, &face);
  // A raster face may have no smaller size (Wine's system font has one):
  // then the face Windows gives its message boxes.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const std::wstring faces[] = {face.lfFaceName, metrics.lfMessageFont.lfFaceName};
  const LONG largest = std::abs(face.lfHeight);
  const LONG sign = face.lfHeight < 0 ? -1 : 1;
  face.lfWidth = 0;  // the face's own proportions at every height
  constexpr LONG kSmallest = 8;  // pixels; below that no day can be read
  for (const std::wstring& name : faces) {
    name.copy(face.lfFaceName, LF_FACESIZE - 1);
    face.lfFaceName[std::min<std::size_t>(name.size(), LF_FACESIZE - 1)] = L'\0';
    for (LONG height = largest - 1; height >= kSmallest; --height) {
      face.lfHeight = sign * height;
      FontHandle smaller(CreateFontIndirectW(&face));
      SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(smaller.get()), TRUE);
      font = std::move(smaller);  // the size before goes once the calendar has let go of it
      if (monthFits(calendar, room)) return font;
    }
  }
  return font;  // the smallest: then the calendar is cut short, never its neighbours
}

void fitCalendarToItsPlace(HWND calendar, int dpi, HFONT own, FontHandle& fitted) {
  if (fitted) SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
  const RECT room = calendarPlace(dpi, {INT_MAX, INT_MAX});
  fitted = fitCalendarFont(calendar, {room.right - room.left, room.bottom - room.top});
  RECT wanted{};
  SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&wanted));
  const RECT at = calendarPlace(dpi, {wanted.right, wanted.bottom});
  SetWindowPos(calendar, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace velkorn::win32
