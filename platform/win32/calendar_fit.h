#pragma once

#include <windows.h>

#include "platform/win32/gdi.h"

// The month calendar in the editor's window: as large as it asks to be, in
// its own font where that fits its room.
namespace velkorn::win32 {

// Where the month calendar goes at `dpi`, in client pixels, when it asks for
// `wanted` (MCM_GETMINREQRECT): its top at its place's top, centred on its
// place, and no larger than the room from there down to Check1 and across to
// Label1 and Text1 on its right.
RECT calendarPlace(int dpi, SIZE wanted);

// The calendar keeps its own font where a month in it fits `room`. Where it
// does not (a large system font), it gets the largest size of the same face
// that fits, returned here to be kept while the calendar uses it.
FontHandle fitCalendarFont(HWND calendar, SIZE room);

// Puts the calendar where calendarPlace says, from its own font `own` as the
// system now gives it (a fit made for a larger system font is undone);
// `fitted` keeps the font it is given instead, if any.
void fitCalendarToItsPlace(HWND calendar, int dpi, HFONT own, FontHandle& fitted);

}  // namespace velkorn::win32
