// velkorn-task: writes the daily task's definition, velkorn-task.xml, beside
// itself, for register-task.cmd to register. A console program without
// output: its exit status tells the script what to say. Written here rather
// than by the script's echo, which writes the console's code page: a folder
// or user name outside it would turn into "?" and the task would fail every
// day.

#include <windows.h>

#include <sddl.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/win32/platform_info.h"
#include "platform/win32/schedule_writer.h"
#include "platform/win32/task_definition.h"
#include "platform/win32/win_text.h"

namespace {

using namespace velkorn;

// The exit statuses register-task.cmd knows.
enum class Outcome { written = 0, notWritten = 1, nameNotInXml = 2, unknown = 3 };

// The user this runs as, as a SID ("S-1-5-21-..."): ASCII whatever the
// user's name, and Task Scheduler takes it wherever it takes a user name
// ("LogonTrigger.UserId property": a user name or SID). Empty where Windows
// cannot tell.
std::wstring currentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  const auto close = [](HANDLE open) { CloseHandle(open); };
  const std::unique_ptr<void, decltype(close)> tokenGuard(token, close);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size < sizeof(TOKEN_USER)) return {};
  std::vector<TOKEN_USER> user(size / sizeof(TOKEN_USER) + 1);  // aligned for the SID that follows it
  wchar_t* sid = nullptr;
  if (!GetTokenInformation(token, TokenUser, user.data(), size, &size) ||
      !ConvertSidToStringSidW(user[0].User.Sid, &sid)) {
    return {};
  }
  std::wstring text(sid);
  LocalFree(sid);
  return text;
}

Outcome writeDefinition() {
  const auto folder = win32::executableDirectory();
  const std::wstring user = currentUserSid();
  if (!folder || user.empty()) return Outcome::unknown;
  const auto xml = win32::taskDefinition(win32::fromWide(folder->native()), win32::fromWide(user));
  if (!xml) return Outcome::nameNotInXml;
  const std::filesystem::path file = *folder / L"velkorn-task.xml";
  // A folder of that name is not the definition: it stays (ReplaceFileW
  // under Wine would move it aside).
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return Outcome::notWritten;
  // Replaced whole or not at all: the script registers only what was written.
  win32::ReplacingWriter writer;
  return writer.replaceContents(file, win32::utf16FileBytes(*xml)).saved() ? Outcome::written : Outcome::notWritten;
}

}  // namespace

int wmain() { return static_cast<int>(writeDefinition()); }
