#pragma once

#include "editor/editor_view.h"

namespace velkorn::win32 {

// Replaces the schedule atomically: the bytes go to a new temporary file
// beside it, are flushed to disk, and ReplaceFileW puts it in the old one's
// place, keeping the old file's attributes and permissions (the first save
// moves it there). A failed save leaves the old file as it was and no
// temporary file behind.
class ReplacingWriter final : public ScheduleWriter {
 public:
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override;
};

}  // namespace velkorn::win32
