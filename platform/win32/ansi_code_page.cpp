#include "platform/win32/ansi_code_page.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace velkorn::win32 {

namespace {

// Strict conversion of a whole run; false if any of it is not valid.
bool decodeAll(UINT codePage, BytesView bytes, std::wstring& out) {
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  out.resize(static_cast<std::size_t>(length));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data(), length) == length;
}

// Conversion without best fit or default characters; false if anything in
// `wide` has no exact counterpart in the code page.
bool encodeAll(UINT codePage, std::wstring_view wide, Bytes& out) {
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                         nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(length));
  const int written = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data() + start,
                                          length, nullptr, &usedDefault);
  if (written != length || usedDefault) {
    out.resize(start);
    return false;
  }
  return true;
}

}  // namespace

std::size_t AnsiCodePage::decodePrefix(BytesView bytes, Text& out) const {
  std::wstring wide;
  // The whole run is valid nearly always; only otherwise go character by
  // character to find where the valid part ends.
  if (bytes.empty()) return 0;
  if (decodeAll(codePage_, bytes, wide)) {
    out += fromWide(wide);
    return bytes.size();
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto lead = static_cast<BYTE>(bytes[done]);
    const std::size_t length = IsDBCSLeadByteEx(codePage_, lead) ? 2 : 1;
    if (done + length > bytes.size() || !decodeAll(codePage_, bytes.substr(done, length), wide)) break;
    out += fromWide(wide);
    done += length;
  }
  return done;
}

std::size_t AnsiCodePage::encodePrefix(TextView text, Bytes& out) const {
  if (encodeAll(codePage_, toWide(text), out)) return text.size();
  std::size_t done = 0;
  for (; done < text.size(); ++done) {
    if (!encodeAll(codePage_, toWide(text.substr(done, 1)), out)) break;
  }
  return done;
}

}  // namespace velkorn::win32
