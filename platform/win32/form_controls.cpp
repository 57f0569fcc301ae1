#include "platform/win32/form_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/resource.h"
#include "platform/win32/win_text.h"
#include "schedule/kinds.h"
#include "ui/texts.h"

namespace velkorn::win32 {

namespace {

struct ControlTemplate {
  const wchar_t* windowClass;
  DWORD style, exStyle;
  TextView caption;
};

// How each control is made: its window class, styles and caption. (Its
// place is form::placeOf's, its ID controlId's.)
ControlTemplate templateOf(form::Control control) {
  using form::Control;
  constexpr DWORD child = WS_CHILD | WS_VISIBLE;
  constexpr DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;
  constexpr DWORD label = child | SS_LEFT | SS_NOPREFIX;
  switch (control) {
    // No "today" line under the month: the place holds the month alone.
    case Control::MonthView1: return {MONTHCAL_CLASSW, child | WS_TABSTOP | MCS_NOTODAY | MCS_DAYSTATE, 0, U""};
    case Control::Label1: return {L"STATIC", label, 0, texts::kFileLabel};
    case Control::Text1:
      return {L"EDIT", child | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | WS_DISABLED, WS_EX_CLIENTEDGE, U""};
    case Control::Command1: return {L"BUTTON", button, 0, texts::kBrowseButton};
    case Control::Label3: return {L"STATIC", label, 0, texts::kKindLabel};
    case Control::Combo1: return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, U""};
    case Control::Check1: return {L"BUTTON", child | WS_TABSTOP | BS_AUTOCHECKBOX, 0, texts::kEveryDayCheck};
    case Control::Label2: return {L"STATIC", label, 0, texts::kInsertHint};
    case Control::Command2: return {L"BUTTON", button, 0, texts::kAddButton};
    case Control::Text2:
      return {L"EDIT",
              child | WS_TABSTOP | WS_BORDER | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                  ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
              WS_EX_CLIENTEDGE, U""};
    case Control::Command3: return {L"BUTTON", button, 0, texts::kSaveButton};
    case Control::Command5: return {L"BUTTON", button, 0, texts::kRunButton};
    case Control::Command4: return {L"BUTTON", button, 0, texts::kExitButton};
  }
  return {L"STATIC", 0, 0, U""};
}

// Creation order is the tab order; the labels, which have no place in it,
// come last.
constexpr auto kCreationOrder = [] {
  std::array<form::Control, form::kPlaces.size()> order{};
  std::size_t made = 0;
  for (const form::Control control : form::kTabOrder) order[made++] = control;
  for (const form::Place& place : form::kPlaces) {
    if (std::ranges::find(form::kTabOrder, place.control) == form::kTabOrder.end()) order[made++] = place.control;
  }
  return order;
}();

// A drop-down list's creation height is that of its open list; the closed
// box takes its height from its item height. Open room for the three kinds,
// and size the closed box to the height the window gives it.
void fitComboToItsPlace(HWND combo, int width, int wanted) {
  SetWindowPos(combo, nullptr, 0, 0, width, wanted * 8, SWP_NOMOVE | SWP_NOZORDER);
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT now;
    GetWindowRect(combo, &now);
    const int difference = wanted - (now.bottom - now.top);
    if (difference == 0) break;
    const auto item = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item + difference);
  }
}

// Tabbing into the list must not select all of it: it keeps the caret and
// selection the user left there, where the composer inserts.
LRESULT CALLBACK keepSelectionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) {
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (message == WM_GETDLGCODE) return result & ~static_cast<LRESULT>(DLGC_HASSETSEL);
  return result;
}

// The width of `text` in `font`.
LONG textWidth(HDC dc, HFONT font, const std::wstring& text) {
  const Selection selected(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The controls' font at `points`: "Terminal" in the Shift-JIS character
// set; where it is missing, the font mapper picks the nearest fixed-pitch
// face with Japanese glyphs.
HFONT controlFont(double points, int dpi) {
  const std::wstring face = toWide(widen(form::kFontFace));
  return CreateFontW(-MulDiv(static_cast<int>(points * 10), dpi, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     FIXED_PITCH | FF_MODERN, face.c_str());
}

}  // namespace

void FormControls::create(HWND parent, HINSTANCE instance, int dpi) {
  const auto px = [dpi](int twips) { return scaled(twips, dpi); };
  font_.reset(controlFont(form::kFontPoints, dpi));
  for (const form::Control id : kCreationOrder) {
    const form::Place& place = form::placeOf(id);
    const ControlTemplate made = templateOf(id);
    const std::wstring caption = toWide(made.caption);
    HWND hwnd = CreateWindowExW(made.exStyle, made.windowClass, caption.c_str(), made.style, px(place.left),
                                px(place.top), px(place.width), px(place.height), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(id))), instance, nullptr);
    windows_[static_cast<std::size_t>(id)] = hwnd;
    if (id != form::Control::MonthView1) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }

  HWND combo = (*this)[form::Control::Combo1];
  const form::Place& comboPlace = form::placeOf(form::Control::Combo1);
  fitComboToItsPlace(combo, px(comboPlace.width), px(comboPlace.height));
  for (const ImageKind kind : form::kComboKinds) {
    const std::wstring label = toWide(texts::of(kind).label);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
  }
  fitHintToItsPlace(dpi);

  HWND list = (*this)[form::Control::Text2];
  // No 32K or 64K ceiling on the schedule.
  SendMessageW(list, EM_SETLIMITTEXT, 0, 0);
  SetWindowSubclass(list, keepSelectionProc, 0, 0);
}

// The hint is longer than its label at the window's size in a full-width
// font: a smaller size of the same face, rather than a cut-off second line.
void FormControls::fitHintToItsPlace(int dpi) {
  HWND label = (*this)[form::Control::Label2];
  const std::wstring text = toWide(texts::kInsertHint);
  RECT r;
  GetClientRect(label, &r);
  const WindowDc dc(label);
  for (double points = form::kFontPoints; points >= 8; points -= 0.5) {
    FontHandle font(controlFont(points, dpi));
    if (textWidth(dc, font.get(), text) <= r.right || points <= 8) {
      hintFont_ = std::move(font);
      break;
    }
  }
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(hintFont_.get()), TRUE);
}

}  // namespace velkorn::win32
