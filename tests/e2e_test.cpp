// The built programs, run as a user runs them: copies in a folder of their
// own (a name that is not UTF-8 on Linux; on Windows a Japanese one, whose 表
// ends in a backslash byte), started from another folder that holds a
// schedule of its own, on the day of kClock (CTest sets it on Windows).
// One case table for both programs on both builds: the exit status, what
// the user is told (standard output; the message boxes, or standard error),
// as bytes (UTF-8 on Linux; the ANSI code page with CR LF on Windows), and
// what the settings store holds afterwards. "{schedule}" stands for the
// schedule's full path, "{dir}" for the folder that holds a.bmp, a bitmap,
// and b.bmp, which is none, "{refused}" for why the store would refuse a
// path. The scheduler's cases run again where Windows' ANSI code page is
// UTF-8, from a folder with an ASCII name.

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win_text.h"
#include "tests/win32/desktop.h"
#else
#include <sys/stat.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QSettings>

#include "platform/qt/qt_text.h"
#endif

#include <array>
#include <set>

#include "schedule/schedule_file.h"
#include "tests/temp_dir.h"
#include "ui/texts.h"

namespace velkorn::testing {
namespace {


// The settings before the run: none, a store that cannot be written, or one
// that holds a path for the figure and an empty one for the read button.
enum class Store { Empty, Unwritable, Holding };

struct RunCase {
  const char* name;
  const char* program;   // velkorn or velkorn-check
  const char8_t* file;   // the schedule: nullptr, velkorn.txt beside the program; else this, from the working folder
  const char* schedule;  // CP932 bytes; nullptr: no file there
  std::vector<const char*> arguments;
  Store store;
  int exitCode;
  Text output, told;
  std::array<const char32_t*, 3> stored;  // P, R, W; nullptr: nothing stored
};

const Text kNotice = U"velkorn: " + Text(texts::kHolidayNotice) + U"\n";
constexpr std::array<const char32_t*, 3> kNothing{};

// 郵便 in comments; 表, whose second byte is 0x5C, and 絵 in paths; a path
// with a space and trailing spaces; an unknown kind; a date that never comes;
// bytes that are no character (81 20), which no store takes.
const RunCase kCases[] = {
    {"Scheduler", "velkorn", nullptr,
     "# \x97\x58\x95\xD6\r\n00/00 P C:\\\x95\x5C\\\x8A\x47.bmp\r\n12/24 R C:\\xmas read.bmp  \r\n00/00 Q unknown.bmp\r\n"
     "03/03 W C:\\hina.bmp\r\n02/30 W never.bmp\r\n00/00 W \x81\x20\xFF" "bad.bmp\r\n",
     {}, Store::Empty, 2, U"", kNotice + U"velkorn: 「書くの？」の画像変更に失敗しました。\n",
     {U"C:\\表\\絵.bmp", U"C:\\xmas read.bmp  ", U""}},
    {"SchedulerWithUnwritableStore", "velkorn", nullptr, "00/00 P a.bmp\r\n00/00 X b.bmp\r\n00/00 W c.bmp\r\n",
     {}, Store::Unwritable, 2, U"", kNotice + U"velkorn: 郵便屋さんの画像変更に失敗しました。\nvelkorn: 「書くの？」の画像変更に失敗しました。\n",
     kNothing},
    {"Checker", "velkorn-check", u8"別/予定.txt",
     "# \x97\x58\x95\xD6\r\n12/24 P {dir}/b.bmp\r\n00/00 P {dir}/a.bmp\r\n12/24 R {dir}/c.bmp\r\n"
     "02/29 W \x95\x5C\\\x8A\x47.bmp\r\n12/24 W \x81 x.bmp\r\n",
     {"別/予定.txt"}, Store::Holding, 3,
     U"設定ファイル：別/予定.txt\n"
     U"問題が 4 件あります。\n"
     U"2 行目：BMP ファイルではないか、読み込めません。「12/24 P {dir}/b.bmp」\n"
     U"2 行目：同じ画像の 3 行目が後にあり、この行の日には必ずそちらが使われます。「12/24 P {dir}/b.bmp」\n"
     U"4 行目：ファイルがありません。「12/24 R {dir}/c.bmp」\n"
     U"5 行目（注意）：うるう年にだけ使われます。「02/29 W 表\\絵.bmp」\n"
     U"6 行目：{refused}「12/24 W \xDC81 x.bmp」\n"
     U"1 行のパスは、このシステムの絶対パスではないため、ファイルを確かめていません。\n"
     U"\n"
     U"12/24 の画像：\n"
     U"  郵便屋さん  {dir}/a.bmp  ← 3 行目\n"
     U"  読む？      {dir}/c.bmp  ← 4 行目\n"
     U"  書くの？    （空）  ← 当てはまる行なし\n"
     U"\n"
     U"Winbiff の設定に今ある画像：\n"
     U"  郵便屋さん  x.bmp\n"
     U"  読む？      （空）\n"
     U"  書くの？    （未設定）\n"
     U"今日の画像と違います。今日の実行がまだか、実行の後で設定ファイルが変わっています。\n",
     U"", {U"x.bmp", U"", nullptr}},
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

template <typename String>
String replaced(String text, std::basic_string_view<typename String::value_type> field, const String& value) {
  for (auto at = text.find(field); at != String::npos; at = text.find(field, at + value.size())) {
    text.replace(at, field.size(), value);
  }
  return text;
}

// The exit status (-1: it did not end within 20 s), standard output, and what the user is told.
struct Output { int exitCode; std::string out, told; };

#ifdef _WIN32
// Where the code page is UTF-8, a folder with an ASCII name: Wine has been
// seen not to start a program from a Japanese one there.
const std::filesystem::path kFolder = GetACP() == CP_UTF8 ? L"bitmaps" : L"ビットマップ 表";
constexpr unsigned kStoreCodePage = 932;  // the checker's cases run there only
const std::filesystem::path kBuilt = *win32::executableDirectory();
const std::string kExe = ".exe";
const char* const kProgramFiles[] = {"velkorn.exe", "velkorn-check.exe"};
const win32::AnsiCodePage kCodePage;

Bytes encoded(TextView text) { return Codec(kCodePage).encode(replaced(Text(text), U"\n", Text(U"\r\n"))).bytes; }

// Every box it shows is answered with OK, and told as "title: text".
Output run(const std::filesystem::path& program, const std::vector<Text>& arguments, const std::filesystem::path& dir) {
  std::vector<std::wstring> wide;
  for (const Text& argument : arguments) wide.push_back(win32::toWide(argument));
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto file = [&](const char* name) {
    return CreateFileW((dir / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  };
  HANDLE out = file("out"), err = file("err");
  PROCESS_INFORMATION process{};
  const bool started = startProgram(program, dir, process, wide, out, err);
  CloseHandle(out);
  CloseHandle(err);
  Text boxes;
  std::set<HWND> answered;
  const auto answerNewBoxes = [&] {
    std::erase_if(answered, [](HWND box) { return !IsWindow(box); });  // a handle may come back
    for (HWND box : windowsOf(L"#32770", process.dwProcessId)) {
      if (answered.insert(box).second) boxes += replaced(win32::fromWide(answer(box, IDOK)), U"|", Text(U": ")) + U"\n";
    }
    return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
  };
  const bool ended = started && waitFor(answerNewBoxes, 20000);
  if (started) TerminateProcess(process.hProcess, 99);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  return {ended ? static_cast<int>(exitCode) : -1, readBytes(dir / "out"), readBytes(dir / "err") + encoded(boxes)};
}

// A value's text if it is a REG_SZ.
std::optional<Text> stored(std::string_view name, const TempDir&) {
  std::string bytes(4096, '\0');
  DWORD size = 4096;
  if (RegGetValueA(HKEY_CURRENT_USER, win32::kSettingsSubKey, std::string(name).c_str(), RRF_RT_REG_SZ, nullptr,
                   bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Codec(kCodePage).decode(bytes.substr(0, size - 1));
}

// An unwritable store is one whose settings key cannot be made: a volatile
// parent admits no lasting subkey.
void prepareStore(Store store, const TempDir&) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\orangesoft");
  if (store == Store::Empty) return;
  const bool holding = store == Store::Holding;
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, holding ? win32::kSettingsSubKey : "Software\\orangesoft\\winbiff", 0,
                            nullptr, holding ? REG_OPTION_NON_VOLATILE : REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  if (holding) {
    RegSetValueExA(key, "velkornBitmap", 0, REG_SZ, reinterpret_cast<const BYTE*>("x.bmp"), 6);
    RegSetValueExA(key, "readButtonBitmap", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  }
  RegCloseKey(key);
}
#else
constexpr const char* kClock = VELKORN_CLOCK;  // 2028-12-24 08:00:00
const std::filesystem::path kFolder = "\x95\x5C";
constexpr unsigned kStoreCodePage = 0;  // the settings file holds any character
const std::filesystem::path kBuilt = VELKORN_BIN_DIR;
const std::string kExe;
const char* const kProgramFiles[] = {"velkorn", "velkorn-check", "libvelkorn-qt-gui.so"};

std::string encoded(TextView text) { return toUtf8(text); }

QString qs(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// The program is started through a link of its own in `dir`, on `display` (none: no
// display at all), through a shell command `shell` that ends in exec "$0", at
// `clock` (none: the real one).
void start(QProcess& process, const std::filesystem::path& program, const std::vector<Text>& arguments,
           const std::filesystem::path& dir, const QString& display = {}, const QString& shell = {},
           const char* clock = kClock) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  if (!display.isEmpty()) env.insert("DISPLAY", display);
  env.insert("XDG_CONFIG_HOME", qs(dir / "config"));
  // libfaketime without its wrapper. A sanitizer's runtime, preloaded ahead
  // of it, hangs; behind it, the runtime only has to be told not to mind.
  if (clock) env.insert("LD_PRELOAD", "/usr/$LIB/faketime/libfaketime.so.1");
  if (clock) env.insert("FAKETIME", QStringLiteral("@") + clock);
  env.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(qs(dir));
  static int links = 0;
  const std::filesystem::path link = dir / ("link" + std::to_string(++links));
  std::filesystem::create_symlink(program, link);
  QStringList list;
  for (const Text& argument : arguments) list << QString::fromStdString(toUtf8(argument));
  shell.isEmpty() ? process.start(qs(link), list) : process.start("sh", QStringList{"-c", shell, qs(link)} + list);
}

Output run(const std::filesystem::path& program, const std::vector<Text>& arguments, const std::filesystem::path& dir,
           const QString& display = {}, const QString& shell = {}) {
  QProcess process;
  start(process, program, arguments, dir, display, shell);
  const bool ended = process.waitForFinished(20000);
  process.kill();
  return {ended ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

std::optional<Text> stored(std::string_view name, const TempDir& dir) {
  const QVariant value = QSettings(qs(dir.path() / "config/orangesoft/winbiff.conf"), QSettings::IniFormat)
                             .value("settings/" + QString::fromLatin1(name.data(), qsizetype(name.size())));
  return value.isValid() ? std::optional(qt::fromQString(value.toString())) : std::nullopt;
}

// An unwritable store: a file where the settings' folder should be.
void prepareStore(Store store, const TempDir& dir) {
  if (store == Store::Unwritable) dir.write("config/orangesoft", "");
  if (store == Store::Holding) {
    dir.write("config/orangesoft/winbiff.conf", "[settings]\nvelkornBitmap=x.bmp\nreadButtonBitmap=\n");
  }
}
#endif

// The programs in their folder, and the folder the user starts them from,
// which holds a schedule of its own that is never the one read.
class Programs : public ::testing::TestWithParam<RunCase> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder);
    for (const char* file : kProgramFiles) std::filesystem::copy_file(kBuilt / file, folder / file);
    dir.write("velkorn.txt", "00/00 R wrong.bmp\r\n");
    dir.write("a.bmp", "BM");
    dir.write("b.bmp", "BZ");
  }
  void TearDown() override { prepareStore(Store::Empty, dir); }

  TempDir dir;
  std::filesystem::path folder = dir.path() / kFolder;
};

TEST_P(Programs, RunAsAUserRunsThem) {
  const RunCase& c = GetParam();
  prepareStore(c.store, dir);
  const auto schedule = c.file ? dir.path() / c.file : folder / "velkorn.txt";
  const auto expand = [&](TextView text) {
    return replaced(replaced(replaced(Text(text), U"{schedule}", displayPath(schedule)), U"{dir}", displayPath(dir.path())),
                    U"{refused}", texts::notStorableMessage(kStoreCodePage));
  };
  if (c.schedule) dir.write(schedule, replaced<std::string>(c.schedule, "{dir}", dir.path().string()));
  std::vector<Text> arguments;
  for (const char* argument : c.arguments) arguments.push_back(expand(fromUtf8(argument)));
  const Output seen = run(folder / (std::string(c.program) + kExe), arguments, dir.path());
  EXPECT_EQ(seen.exitCode, c.exitCode);
  EXPECT_EQ(seen.out, encoded(expand(c.output)));
  EXPECT_EQ(seen.told, encoded(expand(c.told)));
  for (const KindInfo& info : imageKinds()) {
    const char32_t* expected = c.stored[static_cast<std::size_t>(info.kind)];
    EXPECT_EQ(stored(info.valueName, dir), expected ? std::optional<Text>(expected) : std::nullopt)
        << info.valueName;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Programs, ::testing::ValuesIn(kCases),
                         [](const auto& each) { return std::string(each.param.name); });

#ifndef _WIN32
std::string settingsOf(const TempDir& dir) { return readBytes(dir.path() / "config/orangesoft/winbiff.conf"); }

// A FIFO would block the open: only a regular file is read. A disk that
// fills (a file size limit here) fails the run's one commit: every image a
// due entry went to is reported, and the settings stay as they were, byte
// for byte.
TEST_F(Programs, AFifoOrAFullDiskChangesNothing) {
  ASSERT_EQ(mkfifo((folder / "velkorn.txt").c_str(), 0600), 0);
  EXPECT_EQ(run(folder / "velkorn", {}, dir.path()).exitCode, 1);
  std::filesystem::remove(folder / "velkorn.txt");
  dir.write(folder / "velkorn.txt", "00/00 W w\r\n");
  const std::string old = "[settings]\nvelkornBitmap=old\n[other]\nkept=" + std::string(4000, 'k') + "\n";
  dir.write("config/orangesoft/winbiff.conf", old);
  const Output seen = run(folder / "velkorn", {}, dir.path(), {}, "trap '' XFSZ; ulimit -f 2; exec \"$0\"");
  EXPECT_EQ(seen.exitCode, 2);
  EXPECT_EQ(seen.told, encoded(kNotice + U"velkorn: 「書くの？」の画像変更に失敗しました。\n"));
  EXPECT_EQ(settingsOf(dir), old);
}

// Twenty runs at once, each with values of its own, while another program
// adds settings of its own through QSettings (as the mail checker would):
// the file ends with one whole run's values, and every setting the other
// program added is there.
TEST_F(Programs, RunsAtOnceLeaveOneWholeRunAndEverySettingOfOthers) {
  dir.write("config/orangesoft/winbiff.conf", "[settings]\nvelkornBitmap=old\n");
  QSettings other(qs(dir.path() / "config/orangesoft/winbiff.conf"), QSettings::IniFormat);
  int added = 0;
  const auto add = [&] {
    other.setValue("other/key" + QString::number(added), added);
    other.sync();
    ++added;
  };
  std::vector<std::unique_ptr<QProcess>> runs;
  for (int i = 0; i < 20; ++i) {
    const std::filesystem::path own = dir.path() / std::to_string(i);
    std::filesystem::create_directories(own);
    std::filesystem::create_hard_link(folder / "velkorn", own / "velkorn");
    // Of a length of its own: QSettings takes a file of the size and time
    // (in milliseconds) it last saw for unchanged.
    const std::string n(static_cast<std::size_t>(i), '.');
    dir.write(own / "velkorn.txt", "00/00 P p" + n + "\r\n00/00 R r" + n + "\r\n00/00 W w" + n + "\r\n");
    // The real clock: under a faked one every lock file looks years old, so
    // stale, and QLockFile's taking over of a stale lock races.
    start(*runs.emplace_back(std::make_unique<QProcess>()), own / "velkorn", {}, dir.path(), {}, {}, nullptr);
    add();
  }
  for (const QDeadlineTimer deadline(40000); !deadline.hasExpired(); add()) {
    const auto running = std::ranges::find_if(runs, [](auto& run) { return run->state() != QProcess::NotRunning; });
    if (running == runs.end()) break;
    (*running)->waitForFinished(5);
  }
  for (auto& run : runs) {
    EXPECT_TRUE(run->state() == QProcess::NotRunning && run->exitCode() == 0) << "a run did not end well within 40 s";
  }
  const std::string settings = settingsOf(dir);
  const auto p = settings.find("velkornBitmap=p") + 15;
  const std::string n = settings.substr(p, settings.find('\n', p) - p);
  std::vector<std::string> expected = {"readButtonBitmap=r" + n, "compositeButtonBitmap=w" + n};
  for (int key = 0; key < added; ++key) expected.push_back("key" + std::to_string(key) + "=" + std::to_string(key));
  for (const std::string& line : expected) EXPECT_NE(settings.find(line + "\n"), std::string::npos) << line;
}

// A display that cannot be reached is as good as none; one that can shows a
// real box, and answering it ends the run normally (a Qt application torn
// down by an exit handler would crash here).
TEST_F(Programs, MessagesAreBoxesWhereADisplayIsReachable) {
  dir.write(folder / "velkorn.txt", "12/24 P a.bmp\r\n");
  const Output unreachable = run(folder / "velkorn", {}, dir.path(), ":97");
  EXPECT_EQ(unreachable.exitCode, 0);
  EXPECT_TRUE(unreachable.told.ends_with(encoded(U"\n" + kNotice))) << unreachable.told;
  // A private X server, which writes its display's number once it takes
  // clients, and xdotool to press Return in the box.
  QProcess x, xdotool, scheduler;
  x.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
  ASSERT_TRUE(x.waitForReadyRead(10000)) << "Xvfb did not start";
  const QString display = ':' + QString::fromLatin1(x.readAllStandardOutput()).trimmed();
  start(scheduler, folder / "velkorn", {}, dir.path(), display);
  xdotool.setProcessEnvironment(scheduler.processEnvironment());
  xdotool.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^velkorn$", "key", "--window", "%1", "Return"});
  EXPECT_TRUE(xdotool.waitForFinished(10000)) << "no window titled velkorn appeared within 10 s";
  EXPECT_TRUE(scheduler.waitForFinished(10000)) << "the scheduler did not end after its box was answered";
  EXPECT_EQ(scheduler.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(scheduler.exitCode(), 0);
  for (QProcess* p : {&xdotool, &scheduler, &x}) p->kill(), p->waitForFinished(5000);
}
#endif

}  // namespace
}  // namespace velkorn::testing
