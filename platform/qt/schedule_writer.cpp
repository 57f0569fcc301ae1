#include "platform/qt/schedule_writer.h"

#include <QSaveFile>

namespace velkorn::qt {

bool SaveFileWriter::replaceContents(const std::filesystem::path& file, BytesView bytes) {
  QSaveFile out(QString::fromStdString(file.string()));
  // Never fall back to writing over the old file in place.
  out.setDirectWriteFallback(false);
  if (!out.open(QIODevice::WriteOnly)) return false;
  if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}

}  // namespace velkorn::qt
