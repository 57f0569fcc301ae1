#pragma once

#include <string>
#include <string_view>

namespace velkorn {

// Text in memory is Unicode, one char32_t per character, so that a position in
// a schedule line counts characters whatever their width in the code page.
using Text = std::u32string;
using TextView = std::u32string_view;

// Bytes as they stand in the schedule file or the registry (the ANSI code page).
using Bytes = std::string;
using BytesView = std::string_view;

// Plain ASCII text (value names, digits) widened to Text.
Text widen(std::string_view ascii);

// A byte that is not text (not valid in the code page, or not in a UTF-8
// sequence) is kept as one of these reserved characters (lone low
// surrogates, which no real text holds), and written back as the very same
// byte, so a file read and written again is byte-identical. The whole byte
// range has one: the second byte of a double-byte character that has to be
// kept as bytes may be ASCII.
constexpr char32_t kEscapeBase = 0xDC00;
constexpr bool isEscape(char32_t c) { return c >= kEscapeBase && c <= kEscapeBase + 0xFF; }
constexpr char32_t escapeOf(unsigned char byte) { return kEscapeBase + byte; }

// UTF-8 (as the C++ source and POSIX paths hold it) to Text; a malformed
// sequence becomes U+FFFD, so this never throws.
Text fromUtf8(std::string_view utf8);

// The same, appended, but each byte of a malformed sequence is kept as its
// escape.
void appendUtf8KeepingBytes(std::string_view utf8, Text& out);

// Whether every byte is part of a well-formed UTF-8 sequence.
bool isUtf8(std::string_view bytes);

// Whether every byte is ASCII, which reads the same in UTF-8 and in every
// ANSI code page.
bool isAscii(std::string_view bytes);

// Text to UTF-8; lone surrogates (the escapes of Codec) become U+FFFD.
std::string toUtf8(TextView text);

// UTF-16 (Windows' wide strings) and back. Lone surrogates, the escapes of
// Codec or a file name NTFS allows, pass through as single units both ways,
// so nothing is lost and nothing throws.
std::u16string toUtf16(TextView text);
Text fromUtf16(std::u16string_view utf16);

}  // namespace velkorn
