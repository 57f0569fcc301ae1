#include "platform/qt/iconv_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace velkorn::qt {

namespace {

constexpr const char* kCodePage = "CP932";
// Native-endian UTF-32 without a byte-order mark.
constexpr const char* kUnicode = "UTF-32LE";

iconv_t handle(void* h) { return static_cast<iconv_t>(h); }

void* openConverter(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv has no converter from ") + from + " to " + to);
  }
  return cd;
}

// Runs iconv until it stops; returns how many input bytes it consumed.
std::size_t convertPrefix(iconv_t cd, const char* in, std::size_t inSize, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(in);
  std::size_t inLeft = inSize;
  const std::size_t start = out.size();
  std::size_t used = start;
  out.resize(start + inSize * 4 + 16);
  for (;;) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1) || errno != E2BIG) break;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return inSize - inLeft;
}

}  // namespace

IconvCodePage::IconvCodePage()
    : toUnicode_(openConverter(kUnicode, kCodePage)),
      fromUnicode_(openConverter(kCodePage, kUnicode)) {}

IconvCodePage::~IconvCodePage() {
  iconv_close(handle(toUnicode_));
  iconv_close(handle(fromUnicode_));
}

std::size_t IconvCodePage::decodePrefix(BytesView bytes, Text& out) const {
  std::string utf32;
  const std::size_t consumed = convertPrefix(handle(toUnicode_), bytes.data(), bytes.size(), utf32);
  const std::size_t start = out.size();
  out.resize(start + utf32.size() / 4);
  for (std::size_t i = 0; i < utf32.size() / 4; ++i) {
    const auto* b = reinterpret_cast<const unsigned char*>(utf32.data() + i * 4);
    out[start + i] = static_cast<char32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (b[3] << 24));
  }
  return consumed;
}

std::size_t IconvCodePage::encodePrefix(TextView text, Bytes& out) const {
  std::string utf32(text.size() * 4, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    for (int k = 0; k < 4; ++k) utf32[i * 4 + static_cast<std::size_t>(k)] = static_cast<char>((c >> (8 * k)) & 0xFF);
  }
  return convertPrefix(handle(fromUnicode_), utf32.data(), utf32.size(), out) / 4;
}

}  // namespace velkorn::qt
