// The Windows pieces under the core: the ANSI code page, the registry store,
// the message box style, the schedule writer and the editor window's
// calendar marks.

#include <gtest/gtest.h>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/editor_window.h"
#include "platform/win32/resource.h"
#include "platform/win32/message_box.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/schedule_writer.h"
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
  EXPECT_EQ(win32::messageBoxStyle({U"", U"", Critical, Message::Buttons::Ok}, false), UINT{MB_ICONERROR | MB_SETFOREGROUND});
}

// The first save makes the file, later ones replace it whole; a failed one
// leaves what was there and no temporary file. (Wine's ReplaceFileW does not
// keep the old file's attributes as Windows' does, so that goes untested.)
TEST(ReplacingWriter, ReplacesTheWholeFileOrFailsLeavingItAsItWas) {
  TempDir dir;
  win32::ReplacingWriter writer;
  const auto file = dir.path() / "velkorn.txt";
  ASSERT_TRUE(writer.replaceContents(file, "a much longer old content\r\n"));
  ASSERT_TRUE(writer.replaceContents(file, "\x95\x5C\r\n"));
  EXPECT_EQ(readBytes(file), "\x95\x5C\r\n");
  // Held by another program that lets nobody in.
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(writer.replaceContents(file, "new\r\n"));
  CloseHandle(held);
  EXPECT_EQ(readBytes(file), "\x95\x5C\r\n");
  EXPECT_FALSE(writer.replaceContents(dir.path() / "missing" / "velkorn.txt", "new\r\n"));
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().wstring().find(L".saving-"), std::wstring::npos);  // (Wine leaves files of its own)
  }
}

// NTFS allows a lone surrogate in a file name; a message shows it as it is.
TEST(DisplayPath, KeepsALoneSurrogate) { EXPECT_EQ(displayPath(L"C:\\a\xD800"), (Text{U'C', U':', U'\\', U'a', 0xD800})); }

// The real window, in this process: the calendar asks it for the marks of
// February to April as it does after a scroll (Wine carries no WM_NOTIFY
// from another process). A dated line typed into the list marks its day;
// deleting it clears the mark.
TEST(Win32EditorWindow, MarksTheDaysOfDatedLinesInTheDayStatesTheCalendarAsksFor) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  TempDir dir;
  dir.write("velkorn.txt", "A\r\n");
  win32::AnsiCodePage codePage;
  const Codec codec(codePage);
  win32::ReplacingWriter writer;
  win32::Form2 window(GetModuleHandleW(nullptr), dir.path() / "velkorn.exe");
  EditorController controller(window, codec, writer, dir.path() / "velkorn.txt");
  ASSERT_TRUE(window.create(&controller) && controller.load({2026, 3, 3}));
  const auto marchStates = [&] {
    std::array<MONTHDAYSTATE, 3> states{};
    NMDAYSTATE ask{{GetDlgItem(window.window(), IDC_MONTHVIEW1), IDC_MONTHVIEW1, MCN_GETDAYSTATE},
                   {2026, 2, 0, 1, 0, 0, 0, 0}, 3, states.data()};
    SendMessageW(window.window(), WM_NOTIFY, IDC_MONTHVIEW1, reinterpret_cast<LPARAM>(&ask));
    return states[1];
  };
  HWND list = GetDlgItem(window.window(), IDC_TEXT2);
  SendMessageW(list, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"03/05 R "));
  EXPECT_EQ(marchStates(), MONTHDAYSTATE{1} << 4);
  SendMessageW(list, EM_SETSEL, 0, 8);
  SendMessageW(list, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  EXPECT_EQ(marchStates(), MONTHDAYSTATE{0});
}

}  // namespace
}  // namespace velkorn::testing
