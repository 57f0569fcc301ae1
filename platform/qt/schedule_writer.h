#pragma once

#include "editor/editor_view.h"

namespace velkorn::qt {

// Replaces the schedule atomically: the bytes go to a new unnamed file in the
// same directory, flushed to disk, which is then named and renamed over the
// old one, with the old one's permissions. A failed or interrupted save leaves
// the old file whole, and (but for a kill between the naming and the rename)
// no temporary file. A symbolic link stays a link; its target is replaced.
// Paths stay bytes: a folder's name need not be UTF-8, which Qt's file
// classes cannot open.
class SaveFileWriter final : public ScheduleWriter {
 public:
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override;
};

}  // namespace velkorn::qt
