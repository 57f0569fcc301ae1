#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "schedule/kinds.h"

// The editor window's controls, where they sit, and the order Tab visits
// them: one table for every window that draws the editor.
namespace velkorn::form {

enum class Control {
  MonthView1, Label1, Text1, Command1, Label3, Combo1, Check1,
  Label2, Command2, Text2, Command3, Command5, Command4,
};

// Twips: 1/1440 inch, so 15 to a pixel at 96 dots per inch.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidth = 10200;
inline constexpr int kClientHeight = 7650;

struct Place {
  Control control;
  std::string_view name;
  int left, top, width, height;  // twips, within the client area
};

inline constexpr std::array<Place, 13> kPlaces{{
    {Control::MonthView1, "MonthView1", 1200, 120, 2385, 2220},
    {Control::Label1, "Label1", 4560, 480, 1095, 375},
    {Control::Text1, "Text1", 4560, 960, 3735, 405},
    {Control::Command1, "Command1", 8520, 960, 1215, 375},
    {Control::Label3, "Label3", 4800, 1560, 615, 375},
    {Control::Combo1, "Combo1", 5400, 1560, 3855, 390},
    {Control::Check1, "Check1", 600, 2640, 3855, 375},
    {Control::Label2, "Label2", 840, 3240, 5655, 375},
    {Control::Command2, "Command2", 6480, 3240, 2415, 375},
    {Control::Text2, "Text2", 240, 3720, 9615, 3135},
    {Control::Command3, "Command3", 1560, 7080, 1815, 375},
    {Control::Command5, "Command5", 3960, 7080, 1815, 375},
    {Control::Command4, "Command4", 6360, 7080, 1815, 375},
}};

// kPlaces is in Control order, so a control's place is found by its value.
static_assert([] {
  for (std::size_t i = 0; i < kPlaces.size(); ++i) {
    if (static_cast<std::size_t>(kPlaces[i].control) != i) return false;
  }
  return true;
}());
inline constexpr const Place& placeOf(Control control) { return kPlaces[static_cast<std::size_t>(control)]; }

// Combo1 first, so it has the focus when the window opens; the disabled Text1
// is skipped while it stays disabled.
inline constexpr std::array<Control, 10> kTabOrder{
    Control::Combo1,   Control::Command1, Control::Text1,  Control::Text2,      Control::Command2,
    Control::Command3, Control::Command4, Control::Check1, Control::MonthView1, Control::Command5,
};

// Combo1's items from the top: the window's own order, not the kinds' table's.
inline constexpr std::array<ImageKind, kKindCount> kComboKinds{ImageKind::Figure, ImageKind::WriteButton,
                                                               ImageKind::ReadButton};

// The control font: fixed pitch, Shift-JIS character set, normal weight.
inline constexpr std::string_view kFontFace = "Terminal";
inline constexpr double kFontPoints = 13.5;

}  // namespace velkorn::form
