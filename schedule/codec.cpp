#include "schedule/codec.h"

#include <algorithm>

namespace velkorn {

Text Codec::decode(BytesView bytes) const {
  Text out;
  decodeAppend(bytes, out);
  return out;
}

void Codec::decodeAppend(BytesView bytes, Text& out) const {
  // ASCII is the same in every ANSI code page, and most schedule lines are
  // mostly ASCII: skip the platform's converter for them.
  if (isAscii(bytes)) {
    out.append(bytes.begin(), bytes.end());
    return;
  }
  while (!bytes.empty()) {
    Text run;
    const std::size_t consumed = codePage_.decodePrefix(bytes, run);
    if (consumed > 0) {
      keepRoundTrip(bytes.substr(0, consumed), run, out);
      bytes.remove_prefix(consumed);
      continue;
    }
    out.push_back(escapeOf(static_cast<unsigned char>(bytes.front())));
    bytes.remove_prefix(1);
  }
}

// Some code pages map two byte sequences to one character (CP932's NEC and IBM
// rows); such a character would come back as the other sequence on save. A run
// that does not encode back to itself is taken apart, and the characters that
// do not round-trip are kept as escapes of their bytes.
void Codec::keepRoundTrip(BytesView run, const Text& text, Text& out) const {
  Bytes back;
  if (codePage_.encodePrefix(text, back) == text.size() && back == run) {
    out += text;
    return;
  }
  while (!run.empty()) {
    // Find the shortest prefix that decodes to exactly one character.
    std::size_t length = 1;
    Text one;
    while (length <= run.size()) {
      one.clear();
      if (codePage_.decodePrefix(run.substr(0, length), one) == length && one.size() == 1) break;
      ++length;
    }
    if (length > run.size()) {
      for (char b : run) out.push_back(escapeOf(static_cast<unsigned char>(b)));
      return;
    }
    Bytes again;
    if (codePage_.encodePrefix(one, again) == 1 && again == run.substr(0, length)) {
      out += one;
    } else {
      for (char b : run.substr(0, length)) out.push_back(escapeOf(static_cast<unsigned char>(b)));
    }
    run.remove_prefix(length);
  }
}

Encoded Codec::encode(TextView text) const {
  Encoded result;
  result.bytes.reserve(text.size());
  std::size_t done = 0;
  while (done < text.size()) {
    const char32_t c = text[done];
    if (isEscape(c)) {
      result.bytes.push_back(static_cast<char>(c - kEscapeBase));
      ++done;
      continue;
    }
    if (c < 0x80) {
      result.bytes.push_back(static_cast<char>(c));
      ++done;
      continue;
    }
    // Hand the platform the whole run up to the next escape.
    std::size_t end = done;
    while (end < text.size() && !isEscape(text[end])) ++end;
    const std::size_t consumed = codePage_.encodePrefix(text.substr(done, end - done), result.bytes);
    done += consumed;
    if (done < end) {
      result.failure = EncodeFailure{done};
      return result;
    }
  }
  return result;
}

}  // namespace velkorn
