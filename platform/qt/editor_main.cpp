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
  const std::filesystem::path directory = qt::executableDirectory();
  try {
    if (directory.empty()) throw std::runtime_error("the program's own directory is unknown");
    qt::IconvCodePage codePage;
    const Codec codec(codePage);
    qt::ReplacingWriter writer;
    qt::Form2 window(directory / "velkorn");
    EditorController controller(window, codec, writer, scheduleFileIn(directory));
    window.setController(&controller);
    if (!controller.load(qt::localToday())) return 1;
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           app.primaryScreen()->availableGeometry()));
    window.show();
    return app.exec();
  } catch (const std::exception&) {
    // No directory, no CP932 converter: the schedule cannot be loaded.
    qt::execMessageBox(nullptr, qt::toQString(texts::kStartupErrorTitle), qt::toQString(texts::kScheduleNotFound),
                       Message::Icon::Critical, Message::Buttons::Ok);
    return 1;
  }
}
