#include "checker/check_run.h"

#include <algorithm>

#include "schedule/kinds.h"
#include "schedule/schedule_file.h"
#include "ui/texts.h"

namespace velkorn {

namespace {

constexpr TextView kDateOption = U"--date";
constexpr TextView kYearOption = U"--year";
constexpr TextView kHelpOption = U"--help";

// Terminal columns: two for the wide East Asian characters (the labels are
// all such), one for the rest.
std::size_t displayWidth(TextView text) {
  std::size_t width = 0;
  for (char32_t c : text) {
    const bool halfWidthForm = c >= 0xFF61 && c <= 0xFFDC;
    width += c >= 0x2E80 && !halfWidthForm ? 2 : 1;
  }
  return width;
}

Text padded(TextView text, std::size_t width) {
  return Text(text) + Text(width - std::min(width, displayWidth(text)), U' ');
}

std::size_t labelWidth() {
  std::size_t width = 0;
  for (const KindInfo& info : imageKinds()) width = std::max(width, displayWidth(texts::of(info.kind).label));
  return width;
}

Text dateText(const Date& date) {
  const auto field = dateFieldOf(date);
  return widen(std::string_view(field.data(), field.size()));
}

// "MM/DD" of a day that some year has; the year is the caller's.
std::optional<Date> parseDate(TextView text, int year) {
  if (text.size() != 5 || text[2] != U'/') return std::nullopt;
  const int month = fieldNumber(text.substr(0, 2));
  const int day = fieldNumber(text.substr(3, 2));
  if (month < 1 || month > 12 || day < 1 || day > daysInMonth(month, true)) return std::nullopt;
  return Date{year, month, day};
}

Text reasonOf(const Finding& finding, unsigned storeCodePage) {
  switch (finding.problem) {
    case LineProblem::TooShort: return Text(texts::kTooShort);
    case LineProblem::MonthNotTwoDigits: return Text(texts::kMonthNotTwoDigits);
    case LineProblem::DayNotTwoDigits: return Text(texts::kDayNotTwoDigits);
    case LineProblem::MonthOutOfRange: return Text(texts::kMonthOutOfRange);
    case LineProblem::DayOutOfRange: return Text(texts::kDayOutOfRange);
    case LineProblem::HalfEveryDay: return Text(texts::kHalfEveryDay);
    case LineProblem::NoSuchDate: return Text(texts::kNoSuchDate);
    case LineProblem::UnknownKind: return Text(texts::kUnknownKind);
    case LineProblem::NotStorable: return texts::notStorableMessage(storeCodePage);
    case LineProblem::NeverWins: return texts::neverWinsMessage(finding.laterLine);
    case LineProblem::NoPath: return Text(texts::kNoPath);
    case LineProblem::PathHasBlanks: return Text(texts::kPathHasBlanks);
    case LineProblem::BitmapMissing: return Text(texts::kBitmapMissing);
    case LineProblem::NotBitmap: return Text(texts::kNotBitmap);
    case LineProblem::LeapDayOnly: return Text(texts::kLeapDayOnly);
  }
  return {};
}

void appendLine(Text& out, std::initializer_list<TextView> parts) {
  for (TextView part : parts) out += part;
  out += U'\n';
}

// The year table: a row a day, a column an image, every column as wide as
// its widest cell; a "*" marks each value that differs from every day's.
void appendYearTable(Text& out, const CheckReport& report) {
  using Row = std::array<Text, 4>;
  std::vector<Row> rows{{Text(texts::kCheckDateColumn)}};
  for (const KindInfo& info : imageKinds()) rows[0][1 + static_cast<std::size_t>(info.kind)] = U"  " + Text(texts::of(info.kind).label);
  const auto addRow = [&](Text day, const DayValues& values) {
    Row& row = rows.emplace_back(Row{std::move(day)});
    for (std::size_t i = 0; i < values.size(); ++i) {
      row[i + 1] = (values[i].path == report.everyDay[i].path ? U"  " : U"* ") + Text(texts::shownValue(values[i].path));
    }
  };
  addRow(Text(texts::kCheckEveryDay), report.everyDay);
  for (const YearDay& day : report.year) addRow(dateText(day.date), day.values);
  std::array<std::size_t, 4> widths{};
  for (const Row& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], displayWidth(row[i]));
  }
  for (const Row& row : rows) {
    appendLine(out, {padded(row[0], widths[0]), U"  ", padded(row[1], widths[1]), U"  ", padded(row[2], widths[2]),
                     U"  ", row[3]});
  }
}

CheckRun badArgument(TextView argument) {
  Text errors;
  appendLine(errors, {texts::kCheckBadArgument, argument});
  errors += texts::kCheckUsage;
  return {{}, errors, CheckOutcome::BadArguments};
}

