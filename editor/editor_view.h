#pragma once

#include <filesystem>
#include <optional>

#include "schedule/date.h"
#include "ui/message.h"
#include "schedule/text.h"

namespace velkorn {

// The file box's tooltip after Browse: the picture scaled down, with its
// size; or, when it cannot be shown, why.
struct FilePreview {
  std::filesystem::path file;           // the picture, when shownWidth is not 0
  int shownWidth = 0, shownHeight = 0;  // 0: words only
  Text caption;                         // empty: no tooltip
};

// What the editor's logic needs of its window. The Qt and Win32 windows
// implement it; they render and forward, and decide nothing.
class EditorView {
 public:
  virtual ~EditorView() = default;

  // The schedule list (Text2), its lines separated by CR LF.
  virtual Text listText() const = 0;
  // Replaces the whole list and puts the caret at its start.
  virtual void setListText(TextView text) = 0;
  // Inserts at the caret, replacing any selection; the caret ends up just
  // after the inserted text. A change of the list like any other.
  virtual void insertAtCaret(TextView text) = 0;

  virtual Date calendarDate() const = 0;      // MonthView1
  virtual void setCalendarDate(const Date& date) = 0;
  virtual Text kindText() const = 0;          // Combo1; empty with nothing selected
  virtual bool everyDayChecked() const = 0;   // Check1
  virtual Text fileBoxText() const = 0;       // Text1
  virtual void setFileBoxText(TextView text) = 0;

  // Starts the idle timer, or starts it again: EditorController::handleIdle
  // is called once `milliseconds` pass without another call of this.
  virtual void restartIdleTimer(int milliseconds) = 0;
  // The calendar marks its days again, asking EditorController::datedDays
  // for the months it shows and dayTip for each marked day.
  virtual void refreshCalendar() = 0;
  // The file box's tooltip. False, and none shown, when the window cannot
  // load the picture that the preview names.
  virtual bool setFilePreview(const FilePreview& preview) = 0;

  // A modal message box; the answer for Yes/No questions.
  virtual Answer showMessage(const Message& message) = 0;

  // The file-open dialog (CommonDialog1) with one filter; nothing when the
  // user cancels.
  virtual std::optional<Text> pickFile(TextView filterDescription, TextView filterPattern) = 0;

  // While the schedule is written: the window takes no clicks or keys (a
  // save may wait for the file with the window's messages flowing) and
  // shows the wait cursor.
  virtual void setBusy(bool busy) = 0;

  // Starts the scheduler beside the editor, without waiting; false when it
  // could not be started.
  virtual bool startScheduler() = 0;

  // Ends the program at once, without asking the controller again.
  virtual void endProgram() = 0;
};

// A log-off or shutdown that asks the editor whether it may go on. The
// window gives what its platform can do while it waits.
class SessionEnd {
 public:
  virtual ~SessionEnd() = default;
  // Whether the user may still be asked; when not, the session ends
  // whatever the answer.
  virtual bool mayAsk() = 0;
  // Keeps the session waiting, and tells the user why, while a question is
  // up; release() lets it go on.
  virtual void hold(TextView reason) = 0;
  virtual void release() = 0;
};

// How a save ended. The platform tells why it failed; what the user reads
// of it is the editor's to say.
struct SaveResult {
  enum class Status {
    Saved,
    // Windows' access denied, where no wait helps: a read-only file, a
    // folder the user may not write to or that Windows protects.
    AccessDenied,
    Failed,
  };
  Status status = Status::Saved;
  Text systemText;  // Failed: the system's own words for the error
  bool saved() const { return status == Status::Saved; }
};

// Where the schedule is written. Implementations replace the file as a whole
// (a temporary file, then a rename), so a failed save leaves the old one.
class ScheduleWriter {
 public:
  virtual ~ScheduleWriter() = default;
  virtual SaveResult replaceContents(const std::filesystem::path& file, BytesView bytes) = 0;
  // After a failed replace that took the old file from its name: the file
  // that holds the new contents, which then are the only copy on disk.
  virtual std::optional<std::filesystem::path> newContentsLeftIn() const { return std::nullopt; }
};

}  // namespace velkorn
