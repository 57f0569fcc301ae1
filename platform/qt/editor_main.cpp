// velkorn-editor: edits the schedule beside it and starts the scheduler.

#include <QApplication>
#include <QScreen>
#include <QStyle>

#include "editor/editor_controller.h"
#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/platform_info.h"
#include "platform/qt/schedule_writer.h"
#include "schedule/schedule_file.h"

int main(int argc, char** argv) {
  using namespace velkorn;
  QApplication app(argc, argv);
  const std::filesystem::path directory = qt::executableDirectory();
  qt::IconvCodePage codePage;
  const Codec codec(codePage);
  qt::SaveFileWriter writer;
  qt::Form2 window(directory / "velkorn");
  EditorController controller(window, codec, writer, scheduleFileIn(directory));
  window.setController(&controller);
  if (!controller.load(qt::localToday())) return 1;

  window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                         app.primaryScreen()->availableGeometry()));
  window.show();
  return app.exec();
}
