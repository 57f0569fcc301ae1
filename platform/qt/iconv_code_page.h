#pragma once

#include <array>
#include <memory>
#include <unordered_map>

#include "schedule/codec.h"

namespace velkorn::qt {

// The Windows ANSI code page of the target systems, CP932, through glibc iconv.
// (glibc's "SHIFT_JIS" table turns 0x5C into a yen sign, which would break
// every Windows path; "CP932" keeps it a backslash.)
//
// iconv costs tens of nanoseconds a character and more a call, too slow for a
// 100,000-line schedule; so each character's mapping is asked of iconv once,
// when first met, and kept: a row of 256 entries per lead byte, one entry per
// character encoded.
class IconvCodePage final : public CodePage {
 public:
  IconvCodePage();
  ~IconvCodePage() override;
  IconvCodePage(const IconvCodePage&) = delete;
  IconvCodePage& operator=(const IconvCodePage&) = delete;

  std::size_t decodePrefix(BytesView bytes, Text& out) const override;
  std::size_t encodePrefix(TextView text, Bytes& out) const override;
  unsigned number() const override { return 932; }

 private:
  using Row = std::array<char32_t, 256>;  // indexed by the second byte
  const Row& singleBytes() const;
  const Row& doubleBytes(unsigned char lead) const;
  char32_t decodeWithIconv(const char* bytes, std::size_t size) const;

  void* toUnicode_;
  void* fromUnicode_;
  mutable std::unique_ptr<Row> single_;
  mutable std::array<std::unique_ptr<Row>, 256> rows_;
  // Code-page bytes of a character (one or two, high byte first); 0: none.
  mutable std::unordered_map<char32_t, unsigned> encoded_;
};

}  // namespace velkorn::qt
