#include "platform/qt/platform_info.h"

#include <QCoreApplication>
#include <QDate>

namespace velkorn::qt {

Date localToday() {
  const QDate today = QDate::currentDate();
  return {today.year(), today.month(), today.day()};
}

std::optional<std::filesystem::path> executableDirectory() {
  std::error_code unknown;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", unknown);
  if (unknown) return std::nullopt;
  return executable.parent_path();
}

void QtEventPump::processPending() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

}  // namespace velkorn::qt
