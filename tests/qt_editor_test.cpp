// The real editor window Form2, offscreen, driven through Qt's own events.

#include <QtTest>
#include <QtWidgets>

#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/schedule_writer.h"
#include "tests/editor_window_cases.h"

namespace velkorn::testing {
namespace {

class QtWindow final : public EditorWindowDriver {
 public:
  // Its folder's name is not UTF-8, which Qt cannot name.
  QtWindow() : EditorWindowDriver("\x95\x5C") {
    root.write("\x95\x5C/velkorn.txt", "A\r\nB\r\n");
    std::filesystem::permissions(root.write("\x95\x5C/velkorn", "#!/bin/sh\nprintf 'ran\\r\\n' >>scheduler-ran.txt\n"),
                                 std::filesystem::perms::owner_all);
    window.setController(&controller);
    EXPECT_TRUE(controller.load({2026, 12, 24}));
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  std::array<int, 4> place(form::Control c) override {
    const QRect r = widget(c)->geometry();
    return {r.left(), r.top(), r.width(), r.height()};
  }
  Text text(form::Control c) override {
    if (auto* list = qobject_cast<QPlainTextEdit*>(widget(c))) return qt::fromQString(list->toPlainText().replace("\n", "\r\n"));
    if (auto* combo = qobject_cast<QComboBox*>(widget(c))) return qt::fromQString(combo->currentText());
    return qt::fromQString(widget(c)->property("text").toString());
  }
  void click(form::Control c) override { QTest::mouseClick(qobject_cast<QAbstractButton*>(widget(c)), Qt::LeftButton); }
  std::string clickAnswering(std::optional<form::Control> c, Answer answer) override {
    std::string seen = "(no box)";
    onNextModal<QMessageBox>([&](QMessageBox* box) {
      seen = (box->windowTitle() + '|' + box->text()).toStdString();
      const auto button = answer == Answer::Yes ? QMessageBox::Yes : answer == Answer::No ? QMessageBox::No : QMessageBox::Ok;
      QTest::mouseClick(box->button(button), Qt::LeftButton);
      return true;
    });
    c ? click(*c) : void(window.close());
    return seen;
  }
  // Once the dialog has put the focus in its file-name box, the name goes
  // there, and Return opens the file.
  void browse(const std::filesystem::path& file) override {
    onNextModal<QFileDialog>([&](QFileDialog* dialog) {
      auto* name = qobject_cast<QLineEdit*>(dialog->focusWidget());
      if (!dialog->isActiveWindow() || !name) return false;
      EXPECT_EQ(dialog->nameFilters(), QStringList{"BMPファイル(*.bmp)"});
      name->setText(QString::fromStdString(file.string()));
      QTest::keyClick(name, Qt::Key_Return);
      return true;
    });
    click(form::Control::Command1);
  }
  void putCaret(int line, int column) override {
    auto* list = qobject_cast<QPlainTextEdit*>(widget(form::Control::Text2));
    QTextCursor cursor(list->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    list->setTextCursor(cursor);
  }
  void type(TextView text) override { QTest::keyClicks(widget(form::Control::Text2), qt::toQString(text)); }
  void chooseKind(int index) override { qobject_cast<QComboBox*>(widget(form::Control::Combo1))->setCurrentIndex(index); }
  void chooseDate(int year, int month, int day) override {
    qobject_cast<QCalendarWidget*>(widget(form::Control::MonthView1))->setSelectedDate(QDate(year, month, day));
  }
  std::string focused() override {
    QWidget* w = QApplication::focusWidget();
    while (w && w->parentWidget() != &window) w = w->parentWidget();  // the calendar's inner view
    return w ? w->objectName().toStdString() : "(none)";
  }
  std::string pressTab(bool backwards) override {
    window.activateWindow();  // back from a box, as a click on it would
    if (QTest::qWaitForWindowActive(&window)) QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab);
    return focused();
  }
  bool isOpen() override { return window.isVisible(); }
  qt::Form2& form() { return window; }
  QCalendarWidget* calendar() { return qobject_cast<QCalendarWidget*>(widget(form::Control::MonthView1)); }
  bool eventually(const std::function<bool()>& condition) override {
    return QTest::qWaitFor(condition, 10000);
  }

 private:
  QWidget* widget(form::Control c) { return window.findChild<QWidget*>(QLatin1String(form::placeOf(c).name.data())); }
  // Runs `act` on the next modal dialog of type T once it returns true (the
  // dialog is ready), then waits until the dialog has gone. Polled every
  // 10 ms while the test's click runs the dialog; one that does not come, or
  // does not go, fails within 5 s and is closed, so that nothing waits for it
  // forever.
  template <typename T>
  void onNextModal(std::function<bool(T*)> act) {
    auto* timer = new QTimer(&window);
    std::optional<QPointer<T>> acted;
    QObject::connect(timer, &QTimer::timeout, [=, deadline = QDeadlineTimer(5000)]() mutable {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      if (!acted && dialog && dialog->isVisible() && act(dialog)) acted = dialog, deadline = QDeadlineTimer(5000);
      const bool done = acted && (!*acted || !(*acted)->isVisible());
      if (!done && !deadline.hasExpired()) return;
      if (!done) ADD_FAILURE() << T::staticMetaObject.className() << (acted ? " stayed open" : " did not come up ready");
      if (!done && dialog) dialog->reject();
      timer->stop();
      timer->deleteLater();
    });
    timer->start(10);
  }

  qt::IconvCodePage codePage;
  Codec codec{codePage};
  qt::ReplacingWriter writer;
  qt::Form2 window{directory / "velkorn"};
  EditorController controller{window, codec, writer, directory / "velkorn.txt"};
};

TEST(QtEditorWindow, IsAFixedDialogWhoseControlsReachTheEditorLogic) {
  QtWindow window;
  EXPECT_EQ(window.form().windowTitle(), "設定の編集");
  EXPECT_EQ(window.form().windowIcon().pixmap(32, 32).size(), QSize(32, 32));
  EXPECT_TRUE(window.form().minimumSize() == QSize(680, 510) && window.form().maximumSize() == QSize(680, 510));
  EXPECT_EQ(window.form().windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
            Qt::WindowCloseButtonHint);
  expectPlacesAndCaptions(window);
  expectTabOrder(window);
  expectEveryControlReachesTheEditorLogic(window);
}

// Marks follow the list once it is left alone, with what applies as the
// day's tooltip; the chosen bitmap is the file box's tooltip, the window's
// as the box is disabled.
TEST(QtEditorWindow, MarksTheDaysOfDatedLinesAndPreviewsTheChosenBitmap) {
  QtWindow window;
  window.chooseDate(2026, 3, 3);
  window.type(U"03/05 R ");
  const auto fifth = [&] { return window.calendar()->dateTextFormat(QDate(2026, 3, 5)); };
  EXPECT_TRUE(window.eventually([&] { return fifth().fontWeight() == QFont::Bold; })) << "03/05 not marked";
  EXPECT_TRUE(fifth().toolTip().contains("読む？  A  ← 1 行目")) << fifth().toolTip().toStdString();
  for (int i = 0; i < 8; ++i) QTest::keyClick(window.form().findChild<QPlainTextEdit*>("Text2"), Qt::Key_Backspace);
  EXPECT_TRUE(window.eventually([&] { return fifth().fontWeight() != QFont::Bold; })) << "03/05 still marked";

  const auto bitmap = window.root.path() / "a.bmp";
  QImage(200, 100, QImage::Format_RGB32).save(QString::fromStdString(bitmap.string()), "BMP");
  window.browse(bitmap);
  QWidget* box = window.form().findChild<QWidget*>("Text1");
  window.form().activateWindow();  // back from the dialog, as a click on it would
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window.form()));
  QTest::mouseMove(box, box->rect().center());
  EXPECT_TRUE(window.eventually([] { return QToolTip::text().contains("200 × 100 ピクセル"); })) << "no preview";
  EXPECT_TRUE(QToolTip::text().contains("<img src='data:image/png;base64,"));
}

}  // namespace
}  // namespace velkorn::testing

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
