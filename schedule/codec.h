#pragma once

#include <cstddef>
#include <optional>

#include "schedule/text.h"

namespace velkorn {

// The system's ANSI code page, as the platform converts it. Both calls convert
// the longest prefix they can and report how far they got, so that Codec can
// deal with what they cannot convert without losing a byte.
class CodePage {
 public:
  virtual ~CodePage() = default;

  // Appends the decoded longest valid prefix of `bytes` to `out`; returns the
  // number of bytes consumed.
  virtual std::size_t decodePrefix(BytesView bytes, Text& out) const = 0;

  // Appends the encoded longest encodable prefix of `text` to `out`; returns
  // the number of characters consumed.
  virtual std::size_t encodePrefix(TextView text, Bytes& out) const = 0;

  // Windows' number of the code page (932, 1252, 65001), for messages that
  // name it.
  virtual unsigned number() const = 0;
};

// A byte that is not valid in the code page decodes to its escape
// (text.h), and encodes back to the very same byte.

struct EncodeFailure {
  std::size_t position;  // index of the first character the code page lacks
};

struct Encoded {
  Bytes bytes;
  std::optional<EncodeFailure> failure;  // set: nothing usable in `bytes`
};

// Lossless conversion between schedule bytes and Text over a CodePage.
class Codec {
 public:
  explicit Codec(const CodePage& codePage) : codePage_(codePage) {}

  // Never fails: undecodable bytes, and characters that would not encode back
  // to the bytes they came from, become escapes.
  Text decode(BytesView bytes) const;
  void decodeAppend(BytesView bytes, Text& out) const;

  // Fails at the first character the code page cannot represent.
  Encoded encode(TextView text) const;

  unsigned codePageNumber() const { return codePage_.number(); }

 private:
  void keepRoundTrip(BytesView run, const Text& decoded, Text& out) const;

  const CodePage& codePage_;
};

}  // namespace velkorn
