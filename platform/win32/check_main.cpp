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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  win32::AnsiCodePage codePage;
  const Codec codec(codePage);
  const auto stored = [&](std::string_view valueName) { return win32::storedSetting(codec, valueName); };
  const CheckRun run =
      runCheck({codec, win32::localToday(), win32::executableDirectory(), {argv + 1, argv + argc}, stored});
  print(STD_OUTPUT_HANDLE, run.output, codec);
  print(STD_ERROR_HANDLE, run.errors, codec);
  return static_cast<int>(run.outcome);
}
