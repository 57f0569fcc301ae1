// velkorn-editor: edits the schedule beside it and starts the scheduler.

#include <QApplication>
#include <QScreen>
#include <QStyle>

#include "editor/editor_controller.h"
#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/message_dialog.h"
#include "platform/qt/platform_info.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/schedule_writer.h"
#include "schedule/schedule_file.h"
#include "ui/texts.h"

int main(int argc, char** argv) {
  using namespace velkorn;
  QApplication app(argc, argv);
  const auto startupError = [] {
    qt::execMessageBox(nullptr, qt::toQString(texts::kStartupErrorTitle), qt::toQString(texts::kScheduleNotFound),
                       Message::Icon::Critical, Message::Buttons::Ok);
    return 1;
  };
  // Without its own directory, any velkorn.txt found would be the wrong one.
  const auto directory = qt::executableDirectory();
  if (!directory) return startupError();
  try {
    qt::IconvCodePage codePage;
    const Codec codec(codePage);
    qt::ReplacingWriter writer;
    qt::Form2 window(*directory / "velkorn");
    EditorController controller(window, codec, writer, scheduleFileIn(*directory));
    window.setController(&controller);
    if (!controller.load(qt::localToday())) return 1;
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           app.primaryScreen()->availableGeometry()));
    window.show();
    return app.exec();
  } catch (const std::exception&) {
    // No CP932 converter, no memory: the schedule cannot be loaded.
    return startupError();
  }
}
