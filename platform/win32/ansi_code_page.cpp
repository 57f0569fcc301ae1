#include "platform/win32/ansi_code_page.h"

#include <algorithm>

#include "platform/win32/win_text.h"

namespace velkorn::win32 {

namespace {

// What Windows answers to flags or arguments a code page does not take
// (UTF-8, GB18030, UTF-7, ISO-2022 and others).
bool refused(DWORD error) {
  return error == ERROR_INVALID_FLAGS || error == ERROR_INVALID_PARAMETER;
}

// The whole run converted with `flags`: ERROR_SUCCESS, or why not.
DWORD decodeWith(ConversionCalls& calls, UINT codePage, DWORD flags, BytesView bytes, std::wstring& out) {
  const int size = static_cast<int>(bytes.size());
  const int length = calls.multiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
  if (length <= 0) return GetLastError();
  out.resize(static_cast<std::size_t>(length));
  const bool done = calls.multiByteToWideChar(codePage, flags, bytes.data(), size, out.data(), length) == length;
  return done ? ERROR_SUCCESS : ERROR_NO_UNICODE_TRANSLATION;
}

// Appends the run converted with `flags`, with the default-character check
// where `usedDefault` is given: ERROR_SUCCESS, or why not (then `out` is as
// it was).
DWORD encodeWith(ConversionCalls& calls, UINT codePage, DWORD flags, std::wstring_view wide, Bytes& out,
                 BOOL* usedDefault) {
  const int size = static_cast<int>(wide.size());
  const int length = calls.wideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
  if (length <= 0) return GetLastError();
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(length));
  const int written = calls.wideCharToMultiByte(codePage, flags, wide.data(), size, out.data() + start, length,
                                                nullptr, usedDefault);
  if (written == length && !(usedDefault && *usedDefault)) return ERROR_SUCCESS;
  out.resize(start);
  return ERROR_NO_UNICODE_TRANSLATION;
}

// Strict conversion of a whole run; false if any of it is not valid. Every
// code page that can be the ANSI one takes MB_ERR_INVALID_CHARS, UTF-8 and
// GB18030 too; only code pages that never are refuse it.
bool decodeAll(ConversionCalls& calls, UINT codePage, BytesView bytes, std::wstring& out) {
  return decodeWith(calls, codePage, MB_ERR_INVALID_CHARS, bytes, out) == ERROR_SUCCESS;
}

// Conversion without best fit or default characters; false if anything in
// `wide` has no exact counterpart in the code page.
bool encodeAll(ConversionCalls& calls, UINT codePage, std::wstring_view wide, Bytes& out) {
  BOOL usedDefault = FALSE;
  const DWORD error = encodeWith(calls, codePage, WC_NO_BEST_FIT_CHARS, wide, out, &usedDefault);
  if (!refused(error)) return error == ERROR_SUCCESS;
  // A code page that takes no flags (UTF-8 takes only one that does not
  // help here): only what converts back unchanged, so neither a best fit nor
  // a default character nor U+FFFD for invalid UTF-16 gets through.
  const std::size_t start = out.size();
  std::wstring back;
  if (encodeWith(calls, codePage, 0, wide, out, nullptr) == ERROR_SUCCESS &&
      decodeWith(calls, codePage, 0, BytesView(out).substr(start), back) == ERROR_SUCCESS && back == wide) {
    return true;
  }
  out.resize(start);
  return false;
}

}  // namespace

int ConversionCalls::multiByteToWideChar(UINT codePage, DWORD flags, LPCCH bytes, int size, LPWSTR wide,
                                         int wideSize) {
  return MultiByteToWideChar(codePage, flags, bytes, size, wide, wideSize);
}

int ConversionCalls::wideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int size, LPSTR bytes,
                                         int bytesSize, LPCCH defaultChar, LPBOOL usedDefaultChar) {
  return WideCharToMultiByte(codePage, flags, wide, size, bytes, bytesSize, defaultChar, usedDefaultChar);
}

ConversionCalls& systemConversion() {
  static ConversionCalls calls;
  return calls;
}

AnsiCodePage::AnsiCodePage(unsigned codePage, ConversionCalls& calls)
    : codePage_(codePage == CP_ACP ? GetACP() : codePage), calls_(calls) {
  CPINFO info{};
  if (GetCPInfo(codePage_, &info)) longestCharacter_ = info.MaxCharSize;
}

// The valid character at the start of `bytes`, decoded: the shortest prefix
// that decodes. Its length in bytes, or 0 if there is none.
std::size_t AnsiCodePage::characterAt(BytesView bytes, std::wstring& wide) const {
  for (std::size_t length = 1; length <= std::min(longestCharacter_, bytes.size()); ++length) {
    if (decodeAll(calls_, codePage_, bytes.substr(0, length), wide)) return length;
  }
  return 0;
}

std::size_t AnsiCodePage::decodePrefix(BytesView bytes, Text& out) const {
  std::wstring wide;
  // The whole run is valid nearly always; only otherwise go character by
  // character to find where the valid part ends.
  if (bytes.empty()) return 0;
  if (decodeAll(calls_, codePage_, bytes, wide)) {
    out += fromWide(wide);
    return bytes.size();
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t length = characterAt(bytes.substr(done), wide);
    if (length == 0) break;
    out += fromWide(wide);
    done += length;
  }
  return done;
}

std::optional<Bytes> AnsiCodePage::exactBytes(TextView text) const {
  Bytes bytes;
  if (encodePrefix(text, bytes) != text.size()) return std::nullopt;
  // No conversion takes an empty run; the empty text is its own bytes.
  std::wstring back;
  if (!text.empty() && (!decodeAll(calls_, codePage_, bytes, back) || back != toWide(text))) return std::nullopt;
  return bytes;
}

unsigned scheduleCodePage(unsigned systemCodePage) {
  return systemCodePage == CP_UTF8 ? 932 : systemCodePage;
}

std::size_t AnsiCodePage::encodePrefix(TextView text, Bytes& out) const {
  if (encodeAll(calls_, codePage_, toWide(text), out)) return text.size();
  std::size_t done = 0;
  for (; done < text.size(); ++done) {
    if (!encodeAll(calls_, codePage_, toWide(text.substr(done, 1)), out)) break;
  }
  return done;
}

}  // namespace velkorn::win32
