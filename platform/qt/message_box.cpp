#include "platform/qt/message_box.h"

#include <dlfcn.h>

#include "platform/qt/qt_text.h"
#include "schedule/text.h"

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
  // Only from the program's own directory, by its path as bytes (a folder's
  // name need not be UTF-8). Never unloaded: Qt cannot be.
  void* gui = dlopen((programDirectory_ / kModuleFile).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!gui) return nullptr;
  showFn_ = reinterpret_cast<VelkornShowMessageFn>(dlsym(gui, VELKORN_GUI_MODULE_SYMBOL));
  shutdownFn_ = reinterpret_cast<VelkornGuiShutdownFn>(dlsym(gui, VELKORN_GUI_SHUTDOWN_SYMBOL));
  if (!shutdownFn_) showFn_ = nullptr;
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
