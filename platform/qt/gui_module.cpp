#include "platform/qt/gui_module.h"

#include <QApplication>

#include "platform/qt/message_dialog.h"

namespace {

// The platform plugins to try: the user's choice or the usual ones, then
// "offscreen", which always loads and tells us no display was reachable.
QByteArray platformList() {
  QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
  if (chosen.isEmpty()) chosen = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb" : "wayland;xcb";
  return chosen + ";offscreen";
}

// Not a smart pointer: it must not be destroyed by an exit handler.
QApplication* gApplication = nullptr;
bool gTried = false;

QApplication* application() {
  static int argc = 3;
  static QByteArray platform = platformList();
  static char name[] = "velkorn";
  static char option[] = "-platform";
  static char* argv[] = {name, option, platform.data(), nullptr};
  if (!gTried) {
    gTried = true;
    gApplication = new QApplication(argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) velkorn_gui_shutdown();
  }
  return gApplication;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int velkorn_show_message(
    const char16_t* title, int titleLength, const char16_t* text, int textLength, int icon,
    int buttons) {
  if (!application()) return kGuiNoDisplay;
  using velkorn::Message;
  const auto answer = velkorn::qt::execMessageBox(
      nullptr, QString(reinterpret_cast<const QChar*>(title), titleLength),
      QString(reinterpret_cast<const QChar*>(text), textLength), static_cast<Message::Icon>(icon),
      static_cast<Message::Buttons>(buttons));
  switch (answer) {
    case velkorn::Answer::Yes: return kGuiAnswerYes;
    case velkorn::Answer::No: return kGuiAnswerNo;
    case velkorn::Answer::Ok: break;
  }
  return kGuiAnswerOk;
}

extern "C" __attribute__((visibility("default"))) void velkorn_gui_shutdown() {
  delete gApplication;
  gApplication = nullptr;
}
