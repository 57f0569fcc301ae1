#include "platform/qt/message_box.h"

#include <QFileInfo>

#include "platform/qt/qt_text.h"
#include "schedule/text.h"

#ifndef VELKORN_GUI_MODULE_BUILD_DIR
#define VELKORN_GUI_MODULE_BUILD_DIR ""
#endif

namespace velkorn::qt {

namespace {

constexpr const char* kModuleFile = "libvelkorn-qt-gui.so";

bool displayConfigured() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

SchedulerMessageBox::SchedulerMessageBox(std::filesystem::path programDirectory, std::FILE* fallback)
    : programDirectory_(std::move(programDirectory)), fallback_(fallback) {}

SchedulerMessageBox::~SchedulerMessageBox() {
  if (shutdownFn_) shutdownFn_();
}

VelkornShowMessageFn SchedulerMessageBox::loadGui() {
  if (guiTried_) return showFn_;
  guiTried_ = true;
  if (!displayConfigured()) return nullptr;
  // Beside the program when installed; the build tree's copy for a program
  // run from where it was built.
  for (const std::filesystem::path& dir :
       {programDirectory_, std::filesystem::path(VELKORN_GUI_MODULE_BUILD_DIR)}) {
    if (dir.empty()) continue;
    const QString file = QString::fromStdString((dir / kModuleFile).string());
    if (!QFileInfo::exists(file)) continue;
    gui_.setFileName(file);
    if (gui_.load()) {
      showFn_ = reinterpret_cast<VelkornShowMessageFn>(gui_.resolve(VELKORN_GUI_MODULE_SYMBOL));
      shutdownFn_ = reinterpret_cast<VelkornGuiShutdownFn>(gui_.resolve(VELKORN_GUI_SHUTDOWN_SYMBOL));
      if (showFn_ && shutdownFn_) break;
      showFn_ = nullptr;
    }
  }
  return showFn_;
}

Answer SchedulerMessageBox::show(const Message& message) {
  if (VelkornShowMessageFn showMessage = loadGui()) {
    const QString title = toQString(message.title);
    const QString text = toQString(message.text);
    const int answer = showMessage(reinterpret_cast<const char16_t*>(title.utf16()), static_cast<int>(title.size()),
                            reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int>(text.size()),
                            static_cast<int>(message.icon), static_cast<int>(message.buttons));
    switch (answer) {
      case kGuiAnswerOk: return Answer::Ok;
      case kGuiAnswerYes: return Answer::Yes;
      case kGuiAnswerNo: return Answer::No;
      default: showFn_ = nullptr; break;  // no display after all
    }
  }
  return writeLine(message);
}

Answer SchedulerMessageBox::writeLine(const Message& message) {
  Text line = message.title + U": " + message.text;
  for (char32_t& c : line) {
    if (c == U'\n' || c == U'\r') c = U' ';
  }
  const std::string utf8 = toUtf8(line) + "\n";
  std::fwrite(utf8.data(), 1, utf8.size(), fallback_);
  std::fflush(fallback_);
  // Nobody can answer a question here: take the cautious answer.
  return message.buttons == Message::Buttons::YesNo ? Answer::No : Answer::Ok;
}

}  // namespace velkorn::qt