CheckRun unreadable(TextView what, TextView file) {
  Text errors;
  appendLine(errors, {what, file});
  return {{}, errors, CheckOutcome::ScheduleUnreadable};
}

}  // namespace

Text renderReport(const CheckReport& report, TextView fileName, const Date& date, const StoredValues* stored,
                  bool withYear, unsigned storeCodePage) {
  Text out;
  appendLine(out, {texts::kCheckFile, fileName});
  const std::size_t problems = report.problemCount();
  appendLine(out, {problems ? texts::problemCountMessage(problems) : Text(texts::kCheckNoProblems)});
  if (report.inUtf8) appendLine(out, {texts::kCheckInUtf8});
  for (const Finding& finding : report.findings) {
    appendLine(out, {texts::lineNumberText(finding.lineNumber), isNote(finding.problem) ? texts::kCheckNoteMark : U"",
                     U"：", reasonOf(finding, storeCodePage), U"「", finding.line, U"」"});
  }
  if (report.uncheckedPaths) appendLine(out, {texts::uncheckedPathsMessage(report.uncheckedPaths)});

  appendLine(out, {U"\n", texts::onDateHeading(dateText(date))});
  for (const KindInfo& info : imageKinds()) {
    const ImageValue& value = report.onDate[static_cast<std::size_t>(info.kind)];
    appendLine(out, {U"  ", padded(texts::of(info.kind).label, labelWidth()), U"  ",
                     texts::valueFromLine(value.path, value.lineNumber)});
  }
  if (stored) {
    // Whether today's run has happened with this schedule: the scheduler
    // writes all three values, the empty ones too.
    appendLine(out, {U"\n", texts::kCheckStoredHeading});
    bool agree = true;
    for (const KindInfo& info : imageKinds()) {
      const std::optional<Text>& now = (*stored)[static_cast<std::size_t>(info.kind)];
      agree = agree && now == report.onDate[static_cast<std::size_t>(info.kind)].path;
      appendLine(out, {U"  ", padded(texts::of(info.kind).label, labelWidth()), U"  ",
                       now ? texts::shownValue(*now) : texts::kCheckNotStored});
    }
    appendLine(out, {agree ? texts::kCheckStoredAgree : texts::kCheckStoredDisagree});
  }
  if (!withYear) return out;

  if (report.year.empty()) {
    appendLine(out, {U"\n", texts::yearUnchangedMessage(date.year)});
    return out;
  }
  appendLine(out, {U"\n", texts::yearHeading(date.year)});
  appendYearTable(out, report);
  return out;
}

CheckRun runCheck(const CheckPlatform& platform) {
  Date date = platform.today;
  bool withYear = false;
  std::optional<std::filesystem::path> file;
  const auto& arguments = platform.arguments;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const Text argument = displayPath(arguments[i]);
    if (argument == kHelpOption) return {Text(texts::kCheckUsage), {}, CheckOutcome::NoProblems};
    if (argument == kYearOption) {
      withYear = true;
    } else if (argument == kDateOption) {
      if (++i == arguments.size()) return badArgument(argument);
      const Text value = displayPath(arguments[i]);
      const auto parsed = parseDate(value, date.year);
      if (!parsed) return badArgument(value);
      date = *parsed;
    } else if (!file && !argument.starts_with(U'-')) {
      file = arguments[i];
    } else {
      return badArgument(argument);
    }
  }
  if (!file && !platform.programDirectory) {
    // Without our own directory any velkorn.txt found would be the wrong one.
    return unreadable(texts::kScheduleOpenFailed, widen(kScheduleFileName));
  }
  if (!file) file = scheduleFileIn(*platform.programDirectory);

  const CheckReport report = checkScheduleFile(*file, platform.codec, date, bitmapOnDisk, platform.storable);
  if (report.read != CheckReport::Read::Whole) {
    const bool readFailed = report.read == CheckReport::Read::ReadFailed;
    return unreadable(readFailed ? texts::kScheduleReadFailed : texts::kScheduleOpenFailed, displayPath(*file));
  }
  StoredValues stored;
  const bool today = date.month == platform.today.month && date.day == platform.today.day;
  if (today && platform.stored) {
    for (const KindInfo& info : imageKinds()) stored[static_cast<std::size_t>(info.kind)] = platform.stored(info.valueName);
  }
  return {renderReport(report, displayPath(*file), date, today && platform.stored ? &stored : nullptr, withYear,
                       platform.storeCodePage),
          {}, report.problemCount() ? CheckOutcome::ProblemsFound : CheckOutcome::NoProblems};
}

}  // namespace velkorn
