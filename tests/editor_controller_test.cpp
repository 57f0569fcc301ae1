#include "editor/editor_controller.h"

#include <gtest/gtest.h>

#include <deque>

#include "schedule/codec.h"
#include "tests/fakes.h"
#include "tests/temp_dir.h"

namespace velkorn {
namespace {

using testing::FakeCodePage;
using testing::TempDir;

// A window made of plain fields. Like a real text widget, every change of the
// list reports itself to the controller.
class FakeView final : public EditorView {
 public:
  Text listText() const override { return list; }
  void setListText(TextView text) override {
    list = Text(text);
    caret = selectionEnd = 0;
    changed();
  }
  void insertAtCaret(TextView text) override {
    list.replace(caret, selectionEnd - caret, text);
    caret = selectionEnd = caret + text.size();
    changed();
  }
  Date calendarDate() const override { return calendar; }
  void setCalendarDate(const Date& date) override { calendar = date; }
  Text kindText() const override { return kind; }
  bool everyDayChecked() const override { return everyDay; }
  Text fileBoxText() const override { return fileBox; }
  void setFileBoxText(TextView text) override { fileBox = Text(text); }
  Answer showMessage(const Message& message) override {
    shown.push_back(message);
    if (message.buttons == Message::Buttons::Ok) return Answer::Ok;
    EXPECT_FALSE(answers.empty()) << "unexpected question";
    if (answers.empty()) return Answer::No;
    const Answer next = answers.front();
    answers.pop_front();
    return next;
  }
  std::optional<Text> pickFile(TextView description, TextView pattern) override {
    filter = Text(description) + U"|" + Text(pattern);
    return picked;
  }
  bool startScheduler() override {
    ++schedulerStarts;
    return schedulerStarts <= allowedStarts;
  }
  void endProgram() override { ++ends; }

  // The user types at the caret, as a key press would.
  void type(TextView text) { insertAtCaret(text); }
  void select(std::size_t from, std::size_t to) { caret = from, selectionEnd = to; }
  Text lastText() const { return shown.empty() ? Text() : shown.back().text; }

  EditorController* controller = nullptr;
  Text list;
  std::size_t caret = 0;
  std::size_t selectionEnd = 0;
  Date calendar;
  Text kind;
  bool everyDay = false;
  Text fileBox;
  std::vector<Message> shown;
  std::deque<Answer> answers;
  std::optional<Text> picked;
  Text filter;
  int schedulerStarts = 0;
  int allowedStarts = 1000;
  int ends = 0;

 private:
  void changed() {
    if (controller) controller->handleListChanged();
  }
};

// Writes like the real writers do (whole file), or fails on request.
class FileWriter final : public ScheduleWriter {
 public:
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override {
    ++calls;
    if (fail) return false;
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return true;
  }
  bool fail = false;
  int calls = 0;
};

class Editor : public ::testing::Test {
 protected:
  void open(const std::string& bytes) {
    file = dir.write("velkorn.txt", bytes);
    ASSERT_TRUE(controller.load(kToday));
  }
  std::string onDisk() const { return testing::readBytes(file); }

  static constexpr Date kToday{2026, 12, 6};
  TempDir dir;
  std::filesystem::path file = dir.path() / "velkorn.txt";
  FakeCodePage codePage;
  Codec codec{codePage};
  FakeView view;
  FileWriter writer;
  EditorController controller{view, codec, writer, file};

  void SetUp() override { view.controller = &controller; }
};

TEST_F(Editor, LoadsEveryLineWithCrLfCleanAndCalendarOnToday) {
  open("A\r\nB");
  EXPECT_EQ(view.list, U"A\r\nB\r\n");
  EXPECT_FALSE(controller.hasUnsavedChanges());
  EXPECT_EQ(view.caret, 0u);
  EXPECT_EQ(view.calendar.month, 12);
  EXPECT_EQ(view.calendar.day, 6);
  controller.handleExit();
  EXPECT_EQ(view.ends, 1);
  EXPECT_TRUE(view.shown.empty());
}

TEST_F(Editor, EmptyFileLoadsAsEmptyCleanList) {
  open("");
  EXPECT_EQ(view.list, U"");
  EXPECT_FALSE(controller.hasUnsavedChanges());
}

TEST_F(Editor, MissingOrUnreadableFileFailsTheStartWithTheMessage) {
  EXPECT_FALSE(controller.load(kToday));
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].title, U"起動エラー");
  EXPECT_EQ(view.shown[0].text, U"設定ファイルが見つかりません。");
  EXPECT_EQ(view.shown[0].icon, Message::Icon::Critical);

  std::filesystem::create_directory(file);
  view.shown.clear();
  EXPECT_FALSE(controller.load(kToday));
  EXPECT_EQ(view.shown.size(), 1u);
}

