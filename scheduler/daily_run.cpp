#include "scheduler/daily_run.h"

#include <array>

#include "schedule/entry.h"
#include "schedule/kinds.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"
#include "ui/texts.h"

namespace velkorn {

namespace {

Message schedulerMessage(TextView text, Message::Icon icon) {
  return Message{Text(texts::kSchedulerTitle), Text(text), icon, Message::Buttons::Ok};
}

}  // namespace

Message unreadableSchedule(const std::filesystem::path& file, ScheduleFailure failure) {
  const TextView what = failure == ScheduleFailure::Read ? texts::kScheduleReadFailed : texts::kScheduleOpenFailed;
  return schedulerMessage(Text(what) + displayPath(file), Message::Icon::Critical);
}

RunOutcome runDaily(SchedulerPlatform& platform) {
  if (isHoliday(platform.today)) {
    platform.messages.show(schedulerMessage(texts::kHolidayNotice, Message::Icon::Information));
  }

  std::array<bool, kKindCount> applied{};
  bool anyWriteFailed = false;
  const DayKey today = dayKeyOf(platform.today);
  const std::filesystem::path file = scheduleFileIn(platform.programDirectory);

  const auto reader = LineReader::open(file);
  if (!reader) {
    platform.messages.show(unreadableSchedule(file, ScheduleFailure::Open));
    return RunOutcome::ScheduleUnreadable;
  }

  const auto apply = [&](BytesView raw, ScheduleEncoding encoding, Text& line) {
    line.clear();
    decodeLineAppend(raw, encoding, platform.codec, line);
    const auto kind = isDue(line, today) ? kindOf(line) : std::nullopt;
    if (!kind) return;
    if (platform.store.write(infoOf(*kind).valueName, pathOf(line))) {
      applied[static_cast<std::size_t>(*kind)] = true;
    } else {
      anyWriteFailed = true;
      platform.messages.show(schedulerMessage(texts::of(*kind).writeFailed, Message::Icon::Critical));
    }
  };
  // One scan over the bytes: only a line whose date bytes may be today's is
  // decoded, into one buffer that every such line reuses. While the file may
  // still turn out to be UTF-8 or not, a line that would read differently
  // either way waits, and so do the lines after it, to keep the file's order.
  EncodingDetector detector;
  std::vector<Bytes> waiting;
  Text line;
  const auto applyWaiting = [&] {
    for (const Bytes& raw : waiting) apply(raw, detector.encoding(), line);
    waiting.clear();
  };
  const LineReader::Status status = reader->forEach([&](BytesView raw) {
    platform.events.processPending();
    if (!detector.settled()) {
      raw = detector.see(raw);
      if (detector.settled()) applyWaiting();
    }
    if (!mayBeDue(raw, today)) return;
    if (!detector.settled() && (!waiting.empty() || !isAscii(raw))) {
      waiting.emplace_back(raw);
      return;
    }
    apply(raw, detector.encoding(), line);
  });
  applyWaiting();
  if (status == LineReader::Status::Error) {
    // What earlier lines wrote stays; no reset on a half-read file.
    platform.store.commit();
    platform.messages.show(unreadableSchedule(file, ScheduleFailure::Read));
    return RunOutcome::ScheduleUnreadable;
  }

  for (const KindInfo& info : imageKinds()) {
    if (applied[static_cast<std::size_t>(info.kind)]) continue;
    if (!platform.store.write(info.valueName, TextView{})) anyWriteFailed = true;
  }
  if (!platform.store.commit()) {
    // None of the run's writes lasted: those of the due entries failed after all.
    for (const KindInfo& info : imageKinds()) {
      if (!applied[static_cast<std::size_t>(info.kind)]) continue;
      platform.messages.show(schedulerMessage(texts::of(info.kind).writeFailed, Message::Icon::Critical));
    }
    anyWriteFailed = true;
  }
  return anyWriteFailed ? RunOutcome::SomeWriteFailed : RunOutcome::Applied;
}

}  // namespace velkorn
