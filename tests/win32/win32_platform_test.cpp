// The Windows pieces under the core: the ANSI code page, the registry store,
// the message box style and the schedule writer.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/editor_window.h"
#include "platform/win32/message_box.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/schedule_writer.h"
#include "schedule/schedule_file.h"
#include "tests/cp932_codec_cases.h"
#include "tests/fake_editor.h"
#include "tests/temp_dir.h"
#include "ui/texts.h"

namespace velkorn::testing {

// The tests run under a Japanese locale; on another ANSI code page every
// case of the suite would test the wrong thing.
TEST(SystemCodePage, IsShiftJis) { ASSERT_EQ(GetACP(), 932u); }

INSTANTIATE_TYPED_TEST_SUITE_P(Ansi, Cp932, win32::AnsiCodePage);

namespace {

// "C:\画像\表.bmp" in CP932; 表's second byte is 0x5C.
const Text kJapanesePath = U"C:\\画像\\表.bmp";
const std::string kJapanesePathBytes = "C:\\\x89\xE6\x91\x9C\\\x95\x5C.bmp";

// WideCharToMultiByte and MultiByteToWideChar held to the rules their
// documentation gives for dwFlags, lpDefaultChar and lpUsedDefaultChar
// ("WideCharToMultiByte function", "MultiByteToWideChar function"), which
// Wine does not enforce for UTF-8: 65001 and 54936 take no flag but
// WC_ERR_INVALID_CHARS (MB_ERR_INVALID_CHARS), which no other code page
// takes; 50220-50229, 57002-57011, 65000 and 42 take none; UTF-7 and UTF-8
// take no default-character arguments.
struct DocumentedConversion final : win32::ConversionCalls {
  static DWORD allowed(UINT codePage, DWORD unicodeOnly) {
    if (codePage == 65001 || codePage == 54936) return unicodeOnly;
    const bool none = (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011) ||
                      codePage == 65000 || codePage == 42;
    return none ? 0 : ~unicodeOnly;
  }
  int multiByteToWideChar(UINT codePage, DWORD flags, LPCCH bytes, int size, LPWSTR wide, int wideSize) override {
    if (flags & ~allowed(codePage, MB_ERR_INVALID_CHARS)) return SetLastError(ERROR_INVALID_FLAGS), 0;
    return ConversionCalls::multiByteToWideChar(codePage, flags, bytes, size, wide, wideSize);
  }
  int wideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int size, LPSTR bytes, int bytesSize,
                          LPCCH defaultChar, LPBOOL usedDefault) override {
    if ((codePage == 65001 || codePage == 65000) && (defaultChar || usedDefault)) {
      return SetLastError(ERROR_INVALID_PARAMETER), 0;
    }
    if (flags & ~allowed(codePage, WC_ERR_INVALID_CHARS)) return SetLastError(ERROR_INVALID_FLAGS), 0;
    return ConversionCalls::wideCharToMultiByte(codePage, flags, wide, size, bytes, bytesSize, defaultChar, usedDefault);
  }
};

// Under those rules the schedule's text still converts, and strictly: what
// the code page lacks fails, bytes it does not define stay escapes. CP932
// keeps its bytes exactly; 65000 (UTF-7, which Wine converts) stands for the
// code pages that take no flags at all.
TEST(AnsiCodePage, ConvertsStrictlyInCodePagesThatRefuseTheFlags) {
  const struct {
    UINT codePage;
    std::string bytes;  // of kJapanesePath; empty: only the round trip is checked
    Text lacking;       // a character the code page cannot hold
    std::string invalid;  // a character, then a byte the code page does not define
  } cases[] = {
      {932, kJapanesePathBytes, U"é", "\x95\x5C\x81"},
      {65001, "C:\\\xE7\x94\xBB\xE5\x83\x8F\\\xE8\xA1\xA8.bmp", Text(1, 0xD800), "\xE7\x94\xBB\xFF"},
      {65000, "", U"", "a\xFF"},
  };
  DocumentedConversion calls;
  for (const auto& c : cases) {
    const win32::AnsiCodePage codePage(c.codePage, calls);
    Bytes bytes;
    Text text;
    ASSERT_EQ(codePage.encodePrefix(kJapanesePath, bytes), kJapanesePath.size()) << c.codePage;
    EXPECT_EQ(codePage.decodePrefix(bytes, text), bytes.size()) << c.codePage;
    EXPECT_EQ(text, kJapanesePath) << c.codePage;
    if (!c.bytes.empty()) {
      EXPECT_EQ(bytes, c.bytes) << c.codePage;
    }
    if (!c.lacking.empty()) {
      EXPECT_EQ(codePage.encodePrefix(U"a" + c.lacking, bytes), 1u) << c.codePage;
    }
    EXPECT_EQ(codePage.decodePrefix(c.invalid, text), c.invalid.size() - 1) << c.codePage;
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
    std::string line;
    for (const std::string& part : call) line += part + ' ';
    calls.push_back(line);
  }
  static std::string name(HKEY key) { return key == HKEY_CURRENT_USER ? "HKCU" : key == kOpened ? "opened" : "null"; }
  static inline const HKEY kOpened = reinterpret_cast<HKEY>(0x1234);
  std::array<LONG, 3> codes{};
  std::vector<std::string> calls;
};

class RegistryWrite : public ::testing::Test {
 protected:
  win32::AnsiCodePage codePage;
  Codec codec{codePage};
  RecordingRegistry registry;
  win32::RegistrySettingsStore store{codec, registry};
};

TEST_F(RegistryWrite, MakesTheThreeCallsWithTheirExactArguments) {
  ASSERT_TRUE(store.write("readButtonBitmap", kJapanesePath));
  ASSERT_TRUE(store.write("velkornBitmap", U""));
  const std::string create = "create HKCU Software\\orangesoft\\winbiff\\settings 0 ";
  EXPECT_EQ(registry.calls,
            (std::vector<std::string>{create + "readButtonBitmap 0 983103   ",
                                      "set opened readButtonBitmap 0 1 " + kJapanesePathBytes + '\0' + ' ', "flush HKCU ",
                                      "close opened ", create + "velkornBitmap 0 983103   ",
                                      std::string("set opened velkornBitmap 0 1 \0 ", 31), "flush HKCU ", "close opened "}));
}

TEST_F(RegistryWrite, AnyFailingCallFailsTheWriteYetAllThreeAreMade) {
  for (std::size_t failing = 0; failing < 3; ++failing) {
    registry.calls.clear();
    registry.codes = {};
    registry.codes[failing] = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(store.write("velkornBitmap", U"a.bmp"));
    // A key that was not opened is neither used nor closed.
    EXPECT_EQ(registry.calls.size(), failing == 0 ? 3u : 4u) << failing;
    EXPECT_EQ(registry.calls[1].substr(0, 9), failing == 0 ? "set null " : "set opene") << failing;
  }
  // The ANSI conversion would store "?" for it: a path to no file at all.
  registry.calls.clear();
  EXPECT_FALSE(store.write("velkornBitmap", U"C:\\café.bmp"));
  EXPECT_TRUE(registry.calls.empty());
}

// The real registry of the test's Wine prefix.
TEST(MessageBoxStyle, CarriesTheIconAndTheButtonsAndComesToTheFrontWithoutAnOwner) {
  using enum Message::Icon;
  EXPECT_EQ(win32::messageBoxStyle({U"", U"", Information, Message::Buttons::YesNo}, true), UINT{MB_YESNO | MB_ICONINFORMATION});
  EXPECT_EQ(win32::messageBoxStyle({U"", U"", Exclamation, Message::Buttons::Ok}, true), UINT{MB_ICONEXCLAMATION});
  EXPECT_EQ(win32::messageBoxStyle({U"", U"", Critical, Message::Buttons::Ok}, false), UINT{MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST});
}

// The first save makes the file, later ones replace it whole, a save into a
// missing folder fails and leaves no temporary file.
TEST(ReplacingWriter, ReplacesTheWholeFileOrFailsLeavingItAsItWas) {
  TempDir dir;
  win32::ReplacingWriter writer;
  const auto file = dir.path() / "velkorn.txt";
  ASSERT_TRUE(writer.replaceContents(file, "a much longer old content\r\n"));
  ASSERT_TRUE(writer.replaceContents(file, "\x95\x5C\r\n"));
  EXPECT_EQ(readBytes(file), "\x95\x5C\r\n");
  EXPECT_FALSE(writer.replaceContents(dir.path() / "missing" / "velkorn.txt", "new\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// What ReplaceFileW does on Windows and never under Wine, as its
// documentation gives it ("ReplaceFileW function", Return value): 1176
// without a backup file leaves the old file gone; 1177 leaves it under
// another name; both leave the replacement under its own name. A step
// answers until the clock reaches `until` (0: once); no step left, the real
// call.
enum class OldFile { Kept, Gone, Renamed };
struct Step {
  DWORD error;
  ULONGLONG until = 0;
  OldFile old = OldFile::Kept;
};
constexpr ULONGLONG kForever = ~0ull;

struct ScriptedCalls final : win32::SaveCalls {
  DWORD replace(const std::wstring& target, const std::wstring& replacement) override {
    const auto step = next(replaces);
    if (!step) return SaveCalls::replace(target, replacement);
    if (step->old == OldFile::Gone) std::filesystem::remove(target);
    if (step->old == OldFile::Renamed) std::filesystem::rename(target, target + L"~replaced");
    return step->error;
  }
  DWORD move(const std::wstring& from, const std::wstring& to) override {
    const auto step = next(moves);
    return step ? step->error : SaveCalls::move(from, to);
  }
  ULONGLONG milliseconds() override { return now; }
  void pause(DWORD milliseconds) override { now += milliseconds; }

  std::optional<Step> next(std::deque<Step>& steps) {
    while (!steps.empty() && steps.front().until != 0 && now >= steps.front().until) steps.pop_front();
    if (steps.empty()) return std::nullopt;
    const Step step = steps.front();
    if (step.until == 0) steps.pop_front();
    return step;
  }
  std::deque<Step> replaces, moves;
  ULONGLONG now = 0;
};

// Each sequence ends with velkorn.txt holding the old text or the new one,
// whole, or, when neither, the new text in the temporary file the message
// names; a failure is reported exactly when the new text is not in place.
TEST(ReplacingWriter, EveryDocumentedFailureOfReplaceFileWLeavesTheScheduleWholeSomewhere) {
  const struct {
    const char* name;
    bool oldFile;
    std::deque<Step> replaces, moves;
    const char* afterwards;  // velkorn.txt; "" when it is gone
    bool newTextLeftInTemporary;
    ULONGLONG retriedFor;
  } cases[] = {
      {"1176: the old file gone, the new one moved in", true, {{1176, 0, OldFile::Gone}}, {}, "new\r\n", false, 0},
      {"1176 with the old file in place", true, {{1176}}, {}, "old\r\n", false, 0},
      {"1177, then the move works", true, {{1177, 0, OldFile::Renamed}}, {}, "new\r\n", false, 0},
      {"1177, then the move fails", true, {{1177, 0, OldFile::Renamed}}, {{ERROR_ACCESS_DENIED, kForever}}, "", true, 3000},
      {"sharing violation for 1.5 s", true, {{ERROR_SHARING_VIOLATION, 1500}}, {}, "new\r\n", false, 1500},
      {"access denied for ever", true, {{ERROR_ACCESS_DENIED, kForever}}, {}, "old\r\n", false, 3000},
      {"the first save", false, {}, {}, "new\r\n", false, 0},
  };
  win32::AnsiCodePage codePage;
  const Codec codec(codePage);
  ScriptedCalls calls;
  win32::ReplacingWriter writer(calls);  // one for all: nothing carries over
  for (const auto& c : cases) {
    TempDir dir;
    const auto file = dir.path() / "velkorn.txt";
    if (c.oldFile) dir.write("velkorn.txt", "old\r\n");
    calls.replaces = c.replaces, calls.moves = c.moves, calls.now = 0;
    FakeView view;
    EditorController controller(view, codec, writer, file);
    view.controller = &controller;
    view.list = U"new";
    view.answers = {Answer::Yes};
    controller.handleSave();

    EXPECT_EQ(readBytes(file), c.afterwards) << c.name;
    std::vector<std::filesystem::path> temporaries;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      if (entry.path().wstring().find(L".saving-") != std::wstring::npos) temporaries.push_back(entry.path());
    }
    EXPECT_EQ(temporaries.size(), c.newTextLeftInTemporary ? 1u : 0u) << c.name;
    const bool saved = c.afterwards == std::string_view("new\r\n");
    std::string failure = "保存|x|設定ファイルを保存できませんでした。";
    if (!temporaries.empty()) {
      EXPECT_EQ(readBytes(temporaries[0]), "new\r\n") << c.name;
      failure += toUtf8(Text(texts::kSaveLeftIn) + displayPath(temporaries[0]));
    }
    EXPECT_EQ(view.shown.size(), saved ? 1u : 2u) << c.name;
    EXPECT_EQ(view.shown.back(), saved ? view.shown[0] : failure) << c.name;
    EXPECT_GE(calls.now, c.retriedFor) << c.name;
  }
}

// At 96, 120 and 144 dpi, a calendar of Windows' default size (about 225 by
// 160 pixels at 96 dpi) keeps it; a larger one gets all the room there is.
TEST(CalendarPlace, KeepsItsSizeOrTakesTheRoomAtItsPlacesTopCentredClearOfItsNeighbours) {
  for (const int dpi : {96, 120, 144}) {
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    for (const SIZE wanted : {SIZE{225 * dpi / 96, 160 * dpi / 96}, SIZE{1000, 1000}}) {
      const RECT r = win32::calendarPlace(dpi, wanted);
      const bool fits = wanted.cx < 1000;
      EXPECT_EQ(r.top, px(120)) << dpi;
      EXPECT_LE(std::abs(r.left + r.right - 2 * px(1200) - px(2385)), 1) << dpi;
      EXPECT_EQ(r.right - r.left == wanted.cx, fits) << dpi;
      EXPECT_EQ(r.bottom - r.top == wanted.cy, fits) << dpi;
      EXPECT_EQ(r.right <= px(4560) && r.bottom <= px(2640), true) << dpi;
      if (!fits) {
        EXPECT_EQ(r.right == px(4560) && r.bottom == px(2640), true) << dpi;
      }
    }
  }
}

// A month calendar in a font too large for its room gets the largest size of
// that face it fits in; where its own font fits, it keeps it.
TEST(CalendarFont, IsItsOwnOrTheLargestSizeOfItsFaceThatFits) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES};
  InitCommonControlsEx(&classes);
  HWND calendar = CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_POPUP | MCS_NOTODAY, 0, 0, 300, 300, nullptr, nullptr,
                                  nullptr, nullptr);
  const win32::FontHandle large(CreateFontW(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(large.get()), FALSE);
  const auto wants = [&] {
    RECT r{};
    SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
    return SIZE{r.right, r.bottom};
  };
  EXPECT_FALSE(win32::fitCalendarFont(calendar, wants()));
  EXPECT_EQ(SendMessageW(calendar, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(large.get()));

  const SIZE room{wants().cx * 2 / 3, wants().cy * 2 / 3};
  const win32::FontHandle fitted = win32::fitCalendarFont(calendar, room);
  LOGFONTW face{};
  GetObjectW(fitted.get(), sizeof face, &face);
  EXPECT_STREQ(face.lfFaceName, L"Tahoma");
  EXPECT_TRUE(wants().cx <= room.cx && wants().cy <= room.cy);
  face.lfHeight -= 1;  // one pixel larger
  const win32::FontHandle larger(CreateFontIndirectW(&face));
  SendMessageW(calendar, WM_SETFONT, reinterpret_cast<WPARAM>(larger.get()), FALSE);
  EXPECT_FALSE(wants().cx <= room.cx && wants().cy <= room.cy);
  DestroyWindow(calendar);
}

// GetConsoleProcessList as documented ("GetConsoleProcessList function",
// Return value): the count of processes; with too small a list, the count
// needed and no list; 0 on failure (no console: a redirected or detached run).
DWORD gProcesses = 0;
DWORD WINAPI processList(LPDWORD, DWORD) { return gProcesses; }

TEST(AloneOnConsole, OnlyWhenTheListHoldsThisProcessAlone) {
  for (const auto& [answer, alone] : {std::pair{0ul, false}, {1ul, true}, {2ul, false}, {3ul, false}}) {
    gProcesses = answer;
    EXPECT_EQ(win32::aloneOnConsole(processList), alone) << answer;
  }
}

// NTFS allows a lone surrogate in a file name; a message shows it as it is.
TEST(DisplayPath, KeepsALoneSurrogate) { EXPECT_EQ(displayPath(L"C:\\a\xD800"), (Text{U'C', U':', U'\\', U'a', 0xD800})); }

}  // namespace
}  // namespace velkorn::testing
