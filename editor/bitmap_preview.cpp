#include "editor/bitmap_preview.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <limits>
#include <system_error>

#include "schedule/schedule_file.h"
#include "ui/texts.h"

namespace velkorn {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kCoreHeader = 12;  // the oldest header: 16-bit sizes, no compression
constexpr std::uint32_t kInfoHeader = 40;  // the usual one; its later versions only add fields

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// Bitmaps store their fields little-endian, in 2 or 4 bytes.
template <int Bytes>
std::uint32_t field(const unsigned char* at) {
  static_assert(Bytes == 2 || Bytes == 4, "a bitmap's fields are 16 or 32 bits");
  std::uint32_t value = 0;
  for (int i = Bytes - 1; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

bool knownHeaderSize(std::uint32_t size) {
  return size == kCoreHeader || size == kInfoHeader || size == 52 || size == 56 || size == 108 || size == 124;
}

bool knownEncoding(unsigned bits, std::uint32_t compression) {
  switch (compression) {
    case kRgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kRle8: return bits == 8;
    case kRle4: return bits == 4;
    case kBitFields: return bits == 16 || bits == 32;
    default: return false;
  }
}

int scaledDown(std::int64_t side, std::int64_t longer) {
  if (longer <= kPreviewMaxSide) return static_cast<int>(side);
  return static_cast<int>(std::max<std::int64_t>(1, (side * kPreviewMaxSide + longer / 2) / longer));
}

}  // namespace

BitmapPreview previewBitmap(const std::filesystem::path& file) {
  BitmapPreview preview;
  // Only a regular file has a size: reading a FIFO or a device could wait
  // forever.
  std::error_code notRegular;
  const std::uintmax_t fileSize = std::filesystem::file_size(file, notRegular);
  if (notRegular) return preview;
  std::array<unsigned char, kFileHeader + kInfoHeader> header{};
  std::ifstream in(file, std::ios::binary);
  in.read(reinterpret_cast<char*>(header.data()), static_cast<std::streamsize>(header.size()));
  const auto got = static_cast<std::size_t>(in.gcount());
  if (got < kFileHeader + kCoreHeader || header[0] != 'B' || header[1] != 'M') return preview;

  const std::uint32_t pixelsAt = field<4>(&header[10]);
  const std::uint32_t headerSize = field<4>(&header[14]);
  if (!knownHeaderSize(headerSize) || got < kFileHeader + std::min(headerSize, kInfoHeader)) return preview;
  const bool core = headerSize == kCoreHeader;
  const auto signedField = [&](std::size_t at) {
    return std::int64_t{static_cast<std::int32_t>(field<4>(&header[at]))};
  };
  const std::int64_t width = core ? std::int64_t{field<2>(&header[18])} : signedField(18);
  // A negative height stores the top row first.
  const std::int64_t rows = core ? std::int64_t{field<2>(&header[20])} : signedField(22);
  const std::int64_t height = rows < 0 ? -rows : rows;
  const unsigned planes = field<2>(&header[core ? 22 : 26]);
  const unsigned bits = field<2>(&header[core ? 24 : 28]);
  const std::uint32_t compression = core ? kRgb : field<4>(&header[30]);
  if (width < 1 || height < 1 || height > std::numeric_limits<std::int32_t>::max() || planes != 1 ||
      !knownEncoding(bits, compression) || pixelsAt < kFileHeader + headerSize || pixelsAt >= fileSize) {
    return preview;
  }
  const bool tooLarge = width * height > kPreviewMaxPixels || fileSize > kPreviewMaxBytes;
  // Rows of whole 32-bit words; run-length data has no size to check ahead.
  const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
  const bool compressed = compression == kRle8 || compression == kRle4;
  if (!tooLarge && !compressed && pixelsAt + static_cast<std::uintmax_t>(rowBytes * height) > fileSize) return preview;
  preview.width = static_cast<int>(width);
  preview.height = static_cast<int>(height);
  if (tooLarge) {
    preview.state = BitmapPreview::State::TooLarge;
    return preview;
  }
  preview.state = BitmapPreview::State::Shown;
  preview.shownWidth = scaledDown(width, std::max(width, height));
  preview.shownHeight = scaledDown(height, std::max(width, height));
  return preview;
}

FilePreview filePreviewOf(TextView path) {
  const std::filesystem::path file = nativePath(path);
  const BitmapPreview bitmap = previewBitmap(file);
  switch (bitmap.state) {
    case BitmapPreview::State::Shown:
      return {file, bitmap.shownWidth, bitmap.shownHeight, texts::pictureSizeText(bitmap.width, bitmap.height)};
    case BitmapPreview::State::TooLarge: return {{}, 0, 0, texts::previewTooLargeText(bitmap.width, bitmap.height)};
    case BitmapPreview::State::Unreadable: break;
  }
  return {{}, 0, 0, Text(texts::kPreviewUnreadable)};
}

}  // namespace velkorn
