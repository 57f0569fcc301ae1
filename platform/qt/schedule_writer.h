#pragma once

#include "editor/editor_view.h"

namespace velkorn::qt {

// Replaces the schedule through QSaveFile: a temporary file in the same
// directory, then a rename, so a failed save leaves the old file whole. A
// symbolic link stays a link; its target is replaced.
class SaveFileWriter final : public ScheduleWriter {
 public:
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override;
};

}  // namespace velkorn::qt
