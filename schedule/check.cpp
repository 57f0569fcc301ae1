#include "schedule/check.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "schedule/entry.h"
#include "schedule/kinds.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"

namespace velkorn {

namespace {

constexpr std::size_t kKindLength = 7;  // up to and with the kind letter

// Including the ideographic space, which Japanese input slips in unseen.
bool isBlank(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\u3000';
}

std::size_t indexOf(ImageKind kind) {
  return static_cast<std::size_t>(kind);
}

class Checker {
 public:
  explicit Checker(const BitmapCheck& bitmap) : bitmap_(bitmap) {}

  void add(TextView line) {
    ++lineNumber_;
    if (line.empty() || isComment(line)) return;
    if (const auto problem = neverApplies(line)) return addFinding(line, *problem);
    const int month = fieldNumber(monthField(line));
    const int day = fieldNumber(dayField(line));
    if (month == 2 && day == 29) addFinding(line, LineProblem::LeapDayOnly);
    checkPath(line);
    entries_.push_back({lineNumber_, *kindOf(line), month * 100 + day, Text(line)});
  }

  CheckReport finish(const Date& date) && {
    findNeverWinning();
    std::ranges::stable_sort(report_.findings, {}, &Finding::lineNumber);
    indexByDate();
    report_.onDate = valuesOn(date.month * 100 + date.day);
    report_.everyDay = valuesOn(kEveryDay);
    // Only a day that some line names can differ from every day.
    const auto path = [](const ImageValue& value) -> const Text& { return value.path; };
    for (const auto& [named, lines] : lastOnDate_) {
      const Date each{date.year, named / 100, named % 100};
      if (each.day > daysInMonth(each.month, isLeapYear(date.year))) continue;
      DayValues values = valuesOn(named);
      if (!std::ranges::equal(values, report_.everyDay, {}, path, path)) {
        report_.year.push_back({each, std::move(values)});
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
  using LastLines = std::array<const Entry*, kKindCount>;
  static constexpr int kEveryDay = 0;

  // The first reason the line is never applied on any day.
  static std::optional<LineProblem> neverApplies(TextView line) {
    if (line.size() < kKindLength) return LineProblem::TooShort;
    const int month = fieldNumber(monthField(line));
    const int day = fieldNumber(dayField(line));
    if (month < 0) return LineProblem::MonthNotTwoDigits;
    if (day < 0) return LineProblem::DayNotTwoDigits;
    if (month > 12) return LineProblem::MonthOutOfRange;
    if (day > 31) return LineProblem::DayOutOfRange;
    if ((month == 0) != (day == 0)) return LineProblem::HalfEveryDay;
    if (month != 0 && day > daysInMonth(month, true)) return LineProblem::NoSuchDate;
    if (!kindOf(line)) return LineProblem::UnknownKind;
    return std::nullopt;
  }

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

  // The last line of each kind due every day, and of each kind on each date
  // a line names: on a day, the later of the two wins, as in the
  // scheduler's pass.
  void indexByDate() {
    for (const Entry& entry : entries_) {
      (entry.date == kEveryDay ? lastEveryDay_ : lastOnDate_[entry.date])[indexOf(entry.kind)] = &entry;
    }
  }

  // `date` is month * 100 + day, or kEveryDay.
  DayValues valuesOn(int date) const {
    const auto named = lastOnDate_.find(date);
    DayValues values;
    for (std::size_t kind = 0; kind < values.size(); ++kind) {
      const Entry* last = lastEveryDay_[kind];
      if (named != lastOnDate_.end() && named->second[kind] &&
          (!last || named->second[kind]->lineNumber > last->lineNumber)) {
        last = named->second[kind];
      }
      if (last) values[kind] = {Text(pathOf(last->line)), last->lineNumber};
    }
    return values;
  }

  void addFinding(TextView line, LineProblem problem) { report_.findings.push_back({lineNumber_, Text(line), problem}); }

  const BitmapCheck& bitmap_;
  std::size_t lineNumber_ = 0;
  std::vector<Entry> entries_;
  LastLines lastEveryDay_{};
  std::map<int, LastLines> lastOnDate_;
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

CheckReport checkLines(const std::vector<Text>& lines, const Date& date, const BitmapCheck& bitmap) {
  Checker checker(bitmap);
  for (const Text& line : lines) checker.add(line);
  return std::move(checker).finish(date);
}

CheckReport checkScheduleFile(const std::filesystem::path& file, const Codec& codec, const Date& date,
                              const BitmapCheck& bitmap) {
  Checker checker(bitmap);
  const auto read = readScheduleLines(file, codec, [&](TextView line) { checker.add(line); });
  if (!read) return unreadable(CheckReport::Read::OpenFailed);
  if (read->status == LineReader::Status::Error) return unreadable(CheckReport::Read::ReadFailed);
  CheckReport report = std::move(checker).finish(date);
  report.inUtf8 = read->encoding == ScheduleEncoding::Utf8;
  return report;
}

}  // namespace velkorn
