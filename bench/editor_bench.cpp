// The editor's window on large schedules, in-process with Qt's offscreen
// platform:
// - opening a schedule until the window shows it, against a bare
//   QPlainTextEdit::setPlainText of the same text (the widget's own cost);
// - adding 100 entries through the composer to a large and a small schedule;
// - typing 100 characters into the list of a large and a small schedule, each
//   key handled as the window handles it (the events it posts included)
//   before the next;
// - what the calendar's marks cost: the one pass over the list once typing
//   pauses, and a change of the month shown.
//   editor_bench DIR [benchmark flags]   (DIR receives the generated files)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTest>
#include <QTextBlock>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "editor/editor_controller.h"
#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/schedule_writer.h"

namespace {

std::filesystem::path gDir;

// N lines like a real schedule: CP932, Japanese paths, comments.
std::filesystem::path scheduleWithLines(long lines) {
  const auto dir = gDir / std::to_string(lines);
  const auto file = dir / "velkorn.txt";
  if (std::filesystem::exists(file)) return file;
  std::filesystem::create_directories(dir);
  std::ofstream out(file, std::ios::binary);
  for (long i = 0; i < lines; ++i) {
    if (i % 10 == 0) {
      out << "# \x8B\x47\x90\xDF\x82\xCC\x89\xE6\x91\x9C\r\n";  // # 季節の画像
      continue;
    }
    char date[16];
    std::snprintf(date, sizeof date, "%02ld/%02ld", i % 12 + 1, i % 28 + 1);
    out << date << " P C:\\Program Files\\Winbiff\\\x89\xE6\x91\x9C\\" << i << ".bmp\r\n";
  }
  return file;
}

void OpenSchedule(benchmark::State& state) {
  const auto file = scheduleWithLines(state.range(0));
  velkorn::qt::IconvCodePage codePage;
  const velkorn::Codec codec(codePage);
  velkorn::qt::ReplacingWriter writer;
  for (auto _ : state) {
    velkorn::qt::Form2 window("/nonexistent/velkorn");
    velkorn::EditorController controller(window, codec, writer, file);
    window.setController(&controller);
    if (!controller.load({2026, 12, 24})) state.SkipWithError("load failed");
    window.show();
    QCoreApplication::processEvents();
  }
}

// The same text, already decoded, set on a bare QPlainTextEdit placed and
// configured as the window's list is (size, font, no wrap): what no editor
// built on this widget can beat.
void BareSetPlainText(benchmark::State& state) {
  const auto file = scheduleWithLines(state.range(0));
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  QString text = QStringDecoder("Shift_JIS").decode(QByteArray::fromStdString(bytes));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QFont font(QStringLiteral("IPAGothic"));
  font.setPointSizeF(13.5);
  for (auto _ : state) {
    QWidget window;
    window.resize(680, 510);
    QPlainTextEdit edit(&window);
    edit.setGeometry(16, 248, 641, 209);
    edit.setFont(font);
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.setPlainText(text);
    window.show();
    QCoreApplication::processEvents();
  }
}

// The editor open on a schedule of `lines` lines, its window shown.
struct OpenEditor {
  explicit OpenEditor(long lines) : file(scheduleWithLines(lines)) {
    window.setController(&controller);
    controller.load({2026, 12, 24});
    window.show();
    QCoreApplication::processEvents();
  }
  std::filesystem::path file;
  velkorn::qt::IconvCodePage codePage;
  const velkorn::Codec codec{codePage};
  velkorn::qt::ReplacingWriter writer;
  velkorn::qt::Form2 window{"/nonexistent/velkorn"};
  velkorn::EditorController controller{window, codec, writer, file};
};

// A view that only composes: the list widget is the real one.
void Add100Entries(benchmark::State& state) {
  OpenEditor editor(state.range(0));
  editor.window.findChild<QWidget*>("Combo1")->setProperty("currentIndex", 0);
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) {
      editor.window.setFileBoxText(U"C:\\Program Files\\Winbiff\\画像\\新しい.bmp");
      editor.controller.handleAdd();
    }
    QCoreApplication::processEvents();
  }
}

// A user typing dated lines into the middle of the list, key by key, at a
// typist's pace for the window but with no pause long enough to be idle.
void Type100Keys(benchmark::State& state) {
  OpenEditor editor(state.range(0));
  auto* list = editor.window.findChild<QPlainTextEdit*>("Text2");
  list->setFocus();
  QTextCursor middle(list->document()->findBlockByNumber(list->blockCount() / 2));
  list->setTextCursor(middle);
  const QString keys = QStringLiteral("12/24 P C:\\x.bmp\n");
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) {
      const char key = keys[i % keys.size()].toLatin1();
      key == '\n' ? QTest::keyClick(list, Qt::Key_Return) : QTest::keyClick(list, key);
      QCoreApplication::processEvents();
    }
  }
}

// The pause after a key: the list read once and the calendar marked again.
void MarkAfterPause(benchmark::State& state) {
  OpenEditor editor(state.range(0));
  for (auto _ : state) {
    editor.controller.handleListChanged();
    editor.controller.handleIdle();
    QCoreApplication::processEvents();
  }
}

// The next month shown, the list unchanged since the last pause.
void ChangeMonth(benchmark::State& state) {
  OpenEditor editor(state.range(0));
  editor.controller.handleIdle();
  QCoreApplication::processEvents();
  auto* calendar = editor.window.findChild<QCalendarWidget*>("MonthView1");
  for (auto _ : state) {
    calendar->showNextMonth();
    QCoreApplication::processEvents();
  }
}

// Alternating sizes and kinds, so that neither side gets the warm caches.
BENCHMARK(BareSetPlainText)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(OpenSchedule)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BareSetPlainText)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(OpenSchedule)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(Add100Entries)->Arg(10)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(Type100Keys)->Arg(10)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(MarkAfterPause)->Arg(10)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(ChangeMonth)->Arg(10)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (argc < 2) {
    std::cerr << "usage: editor_bench DIR [benchmark flags]\n";
    return 2;
  }
  gDir = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
