#include "editor/editor_controller.h"

#include <gtest/gtest.h>

#include <deque>

#include "tests/fakes.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {
namespace {

// A window of plain fields that records the messages it shows, as
// "title|icon|text", and plays back scripted answers. Like a real text
// widget, every change of the list reports itself to the controller.
struct FakeView final : EditorView {
  Text listText() const override { return list; }
  void setListText(TextView text) override { list = Text(text), caret = end = 0, controller->handleListChanged(); }
  void insertAtCaret(TextView text) override {
    list.replace(caret, end - caret, text);
    caret = end = caret + text.size();
    controller->handleListChanged();
  }
  Date calendarDate() const override { return calendar; }
  void setCalendarDate(const Date& date) override { calendar = date; }
  Text kindText() const override { return kind; }
  bool everyDayChecked() const override { return everyDay; }
  Text fileBoxText() const override { return fileBox; }
  void setFileBoxText(TextView text) override { fileBox = Text(text); }
  Answer showMessage(const Message& m) override {
    shown.push_back(toUtf8(m.title) + "|" + "i!x"[static_cast<int>(m.icon)] + "|" + toUtf8(m.text));
    if (m.buttons == Message::Buttons::Ok) return Answer::Ok;
    EXPECT_FALSE(answers.empty()) << "unexpected question: " << shown.back();
    const Answer next = answers.empty() ? Answer::No : answers.front();
    if (!answers.empty()) answers.pop_front();
    return next;
  }
  std::optional<Text> pickFile(TextView description, TextView pattern) override {
    filter = Text(description) + U"|" + Text(pattern);
    return picked;
  }
  bool startScheduler() override { return ++schedulerStarts <= allowedStarts; }
  void endProgram() override { ++ends; }

  EditorController* controller = nullptr;
  Text list, kind, fileBox, filter;
  std::size_t caret = 0, end = 0;  // the selection
  Date calendar;
  bool everyDay = false;
  std::vector<std::string> shown;
  std::deque<Answer> answers;
  std::optional<Text> picked;
  int schedulerStarts = 0, allowedStarts = 1000, ends = 0;
};

// Writes the whole file, as the real writers do, or fails on request.
struct FileWriter final : ScheduleWriter {
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override {
    if (!fail) std::ofstream(file, std::ios::binary) << bytes;
    return ++calls, !fail;
  }
  bool fail = false;
  int calls = 0;
};

const std::string kSaveQuestion = "保存|i|保存しますが、よろしいですか？";
const std::string kExitQuestion = "終了|i|保存しないで終了しますが、よろしいですか？";
const std::string kRunQuestion = "終了|i|実行前には保存する必要があります。保存しますか？";

class Editor : public ::testing::Test {
 protected:
  void SetUp() override { view.controller = &controller; }
  void open(const std::string& bytes) {
    dir.write("velkorn.txt", bytes);
    ASSERT_TRUE(controller.load({2026, 12, 6}));
  }
  // The user types at a caret or over a selection, with answers ready for
  // the questions to come.
  void type(std::size_t at, TextView text, std::deque<Answer> answers = {}) {
    view.caret = view.end = at;
    view.insertAtCaret(text);
    view.answers = std::move(answers);
  }
  std::string onDisk() const { return readBytes(dir.path() / "velkorn.txt"); }

