// Renders the editor's window, with a schedule loaded and its dated days
// marked, to a PNG; with a bitmap, as if it had been chosen with Browse and
// the mouse rested on the file box, its preview shown:
//   editor-screenshot SCHEDULE OUT.png [BITMAP]
// Run with QT_QPA_PLATFORM=offscreen; used by `make screenshot`.

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <cstdio>

#include "editor/bitmap_preview.h"
#include "editor/editor_controller.h"
#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/schedule_writer.h"
#include "schedule/schedule_file.h"

namespace {

// The window, and the tooltip where it shows over it.
QPixmap grabWithTooltip(QWidget& window) {
  QPixmap shot = window.grab();
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top == &window || !top->isVisible() || !top->inherits("QLabel")) continue;
    const QPoint at = top->pos() - window.mapToGlobal(QPoint(0, 0));
    const QRect all = shot.rect().united(QRect(at, top->size()));
    QPixmap canvas(all.size());
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.drawPixmap(-all.topLeft(), shot);
    painter.drawPixmap(at - all.topLeft(), top->grab());
    painter.end();
    shot = canvas;
  }
  return shot;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velkorn;
  QApplication app(argc, argv);
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s SCHEDULE OUT.png [BITMAP]\n", argv[0]);
    return 2;
  }
  qt::IconvCodePage codePage;
  const Codec codec(codePage);
  qt::ReplacingWriter writer;
  qt::Form2 window("/nonexistent/velkorn");
  EditorController controller(window, codec, writer, argv[1]);
  window.setController(&controller);
  if (!controller.load({2026, 12, 24})) return 1;
  window.show();
  controller.handleIdle();  // the pause after loading, without waiting for it
  app.processEvents();
  if (argc == 4) {
    const Text path = displayPath(std::filesystem::absolute(argv[3]));
    window.setFileBoxText(path);
    window.setFilePreview(filePreviewOf(path));
    auto* box = window.findChild<QWidget*>(QStringLiteral("Text1"));
    const QPoint at = box->geometry().center();
    QHelpEvent rest(QEvent::ToolTip, at, window.mapToGlobal(at));
    QApplication::sendEvent(&window, &rest);
    app.processEvents();
  }
  return grabWithTooltip(window).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
