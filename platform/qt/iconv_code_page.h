#pragma once

#include "schedule/codec.h"

namespace velkorn::qt {

// The Windows ANSI code page of the target systems, CP932, through glibc iconv.
// (glibc's "SHIFT_JIS" table turns 0x5C into a yen sign, which would break
// every Windows path; "CP932" keeps it a backslash.)
class IconvCodePage final : public CodePage {
 public:
  IconvCodePage();
  ~IconvCodePage() override;
  IconvCodePage(const IconvCodePage&) = delete;
  IconvCodePage& operator=(const IconvCodePage&) = delete;

  std::size_t decodePrefix(BytesView bytes, Text& out) const override;
  std::size_t encodePrefix(TextView text, Bytes& out) const override;

 private:
  void* toUnicode_;
  void* fromUnicode_;
};

}  // namespace velkorn::qt
