// The built velkorn.exe, run as a user would run it: a copy in a directory of
// its own (with a Japanese name, 表's second byte a backslash), started from
// elsewhere, its message boxes answered, and the registry read back byte for
// byte. CTest runs each case with the clock set by faketime.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/win_text.h"
#include "schedule/schedule_file.h"
#include "tests/e2e_cases.h"
#include "tests/temp_dir.h"
#include "tests/win32/desktop.h"

namespace velkorn::testing {
namespace {

// A value's bytes if it is a REG_SZ that ends in its NUL, the NUL left off.
std::optional<std::string> storedString(std::string_view name) {
  std::string bytes(4096, '\0');
  DWORD size = 4096, type = REG_NONE;
  HKEY key = nullptr;
  const bool read = RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\orangesoft\\winbiff\\settings", 0, KEY_READ, &key) ==
                        ERROR_SUCCESS &&
                    RegQueryValueExA(key, std::string(name).c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(bytes.data()), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!read || type != REG_SZ || size == 0 || bytes[size - 1] != '\0') return std::nullopt;
  bytes.resize(size - 1);
  return bytes;
}

class ScheduledRun : public ::testing::TestWithParam<RunCase> {
 protected:
  // Each run starts from a user without the mail checker's settings.
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\orangesoft"); }
  void TearDown() override { SetUp(); }
};

TEST_P(ScheduledRun, Runs) {
  const RunCase& c = GetParam();
  TempDir root;
  const std::filesystem::path programDir = root.path() / L"ビットマップ 表";
  std::filesystem::create_directories(programDir);
  std::filesystem::copy_file(*win32::executableDirectory() / "velkorn.exe", programDir / "velkorn.exe");
  if (c.setup != Setup::NoSchedule) std::ofstream(programDir / "velkorn.txt", std::ios::binary) << c.schedule;
  // A volatile parent admits no lasting subkey: creating the settings key fails.
  HKEY parent = nullptr;
  if (c.setup == Setup::UnwritableStore) {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\orangesoft\\winbiff", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &parent, nullptr), ERROR_SUCCESS);
    RegCloseKey(parent);
  }
  std::vector<std::wstring> boxes;
  const auto exitCode = runAnsweringBoxes(programDir / "velkorn.exe", boxes);
  EXPECT_TRUE(exitCode) << "velkorn.exe did not end";
  Observed seen{static_cast<int>(exitCode.value_or(99)), {}, {}};
  for (const std::wstring& box : boxes) {
    EXPECT_EQ(box.substr(0, 8), L"velkorn|");
    seen.messages.push_back(win32::fromWide(box.substr(8)));
  }
  const win32::AnsiCodePage codePage;
  for (const KindInfo& info : imageKinds()) {
    const auto bytes = storedString(info.valueName);
    if (bytes) seen.stored[static_cast<std::size_t>(info.kind)] = Codec(codePage).decode(*bytes);
  }
  expectOutcome(c, seen, displayPath(programDir / "velkorn.txt"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScheduledRun, ::testing::ValuesIn(kRunCases), caseName);

}  // namespace
}  // namespace velkorn::testing
