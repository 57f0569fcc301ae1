#include "checker/findings.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "schedule/entry.h"
#include "schedule/kinds.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"

namespace velkorn {

namespace {

// Including the ideographic space, which Japanese input slips in unseen.
bool isBlank(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\u3000';
}

std::size_t indexOf(ImageKind kind) {
  return static_cast<std::size_t>(kind);
}

LineProblem problemOf(NeverApplies reason) {
  switch (reason) {
    case NeverApplies::TooShort: return LineProblem::TooShort;
    case NeverApplies::MonthNotTwoDigits: return LineProblem::MonthNotTwoDigits;
    case NeverApplies::DayNotTwoDigits: return LineProblem::DayNotTwoDigits;
    case NeverApplies::MonthOutOfRange: return LineProblem::MonthOutOfRange;
    case NeverApplies::DayOutOfRange: return LineProblem::DayOutOfRange;
    case NeverApplies::HalfEveryDay: return LineProblem::HalfEveryDay;
    case NeverApplies::NoSuchDate: return LineProblem::NoSuchDate;
    case NeverApplies::UnknownKind: return LineProblem::UnknownKind;
  }
  return LineProblem::UnknownKind;
}

class Checker {
 public:
  Checker(const BitmapCheck& bitmap, const StorableCheck& storable) : bitmap_(bitmap), storable_(storable) {}

  void add(TextView line) {
    ++lineNumber_;
    if (line.empty() || isComment(line)) return;
    if (const auto reason = whyNeverApplies(line)) return addFinding(line, problemOf(*reason));
    // A path the store refuses is never applied: the write fails, and the
    // image keeps what an earlier line gave it, or is reset.
    if (storable_ && !storable_(pathOf(line))) return addFinding(line, LineProblem::NotStorable);
    index_.add(lineNumber_, line);
    const int month = fieldNumber(monthField(line));
    const int day = fieldNumber(dayField(line));
    if (month == 2 && day == 29) addFinding(line, LineProblem::LeapDayOnly);
    checkPath(line);
    entries_.push_back({lineNumber_, *kindOf(line), month * 100 + day, Text(line)});
  }

  CheckReport finish(const Date& date) && {
    findNeverWinning();
    std::ranges::stable_sort(report_.findings, {}, &Finding::lineNumber);
    report_.onDate = index_.valuesOn(date.month, date.day);
    report_.everyDay = index_.valuesOn(0, 0);
    // Only a day that some line names can differ from every day.
    const auto path = [](const ImageValue& value) -> const Text& { return value.path; };
    for (int month = 1; month <= 12; ++month) {
      const DaySet named = index_.datedDays(date.year, month);
      for (int day = 1; day <= 31; ++day) {
        if (!named[static_cast<std::size_t>(day)]) continue;
        DayValues values = index_.valuesOn(month, day);
        if (!std::ranges::equal(values, report_.everyDay, {}, path, path)) {
          report_.year.push_back({{date.year, month, day}, std::move(values)});
        }
      }
    }
    return std::move(report_);
  }

 private:
  // A line that can apply: a date that comes, and a known kind.
  struct Entry {
    std::size_t lineNumber;
    ImageKind kind;
    int date;  // month * 100 + day; 0: every day
    Text line;
  };

  void checkPath(TextView line) {
    const TextView path = pathOf(line);
    if (path.empty()) return addFinding(line, LineProblem::NoPath);
    if (isBlank(path.front()) || isBlank(path.back())) addFinding(line, LineProblem::PathHasBlanks);
    switch (bitmap_(path)) {
      case BitmapState::NotChecked: ++report_.uncheckedPaths; break;
      case BitmapState::Missing: addFinding(line, LineProblem::BitmapMissing); break;
      case BitmapState::NotBitmap: addFinding(line, LineProblem::NotBitmap); break;
      case BitmapState::Bitmap: break;
    }
  }

  // A line is due on every day of an earlier line of its kind when it is an
  // every-day line or has the same date; the later one then always wins.
  // Walking back from the end, the first line met of a kind and date is the
  // last one in the file.
  void findNeverWinning() {
    std::array<std::size_t, 3> lastEveryDay{};
    std::map<std::pair<ImageKind, int>, std::size_t> lastOnDate;
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
      std::size_t& lastEveryDayOfKind = lastEveryDay[indexOf(entry->kind)];
      std::size_t& sameDate = entry->date == 0 ? lastEveryDayOfKind : lastOnDate[{entry->kind, entry->date}];
      if (const std::size_t later = std::max(lastEveryDayOfKind, sameDate)) {
        report_.findings.push_back({entry->lineNumber, entry->line, LineProblem::NeverWins, later});
      }
      if (sameDate == 0) sameDate = entry->lineNumber;
    }
  }

  void addFinding(TextView line, LineProblem problem) { report_.findings.push_back({lineNumber_, Text(line), problem}); }

  const BitmapCheck& bitmap_;
  const StorableCheck& storable_;
  std::size_t lineNumber_ = 0;
  std::vector<Entry> entries_;
  DayIndex index_;
  CheckReport report_;
};

CheckReport unreadable(CheckReport::Read read) {
  CheckReport report;
  report.read = read;
  return report;
}

}  // namespace

std::size_t CheckReport::problemCount() const {
  return static_cast<std::size_t>(
             std::ranges::count_if(findings, [](const Finding& finding) { return !isNote(finding.problem); })) +
         (inUtf8 ? 1 : 0);
}

BitmapState bitmapOnDisk(TextView path) {
  const std::filesystem::path file = nativePath(path);
  if (!file.is_absolute()) return BitmapState::NotChecked;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return BitmapState::Missing;
  std::ifstream in(file, std::ios::binary);
  char magic[2] = {};
  return in.read(magic, 2) && magic[0] == 'B' && magic[1] == 'M' ? BitmapState::Bitmap : BitmapState::NotBitmap;
}

CheckReport checkLines(const std::vector<Text>& lines, const Date& date, const BitmapCheck& bitmap,
                       const StorableCheck& storable) {
  Checker checker(bitmap, storable);
  for (const Text& line : lines) checker.add(line);
  return std::move(checker).finish(date);
}

CheckReport checkScheduleFile(const std::filesystem::path& file, const Codec& codec, const Date& date,
                              const BitmapCheck& bitmap, const StorableCheck& storable) {
  Checker checker(bitmap, storable);
  const auto read = readScheduleLines(file, codec, [&](TextView line) { checker.add(line); });
  if (!read) return unreadable(CheckReport::Read::OpenFailed);
  if (read->status == LineReader::Status::Error) return unreadable(CheckReport::Read::ReadFailed);
  CheckReport report = std::move(checker).finish(date);
  report.inUtf8 = read->encoding == ScheduleEncoding::Utf8;
  return report;
}

}  // namespace velkorn
