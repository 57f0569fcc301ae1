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

// UTF-8 (as the C++ source and POSIX paths hold it) to Text; a malformed
// sequence becomes U+FFFD, so this never throws.
Text fromUtf8(std::string_view utf8);

// Text to UTF-8; lone surrogates (the escapes of Codec) become U+FFFD.
std::string toUtf8(TextView text);

// UTF-16 (Windows' wide strings) and back. Lone surrogates, the escapes of
// Codec or a file name NTFS allows, pass through as single units both ways,
// so nothing is lost and nothing throws.
std::u16string toUtf16(TextView text);
Text fromUtf16(std::u16string_view utf16);

}  // namespace velkorn