  TempDir dir;
  FakeCodePage codePage;
  Codec codec{codePage};
  FakeView view;
  FileWriter writer;
  EditorController controller{view, codec, writer, dir.path() / "velkorn.txt"};
};

TEST_F(Editor, LoadsEveryLineWithCrLfCleanWithTheCalendarOnTodayOrFailsTheStart) {
  open("A\r\n\xFF\x95\x5C\r\nB");
  EXPECT_EQ(view.list, (Text{U'A', U'\r', U'\n', escapeOf(0xFF), U'表', U'\r', U'\n', U'B', U'\r', U'\n'}));
  EXPECT_FALSE(controller.hasUnsavedChanges());
  EXPECT_EQ(view.calendar.day, 6);
  open("");
  EXPECT_EQ(view.list, U"");
  std::filesystem::remove(dir.path() / "velkorn.txt");
  EXPECT_FALSE(controller.load({2026, 12, 6}));
  std::filesystem::create_directory(dir.path() / "velkorn.txt");
  EXPECT_FALSE(controller.load({2026, 12, 6}));
  EXPECT_EQ(view.shown, std::vector<std::string>(2, "起動エラー|x|設定ファイルが見つかりません。"));
}

TEST_F(Editor, SaveExitCloseAndRunAskAboutChangesAndOnlyAYesSaves) {
  open("A\r\n\xFF\r\n");
  EXPECT_TRUE(controller.handleCloseRequest());  // clean: no question
  controller.handleRun();                        // clean: the scheduler starts at once
  type(0, U"x", {Answer::No, Answer::No, Answer::No, Answer::No});
  controller.handleSave();
  controller.handleExit();
  EXPECT_FALSE(controller.handleCloseRequest());
  controller.handleRun();
  EXPECT_EQ(view.shown, (std::vector{kSaveQuestion, kExitQuestion, kExitQuestion, kRunQuestion}));
  EXPECT_EQ(view.ends, 0);
  EXPECT_EQ(view.schedulerStarts, 1);
  EXPECT_EQ(writer.calls, 0);
  EXPECT_TRUE(controller.hasUnsavedChanges());

  view.answers = {Answer::Yes};
  controller.handleSave();
  EXPECT_EQ(onDisk(), "xA\r\n\xFF\r\n\r\n");  // the list, then one more CR LF
  EXPECT_FALSE(controller.hasUnsavedChanges());
  type(0, U"y", {Answer::Yes});
  controller.handleRun();  // saves without a second question, then starts
  EXPECT_EQ(onDisk(), "yxA\r\n\xFF\r\n\r\n");
  EXPECT_EQ(view.schedulerStarts, 2);
  type(0, U"z", {Answer::Yes});
  controller.handleExit();
  EXPECT_EQ(view.ends, 1);
  EXPECT_EQ(onDisk(), "yxA\r\n\xFF\r\n\r\n");
  EXPECT_TRUE(controller.handleCloseRequest());  // the ending program's own close asks nothing
  EXPECT_EQ(view.shown.size(), 7u);
}

TEST_F(Editor, AFailedSaveIsReportedKeepsTheChangesAndRunsNothing) {
  open("A\r\nB\r\n");
  type(3, U"é", {Answer::Yes, Answer::Yes});  // Shift-JIS has no é
  controller.handleSave();
  controller.handleRun();
  EXPECT_EQ(view.shown.back().substr(0, 21), "保存|!|2 行目に ");
  EXPECT_EQ(writer.calls, 0);
  view.list = U"A\r\n";
  writer.fail = true;
  view.answers = {Answer::Yes};
  controller.handleRun();
  EXPECT_EQ(view.shown.back(), "保存|x|設定ファイルを保存できませんでした。");
  EXPECT_EQ(view.schedulerStarts, 0);
  EXPECT_TRUE(controller.hasUnsavedChanges());
  writer.fail = false;
  view.allowedStarts = 0;
  view.answers = {Answer::Yes};
  controller.handleRun();
  EXPECT_EQ(view.shown.back(), "実行|x|velkorn を起動できませんでした。");
}

TEST_F(Editor, BrowseFillsTheFileBoxAndCancelOrABadNameKeepsIt) {
  open("");
  view.picked = U"C:\\a.bmp";
  controller.handleBrowse();
  EXPECT_EQ(view.filter, U"BMPファイル(*.bmp)|*.bmp");
  for (const auto& picked : {std::optional<Text>(), std::optional<Text>(U""), std::optional<Text>(U"a\nb.bmp")}) {
    view.picked = picked;
    controller.handleBrowse();
    EXPECT_EQ(view.fileBox, U"C:\\a.bmp");
  }
  EXPECT_EQ(view.shown, std::vector<std::string>{"ファイル名エラー|!|改行を含むファイル名は指定できません。"});
}

TEST_F(Editor, AddInsertsTheLineOfTheKindTheDateAndTheFileAtTheCaret) {
  const std::tuple<const char32_t*, bool, const char32_t*> cases[] = {
      {U"読む？", false, U"10/31 R C:\\a.bmp\r\n"}, {U"読む？", true, U"00/00 R C:\\a.bmp\r\n"},
      {U"書くの？", false, U"10/31 W C:\\a.bmp\r\n"}, {U"郵便屋さん", false, U"10/31 P C:\\a.bmp\r\n"}};
  for (const auto& [label, everyDay, line] : cases) {
    open("");
    view.calendar = {2026, 10, 31};
    view.kind = label, view.everyDay = everyDay, view.fileBox = U"C:\\a.bmp";
    controller.handleAdd();
    EXPECT_EQ(view.list, line) << toUtf8(label);
    EXPECT_EQ(view.fileBox, U"");
    EXPECT_TRUE(controller.hasUnsavedChanges());
  }
  open("first\r\nsecond\r\n");
  const auto add = [&](std::size_t from, std::size_t to, const char32_t* bitmap) {
    view.caret = from, view.end = to, view.fileBox = bitmap;
    controller.handleAdd();
  };
  add(7, 7, U"a");  // the start of the second line; the next add follows it
  add(view.caret, view.caret, U"b");
  EXPECT_EQ(view.list, U"first\r\n12/06 P a\r\n12/06 P b\r\nsecond\r\n");
  add(2, 2, U"c");  // mid-line: the line is split in two
  EXPECT_EQ(view.list.substr(0, 18), U"fi12/06 P c\r\nrst\r\n");
  add(0, view.list.find(U"second"), U"d");  // a selection is replaced
  EXPECT_EQ(view.list, U"12/06 P d\r\nsecond\r\n");
}

TEST_F(Editor, AddWithoutAFileShowsTheMessageAndWithoutAKindDoesNothing) {
  open("A\r\n");
  view.kind = U"郵便屋さん";
  controller.handleAdd();
  view.kind = U"読む?", view.fileBox = U"a.bmp";  // not a label of the drop-down
  controller.handleAdd();
  EXPECT_EQ(view.shown, std::vector<std::string>{"ファイル名エラー|!|ファイルが指定されていません"});
  EXPECT_EQ(view.list, U"A\r\n");
  EXPECT_EQ(view.fileBox, U"a.bmp");
  EXPECT_FALSE(controller.hasUnsavedChanges());
}

}  // namespace
}  // namespace velkorn::testing
