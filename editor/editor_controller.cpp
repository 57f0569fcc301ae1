#include "editor/editor_controller.h"

#include <algorithm>
#include <variant>

#include "editor/bitmap_preview.h"
#include "schedule/entry.h"
#include "schedule/kinds.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"
#include "ui/texts.h"

namespace velkorn {

namespace {

constexpr TextView kLineEnd = U"\r\n";
// Longer than the pause between two keys of a typist, short enough to seem
// immediate once they stop.
constexpr int kIdleMilliseconds = 400;

// What velkorn-check --date tells of the day, one image a line.
Text dayTipOf(const Date& date, const DayValues& values) {
  const auto field = dateFieldOf(date);
  Text tip = texts::onDateHeading(widen(std::string_view(field.data(), field.size())));
  for (const KindInfo& info : imageKinds()) {
    const ImageValue& value = values[static_cast<std::size_t>(info.kind)];
    tip += U'\n' + Text(texts::of(info.kind).label) + U"  " + texts::valueFromLine(value.path, value.lineNumber);
  }
  return tip;
}

}  // namespace

EditorController::EditorController(EditorView& view, const Codec& codec, ScheduleWriter& writer,
                                   std::filesystem::path scheduleFile)
    : view_(view), codec_(codec), writer_(writer), scheduleFile_(std::move(scheduleFile)) {}

bool EditorController::load(const Date& today) {
  view_.setCalendarDate(today);
  std::optional<Text> text;
  try {
    text = readList();
  } catch (const std::exception&) {
    // No memory for a file that large: as unreadable as any other.
  }
  if (!text) {
    tell(texts::kStartupErrorTitle, texts::kScheduleNotFound, Message::Icon::Critical);
    return false;
  }
  view_.setListText(*text);
  listChanged();
  dirty_ = false;
  return true;
}

// Every line followed by CR LF, built whole so that the list is set once:
// setting a text widget line by line costs time in the square of the file's
// length. Nothing if the file cannot be read to its end. (A file in UTF-8 is
// read as such, and the next save writes it in the code page.)
std::optional<Text> EditorController::readList() const {
  Text text;
  // Room for the whole file up front: a character takes at least one byte.
  std::error_code unknownSize;
  const auto size = std::filesystem::file_size(scheduleFile_, unknownSize);
  if (!unknownSize) text.reserve(static_cast<std::size_t>(size + size / 16 + 2));
  const auto read = readScheduleLines(scheduleFile_, codec_, [&](TextView line) {
    text += line;
    text += kLineEnd;
  });
  if (!read || read->status != LineReader::Status::End) return std::nullopt;
  return text;
}

void EditorController::handleListChanged() {
  dirty_ = true;
  listChanged();
}

void EditorController::listChanged() {
  daysStale_ = true;
  view_.restartIdleTimer(kIdleMilliseconds);
}

void EditorController::handleIdle() {
  if (!daysStale_) return;
  days();
  view_.refreshCalendar();
}

DaySet EditorController::datedDays(int year, int month) {
  return days().datedDays(year, month);
}

Text EditorController::dayTip(const Date& date) {
  if (!datedDays(date.year, date.month)[static_cast<std::size_t>(date.day)]) return {};
  return dayTipOf(date, days().valuesOn(date.month, date.day));
}

const DayIndex& EditorController::days() {
  if (daysStale_) {
    try {
      days_ = indexList(view_.listText());
    } catch (const std::exception&) {
      // No memory for the list's text: the marks stay as they were.
    }
    daysStale_ = false;
  }
  return days_;
}

void EditorController::handleSave() {
  if (ask(texts::kSaveTitle, texts::kSaveQuestion) == Answer::Yes) save();
}

void EditorController::handleExit() {
  if (handleCloseRequest()) end();
}

bool EditorController::handleCloseRequest() {
  // A close that another program sends while a save waits for the file (its
  // messages flow meanwhile) is refused: the save has yet to say whether
  // anything would be lost.
  if (saving_) return false;
  if (ended_ || !dirty_) return true;
  return ask(texts::kExitTitle, texts::kExitQuestion) == Answer::Yes;
}

bool EditorController::handleSessionEndQuery(SessionEnd& session) {
  if (ended_ || !dirty_ || !session.mayAsk()) return true;
  // The save under way ends within seconds; the user can log off again then.
  if (saving_) return false;
  session.hold(texts::kUnsavedChangesReason);
  const bool agreed = ask(texts::kExitTitle, texts::kExitQuestion) == Answer::Yes;
  session.release();
  if (agreed) end();
  return agreed;
}

void EditorController::handleSessionEnd() {
  if (!ended_) end();
}

void EditorController::handleRun() {
  // A clean list is what is on disk already: run it as it is.
  if (dirty_) {
    if (ask(texts::kRunQuestionTitle, texts::kRunQuestion) != Answer::Yes) return;
    if (!save()) return;
  }
  if (!view_.startScheduler()) {
    tell(texts::kRunTitle, texts::kSchedulerStartFailed, Message::Icon::Critical);
  }
}

void EditorController::handleBrowse() {
  const auto picked = view_.pickFile(texts::kBitmapFilterDescription, texts::kBitmapFilterPattern);
  if (!picked || picked->empty()) return;
  // A line break in the name would split the entry into two schedule lines.
  if (picked->find_first_of(U"\r\n") != Text::npos) {
    tell(texts::kFileNameErrorTitle, texts::kFileNameHasLineBreak, Message::Icon::Exclamation);
    return;
  }
  // A path the schedule cannot hold could be added but never saved; and a
  // lone surrogate in a file name would be written as a stray byte.
  if (codec_.encode(*picked).failure || std::ranges::any_of(*picked, isEscape)) {
    tell(texts::kFileNameErrorTitle, texts::unholdablePathMessage(*picked, codec_.codePageNumber()),
         Message::Icon::Exclamation);
    return;
  }
  view_.setFileBoxText(*picked);
  // Headers that look whole do not promise a picture that loads.
  if (!view_.setFilePreview(filePreviewOf(*picked))) view_.setFilePreview({{}, 0, 0, Text(texts::kPreviewUnreadable)});
}

void EditorController::handleAdd() {
  const Text path = view_.fileBoxText();
  if (path.empty()) {
    tell(texts::kFileNameErrorTitle, texts::kNoFileChosen, Message::Icon::Exclamation);
    return;
  }
  const auto kind = texts::kindFromLabel(view_.kindText());
  if (!kind) return;

  Text dateField(kEveryDayField);
  if (!view_.everyDayChecked()) {
    const auto field = dateFieldOf(view_.calendarDate());
    dateField = Text(field.begin(), field.end());
  }
  view_.insertAtCaret(composeEntry(dateField, infoOf(*kind).letter, path) + Text(kLineEnd));
  dirty_ = true;
  view_.setFileBoxText(U"");
  view_.setFilePreview({});
}

bool EditorController::save() {
  // While the file is written the window takes no commands, however long
  // the writer waits for it.
  struct Busy {
    explicit Busy(EditorController& c) : editor(c) {
      editor.saving_ = true;
      editor.view_.setBusy(true);
    }
    ~Busy() {
      editor.saving_ = false;
      editor.view_.setBusy(false);
    }
    EditorController& editor;
  };
  SaveResult result{SaveResult::Status::Failed, {}};
  try {
    const auto bytes = scheduleFileBytes(view_.listText(), codec_);
    if (const auto* unencodable = std::get_if<UnencodableLine>(&bytes)) {
      tell(texts::kSaveTitle,
           texts::unencodableCharacterMessage(unencodable->lineNumber, unencodable->column, unencodable->character,
                                              codec_.codePageNumber()),
           Message::Icon::Exclamation);
      return false;
    }
    const Busy busy(*this);
    result = writer_.replaceContents(scheduleFile_, std::get<Bytes>(bytes));
  } catch (const std::exception&) {
    // No memory for the file's bytes: not saved, like any other failure.
  }
  if (!result.saved()) {
    const Text reason =
        result.status == SaveResult::Status::AccessDenied ? Text(texts::kSaveAccessDenied) : result.systemText;
    Text text(texts::kSaveFailed);
    if (!reason.empty()) text += U'\n' + reason;
    if (const auto left = writer_.newContentsLeftIn()) text += Text(texts::kSaveLeftIn) + displayPath(*left);
    tell(texts::kSaveTitle, text, Message::Icon::Critical);
    return false;
  }
  dirty_ = false;
  return true;
}

void EditorController::end() {
  ended_ = true;
  view_.endProgram();
}

Answer EditorController::ask(TextView title, TextView text) {
  return view_.showMessage(
      Message{Text(title), Text(text), Message::Icon::Information, Message::Buttons::YesNo});
}

void EditorController::tell(TextView title, TextView text, Message::Icon icon) {
  view_.showMessage(Message{Text(title), Text(text), icon, Message::Buttons::Ok});
}

}  // namespace velkorn
