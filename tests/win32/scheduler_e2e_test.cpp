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
#include "tests/win32/test_registry.h"

namespace velkorn::testing {
namespace {

class ScheduledRun : public ::testing::TestWithParam<RunCase> {
 protected:
  void SetUp() override { removeMailCheckerSettings(); }
  void TearDown() override { removeMailCheckerSettings(); }

  TempDir root;
  std::filesystem::path programDir = root.path() / L"ビットマップ 表";
  win32::AnsiCodePage codePage;
  Codec codec{codePage};
};

TEST_P(ScheduledRun, Runs) {
  const RunCase& c = GetParam();
  std::filesystem::create_directories(programDir);
  std::filesystem::copy_file(*win32::executableDirectory() / "velkorn.exe", programDir / "velkorn.exe");
  if (c.setup != Setup::NoSchedule) std::ofstream(programDir / "velkorn.txt", std::ios::binary) << c.schedule;
  if (c.setup == Setup::UnwritableStore) {
    ASSERT_TRUE(makeSettingsKeyUncreatable());
  }

  // Started from elsewhere, as from a shortcut.
  std::vector<std::wstring> boxes;
  const auto exitCode = runAnsweringBoxes(programDir / "velkorn.exe", boxes);
  EXPECT_TRUE(exitCode) << "velkorn.exe did not end";
  Observed seen{static_cast<int>(exitCode.value_or(99)), {}, {}};
  for (const std::wstring& box : boxes) {
    EXPECT_EQ(box.substr(0, 8), L"velkorn|");
    seen.messages.push_back(win32::fromWide(box.substr(8)));
  }
  for (const KindInfo& info : imageKinds()) {
    // REG_SZ: the code page's bytes and a NUL.
    const auto bytes = storedString(std::string(info.valueName).c_str());
    if (bytes && !bytes->empty() && bytes->back() == '\0') {
      seen.stored[static_cast<std::size_t>(info.kind)] = codec.decode(std::string_view(*bytes).substr(0, bytes->size() - 1));
    }
  }
  expectOutcome(c, seen, displayPath(programDir / "velkorn.txt"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScheduledRun, ::testing::ValuesIn(kRunCases), caseName);

}  // namespace
}  // namespace velkorn::testing
