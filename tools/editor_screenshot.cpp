// Renders the editor's window, with a schedule loaded, to a PNG:
//   editor-screenshot SCHEDULE OUT.png
// Run with QT_QPA_PLATFORM=offscreen; used by `make screenshot`.

#include <QApplication>
#include <cstdio>

#include "editor/editor_controller.h"
#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/schedule_writer.h"

int main(int argc, char** argv) {
  using namespace velkorn;
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SCHEDULE OUT.png\n", argv[0]);
    return 2;
  }
  qt::IconvCodePage codePage;
  const Codec codec(codePage);
  qt::SaveFileWriter writer;
  qt::Form2 window("/nonexistent/velkorn");
  EditorController controller(window, codec, writer, argv[1]);
  window.setController(&controller);
  if (!controller.load({2026, 12, 24})) return 1;
  window.show();
  app.processEvents();
  return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
