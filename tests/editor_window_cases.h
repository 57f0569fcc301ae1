#pragma once

// The editor window on either build, driven as a user would drive it: what
// only a window can get wrong (places, captions, and the wiring of each
// button, box and dialog to the editor logic; the logic itself is the
// controller tests' business). One scenario, run by the Qt tests on Form2 and
// by the Windows tests on velkorn-editor.exe.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <optional>

#include "editor/form_layout.h"
#include "ui/message.h"
#include "schedule/schedule_file.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {

// An editor window opened on "A\r\nB\r\n" in `directory` (a folder of an
// awkward name, inside `root`), beside a stand-in scheduler that adds a line
// "ran" to scheduler-ran.txt there at each start.
class EditorWindowDriver {
 public:
  explicit EditorWindowDriver(const std::filesystem::path& folder) : directory(root.path() / folder) {
    std::filesystem::create_directories(directory);
  }
  virtual ~EditorWindowDriver() = default;
  // Left, top, width and height in the client area, in pixels at 96 dpi.
  virtual std::array<int, 4> place(form::Control control) = 0;
  // A caption, the file box, the list, or the drop-down's choice.
  virtual Text text(form::Control control) = 0;
  // Presses a button or the check box; returns once it has been handled.
  virtual void click(form::Control control) = 0;
  // Presses a button (nothing: the close box) and answers the message box
  // that comes: its "title|text", or "(no box)".
  virtual std::string clickAnswering(std::optional<form::Control> control, Answer answer) = 0;
  // Presses Browse and opens `file` in the dialog as a user does.
  virtual void browse(const std::filesystem::path& file) = 0;
  virtual void putCaret(int line, int column) = 0;  // in the list, 0-based
  virtual void type(TextView text) = 0;             // into the list, at its caret
  virtual void chooseKind(int index) = 0;
  virtual void chooseDate(int year, int month, int day) = 0;
  // The control that has the focus, before and after a press of Tab (or
  // Shift+Tab); by name.
  virtual std::string focused() = 0;
  virtual std::string pressTab(bool backwards) = 0;
  virtual bool isOpen() = 0;
  // Polls `condition` until it holds, for up to 10 s.
  virtual bool eventually(const std::function<bool()>& condition) = 0;

  TempDir root;
  std::filesystem::path directory;
};

inline void expectPlacesAndCaptions(EditorWindowDriver& window) {
  for (const form::Place& p : form::kPlaces) {
    const auto [left, top, width, height] = window.place(p.control);
    // The calendar as large as its font makes it: at its place's top,
    // centred on it, clear of Label1 and Text1 (304 px) and Check1 (176 px).
    const bool centred = std::abs(2 * left + width - (2 * p.left + p.width) / 15) <= 1;
    if (p.control == form::Control::MonthView1) {
      EXPECT_TRUE(top == p.top / 15 && centred && left + width <= 304 && top + height <= 176) << left << ' ' << width;
      continue;
    }
    EXPECT_EQ((std::array{left, top, width}), (std::array{p.left / 15, p.top / 15, p.width / 15})) << p.name;
    // A closed drop-down list is as high as its font needs (Windows will not
    // make it lower), the rest exactly as placed.
    EXPECT_LE(height - p.height / 15, p.control == form::Control::Combo1 ? 4 : 0) << p.name;
    EXPECT_GE(height - p.height / 15, 0) << p.name;
  }
  using enum form::Control;
  const std::pair<form::Control, const char32_t*> captions[] = {
      {Label1, U"ファイル"}, {Command1, U"Browse"}, {Label3, U"画像"}, {Check1, U"デフォルト表示を指定します"},
      {Label2, U"挿入する行にカーソルを置いてからクリックします"}, {Command2, U"↓"}, {Command3, U"保存"},
      {Command5, U"実行"}, {Command4, U"終了"}};
  for (const auto& [control, caption] : captions) EXPECT_EQ(window.text(control), caption) << form::placeOf(control).name;
  std::vector<Text> kinds;
  for (int item = 0; item < 3; ++item) window.chooseKind(item), kinds.push_back(window.text(Combo1));
  EXPECT_EQ(kinds, (std::vector<Text>{U"郵便屋さん", U"書くの？", U"読む？"}));
}

