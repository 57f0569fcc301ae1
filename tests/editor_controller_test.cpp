#include "editor/editor_controller.h"

#include <gtest/gtest.h>
#ifdef __linux__
#include <sys/stat.h>
#endif

#include <deque>
#include <functional>
#include <new>

#include "editor/bitmap_preview.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"
#include "tests/fakes.h"
#include "tests/temp_dir.h"
#include "ui/texts.h"

namespace velkorn::testing {
namespace {

// A window of plain fields that records the messages it shows, as
// "title|icon|text", and plays back scripted answers (No when they run out).
// Every change of the list reports itself to the controller, the whole list
// set at once too, as Qt's text widget does. (A Win32 multi-line edit set
// whole reports nothing: the controller must not count on either.)
struct FakeView final : EditorView {
  Text listText() const override { return listThrows ? throw std::bad_alloc() : list; }
  void setListText(TextView text) override {
    list = Text(text), caret = end = 0;
    controller->handleListChanged();
  }
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
  void restartIdleTimer(int) override {}
  // A calendar on `calendar`'s month.
  void refreshCalendar() override { marked = controller->datedDays(calendar.year, calendar.month); }
  bool setFilePreview(const FilePreview& p) override { return preview = p, !p.shownWidth || picturesLoad; }
  Answer showMessage(const Message& m) override {
    shown.push_back(recorded(m));
    if (m.buttons == Message::Buttons::Ok || answers.empty()) return m.buttons == Message::Buttons::Ok ? Answer::Ok : Answer::No;
    const Answer next = answers.front();
    answers.pop_front();
    return next;
  }
  std::optional<Text> pickFile(TextView description, TextView pattern) override {
    filter = Text(description) + U"|" + Text(pattern);
    return picked;
  }
  void setBusy(bool b) override { busy = b; }
  bool startScheduler() override { return ++schedulerStarts <= allowedStarts; }
  void endProgram() override { ++ends; }

