#pragma once

#include <cstdint>
#include <filesystem>

#include "editor/editor_view.h"

namespace velkorn {

// What the file box can show of a chosen bitmap, learnt from its headers and
// its size on disk alone, so that neither a huge nor a broken file is ever
// read whole by a window.
struct BitmapPreview {
  enum class State {
    Shown,       // a complete, uncompressed or RLE bitmap of a size a window may load
    TooLarge,    // well-formed, but more than a window should load for a tooltip
    Unreadable,  // missing, not a regular file, not a bitmap, or cut short
  };
  State state = State::Unreadable;
  int width = 0, height = 0;            // the picture's own size (Shown, TooLarge)
  int shownWidth = 0, shownHeight = 0;  // scaled down to kPreviewMaxSide on the longer side (Shown)
};

inline constexpr int kPreviewMaxSide = 128;
// Enough for any button or figure image; far below what would stall a window.
inline constexpr std::uintmax_t kPreviewMaxBytes = 32u << 20;
inline constexpr std::int64_t kPreviewMaxPixels = 4096 * 4096;

BitmapPreview previewBitmap(const std::filesystem::path& file);

// The file box's tooltip for a path chosen with Browse.
FilePreview filePreviewOf(TextView path);

}  // namespace velkorn
