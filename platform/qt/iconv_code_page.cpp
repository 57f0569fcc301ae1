#include "platform/qt/iconv_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <string>

namespace velkorn::qt {

namespace {

constexpr const char* kCodePage = "CP932";
// glibc's wchar_t is UCS-4 in the machine's byte order: no reordering needed.
constexpr const char* kUnicode = "WCHAR_T";
static_assert(sizeof(wchar_t) == sizeof(char32_t));

// Row entries that are not characters.
constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr char32_t kLeadByte = 0xFFFFFFFE;
constexpr unsigned kUnmappable = 0;

iconv_t handle(void* h) { return static_cast<iconv_t>(h); }

void* openConverter(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv has no converter from ") + from + " to " + to);
  }
  return cd;
}

// Converts all of `in`; the number of output bytes, or nothing if iconv
// stopped early (an invalid or incomplete sequence).
std::size_t convertWhole(iconv_t cd, const char* in, std::size_t inSize, char* out, std::size_t outSize) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(in);
  char* outPtr = out;
  std::size_t outLeft = outSize;
  if (iconv(cd, &inPtr, &inSize, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return 0;
  return outSize - outLeft;
}

}  // namespace

IconvCodePage::IconvCodePage()
    : toUnicode_(openConverter(kUnicode, kCodePage)),
      fromUnicode_(openConverter(kCodePage, kUnicode)) {}

IconvCodePage::~IconvCodePage() {
  iconv_close(handle(toUnicode_));
  iconv_close(handle(fromUnicode_));
}

// One character from exactly these bytes, or kInvalid.
char32_t IconvCodePage::decodeWithIconv(const char* bytes, std::size_t size) const {
  wchar_t out[2];
  const std::size_t written = convertWhole(handle(toUnicode_), bytes, size, reinterpret_cast<char*>(out),
                                           sizeof out);
  return written == sizeof(wchar_t) ? static_cast<char32_t>(out[0]) : kInvalid;
}

const IconvCodePage::Row& IconvCodePage::singleBytes() const {
  if (!single_) {
    single_ = std::make_unique<Row>();
    for (unsigned b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      char32_t c = decodeWithIconv(&byte, 1);
      // iconv tells an incomplete sequence (EINVAL: a lead byte waiting for
      // its second byte) from an invalid one (EILSEQ).
      if (c == kInvalid && errno == EINVAL) c = kLeadByte;
      (*single_)[b] = c;
    }
  }
  return *single_;
}

const IconvCodePage::Row& IconvCodePage::doubleBytes(unsigned char lead) const {
  std::unique_ptr<Row>& row = rows_[lead];
  if (!row) {
    row = std::make_unique<Row>();
    for (unsigned trail = 0; trail < 256; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      (*row)[trail] = decodeWithIconv(pair, 2);
    }
  }
  return *row;
}

std::size_t IconvCodePage::decodePrefix(BytesView bytes, Text& out) const {
  const Row& single = singleBytes();
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const char32_t c = single[b];
    if (c == kInvalid) break;
    if (c != kLeadByte) {
      out.push_back(c);
      ++i;
      continue;
    }
    if (i + 1 >= bytes.size()) break;
    const char32_t pair = doubleBytes(b)[static_cast<unsigned char>(bytes[i + 1])];
    if (pair == kInvalid) break;
    out.push_back(pair);
    i += 2;
  }
  return i;
}

std::size_t IconvCodePage::encodePrefix(TextView text, Bytes& out) const {
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    auto it = encoded_.find(c);
    if (it == encoded_.end()) {
      const auto wide = static_cast<wchar_t>(c);
      char bytes[4];
      const std::size_t n = convertWhole(handle(fromUnicode_), reinterpret_cast<const char*>(&wide),
                                         sizeof wide, bytes, sizeof bytes);
      unsigned code = kUnmappable;
      // Only a mapping that comes back: iconv's CP932 also maps a few
      // characters one way only (a yen sign to the backslash), which would
      // turn them into another character on the next load.
      if ((n == 1 || n == 2) && decodeWithIconv(bytes, n) == c) {
        code = n == 1 ? static_cast<unsigned char>(bytes[0])
                      : (static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << 8) |
                            static_cast<unsigned char>(bytes[1]);
      }
      it = encoded_.emplace(c, code).first;
    }
    const unsigned code = it->second;
    if (code == kUnmappable) break;
    if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
  return i;
}

}  // namespace velkorn::qt