TEST_F(Editor, SaveWritesTheListAndOneMoreCrLfEachTime) {
  open("A\r\nB\r\n");
  view.answers = {Answer::Yes};
  controller.handleSave();
  EXPECT_EQ(view.shown.back().title, U"保存");
  EXPECT_EQ(view.shown.back().text, U"保存しますが、よろしいですか？");
  EXPECT_EQ(view.shown.back().buttons, Message::Buttons::YesNo);
  EXPECT_EQ(onDisk(), "A\r\nB\r\n\r\n");

  // A second load-and-save cycle grows the file by one more empty line.
  ASSERT_TRUE(controller.load(kToday));
  view.answers = {Answer::Yes};
  controller.handleSave();
  EXPECT_EQ(onDisk(), "A\r\nB\r\n\r\n\r\n");
}

TEST_F(Editor, EditsMakeTheListDirtyUntilASaveAnsweredYes) {
  open("A\r\n");
  view.type(U"x");
  EXPECT_TRUE(controller.hasUnsavedChanges());

  view.answers = {Answer::No};
  controller.handleSave();
  EXPECT_TRUE(controller.hasUnsavedChanges());
  EXPECT_EQ(onDisk(), "A\r\n");

  view.answers = {Answer::No};
  controller.handleExit();
  EXPECT_EQ(view.shown.back().title, U"終了");
  EXPECT_EQ(view.shown.back().text, U"保存しないで終了しますが、よろしいですか？");
  EXPECT_EQ(view.ends, 0);

  view.answers = {Answer::Yes};
  controller.handleSave();
  EXPECT_FALSE(controller.hasUnsavedChanges());
  EXPECT_EQ(onDisk(), "xA\r\n\r\n");
}

TEST_F(Editor, ExitWithChangesAsksAndYesEndsWithoutWriting) {
  open("A\r\n");
  view.type(U"x");
  view.answers = {Answer::Yes};
  controller.handleExit();
  EXPECT_EQ(view.ends, 1);
  EXPECT_EQ(onDisk(), "A\r\n");
  // The ending program's own close must not ask again.
  EXPECT_TRUE(controller.handleCloseRequest());
  EXPECT_EQ(view.shown.size(), 1u);
}

TEST_F(Editor, CloseRequestFollowsTheSameRule) {
  open("A\r\n");
  EXPECT_TRUE(controller.handleCloseRequest());
  EXPECT_TRUE(view.shown.empty());

  view.type(U"x");
  view.answers = {Answer::No};
  EXPECT_FALSE(controller.handleCloseRequest());
  EXPECT_EQ(view.list, U"xA\r\n");
  view.answers = {Answer::Yes};
  EXPECT_TRUE(controller.handleCloseRequest());
  EXPECT_EQ(onDisk(), "A\r\n");
}

TEST_F(Editor, RunSavesFirstWhenDirtyAndStartsTheScheduler) {
  open("A\r\n");
  view.type(U"x");
  view.answers = {Answer::No};
  controller.handleRun();
  EXPECT_EQ(view.shown.back().title, U"終了");
  EXPECT_EQ(view.shown.back().text, U"実行前には保存する必要があります。保存しますか？");
  EXPECT_EQ(view.schedulerStarts, 0);
  EXPECT_EQ(onDisk(), "A\r\n");

  view.answers = {Answer::Yes};
  controller.handleRun();
  EXPECT_EQ(onDisk(), "xA\r\n\r\n");
  EXPECT_EQ(view.schedulerStarts, 1);
  EXPECT_EQ(view.shown.size(), 2u);  // no second question for the save

  controller.handleExit();
  EXPECT_EQ(view.ends, 1);
  EXPECT_EQ(view.shown.size(), 2u);
}

TEST_F(Editor, RunOnACleanListStartsAtOnceWithoutSaving) {
  open("A\r\n");
  controller.handleRun();
  EXPECT_EQ(view.schedulerStarts, 1);
  EXPECT_TRUE(view.shown.empty());
  EXPECT_EQ(writer.calls, 0);
}

TEST_F(Editor, FailedSaveKeepsTheChangesAndDoesNotRun) {
  open("A\r\n");
  view.type(U"x");
  writer.fail = true;
  view.answers = {Answer::Yes};
  controller.handleSave();
  EXPECT_EQ(view.shown.back().title, U"保存");
  EXPECT_EQ(view.shown.back().text, U"設定ファイルを保存できませんでした。");
  EXPECT_EQ(view.shown.back().icon, Message::Icon::Critical);
  EXPECT_TRUE(controller.hasUnsavedChanges());

  view.answers = {Answer::Yes};
  controller.handleRun();
  EXPECT_EQ(view.schedulerStarts, 0);
  EXPECT_TRUE(controller.hasUnsavedChanges());
}

TEST_F(Editor, UnencodableCharacterRefusesTheSaveAndNamesItsLine) {
  open("A\r\nB\r\n");
  view.select(3, 3);
  view.type(U"é");
  view.answers = {Answer::Yes};
  controller.handleSave();
  EXPECT_EQ(view.shown.back().icon, Message::Icon::Exclamation);
  EXPECT_EQ(view.lastText().substr(0, 6), U"2 行目に ");
  EXPECT_EQ(writer.calls, 0);
  EXPECT_TRUE(controller.hasUnsavedChanges());
}