// Tab goes through every control in order and on, and Shift+Tab back; the
// focus starts on the kind drop-down. (Text1 is disabled.)
inline void expectTabOrder(EditorWindowDriver& window) {
  const std::vector<std::string> expected{"Combo1",   "Command1", "Text2",      "Command2", "Command3",
                                          "Command4", "Check1",   "MonthView1", "Command5"};
  std::vector<std::string> forward{window.focused()};
  while (forward.size() < expected.size()) forward.push_back(window.pressTab(false));
  std::vector<std::string> backward{forward.back()};
  while (backward.size() < expected.size()) backward.insert(backward.begin(), window.pressTab(true));
  EXPECT_EQ(forward, expected);
  EXPECT_EQ(backward, expected);
}

inline void expectEveryControlReachesTheEditorLogic(EditorWindowDriver& window) {
  using form::Control;
  const auto file = [&](const char* name) { return readBytes(window.directory / name); };
  window.click(Control::Command5);  // a clean list runs at once
  EXPECT_TRUE(window.eventually([&] { return file("scheduler-ran.txt") == "ran\r\n"; })) << "the scheduler did not start";
  EXPECT_EQ(window.clickAnswering(Control::Command2, Answer::Ok), "ファイル名エラー|ファイルが指定されていません");
  // Tab into the list keeps the caret left there: a Windows edit would select
  // all of itself, for the next key or ↓ to replace.
  window.putCaret(1, 0);
  for (int press = 0; press < 9 && window.focused() != "Command1"; ++press) window.pressTab(false);
  EXPECT_EQ(window.pressTab(false), "Text2");
  window.type(U"x");
  EXPECT_EQ(window.clickAnswering(Control::Command3, Answer::Yes), "保存|保存しますが、よろしいですか？");
  // The Win32 editor saves once its box has closed, in its own process.
  EXPECT_TRUE(window.eventually([&] { return file("velkorn.txt") == "A\r\nxB\r\n\r\n"; })) << file("velkorn.txt");

  // Composing: the file from the dialog, a kind and a date, then every day;
  // inserted at the caret left in the list.
  const std::filesystem::path bitmap = window.root.write(u8"郵便 屋.bmp", "BM");
  const Text path = displayPath(bitmap);
  window.browse(bitmap);
  EXPECT_EQ(window.text(Control::Text1), path);
  window.chooseKind(1);
  window.chooseDate(2026, 3, 3);
  window.putCaret(1, 0);
  window.click(Control::Command2);
  EXPECT_EQ(window.text(Control::Text1), U"");
  window.browse(bitmap);
  window.click(Control::Check1);
  window.click(Control::Command2);
  EXPECT_EQ(window.text(Control::Text2), U"A\r\n03/03 W " + path + U"\r\n00/00 W " + path + U"\r\nxB\r\n");

  const std::string exitQuestion = "終了|保存しないで終了しますが、よろしいですか？";
  EXPECT_EQ(window.clickAnswering(std::nullopt, Answer::No), exitQuestion);
  EXPECT_EQ(window.clickAnswering(Control::Command4, Answer::No), exitQuestion);
  EXPECT_TRUE(window.isOpen());
  EXPECT_EQ(window.clickAnswering(Control::Command5, Answer::Yes), "終了|実行前には保存する必要があります。保存しますか？");
  EXPECT_TRUE(window.eventually([&] { return file("scheduler-ran.txt") == "ran\r\nran\r\n"; })) << "no second start";
  EXPECT_EQ(file("velkorn.txt").substr(0, 11), "A\r\n03/03 W ");
  window.click(Control::Command4);  // saved by Run: ends without a question
  EXPECT_FALSE(window.isOpen());
}

}  // namespace velkorn::testing
