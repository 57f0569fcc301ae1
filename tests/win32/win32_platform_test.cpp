// The Windows pieces under the core: the ANSI code page, the registry store,
// the message box style, the schedule writer, the daily task's definition
// and the editor window's calendar.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <numeric>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/calendar_fit.h"
#include "platform/win32/editor_window.h"
#include "platform/win32/resource.h"
#include "platform/win32/message_box.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/schedule_writer.h"
#include "platform/win32/task_definition.h"
#include "schedule/schedule_file.h"
#include "tests/cp932_codec_cases.h"
#include "tests/temp_dir.h"

namespace velkorn::testing {

// The tests run under a Japanese locale; on another ANSI code page every
// case of the suite would test the wrong thing.
TEST(SystemCodePage, IsShiftJis) { ASSERT_EQ(GetACP(), 932u); }

INSTANTIATE_TYPED_TEST_SUITE_P(Ansi, Cp932, win32::AnsiCodePage);

namespace {

// "C:\画像\表.bmp" in CP932; 表's second byte is 0x5C.
const Text kJapanesePath = U"C:\\画像\\表.bmp";
const std::string kJapanesePathBytes = "C:\\\x89\xE6\x91\x9C\\\x95\x5C.bmp";

// WideCharToMultiByte held to the rules its documentation gives for dwFlags
// and the default-character arguments ("WideCharToMultiByte function",
// Parameters), which Wine does not enforce for UTF-8: 65001 takes no flag but
// WC_ERR_INVALID_CHARS, which 932 does not take, and no default-character
// arguments. MultiByteToWideChar takes MB_ERR_INVALID_CHARS for both
// ("MultiByteToWideChar function", dwFlags): only code pages that are never
// the ANSI one (UTF-7, ISO-2022, EBCDIC, Symbol) take no flags.
struct DocumentedConversion final : win32::ConversionCalls {
  int wideCharToMultiByte(UINT cp, DWORD flags, LPCWCH in, int size, LPSTR out, int outSize, LPCCH defaultChar,
                          LPBOOL used) override {
    if (cp == 65001 && (defaultChar || used)) return SetLastError(ERROR_INVALID_PARAMETER), 0;
    if (flags & ~(cp == 65001 ? WC_ERR_INVALID_CHARS : ~DWORD{WC_ERR_INVALID_CHARS})) return SetLastError(ERROR_INVALID_FLAGS), 0;
    return ConversionCalls::wideCharToMultiByte(cp, flags, in, size, out, outSize, defaultChar, used);
  }
};

// Under those rules the text converts both ways, CP932 to its very bytes, and
// strictly: a character the code page lacks, or a byte it does not define
// after a character, ends the prefix.
TEST(AnsiCodePage, ConvertsStrictlyInCodePagesThatRefuseTheFlags) {
  const struct { UINT codePage; std::string bytes, invalid; Text lacking; } cases[] = {
      {932, kJapanesePathBytes, "\x95\x5C\x81", U"é"},
      {65001, "C:\\\xE7\x94\xBB\xE5\x83\x8F\\\xE8\xA1\xA8.bmp", "\xE7\x94\xBB\xFF", Text(1, 0xD800)}};
  DocumentedConversion calls;
  for (const auto& c : cases) {
    const win32::AnsiCodePage codePage(c.codePage, calls);
    Bytes bytes;
    Text text;
    EXPECT_EQ(codePage.encodePrefix(kJapanesePath + U"a" + c.lacking, bytes), kJapanesePath.size() + 1) << c.codePage;
    EXPECT_EQ(codePage.decodePrefix(bytes, text) + codePage.decodePrefix(c.invalid, text), bytes.size() + c.invalid.size() - 1);
    EXPECT_EQ(bytes, c.bytes + "a") << c.codePage;
    EXPECT_EQ(text.substr(0, kJapanesePath.size() + 1), kJapanesePath + U"a") << c.codePage;
  }
}

// Records each registry call with its arguments, and answers the three
// calls of a write with the codes given.
struct RecordingRegistry final : win32::RegistryCalls {
  LONG createKey(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM access,
                 const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition) override {
    record({"create", name(root), subKey, std::to_string(reserved), className, std::to_string(options),
            std::to_string(access), security ? "security" : "", disposition ? "" : "no disposition"});
    *key = codes[0] == ERROR_SUCCESS ? kOpened : reinterpret_cast<HKEY>(0xBAD);
    return codes[0];
  }
  LONG setValue(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size) override {
    record({"set", name(key), valueName, std::to_string(reserved), std::to_string(type),
            std::string(reinterpret_cast<const char*>(data), size)});
    return codes[1];
  }
  LONG flushKey(HKEY key) override { return record({"flush", name(key)}), codes[2]; }
  LONG closeKey(HKEY key) override { return record({"close", name(key)}), ERROR_SUCCESS; }

