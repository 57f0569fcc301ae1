#pragma once

#include "editor/editor_view.h"

namespace velkorn::win32 {

// Replaces the schedule atomically: the bytes go to a temporary file beside
// it, are flushed to disk, and the temporary file is moved over the old one
// (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). A failed save leaves
// the old file as it was and no temporary file behind.
class ReplacingWriter final : public ScheduleWriter {
 public:
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override;
};

}  // namespace velkorn::win32
