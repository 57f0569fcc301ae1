// velkorn-check: reports what the schedule will do, and the lines that never
// apply. A console program. To a console it writes UTF-16 (WriteConsoleW),
// which shows whatever the console's code page; redirected, the ANSI code
// page's bytes with CR LF, as other Windows programs write a text file.

#include <windows.h>

#include <algorithm>

#include "checker/check_run.h"
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/platform_info.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win_text.h"
#include "ui/texts.h"

namespace {

using namespace velkorn;

// A character the code page lacks becomes "?"; only a file name given on the
// command line can hold one.
Bytes ansiBytes(const Codec& codec, TextView text) {
  Bytes out;
  for (;;) {
    const Encoded encoded = codec.encode(text);
    if (!encoded.failure) return out + encoded.bytes;
    const std::size_t at = encoded.failure->position;
    out += codec.encode(text.substr(0, at)).bytes + '?';
    text.remove_prefix(at + 1);
  }
}

// Writes it all, in pieces a console takes at once.
template <typename Unit, typename Write>
void writeAll(const std::basic_string<Unit>& data, Write write) {
  constexpr std::size_t kPiece = 8192;
  for (std::size_t at = 0; at < data.size();) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min(kPiece, data.size() - at));
    if (!write(data.data() + at, size, &written) || written == 0) return;
    at += written;
  }
}

void print(DWORD stream, TextView text, const Codec& codec) {
  Text lines;
  for (char32_t c : text) {
    if (c == U'\n') lines += U'\r';
    lines += c;
  }
  const HANDLE handle = GetStdHandle(stream);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    writeAll(win32::toWide(lines), [&](const wchar_t* data, DWORD size, DWORD* written) {
      return WriteConsoleW(handle, data, size, written, nullptr);
    });
  } else {
    writeAll(ansiBytes(codec, lines), [&](const char* data, DWORD size, DWORD* written) {
      return WriteFile(handle, data, size, written, nullptr);
    });
  }
}

// Started from Explorer, the checker is alone on a console made for it, which
// would close with it before the report could be read: it stays until a key
// is pressed. (With room for two, the list's count tells one from more; it
// is 0 without a console.) Not on a console without a window
// (CREATE_NO_WINDOW), where nobody could press one.
void waitIfAloneOnConsole(const Codec& codec) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD processes[2];
  DWORD mode = 0;
  if (GetConsoleProcessList(processes, 2) != 1 || !GetConsoleWindow() || !GetConsoleMode(input, &mode)) return;
  print(STD_OUTPUT_HANDLE, U"\n" + Text(texts::kPressAnyKey) + U"\n", codec);
  FlushConsoleInputBuffer(input);
  INPUT_RECORD record{};
  DWORD read = 0;
  while (ReadConsoleInputW(input, &record, 1, &read) && read == 1 &&
         !(record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)) {
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const win32::CodePages codePages;
  const Codec schedule(codePages.schedule), system(codePages.system);
  const auto stored = [&](std::string_view valueName) { return win32::storedSetting(system, valueName); };
  const auto storable = [&](TextView path) { return win32::settingBytes(codePages.system, path).has_value(); };
  // UTF-8 lacks no character: only bytes that are no character are refused.
  const unsigned storeCodePage = codePages.system.number() == CP_UTF8 ? 0 : codePages.system.number();
  const CheckRun run = runCheck({schedule, win32::localToday(), win32::executableDirectory(), {argv + 1, argv + argc},
                                 stored, storable, storeCodePage});
  print(STD_OUTPUT_HANDLE, run.output, system);
  print(STD_ERROR_HANDLE, run.errors, system);
  waitIfAloneOnConsole(system);
  return static_cast<int>(run.outcome);
}
