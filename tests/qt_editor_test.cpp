// The real editor window, offscreen: what only the window can get wrong (its
// controls' names, places and captions, the tab order, and the wiring of each
// button, box and dialog to the editor logic), driven as a user would.

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QtTest>

#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/schedule_writer.h"
#include "schedule/texts.h"
#include "tests/temp_dir.h"

using namespace velkorn;

class EditorWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void controlsHaveTheirNamesPlacesAndCaptions();
  void tabVisitsTheControlsInOrderBothWays();
  void buttonsBoxesAndDialogsReachTheEditorLogic();

 private:
  template <typename T = QWidget>
  T* control(const char* name) {
    if (auto* widget = window->findChild<T*>(QLatin1String(name))) return widget;
    qFatal("no control %s", name);
  }
  void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
  // Runs `act` on the next modal dialog of type T once it returns true (the
  // dialog is ready), polling every 10 ms. A dialog that does not come, or
  // stays open after it, fails naming `what` within 5 s and is closed, so
  // that nothing waits for it forever.
  template <typename T>
  void onNext(const QString& what, std::function<bool(T*)> act) {
    ++pending;
    auto* timer = new QTimer(this);
    std::optional<QPointer<T>> acted;
    connect(timer, &QTimer::timeout, this, [=, this, deadline = QDeadlineTimer(5000)]() mutable {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      if (!acted && dialog && dialog->isVisible() && act(dialog)) acted = dialog, deadline = QDeadlineTimer(5000);
      const bool done = acted && (!*acted || !(*acted)->isVisible());
      if (!done && !deadline.hasExpired()) return;
      if (!done) failures << what + (acted ? " stayed open" : " did not come up ready");
      if (!done && dialog) dialog->reject();
      timer->stop();
      timer->deleteLater();
      --pending;
    });
    timer->start(10);
  }
  void answerNextBox(QMessageBox::StandardButton button) {
    onNext<QMessageBox>("a message box", [this, button](QMessageBox* box) {
      seenBoxes << box->windowTitle() + '|' + QString::number(box->icon()) + '|' + box->text();
      QTest::mouseClick(box->button(button), Qt::LeftButton);
      return true;
    });
  }
  QByteArray onDisk() const { return QByteArray::fromStdString(testing::readBytes(dir->path() / "velkorn.txt")); }

  std::unique_ptr<testing::TempDir> dir;
  qt::IconvCodePage codePage;
  Codec codec{codePage};
  qt::SaveFileWriter writer;
  std::unique_ptr<qt::Form2> window;
  std::unique_ptr<EditorController> controller;
  QStringList seenBoxes, failures;  // boxes as "title|icon|text"
  int pending = 0;
};

void EditorWindowTest::init() {
  dir = std::make_unique<testing::TempDir>();
  dir->write("velkorn.txt", "A\r\nB\r\n");
  // A stand-in scheduler that only records that it ran.
  std::filesystem::permissions(dir->write("velkorn", "#!/bin/sh\ntouch ran\n"), std::filesystem::perms::owner_all);
  window = std::make_unique<qt::Form2>(dir->path() / "velkorn");
  controller = std::make_unique<EditorController>(*window, codec, writer, dir->path() / "velkorn.txt");
  window->setController(controller.get());
  QVERIFY(controller->load({2026, 12, 24}));
  window->show();
  QVERIFY(QTest::qWaitForWindowActive(window.get()));
  seenBoxes.clear();
  failures.clear();
}

void EditorWindowTest::cleanup() {
  QTRY_COMPARE_WITH_TIMEOUT(pending, 0, 12000);
  QVERIFY2(failures.isEmpty(), qPrintable(failures.join("; ")));
  controller.reset();
  window.reset();
}

void EditorWindowTest::controlsHaveTheirNamesPlacesAndCaptions() {
  QCOMPARE(window->windowTitle(), qt::toQString(texts::kEditorCaption));
  QVERIFY(window->minimumSize() == QSize(680, 510) && window->maximumSize() == QSize(680, 510));
  QCOMPARE(window->windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
           Qt::WindowCloseButtonHint);
  for (const form::Place& p : form::kPlaces) {
    QCOMPARE(control(p.name.data())->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15));
  }
  QCOMPARE(control("Command5")->property("text").toString(), qt::toQString(texts::kRunButton));
  auto* hint = control<QLabel>("Label2");  // shrunk to fit rather than cut off
  QVERIFY(hint->fontMetrics().horizontalAdvance(hint->text()) <= hint->width());
  auto* combo = control<QComboBox>("Combo1");
  QCOMPARE(QStringList({combo->itemText(0), combo->itemText(1), combo->itemText(2), combo->currentText()}),
           QStringList({"郵便屋さん", "書くの？", "読む？", ""}));
  QVERIFY(combo->count() == 3 && !combo->isEditable() && !control("Text1")->isEnabled());
  QCOMPARE(control<QPlainTextEdit>("Text2")->lineWrapMode(), QPlainTextEdit::NoWrap);
}

