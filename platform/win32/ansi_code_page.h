#pragma once

#include <windows.h>

#include <optional>

#include "schedule/codec.h"

namespace velkorn::win32 {

// MultiByteToWideChar and WideCharToMultiByte with the API's own signatures.
// Windows refuses some flags for some code pages, UTF-8 among them, where
// Wine accepts them; a test holds these calls to Windows' documented rules.
class ConversionCalls {
 public:
  virtual ~ConversionCalls() = default;
  virtual int multiByteToWideChar(UINT codePage, DWORD flags, LPCCH bytes, int size, LPWSTR wide, int wideSize);
  virtual int wideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int size, LPSTR bytes, int bytesSize,
                                  LPCCH defaultChar, LPBOOL usedDefaultChar);
};

// Windows' own.
ConversionCalls& systemConversion();

// The system's ANSI code page (932 on the target systems; 65001 where
// Windows uses UTF-8 for it) through MultiByteToWideChar and
// WideCharToMultiByte. Neither ever substitutes: a byte sequence the code
// page does not define, or a character it lacks, ends the prefix instead of
// turning into U+30FB or "?".
class AnsiCodePage final : public CodePage {
 public:
  explicit AnsiCodePage(unsigned codePage = CP_ACP, ConversionCalls& calls = systemConversion());

  std::size_t decodePrefix(BytesView bytes, Text& out) const override;
  std::size_t encodePrefix(TextView text, Bytes& out) const override;
  unsigned number() const override { return codePage_; }

  // The bytes of `text`, but only if a program of this code page reads them
  // back as exactly `text`: encoded without substitution, and decoded
  // strictly to the very same UTF-16.
  std::optional<Bytes> exactBytes(TextView text) const;

 private:
  std::size_t characterAt(BytesView bytes, std::wstring& wide) const;

  unsigned codePage_;  // never CP_ACP: the number it stands for
  ConversionCalls& calls_;
  std::size_t longestCharacter_ = 2;
};

// The code page of a schedule that is not UTF-8, on a system whose ANSI code
// page is `systemCodePage`: the same, except where the system uses UTF-8
// for it ("Use Unicode UTF-8 for worldwide language support"). A schedule
// there that is not UTF-8 was written on a Japanese system, in Shift-JIS,
// and is saved back in it.
unsigned scheduleCodePage(unsigned systemCodePage);

// The two code pages of a program: the system's, in which the registry and
// the mail checker take their text, and the schedule's.
struct CodePages {
  AnsiCodePage system;
  AnsiCodePage schedule{scheduleCodePage(system.number())};
};

}  // namespace velkorn::win32