  void record(std::initializer_list<std::string> call) {
    calls.push_back(std::accumulate(call.begin(), call.end(), std::string(), [](auto l, auto& p) { return l + p + ' '; }));
  }
  static std::string name(HKEY key) { return key == HKEY_CURRENT_USER ? "HKCU" : key == kOpened ? "opened" : "null"; }
  static inline const HKEY kOpened = reinterpret_cast<HKEY>(0x1234);
  std::array<LONG, 3> codes{};
  std::vector<std::string> calls;
};

// The three calls with their exact arguments for a path of the schedule (the
// empty one too), by the system's code page and the schedule's bytes (read
// as UTF-8 with `utf8`), under the rules of DocumentedConversion: the path
// in the system's code page, stored with its NUL. No call at all where the
// mail checker would read back another path ("?" for é, U+30FB for a byte
// that is no character). Where the system's code page is UTF-8, a schedule
// that is not is Shift-JIS: 表 is 95 5C there. Any one call failing (`codes`)
// fails the write, yet all three are made; a key that was not opened is
// neither used nor closed.
TEST(RegistryWrite, MakesTheThreeCallsOnlyForWhatTheMailCheckerReadsBackAsThePath) {
  const struct { UINT codePage; bool utf8; const char *schedule, *stored; std::array<LONG, 3> codes{}; } cases[] = {
      {932, false, kJapanesePathBytes.c_str(), kJapanesePathBytes.c_str()}, {932, false, "", ""},
      {932, false, "\x81\x20\xFF" "bad.bmp", nullptr}, {932, false, "a\x81", nullptr}, {932, true, "\xC3\xA9", nullptr},
      {65001, false, "\x95\x5C", "\xE8\xA1\xA8"}, {65001, true, "\xE8\xA1\xA8", "\xE8\xA1\xA8"},
      {1252, false, "caf\xE9", "caf\xE9"}, {1252, true, "\xE8\xA1\xA8", nullptr},
      {932, false, "a", "a", {ERROR_ACCESS_DENIED}}, {932, false, "a", "a", {0, ERROR_ACCESS_DENIED}},
      {932, false, "a", "a", {0, 0, ERROR_ACCESS_DENIED}}};
  DocumentedConversion calls;
  RecordingRegistry registry;
  for (const auto& c : cases) {
    const win32::AnsiCodePage system(c.codePage, calls), schedule(win32::scheduleCodePage(c.codePage), calls);
    const Text path = c.utf8 ? fromUtf8(c.schedule) : Codec(schedule).decode(c.schedule);
    registry.calls.clear();
    registry.codes = c.codes;
    const bool written = c.stored && c.codes == std::array<LONG, 3>{};
    EXPECT_EQ(win32::RegistrySettingsStore(system, registry).write("readButtonBitmap", path), written) << c.codePage << c.schedule;
    std::vector<std::string> made = {
        "create HKCU Software\\orangesoft\\winbiff\\settings 0 readButtonBitmap 0 983103   ",
        "set " + std::string(c.codes[0] ? "null" : "opened") + " readButtonBitmap 0 1 " + (c.stored ? c.stored : "") + '\0' + ' ',
        "flush HKCU ", "close opened "};
    made.resize(!c.stored ? 0 : c.codes[0] ? 3 : 4);
    EXPECT_EQ(registry.calls, made) << c.codePage << c.schedule << c.codes[0] << c.codes[1];
  }
}

TEST(MessageBoxStyle, CarriesTheIconAndTheButtonsAndComesToTheFrontWithoutAnOwner) {
  using enum Message::Icon;
  EXPECT_EQ(win32::messageBoxStyle({U"", U"", Information, Message::Buttons::YesNo}, true), UINT{MB_YESNO | MB_ICONINFORMATION});
  EXPECT_EQ(win32::messageBoxStyle({U"", U"", Exclamation, Message::Buttons::Ok}, true), UINT{MB_ICONEXCLAMATION});
  EXPECT_EQ(win32::messageBoxStyle({U"", U"", Critical, Message::Buttons::Ok}, false), UINT{MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST});
}

// ReplaceFileW as its documentation gives its failures ("ReplaceFileW
// function", Return value), which Wine never produces: with no backup file,
// 1176 leaves the old file gone ('g'), 1177 under another name ('r'), and
// both the replacement under its own; any other error leaves both names (1175,
// and 1, 50 and 87 from volumes that do not support the call). CreateFileW
// refused in a folder that Controlled folder access protects ('C'; "Protect
// important folders with controlled folder access"). `error` answers until
// the clock reaches `until` (0: once), then the real call; `moveError` every
// move.
struct ScriptedCalls final : win32::SaveCalls {
  DWORD create(const std::wstring& f, HANDLE& h) override { return old == 'C' ? ERROR_ACCESS_DENIED : SaveCalls::create(f, h); }
  DWORD replace(const std::wstring& target, const std::wstring& replacement) override {
    if (!error || (until && now >= until)) return SaveCalls::replace(target, replacement);
    if (old == 'g') std::filesystem::remove(target);
    if (old == 'r') std::filesystem::rename(target, target + L"~");
    return std::exchange(error, until ? error : 0);
  }
  DWORD move(const std::wstring& from, const std::wstring& to, bool replacing) override {
    return moveError ? moveError : SaveCalls::move(from, to, replacing);
  }
  ULONGLONG milliseconds() override { return now; }
  void pause(DWORD milliseconds) override { now += milliseconds; }
  DWORD error = 0, moveError = 0;
  ULONGLONG until = 0, now = 0;
  char old = ' ';
};

// Every sequence leaves velkorn.txt with the old text or the new, whole, or,
// only when it is gone, the new text in a temporary file the writer names (for
// the failure message), of a name no longer than velkorn.txt; a failure is
// reported, with its reason, exactly when the new text is not in place; a
// held file is tried for 3 s in all, a read-only one ('R', which Wine refuses
// too) or a folder that takes no new file not at all. One writer for all:
// nothing carries over.
TEST(ReplacingWriter, EveryDocumentedFailureOfReplaceFileWLeavesTheScheduleWholeSomewhere) {
  // The replace's error (0: the real call), what it does to the old file (n:
  // there is none), until when, the moves' error; then what is on disk
  // (velkorn.txt, and "|" and each temporary file), the milliseconds waited,
  // and the result: saved, access denied, or failed with the system's text
  // (Wine's Japanese ends in 。).
  const struct { DWORD error; char old; ULONGLONG until; DWORD moveError; const char* seen; } cases[] = {
      {1176, 'g', 0, 0, "new 0 s"}, {1177, 'r', 0, 0, "new 0 s"},
      {ERROR_SHARING_VIOLATION, ' ', 1500, 0, "new 1600 s"}, {ERROR_ACCESS_DENIED, ' ', ~0ull, 0, "old 3000 d"},
      {ERROR_SHARING_VIOLATION, 'n', 1500, ERROR_ACCESS_DENIED, "|new 3000 d"}, {0, 'R', 0, 0, "old 0 d"},
      {ERROR_UNABLE_TO_REMOVE_REPLACED, ' ', ~0ull, 0, "old 3000 t"}, {0, 'C', 0, 0, "old 0 d"},
      {ERROR_INVALID_FUNCTION, ' ', 0, 0, "new 0 s"}, {ERROR_INVALID_PARAMETER, ' ', 0, 0, "new 0 s"},
      {ERROR_NOT_SUPPORTED, ' ', 0, ERROR_SHARING_VIOLATION, "old 3000 t"}, {0, 'n', 0, 0, "new 0 s"}};
  ScriptedCalls calls;
  win32::ReplacingWriter writer(calls);
  for (const auto& c : cases) {
    TempDir dir;
    const auto target = c.old == 'n' ? dir.path() / "velkorn.txt" : dir.write("velkorn.txt", "old");
    if (c.old == 'R') SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    calls.error = c.error, calls.old = c.old, calls.until = c.until, calls.moveError = c.moveError, calls.now = 0;
    const SaveResult result = writer.replaceContents(target, "new");
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string seen = readBytes(target);
    std::optional<std::filesystem::path> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      if (!entry.path().filename().native().starts_with(L"velkorn.~")) continue;
      seen.append("|").append(readBytes(entry.path()));
      EXPECT_EQ(entry.path().filename().native().size(), target.filename().native().size());
      left = entry.path();
    }
    seen += ' ' + std::to_string(calls.now) + ' ' + "sdt"[static_cast<int>(result.status)];
    EXPECT_EQ(seen, c.seen) << c.error;
    EXPECT_EQ(result.systemText.ends_with(U"。"), result.status == SaveResult::Status::Failed) << c.error;
    EXPECT_EQ(writer.newContentsLeftIn(), left) << c.error;
  }
  // Of the 256 names of a temporary file all but one taken, the save takes
  // that one; all taken, it fails. (The calls as the last case left them:
  // the real ones.)
  TempDir dir;
  for (int n = 1; n <= 256; ++n) {
    dir.write(std::string("velkorn.~") + "0123456789abcdef"[n / 16 % 16] + "0123456789abcdef"[n % 16], "");
    EXPECT_TRUE(n < 255 || writer.replaceContents(dir.path() / "velkorn.txt", "new").saved() == (n < 256)) << n;
  }
}

// NTFS allows a lone surrogate in a file name; a message shows it as it is.
TEST(DisplayPath, KeepsALoneSurrogate) { EXPECT_EQ(displayPath(L"C:\\a\xD800"), (Text{U'C', U':', U'\\', U'a', 0xD800})); }

// Run starts the scheduler under the name the folder gives it (Wine itself
// folds case, as Windows does outside a case-sensitive folder).
TEST(SchedulerName, IsTheFoldersOwnInAnyCase) {
  for (const auto& [files, expected] : {std::pair<std::vector<const char*>, const char*>{{"VeLkOrN.eXe", "a.txt"}, "VeLkOrN.eXe"},
                                        {{"Velkorn.exe"}, "Velkorn.exe"}, {{"velkorn.exe.bak"}, "Velkorn.exe"}}) {
    TempDir dir;
    for (const char* file : files) dir.write(file, "");
    EXPECT_EQ(win32::asNamedInItsFolder(dir.path() / "Velkorn.exe"), dir.path() / expected);
  }
}

// The daily task's definition, as velkorn-task writes it: the folder in
// <Command> (the program's path, one command in quotes; a drive's root has
// its backslash already) and in <WorkingDirectory>, and the user in both
// <UserId>s, exactly, escaped for XML. A name that XML cannot hold (NTFS
// allows a lone surrogate, and U+FFFE) has no definition: Task Scheduler
// would not read it. (A folder named with spaces, Japanese, "&", é, 𠮷 and
// Hangul, written, read back and registered under Wine, is the zip's test.)
TEST(TaskDefinition, NamesTheFolderAndTheUserExactlyOrNotAtAll) {
  const Text edges{U'C', U':', U'\\', U' ', 0xD7FF, 0xE000, 0xFFFD, 0x10000, 0x10FFFF, U'\'', U'"'};
  const Text escaped = edges + U"&amp;&lt;&gt;";
  const struct { Text folder, user, command{}, directory{}, userXml{}; } cases[] = {  // no command: no definition
      {edges + U"&<>", U"PC\\a&b", U"\"" + escaped + U"\\velkorn.exe\"", escaped, U"PC\\a&amp;b"},
      {U"C:\\", U"S-1-5-21-1-2-3-1001", U"\"C:\\velkorn.exe\"", U"C:\\", U"S-1-5-21-1-2-3-1001"},
      {Text{U'C', U':', U'\\', 0xD800}, U"u"}, {Text{U'C', U':', U'\\', 0xFFFE}, U"u"}, {U"C:\\v", Text{U'u', 0xDC00}}};
  for (const auto& c : cases) {
    const auto xml = win32::taskDefinition(c.folder, c.user);
    ASSERT_EQ(xml.has_value(), !c.command.empty()) << toUtf8(c.folder);
    if (!xml) continue;
    const Text exec = U"<Command>" + c.command + U"</Command>\r\n      <WorkingDirectory>" + c.directory + U"</WorkingDirectory>\r\n";
    const Text user = U"<UserId>" + c.userXml + U"</UserId>\r\n";
    EXPECT_NE(xml->find(exec), Text::npos);
    EXPECT_NE(xml->find(user, xml->find(user) + 1), Text::npos) << "the trigger's and the principal's";
  }
}

// The real window, in this process (Wine carries no WM_NOTIFY from another
// process). The calendar's room at 96, 120 and 144 dpi: from its place's top
// to Check1, centred on its place, up to Label1. The calendar as large as it
// asks to be, at its place; after a new system font or theme, fitted again
// from its own font (here, one made too large stands for a larger system
// font). It asks for the marks of February to April as it does after a
// scroll: a dated line typed into the list marks its day; deleting it clears
// the mark. A calendar whose font is too large for its room gets the largest
// size of that face that fits; one whose font fits keeps it (nothing comes
// back).
TEST(Win32EditorWindow, FitsTheCalendarAtAnyDpiAndAfterAFontChangeAndMarksTheDaysOfDatedLines) {
  for (const int dpi : {96, 120, 144}) {
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    const RECT r = win32::calendarPlace(dpi, {1000, 1000});
    EXPECT_EQ((std::array{r.top, r.right, r.bottom, (r.left + r.right) / 2}),
              (std::array<LONG, 4>{px(120), px(4560), px(2640), (2 * px(1200) + px(2385)) / 2})) << dpi;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  TempDir dir;
  const win32::AnsiCodePage codePage;
  const Codec codec{codePage};
  win32::ReplacingWriter writer;
  win32::Form2 window{GetModuleHandleW(nullptr), dir.path() / "velkorn.exe"};
  EditorController controller{window, codec, writer, dir.write("velkorn.txt", "A\r\n")};
  ASSERT_TRUE(window.create(&controller) && controller.load({2026, 3, 3}));
  HWND calendar = GetDlgItem(window.window(), win32::controlId(form::Control::MonthView1));
  LOGFONTW face{-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"};
  const win32::FontHandle large(CreateFontIndirectW(&face));
  for (const UINT change : {UINT{0}, UINT{WM_SETTINGCHANGE}, UINT{WM_THEMECHANGED}}) {
    if (change) {
      SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(large.get()), FALSE);
      SendMessageW(window.window(), change, 0, 0);
    }
    RECT wanted{}, at{};
    SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&wanted));
    GetWindowRect(calendar, &at);
    MapWindowPoints(nullptr, window.window(), reinterpret_cast<POINT*>(&at), 2);
    const RECT place = win32::calendarPlace(96, {wanted.right, wanted.bottom});
    EXPECT_EQ((std::array{at.left, at.top, at.right, at.bottom}), (std::array{place.left, place.top, place.right, place.bottom}))
        << change;
    EXPECT_TRUE(wanted.right <= place.right - place.left && wanted.bottom <= place.bottom - place.top) << change;
  }
  const auto marchStates = [&] {
    std::array<MONTHDAYSTATE, 3> states{};
    const int id = GetDlgCtrlID(calendar);
    NMDAYSTATE ask{{calendar, static_cast<UINT_PTR>(id), MCN_GETDAYSTATE}, {2026, 2, 0, 1, 0, 0, 0, 0}, 3, states.data()};
    SendMessageW(window.window(), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&ask));
    return states[1];
  };
  HWND list = GetDlgItem(window.window(), win32::controlId(form::Control::Text2));
  SendMessageW(list, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"03/05 R "));
  EXPECT_EQ(marchStates(), MONTHDAYSTATE{1} << 4);
  SendMessageW(list, EM_SETSEL, 0, 8);
  SendMessageW(list, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  EXPECT_EQ(marchStates(), MONTHDAYSTATE{0});
  SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(large.get()), FALSE);
  const win32::FontHandle fitted = win32::fitCalendarFont(calendar, {200, 150});
  GetObjectW(fitted.get(), sizeof face, &face);
  EXPECT_TRUE(fitted && !win32::fitCalendarFont(calendar, {200, 150}) && face.lfFaceName == std::wstring(L"Tahoma"));
  --face.lfHeight;  // one pixel larger
  const win32::FontHandle larger(CreateFontIndirectW(&face));
  SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(larger.get()), FALSE);
  EXPECT_TRUE(win32::fitCalendarFont(calendar, {200, 150}) && !win32::fitCalendarFont(calendar, {4000, 4000}));
}

}  // namespace
}  // namespace velkorn::testing