void EditorWindowTest::tabVisitsTheControlsInOrderBothWays() {
  QStringList expected, forward, backward;
  for (const form::Control c : form::kTabOrder) {
    for (const form::Place& p : form::kPlaces) {
      if (p.control == c && c != form::Control::Text1) expected << p.name.data();  // Text1 is disabled
    }
  }
  const auto focused = [this] {
    QWidget* w = QApplication::focusWidget();
    while (w && w->parentWidget() != window.get()) w = w->parentWidget();  // the calendar's inner view
    return w ? w->objectName() : QStringLiteral("(none)");
  };
  for (qsizetype i = 0; i < expected.size(); ++i) {
    forward << focused();
    if (i + 1 < expected.size()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  for (qsizetype i = 0; i < expected.size(); ++i) {
    backward.prepend(focused());
    if (i + 1 < expected.size()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  }
  QCOMPARE(forward, expected);
  QCOMPARE(backward, expected);
}

void EditorWindowTest::buttonsBoxesAndDialogsReachTheEditorLogic() {
  answerNextBox(QMessageBox::Ok);
  click("Command2");  // without a file, the add says so
  QTest::keyClicks(control("Text2"), "x");
  answerNextBox(QMessageBox::Yes);
  click("Command3");
  QCOMPARE(onDisk(), "xA\r\nB\r\n\r\n");

  // Browse: once the dialog has put the focus in its file-name box, the name
  // goes there, and Return opens it. A cancel keeps the file box.
  const QString bitmap = QString::fromStdString(dir->write("郵便 屋.bmp", "BM").string());
  QStringList filters;
  onNext<QFileDialog>("the file dialog", [&](QFileDialog* d) {
    auto* name = qobject_cast<QLineEdit*>(d->focusWidget());
    if (!d->isActiveWindow() || !name) return false;
    filters = d->nameFilters();
    name->setText(bitmap);
    QTest::keyClick(name, Qt::Key_Return);
    return true;
  });
  click("Command1");
  onNext<QFileDialog>("the file dialog", [](QFileDialog* d) { return d->close(); });
  click("Command1");
  QCOMPARE(filters, QStringList{"BMPファイル(*.bmp)"});
  QCOMPARE(control<QLineEdit>("Text1")->text(), bitmap);

  // Add at the caret left in the list, with the kind and the date chosen
  // elsewhere; then every day.
  auto* list = control<QPlainTextEdit>("Text2");
  QTextCursor cursor = list->textCursor();
  cursor.setPosition(3);
  list->setTextCursor(cursor);
  control("Combo1")->setFocus();
  control<QComboBox>("Combo1")->setCurrentIndex(1);
  control<QCalendarWidget>("MonthView1")->setSelectedDate(QDate(2026, 3, 3));
  click("Command2");
  control<QLineEdit>("Text1")->setText("/b.bmp");
  click("Check1");
  click("Command2");
  QCOMPARE(list->toPlainText(), "xA\n03/03 W " + bitmap + "\n00/00 W /b.bmp\nB\n");
  QVERIFY(control<QLineEdit>("Text1")->text().isEmpty());

  answerNextBox(QMessageBox::No);
  QVERIFY(!window->close());  // the close box
  answerNextBox(QMessageBox::No);
  click("Command4");
  QVERIFY(window->isVisible());
  answerNextBox(QMessageBox::Yes);
  click("Command5");
  QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(dir->path() / "ran"), 5000);
  QVERIFY(onDisk().startsWith("xA\r\n03/03 W "));
  std::filesystem::remove(dir->path() / "velkorn");  // the scheduler is gone: Run says so
  answerNextBox(QMessageBox::Ok);
  click("Command5");
  click("Command4");
  QVERIFY(!window->isVisible());
  QTRY_COMPARE_WITH_TIMEOUT(pending, 0, 6000);
  QCOMPARE(seenBoxes, QStringList({"ファイル名エラー|2|ファイルが指定されていません", "保存|1|保存しますが、よろしいですか？",
                                   "終了|1|保存しないで終了しますが、よろしいですか？",
                                   "終了|1|保存しないで終了しますが、よろしいですか？",
                                   "終了|1|実行前には保存する必要があります。保存しますか？",
                                   "実行|3|velkorn を起動できませんでした。"}));
}

QTEST_MAIN(EditorWindowTest)
#include "qt_editor_test.moc"