TEST_F(Editor, UndecodableBytesSurviveALoadSaveCycle) {
  open("00/00 P \xFF\x81\x95\x5C.bmp\r\n\x80\r\n");
  view.answers = {Answer::Yes};
  controller.handleSave();
  EXPECT_EQ(onDisk(), "00/00 P \xFF\x81\x95\x5C.bmp\r\n\x80\r\n\r\n");
}

TEST_F(Editor, SchedulerThatCannotStartIsReported) {
  open("A\r\n");
  view.allowedStarts = 0;
  controller.handleRun();
  EXPECT_EQ(view.shown.back().title, U"実行");
  EXPECT_EQ(view.shown.back().text, U"velkorn を起動できませんでした。");
  EXPECT_EQ(view.shown.back().icon, Message::Icon::Critical);
}

// --- Composing entries ---

TEST_F(Editor, BrowseFillsTheFileBoxAndCancelKeepsIt) {
  open("");
  view.picked = U"C:\\a.bmp";
  controller.handleBrowse();
  EXPECT_EQ(view.filter, U"BMPファイル(*.bmp)|*.bmp");
  EXPECT_EQ(view.fileBox, U"C:\\a.bmp");
  view.picked.reset();
  controller.handleBrowse();
  EXPECT_EQ(view.fileBox, U"C:\\a.bmp");
  view.picked = U"";
  controller.handleBrowse();
  EXPECT_EQ(view.fileBox, U"C:\\a.bmp");
}

TEST_F(Editor, BrowseRefusesANameWithALineBreak) {
  open("");
  view.fileBox = U"kept.bmp";
  view.picked = U"/tmp/two\nlines.bmp";
  controller.handleBrowse();
  EXPECT_EQ(view.fileBox, U"kept.bmp");
  EXPECT_EQ(view.shown.back().title, U"ファイル名エラー");
  EXPECT_EQ(view.shown.back().text, U"改行を含むファイル名は指定できません。");
  EXPECT_EQ(view.shown.back().icon, Message::Icon::Exclamation);
}

TEST_F(Editor, AddComposesTheLineForEachKind) {
  struct Case {
    const char32_t* label;
    bool everyDay;
    const char32_t* line;
  };
  for (const Case& c : {Case{U"読む？", false, U"03/03 R C:\\a.bmp\r\n"},
                        Case{U"読む？", true, U"00/00 R C:\\a.bmp\r\n"},
                        Case{U"書くの？", false, U"03/03 W C:\\a.bmp\r\n"},
                        Case{U"郵便屋さん", false, U"03/03 P C:\\a.bmp\r\n"}}) {
    open("");
    view.calendar = {2003, 3, 3};
    view.kind = c.label;
    view.everyDay = c.everyDay;
    view.fileBox = U"C:\\a.bmp";
    controller.handleAdd();
    EXPECT_EQ(view.list, c.line) << toUtf8(c.label);
    EXPECT_EQ(view.fileBox, U"");
    EXPECT_TRUE(controller.hasUnsavedChanges());
  }
}

TEST_F(Editor, AddInsertsAtTheCaretAndSuccessiveAddsFollowInOrder) {
  open("first\r\nsecond\r\n");
  view.kind = U"郵便屋さん";
  view.calendar = {2026, 12, 24};

  view.select(7, 7);  // the start of the second line
  view.fileBox = U"a.bmp";
  controller.handleAdd();
  view.fileBox = U"b.bmp";
  controller.handleAdd();
  EXPECT_EQ(view.list, U"first\r\n12/24 P a.bmp\r\n12/24 P b.bmp\r\nsecond\r\n");

  view.select(2, 2);  // mid-line: the line is split in two
  view.fileBox = U"c.bmp";
  controller.handleAdd();
  EXPECT_EQ(view.list.substr(0, 24), U"fi12/24 P c.bmp\r\nrst\r\n12");

  view.select(0, view.list.find(U"second"));  // a selection is replaced
  view.fileBox = U"d.bmp";
  controller.handleAdd();
  EXPECT_EQ(view.list, U"12/24 P d.bmp\r\nsecond\r\n");
}

TEST_F(Editor, AddWithoutAFileShowsTheMessageAndWithoutAKindDoesNothing) {
  open("A\r\n");
  view.kind = U"郵便屋さん";
  controller.handleAdd();
  EXPECT_EQ(view.shown.back().title, U"ファイル名エラー");
  EXPECT_EQ(view.shown.back().text, U"ファイルが指定されていません");
  EXPECT_EQ(view.shown.back().icon, Message::Icon::Exclamation);
  EXPECT_FALSE(controller.hasUnsavedChanges());

  view.shown.clear();
  view.kind = U"";
  view.fileBox = U"a.bmp";
  controller.handleAdd();
  EXPECT_TRUE(view.shown.empty());
  EXPECT_EQ(view.list, U"A\r\n");
  EXPECT_EQ(view.fileBox, U"a.bmp");
  EXPECT_FALSE(controller.hasUnsavedChanges());
}

}  // namespace
}  // namespace velkorn
