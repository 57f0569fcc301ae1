#pragma once

#include "editor/editor_view.h"
#include "platform/qt/replace_file.h"

namespace velkorn::qt {

// Replaces the schedule atomically (replaceFile).
class SaveFileWriter final : public ScheduleWriter {
 public:
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override { return replaceFile(file, bytes); }
};

}  // namespace velkorn::qt
