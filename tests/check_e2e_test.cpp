// The built velkorn-check, run as a user would run it: a copy in a directory
// of its own (a Japanese name on Windows), started from another directory
// that holds a schedule of its own, the clock at kClock by libfaketime (CTest
// sets it for the Windows build). One table for both builds: the exit status
// and the bytes printed, UTF-8 on Linux, the ANSI code page with CR LF on
// Windows, where the output goes to files. "{schedule}" stands for the
// schedule's full path, "{dir}" for the directory holding a.bmp, a bitmap,
// and b.bmp, which is none.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/win_text.h"
#include "tests/win32/desktop.h"
#else
#include <QProcess>
#endif

#include "schedule/schedule_file.h"
#include "tests/temp_dir.h"
#include "ui/texts.h"

namespace velkorn::testing {
namespace {

constexpr const char* kClock = "2028-12-24 08:00:00";  // a leap year

struct CheckCase {
  const char* name;
  const char8_t* file;   // the schedule, from the program's directory
  const char* schedule;  // CP932 bytes; nullptr: no file there
  std::vector<const char*> arguments;
  int exitCode;
  Text output, errors;
};

// 郵便 in a comment, 表 (second byte 0x5C) and 絵 in paths.
const CheckCase kCases[] = {
    {"DefaultFileToday", u8"velkorn.txt",
     "# \x97\x58\x95\xD6\r\n12/24 P {dir}/b.bmp\r\n00/00 P {dir}/a.bmp\r\n12/24 R {dir}/c.bmp\r\n"
     "02/29 W \x95\x5C\\\x8A\x47.bmp\r\n",
     {}, 3,
     U"スケジュールファイル：{schedule}\n"
     U"問題が 3 件あります。\n"
     U"2 行目：BMP ファイルではないか、読み込めません。「12/24 P {dir}/b.bmp」\n"
     U"2 行目：同じ画像の 3 行目が後にあり、この行の日には必ずそちらが使われます。「12/24 P {dir}/b.bmp」\n"
     U"4 行目：ファイルがありません。「12/24 R {dir}/c.bmp」\n"
     U"5 行目（注意）：うるう年にだけ使われます。「02/29 W 表\\絵.bmp」\n"
     U"1 行のパスは、このシステムの絶対パスではないため、ファイルを確かめていません。\n"
     U"\n"
     U"12/24 の画像：\n"
     U"  郵便屋さん  {dir}/a.bmp  ← 3 行目\n"
     U"  読む？      {dir}/c.bmp  ← 4 行目\n"
     U"  書くの？    （空）  ← 当てはまる行なし\n",
     U""},
    {"FileDateAndYear", u8"別/予定.txt", "00/00 P a.bmp\r\n02/29 W leap.bmp\r\n12/24 R \x95\x5C.bmp\r\n",
     {"--year", "{schedule}", "--date", "12/01"}, 0,
     U"スケジュールファイル：{schedule}\n"
     U"問題はありません。\n"
     U"2 行目（注意）：うるう年にだけ使われます。「02/29 W leap.bmp」\n"
     U"3 行のパスは、このシステムの絶対パスではないため、ファイルを確かめていません。\n"
     U"\n"
     U"12/01 の画像：\n"
     U"  郵便屋さん  a.bmp  ← 1 行目\n"
     U"  読む？      （空）  ← 当てはまる行なし\n"
     U"  書くの？    （空）  ← 当てはまる行なし\n"
     U"\n"
     U"2028 年に毎日の画像と違う日（* が違う画像）：\n"
     U"日付     郵便屋さん    読む？    書くの？\n"
     U"毎日     a.bmp         （空）    （空）\n"
     U"02/29    a.bmp         （空）  * leap.bmp\n"
     U"12/24    a.bmp       * 表.bmp    （空）\n",
     U""},
    {"Help", u8"velkorn.txt", nullptr, {"--date", "01/31", "--help"}, 0, Text(texts::kCheckUsage), U""},
    {"NoSchedule", u8"velkorn.txt", nullptr, {}, 1, U"", U"スケジュールファイルを開けませんでした：{schedule}\n"},
    {"NoSuchDate", u8"velkorn.txt", "", {"--date", "02/30"}, 2, U"",
     U"指定が正しくありません：02/30\n" + Text(texts::kCheckUsage)},
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }

template <typename String>
String replaced(String text, std::basic_string_view<typename String::value_type> field, const String& value) {
  for (auto at = text.find(field); at != String::npos; at = text.find(field, at + value.size())) {
    text.replace(at, field.size(), value);
  }
  return text;
}

struct Output {
  int exitCode = -1;
  std::string out, err;
};

#ifdef _WIN32
const std::filesystem::path kProgramDir = L"ビットマップ 表";
const std::filesystem::path kBuilt = *win32::executableDirectory() / "velkorn-check.exe";

Output run(const std::filesystem::path& program, const std::vector<Text>& arguments, const std::filesystem::path& dir) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  for (const Text& argument : arguments) commandLine += L" \"" + win32::toWide(argument) + L"\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto file = [&](const char* name) {
    return CreateFileW((dir / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  };
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file("out");
  startup.hStdError = file("err");
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, dir.c_str(), &startup, &process);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  DWORD exitCode = 0;
  if (!started || !waitFor([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 20000)) {
    if (started) TerminateProcess(process.hProcess, 99);
    return {};
  }
  GetExitCodeProcess(process.hProcess, &exitCode);
  return {static_cast<int>(exitCode), readBytes(dir / "out"), readBytes(dir / "err")};
}

Bytes encoded(TextView text) {
  const win32::AnsiCodePage codePage;
  return Codec(codePage).encode(replaced(Text(text), U"\n", Text(U"\r\n"))).bytes;
}
#else
const std::filesystem::path kProgramDir = "bin";
const std::filesystem::path kBuilt = std::filesystem::path(VELKORN_BIN_DIR) / "velkorn-check";

Output run(const std::filesystem::path& program, const std::vector<Text>& arguments, const std::filesystem::path& dir) {
  QStringList list;
  for (const Text& argument : arguments) list << QString::fromStdString(toUtf8(argument));
  // libfaketime without its wrapper, as a sanitizer's runtime wants it.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LD_PRELOAD", "/usr/$LIB/faketime/libfaketime.so.1");
  env.insert("FAKETIME", QStringLiteral("@") + kClock);
  env.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
  QProcess process;
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(QString::fromStdString(dir.string()));
  process.start(QString::fromStdString(program.string()), list);
  if (!process.waitForFinished(20000)) return {};
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

std::string encoded(TextView text) { return toUtf8(text); }
#endif

class CheckProgram : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckProgram, Prints) {
  const CheckCase& c = GetParam();
  TempDir dir;
  const std::filesystem::path program = dir.path() / kProgramDir / kBuilt.filename();
  std::filesystem::create_directories(program.parent_path());
  std::filesystem::copy_file(kBuilt, program);
  dir.write("velkorn.txt", "00/00 R wrong.bmp\r\n");
  dir.write("a.bmp", "BM");
  dir.write("b.bmp", "BZ");
  if (c.schedule) dir.write(program.parent_path() / c.file, replaced<std::string>(c.schedule, "{dir}", dir.path().string()));
  const auto expand = [&](TextView text) {
    return replaced(replaced(Text(text), U"{schedule}", displayPath(program.parent_path() / c.file)), U"{dir}",
                    displayPath(dir.path()));
  };
  std::vector<Text> arguments;
  for (const char* argument : c.arguments) arguments.push_back(expand(fromUtf8(argument)));
  const Output seen = run(program, arguments, dir.path());
  EXPECT_EQ(seen.exitCode, c.exitCode);
  EXPECT_EQ(seen.out, encoded(expand(c.output)));
  EXPECT_EQ(seen.err, encoded(expand(c.errors)));
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckProgram, ::testing::ValuesIn(kCases),
                         [](const auto& each) { return std::string(each.param.name); });

}  // namespace
}  // namespace velkorn::testing
