#pragma once

#include "schedule/codec.h"

namespace velkorn::win32 {

// The system's ANSI code page (932 on the target systems) through
// MultiByteToWideChar and WideCharToMultiByte. Neither ever substitutes: a
// byte sequence the code page does not define, or a character it lacks, ends
// the prefix instead of turning into U+30FB or "?".
class AnsiCodePage final : public CodePage {
 public:
  explicit AnsiCodePage(unsigned codePage = 0 /* CP_ACP */) : codePage_(codePage) {}

  std::size_t decodePrefix(BytesView bytes, Text& out) const override;
  std::size_t encodePrefix(TextView text, Bytes& out) const override;

 private:
  unsigned codePage_;
};

}  // namespace velkorn::win32