  EditorController* controller = nullptr;
  Text list, kind, fileBox, filter;
  std::size_t caret = 0, end = 0;  // the selection
  Date calendar;
  DaySet marked;
  FilePreview preview;
  bool everyDay = false, listThrows = false, busy = false, picturesLoad = true;
  std::vector<std::string> shown;
  std::deque<Answer> answers;
  std::optional<Text> picked;
  int schedulerStarts = 0, allowedStarts = 1000, ends = 0;
};

// Writes the whole file, as the real writers do, or fails (or runs out of
// memory) on request.
struct FileWriter final : ScheduleWriter {
  SaveResult replaceContents(const std::filesystem::path& file, BytesView bytes) override {
    if (meanwhile) meanwhile();
    if (throws) throw std::bad_alloc();
    if (result.saved()) std::ofstream(file, std::ios::binary) << bytes;
    return ++calls, result;
  }
  std::optional<std::filesystem::path> newContentsLeftIn() const override { return left; }
  SaveResult result;
  bool throws = false;
  int calls = 0;
  std::optional<std::filesystem::path> left;
  std::function<void()> meanwhile;  // what the window's messages do while the save waits
};

// A log-off or shutdown: whether it lets the user be asked, and what it was
// told while it waited.
struct FakeSession final : SessionEnd {
  bool mayAsk() override { return interactive; }
  void hold(TextView reason) override { held += toUtf8(reason) + "|"; }
  void release() override { held += "released"; }
  bool interactive = true;
  std::string held;
};

std::string littleEndian(std::int64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

// A bitmap file: its header of `headerSize` bytes (12, the oldest kind;
// 40, the usual one, or a later one), then `pixelBytes` bytes, which start
// `pixelsAt` bytes into the file (0: right after the header).
std::string bitmapFile(int width, int height, int bits, int compression, std::size_t pixelBytes, int headerSize = 40,
                       int pixelsAt = 0) {
  const auto le = littleEndian;
  const std::string header = headerSize == 12 ? le(12, 4) + le(width, 2) + le(height, 2) + le(1, 2) + le(bits, 2)
                                              : le(headerSize, 4) + le(width, 4) + le(height, 4) + le(1, 2) +
                                                    le(bits, 2) + le(compression, 4) + std::string(static_cast<std::size_t>(headerSize - 20), '\0');
  return "BM" + le(0, 8) + le(pixelsAt ? pixelsAt : 14 + headerSize, 4) + header + std::string(pixelBytes, 'U');
}

// As "state size shown-size", the state 0 shown, 1 too large, 2 unreadable.
TEST(BitmapPreview, ShowsOnlyWholeBitmapsOfASizeToLoadAndReadsNoMoreThanTheirHeaders) {
  TempDir dir;
  const std::pair<std::string, std::string> cases[] = {
      {bitmapFile(2, 3, 24, 0, 24), "0 2x3 2x3"}, {bitmapFile(2, -3, 24, 0, 24), "0 2x3 2x3"},  // -3: top row first
      {bitmapFile(2, 2, 24, 0, 16, 12), "0 2x2 2x2"}, {bitmapFile(2, 2, 32, 3, 16), "0 2x2 2x2"}, {bitmapFile(2, 2, 16, 3, 8), "0 2x2 2x2"},
      {bitmapFile(2, 3, 24, 0, 24, 56), "0 2x3 2x3"}, {bitmapFile(2, 3, 24, 0, 24, 57), "2 0x0 0x0"},
      {bitmapFile(1, INT32_MAX, 8, 1, 1), "1 1x2147483647 0x0"}, {bitmapFile(0, 3, 24, 0, 24), "2 0x0 0x0"},
      {bitmapFile(2, 0, 24, 0, 24), "2 0x0 0x0"},
      // The pixels inside the header, or nowhere (run-length data has no size to check).
      {bitmapFile(2, 3, 24, 0, 25, 40, 53), "2 0x0 0x0"}, {bitmapFile(2, 3, 8, 1, 0), "2 0x0 0x0"},
      {bitmapFile(256, 64, 8, 0, 256 * 64), "0 256x64 128x32"},
      {bitmapFile(300, 10, 8, 1, 10), "0 300x10 128x4"}, {bitmapFile(1024, 1, 8, 1, 10), "0 1024x1 128x1"},
      {bitmapFile(256, 3, 8, 1, 10), "0 256x3 128x2"},
      {bitmapFile(2, 3, 4, 0, 12), "0 2x3 2x3"},
      {bitmapFile(4096, 4096, 8, 1, 10), "0 4096x4096 128x128"}, {bitmapFile(4096, 4097, 8, 1, 10), "1 4096x4097 0x0"},
      {bitmapFile(2, 3, 24, 0, 23), "2 0x0 0x0"},  // cut short
      {bitmapFile(2, 3, 24, 3, 24), "2 0x0 0x0"}, {bitmapFile(2, 3, 24, 4, 24), "2 0x0 0x0"}, {bitmapFile(2, 3, 24, 0, 0), "2 0x0 0x0"},
      {bitmapFile(2, INT32_MIN, 1, 0, 1), "2 0x0 0x0"}, {"BA" + bitmapFile(2, 3, 24, 0, 24).substr(2), "2 0x0 0x0"},
      {"AM" + bitmapFile(2, 3, 24, 0, 24).substr(2), "2 0x0 0x0"},
      {"BM", "2 0x0 0x0"}};
  const auto seen = [](const BitmapPreview& p) {
    const auto size = [](int w, int h) { return std::to_string(w) + "x" + std::to_string(h); };
    return std::to_string(static_cast<int>(p.state)) + " " + size(p.width, p.height) + " " +
           size(p.shownWidth, p.shownHeight);
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(seen(previewBitmap(dir.write("a.bmp", bytes))), expected);
  // A file of the most a window loads, and one of a byte more (sparse).
  for (const auto& [extra, expected] : {std::pair{std::uintmax_t{0}, "0 2x3 2x3"}, {1, "1 2x3 0x0"}}) {
    const auto big = dir.write("big.bmp", bitmapFile(2, 3, 24, 0, 24));
    std::filesystem::resize_file(big, kPreviewMaxBytes + extra);
    EXPECT_EQ(seen(previewBitmap(big)), expected);
  }
  EXPECT_EQ(previewBitmap(dir.path() / "absent.bmp").state, BitmapPreview::State::Unreadable);
  EXPECT_EQ(previewBitmap(dir.path()).state, BitmapPreview::State::Unreadable);
#ifdef __linux__
  // Opening a FIFO would wait for a writer forever.
  ASSERT_EQ(mkfifo((dir.path() / "fifo.bmp").c_str(), 0600), 0);
  EXPECT_EQ(previewBitmap(dir.path() / "fifo.bmp").state, BitmapPreview::State::Unreadable);
#endif
}

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

  TempDir dir;
  FakeView view;
  FileWriter writer;
  EditorController controller{view, kCodec, writer, dir.path() / "velkorn.txt"};
};

// Saved back, the bytes are the same, the one that is no character too, and
// one CR LF more.
TEST_F(Editor, LoadsEveryLineWithCrLfCleanWithTheCalendarOnTodaySavesItBackOrFailsTheStart) {
  open("A\r\n\xFF\x95\x5C\r\nB");
  EXPECT_EQ(view.list, (Text{U'A', U'\r', U'\n', escapeOf(0xFF), U'表', U'\r', U'\n', U'B', U'\r', U'\n'}));
  EXPECT_FALSE(controller.hasUnsavedChanges());
  EXPECT_EQ(view.calendar.day, 6);
  type(0, U"x", {Answer::Yes});
  controller.handleSave();
  EXPECT_EQ(readBytes(dir.path() / "velkorn.txt"), "xA\r\n\xFF\x95\x5C\r\nB\r\n\r\n");
  EXPECT_FALSE(controller.hasUnsavedChanges());
  open("");
  EXPECT_EQ(view.list, U"");
  dir.write("velkorn.txt", "A\r\n" + std::string(LineReader::kMaxLine + 1, 'q'));  // a read that fails part-way
  EXPECT_FALSE(controller.load({2026, 12, 6}));
  std::filesystem::remove(dir.path() / "velkorn.txt");
  EXPECT_FALSE(controller.load({2026, 12, 6}));
  EXPECT_EQ(view.shown, (std::vector<std::string>{"保存|i|保存しますが、よろしいですか？", "起動エラー|x|設定ファイルが見つかりません。",
                                                  "起動エラー|x|設定ファイルが見つかりません。"}));
}

// The window tests walk the questions' other answers through the real windows.
TEST_F(Editor, NoToSaveOrRunDoesNothingAndYesToExitEndsWithoutSaving) {
  open("A\r\n");
  type(0, U"x", {Answer::No, Answer::No, Answer::Yes});
  controller.handleSave();
  controller.handleRun();
  controller.handleExit();
  EXPECT_EQ(view.shown, (std::vector<std::string>{"保存|i|保存しますが、よろしいですか？", "終了|i|実行前には保存する必要があります。保存しますか？",
                                                  "終了|i|保存しないで終了しますが、よろしいですか？"}));
  EXPECT_EQ(view.schedulerStarts + writer.calls, 0);
  EXPECT_EQ(view.ends, 1);
  EXPECT_TRUE(controller.handleCloseRequest());  // the ending program's own close asks nothing
  EXPECT_EQ(view.shown.size(), 3u);
}

// A character Shift-JIS lacks, a failed write (with the writer's reason, and
// the file it left the new text in), no memory for the bytes: the failure is
// reported, the changes stay unsaved and nothing runs. While the file is
// written the window is busy and refuses to close.
TEST_F(Editor, AFailedSaveIsReportedWithItsReasonKeepsTheChangesAndRunsNothing) {
  open("A\r\nB\r\n");
  type(4, U"é", {Answer::Yes});
  controller.handleSave();
  EXPECT_EQ(view.shown.back(), "保存|!|2 行目の 2 文字目「é」（U+00E9）は Shift-JIS で保存できない文字です。"
                               "その文字を直してから保存してください。");
  type(0, U"\U00020BB7", {Answer::Yes});
  controller.handleRun();  // not saved: nothing runs
  const std::string beyondTheBasicPlane = "保存|!|1 行目の 1 文字目「\U00020BB7」（U+20BB7）";
  EXPECT_EQ(view.shown.back().substr(0, beyondTheBasicPlane.size()), beyondTheBasicPlane);
  EXPECT_EQ(writer.calls, 0);
  view.list = U"A\r\n";
  std::vector<std::pair<bool, bool>> during;  // busy; whether a close another program asks may go on
  writer.meanwhile = [&] { during.emplace_back(view.busy, controller.handleCloseRequest()); };
  using enum SaveResult::Status;
  const std::string failed = "保存|x|設定ファイルを保存できませんでした。";
  const struct { SaveResult::Status status; const char32_t* reason; std::optional<std::filesystem::path> left; bool throws;
                 std::string shown; } cases[] = {
      {Failed, U"共有違反です。", {}, false, failed + "\n共有違反です。"},
      {AccessDenied, U"?", "new.~1f", false, failed + "\n" + toUtf8(texts::kSaveAccessDenied) +
          "\n保存しようとした内容は次のファイルにあります。このファイルの名前を velkorn.txt に変えてください：\nnew.~1f"},
      {Failed, U"", {}, true, failed}};
  for (const auto& c : cases) {
    writer.result = {c.status, c.reason}, writer.throws = c.throws, writer.left = c.left;
    view.answers = {Answer::Yes, Answer::Yes};  // the Exit question's too, if a close came through
    controller.handleRun();
    EXPECT_EQ(view.shown.back(), c.shown);
  }
  EXPECT_EQ(view.schedulerStarts, 0);
  EXPECT_TRUE(controller.hasUnsavedChanges());
  writer.result = {}, writer.throws = false;
  view.allowedStarts = 0;
  view.answers = {Answer::Yes};
  controller.handleRun();
  EXPECT_EQ(view.shown.back(), "実行|x|velkorn を起動できませんでした。");
  EXPECT_TRUE(during == std::vector(4, std::pair(true, false)) && !view.busy && controller.handleCloseRequest());
}

// A log-off asks as Exit does, about unsaved changes only, while it waits:
// No keeps the window and the list, Yes ends without saving. One that cannot
// wait (a critical one) is not asked about, nor one that comes mid-save.
TEST_F(Editor, ALogOffAsksAboutUnsavedChangesAsExitDoes) {
  open("A\r\n");
  type(0, U"x", {Answer::Yes, Answer::Yes});  // a question mid-save would get the second Yes
  std::optional<bool> agreedMidSave;
  writer.meanwhile = [&] { FakeSession during; agreedMidSave = controller.handleSessionEndQuery(during); };
  controller.handleSave();
  EXPECT_EQ(agreedMidSave, false);
  writer.meanwhile = nullptr;
  const std::string exitQuestion = "終了|i|保存しないで終了しますが、よろしいですか？";
  const struct {
    bool edited, interactive;
    Answer answer;
    bool agreed;
    std::vector<std::string> shown;
    const char* held;
  } rows[] = {{false, true, Answer::Yes, true, {}, ""},
              {true, false, Answer::No, true, {}, ""},
              {true, true, Answer::No, false, {exitQuestion}, "保存していない変更があります。|released"},
              {true, true, Answer::Yes, true, {exitQuestion}, "保存していない変更があります。|released"}};
  for (const auto& row : rows) {
    open("A\r\n");
    if (row.edited) type(0, U"x");
    view.answers = {row.answer}, view.shown.clear();
    FakeSession session;
    session.interactive = row.interactive;
    EXPECT_EQ(controller.handleSessionEndQuery(session), row.agreed) << row.held;
    EXPECT_EQ(view.shown, row.shown);
    EXPECT_EQ(session.held, row.held);
    EXPECT_EQ(view.list, row.edited ? U"xA\r\n" : U"A\r\n");
    EXPECT_EQ(view.ends, row.answer == Answer::Yes && !row.shown.empty() ? 1 : 0);
  }
  EXPECT_EQ(readBytes(dir.path() / "velkorn.txt"), "A\r\n");
  EXPECT_EQ(writer.calls, 1);  // the save above only
}

// A name with a line break, or one the schedule cannot hold (Hangul, a lone
// surrogate), is refused at once: it could never be saved.
TEST_F(Editor, BrowseKeepsTheFileBoxOnCancelOrABadName) {
  open("");
  view.fileBox = U"C:\\a.bmp";
  for (const auto& picked : {std::optional<Text>(), std::optional<Text>(U""), std::optional<Text>(U"a\nb.bmp"),
                             std::optional<Text>(U"C:\\한글\\a.bmp"), std::optional<Text>({U'a', escapeOf(0x81)})}) {
    view.picked = picked;
    controller.handleBrowse();
    EXPECT_EQ(view.fileBox, U"C:\\a.bmp");
  }
  EXPECT_EQ(view.filter, U"BMPファイル(*.bmp)|*.bmp");
  const std::string notHeld = "\n\nこのファイルのフォルダー名かファイル名に、Shift-JIS で表せない文字があります。"
                              "フォルダーかファイルの名前を変えてから、もう一度選んでください。";
  EXPECT_EQ(view.shown, (std::vector<std::string>{"ファイル名エラー|!|改行を含むファイル名は指定できません。",
                                                  "ファイル名エラー|!|C:\\한글\\a.bmp" + notHeld,
                                                  "ファイル名エラー|!|a" + toUtf8(Text(1, escapeOf(0x81))) + notHeld}));
  // The file box's tooltip, until the file is added.
  view.picked = displayPath(dir.write("big.bmp", bitmapFile(20000, 20000, 24, 0, 1000)));
  controller.handleBrowse();
  EXPECT_EQ(toUtf8(view.preview.caption), "20000 × 20000 ピクセル：画像が大きすぎるため、表示しません。");
  view.picked = displayPath(dir.write("2x3.bmp", bitmapFile(2, 3, 24, 0, 24)));
  controller.handleBrowse();
  EXPECT_EQ(toUtf8(view.preview.caption) + " " + std::to_string(view.preview.shownHeight), "2 × 3 ピクセル 3");
  EXPECT_EQ(view.fileBox, view.picked);
  view.picturesLoad = false;  // whole headers, and yet a picture the window cannot load; or no bitmap at all
  for (const Text& picked : {*view.picked, displayPath(dir.write("not.bmp", "BZ"))}) {
    view.picked = picked;
    controller.handleBrowse();
    EXPECT_EQ(toUtf8(view.preview.caption) + " " + std::to_string(view.preview.shownHeight),
              "この画像は表示できません。BMP ファイルではないか、壊れています。 0");
  }
  view.kind = U"読む？";
  controller.handleAdd();
  EXPECT_EQ(view.preview.caption, U"");
}

TEST_F(Editor, AddInsertsTheLineOfTheKindTheDateAndTheFileAtTheCaret) {
  open("first\r\nsecond\r\n");
  const auto add = [&](std::size_t from, std::size_t to, const char32_t* kind, bool everyDay) {
    view.caret = from, view.end = to, view.kind = kind, view.everyDay = everyDay, view.fileBox = U"a";
    controller.handleAdd();
  };
  add(7, 7, U"読む？", false);  // the start of the second line; the next add follows it
  add(view.caret, view.caret, U"郵便屋さん", true);
  add(2, 2, U"書くの？", false);  // mid-line: the line is split in two
  EXPECT_EQ(view.list, U"fi12/06 W a\r\nrst\r\n12/06 R a\r\n00/00 P a\r\nsecond\r\n");
  add(0, view.list.find(U"second"), U"読む？", false);  // a selection is replaced
  EXPECT_EQ(view.list, U"12/06 R a\r\nsecond\r\n");
  view.calendar = {2026, 10, 31};
  add(0, 0, U"郵便屋さん", false);
  EXPECT_EQ(view.list.substr(0, 11), U"10/31 P a\r\n");
  EXPECT_EQ(view.fileBox, U"");
  add(0, 0, U"読む?", false);  // not a label of the drop-down: nothing at all
  EXPECT_EQ(view.list.substr(0, 11), U"10/31 P a\r\n");
  EXPECT_EQ(view.fileBox, U"a");
  EXPECT_TRUE(view.shown.empty());
}

// The days that lines that can apply name for themselves are marked, however
// the lines end; not every-day, malformed or commented ones. The marks follow
// the list once it is left alone, not at each key.
TEST_F(Editor, TheCalendarMarksTheDaysOfDatedLinesOnceTheListIsLeftAlone) {
  open("00/00 P a\r\n12/24 R b\r\n# 12/25 P c\r\n 12/26 P d\r\n12/27 X e\r\n12/3 P f\r\n00/28 P g\r\n12/31\r\n"
       "02/29 P h\r\n02/30 P i\r\n");
  view.calendar = {2026, 12, 1};
  controller.handleIdle();
  EXPECT_EQ(view.marked, DaySet().set(24));
  type(0, U"12/03 W c\n12/29 w\r12/30 P\r\n");
  EXPECT_EQ(view.marked, DaySet().set(24));  // not at each key
  controller.handleIdle();
  EXPECT_EQ(view.marked, DaySet().set(3).set(24).set(29).set(30));
  // 29 February in a leap year only.
  EXPECT_EQ(controller.datedDays(2026, 2).to_ulong() + controller.datedDays(2028, 2).to_ulong(), 1ul << 29);
  EXPECT_EQ(toUtf8(controller.dayTip({2026, 12, 3})),
            "12/03 の画像：\n郵便屋さん  a  ← 4 行目\n読む？  （空）  ← 当てはまる行なし\n書くの？  c  ← 1 行目");
  EXPECT_EQ(controller.dayTip({2026, 12, 4}), U"");
  view.caret = 0, view.end = view.list.find(U"12/29");
  view.insertAtCaret(U"");  // the line deleted
  controller.handleIdle();
  EXPECT_EQ(view.marked, DaySet().set(24).set(29).set(30));
  view.list.clear();  // unreported: the days are not looked for again
  EXPECT_EQ(controller.datedDays(2026, 12), DaySet().set(24).set(29).set(30));
  view.listThrows = true;  // no memory for the list's text: the marks stay
  type(0, U"12/05 P d\r\n");
  controller.handleIdle();
  EXPECT_EQ(view.marked, DaySet().set(24).set(29).set(30));
}

}  // namespace
}  // namespace velkorn::testing
