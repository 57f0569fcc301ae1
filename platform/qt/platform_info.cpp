#include "platform/qt/platform_info.h"

#include <QCoreApplication>
#include <QDate>

namespace velkorn::qt {

Date localToday() {
  const QDate today = QDate::currentDate();
  return {today.year(), today.month(), today.day()};
}

std::filesystem::path executableDirectory() {
  std::error_code unknown;
  return std::filesystem::read_symlink("/proc/self/exe", unknown).parent_path();
}

void QtEventPump::processPending() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

}  // namespace velkorn::qt
