#include "schedule/text.h"

namespace velkorn {

Text widen(std::string_view ascii) {
  return Text(ascii.begin(), ascii.end());
}

namespace {

// The length of the well-formed UTF-8 sequence at `i`, and its character in
// `cp`; 0 when the byte there begins none. A continuation byte that is
// missing or wrong stops the sequence short, and leaves its value below the
// least a sequence of its length holds.
std::size_t sequenceAt(std::string_view utf8, std::size_t i, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(utf8[i]);
  std::size_t extra;  // continuation bytes
  char32_t min;       // anything less is an overlong form
  if (lead < 0x80) {
    extra = 0, cp = lead, min = 0;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  std::size_t k = 1;
  for (; k <= extra && i + k < utf8.size() && (utf8[i + k] & 0xC0) == 0x80; ++k) {
    cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
  }
  if (k <= extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return k;
}

// `bad(byte)` stands for each byte that is not part of a well-formed sequence.
template <typename Bad>
void appendUtf8(std::string_view utf8, Text& out, Bad bad) {
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    const std::size_t length = sequenceAt(utf8, i, cp);
    out.push_back(length ? cp : bad(static_cast<unsigned char>(utf8[i])));
    i += length ? length : 1;
  }
}

}  // namespace

Text fromUtf8(std::string_view utf8) {
  Text out;
  appendUtf8(utf8, out, [](unsigned char) { return char32_t{0xFFFD}; });
  return out;
}

void appendUtf8KeepingBytes(std::string_view utf8, Text& out) {
  appendUtf8(utf8, out, escapeOf);
}

bool isAscii(std::string_view bytes) {
  unsigned char all = 0;  // one test at the end: a loop the compiler can widen
  for (char b : bytes) all |= static_cast<unsigned char>(b);
  return all < 0x80;
}

bool isUtf8(std::string_view bytes) {
  char32_t cp;
  for (std::size_t i = 0, length; i < bytes.size(); i += length) {
    if (!(length = sequenceAt(bytes, i, cp))) return false;
  }
  return true;
}

std::string toUtf8(TextView text) {
  std::string out;
  for (char32_t c : text) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string toUtf16(TextView text) {
  std::u16string out;
  for (char32_t c : text) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
      const char32_t offset = c - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    } else {
      out.push_back(c <= 0xFFFF ? static_cast<char16_t>(c) : char16_t{0xFFFD});
    }
  }
  return out;
}

Text fromUtf16(std::u16string_view utf16) {
  Text out;
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t c = utf16[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                      utf16[i + 1] <= 0xDFFF;
    if (pair) {
      out.push_back(0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{utf16[i + 1]} - 0xDC00));
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace velkorn
