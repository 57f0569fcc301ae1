#pragma once

#include <QString>
#include <cstring>

#include "editor/editor_view.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/replace_file.h"

namespace velkorn::qt {

// Replaces the schedule atomically (replaceFile); a failure in the system's
// words, in the user's language.
class ReplacingWriter final : public ScheduleWriter {
 public:
  SaveResult replaceContents(const std::filesystem::path& file, BytesView bytes) override {
    const int error = replaceFile(file, bytes);
    if (!error) return {};
    return {SaveResult::Status::Failed, fromQString(QString::fromLocal8Bit(std::strerror(error)))};
  }
};

}  // namespace velkorn::qt
