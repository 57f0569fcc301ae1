// scheduler/: the daily run, against a settings store, a message box and an
// event pump that each platform provides.
#pragma once

#include <filesystem>

#include "schedule/codec.h"
#include "schedule/date.h"
#include "ui/message.h"
#include "schedule/text.h"

namespace velkorn {

// The mail checker's per-user settings, where the image paths go.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Sets one string value; true only if it worked. A store that keeps a
  // run's values until commit() checks here what it can: that the settings
  // can be read, and that they can hold the value.
  virtual bool write(std::string_view valueName, TextView data) = 0;
  // Makes the run's writes lasting, all at once; true if they are. Nothing
  // to do for a store whose every write lasts at once.
  virtual bool commit() { return true; }
};

// Lets the platform deliver pending window-system events.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void processPending() = 0;
};

struct SchedulerPlatform {
  SettingsStore& store;
  MessagePresenter& messages;
  EventPump& events;
  const Codec& codec;
  Date today;                               // read once per run
  std::filesystem::path programDirectory;  // where velkorn.txt lies
};

// The process exit status.
enum class RunOutcome {
  Applied = 0,              // the pass and every settings write succeeded
  ScheduleUnreadable = 1,   // velkorn.txt could not be opened or read
  SomeWriteFailed = 2,      // the pass finished, but a settings write failed
};

// One daily pass: the holiday notice, every due entry in file order, then the
// reset of each image nothing was applied to.
RunOutcome runDaily(SchedulerPlatform& platform);

// What went wrong with the schedule file: it could not be opened, or not be
// read to its end.
enum class ScheduleFailure { Open, Read };

// The error report of a schedule file that failed so.
Message unreadableSchedule(const std::filesystem::path& file, ScheduleFailure failure);

}  // namespace velkorn
