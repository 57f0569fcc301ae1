// editor/: the editor's behaviour, against a view that each platform's
// window implements.
#pragma once

#include <filesystem>
#include <optional>

#include "editor/editor_view.h"
#include "schedule/codec.h"
#include "schedule/day_index.h"

namespace velkorn {

// The editor's behaviour: loading the schedule, the unsaved-changes state,
// Save, Exit, Run, the close request, composing entries (Browse, Add), and
// what the calendar marks.
class EditorController {
 public:
  EditorController(EditorView& view, const Codec& codec, ScheduleWriter& writer,
                   std::filesystem::path scheduleFile);

  // Loads the schedule into the list. False after the loading-failed message:
  // the program then ends without showing its window.
  bool load(const Date& today);

  void handleListChanged();
  void handleSave();
  void handleExit();
  void handleRun();
  // The close box or any other close request: true when the window may
  // close. Never while a save is under way.
  bool handleCloseRequest();
  // A log-off or shutdown asks: true when it may go on. With unsaved
  // changes the user is asked as on Exit; a Yes ends the program.
  bool handleSessionEndQuery(SessionEnd& session);
  // The session ends after all: so does the program, without saving.
  void handleSessionEnd();
  void handleBrowse();
  void handleAdd();
  // The list has been left alone for a moment since it changed.
  void handleIdle();

  // The days of a month that have images of their own, and what the images
  // are on one of them (nothing for a day that no line names). Both read the
  // list as it stood when it was last left alone, or, if it changed since,
  // as it stands: a long list is read once a pause, never once a key.
  DaySet datedDays(int year, int month);
  Text dayTip(const Date& date);

  bool hasUnsavedChanges() const { return dirty_; }

 private:
  void listChanged();
  const DayIndex& days();
  std::optional<Text> readList() const;
  bool save();
  void end();
  Answer ask(TextView title, TextView text);
  void tell(TextView title, TextView text, Message::Icon icon);

  EditorView& view_;
  const Codec& codec_;
  ScheduleWriter& writer_;
  std::filesystem::path scheduleFile_;
  bool dirty_ = false;
  bool ended_ = false;
  bool saving_ = false;  // a save waits for the file (the window's messages go on meanwhile)
  DayIndex days_;
  bool daysStale_ = true;
};

}  // namespace velkorn
