// The real editor window, driven as a user would drive it: clicks, typing,
// message boxes and the file dialog answered by the test.

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "editor/editor_controller.h"
#include "platform/qt/editor_window.h"
#include "platform/qt/iconv_code_page.h"
#include "platform/qt/schedule_writer.h"

using namespace velkorn;

namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

}  // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void controlsHaveTheirNamesCaptionsAndPlaces();
  void tabOrderStartsAtTheKindDropDown();
  void saveAskedAndAnswered();
  void exitAndCloseBoxGuardUnsavedChanges();
  void runSavesAndStartsTheScheduler();
  void browseFillsTheFileBoxFromTheDialog();
  void addInsertsAtTheCaretLeftInTheList();

 private:
  template <typename T>
  T* control(const char* name) {
    auto* widget = window->findChild<T*>(QLatin1String(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  // Answers the next message box with `button` once it is up.
  void answerNextBox(QMessageBox::StandardButton button);
  // Runs `action` on the next modal file dialog.
  void handleNextFileDialog(std::function<void(QFileDialog*)> action);
  void openOn(const QByteArray& schedule);

  std::unique_ptr<QTemporaryDir> dir;
  QString schedulePath;
  QString markerPath;
  std::unique_ptr<qt::IconvCodePage> codePage;
  std::unique_ptr<Codec> codec;
  std::unique_ptr<qt::SaveFileWriter> writer;
  std::unique_ptr<qt::Form2> window;
  std::unique_ptr<EditorController> controller;
  QList<SeenBox> seen;
};

void EditorWindowTest::init() {
  dir = std::make_unique<QTemporaryDir>();
  schedulePath = dir->filePath("velkorn.txt");
  markerPath = dir->filePath("scheduler-ran");
  // A stand-in scheduler that only records that it ran.
  const QString stub = dir->filePath("velkorn");
  writeFile(stub, "#!/bin/sh\ntouch '" + markerPath.toUtf8() + "'\n");
  QFile::setPermissions(stub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  codePage = std::make_unique<qt::IconvCodePage>();
  codec = std::make_unique<Codec>(*codePage);
  writer = std::make_unique<qt::SaveFileWriter>();
  window = std::make_unique<qt::Form2>(stub.toStdString());
  controller = std::make_unique<EditorController>(*window, *codec, *writer, schedulePath.toStdString());
  window->setController(controller.get());
  seen.clear();
}

void EditorWindowTest::cleanup() {
  controller.reset();
  window.reset();
  dir.reset();
}

void EditorWindowTest::openOn(const QByteArray& schedule) {
  writeFile(schedulePath, schedule);
  QVERIFY(controller->load({2026, 12, 24}));
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void EditorWindowTest::answerNextBox(QMessageBox::StandardButton button) {
  auto* timer = new QTimer(this);
  timer->setInterval(10);
  connect(timer, &QTimer::timeout, this, [this, timer, button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    seen.append({box->windowTitle(), box->text(), box->icon()});
    QTest::mouseClick(box->button(button), Qt::LeftButton);
  });
  timer->start();
}

void EditorWindowTest::handleNextFileDialog(std::function<void(QFileDialog*)> action) {
  auto* timer = new QTimer(this);
  timer->setInterval(10);
  connect(timer, &QTimer::timeout, this, [timer, action] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    action(dialog);
  });
  timer->start();
}

void EditorWindowTest::controlsHaveTheirNamesCaptionsAndPlaces() {
  openOn("A\r\n");
  QCOMPARE(window->windowTitle(), QStringLiteral("設定の編集"));
  QCOMPARE(window->size(), QSize(680, 510));
  QVERIFY(!window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(!window->windowIcon().isNull());

  struct Place {
    const char* name;
    int left, top, width, height;
  };
  const Place places[] = {{"MonthView1", 1200, 120, 2385, 2220}, {"Label1", 4560, 480, 1095, 375},
                          {"Text1", 4560, 960, 3735, 405},       {"Command1", 8520, 960, 1215, 375},
                          {"Label3", 4800, 1560, 615, 375},      {"Combo1", 5400, 1560, 3855, 390},
                          {"Check1", 600, 2640, 3855, 375},      {"Label2", 840, 3240, 5655, 375},
                          {"Command2", 6480, 3240, 2415, 375},   {"Text2", 240, 3720, 9615, 3135},
                          {"Command3", 1560, 7080, 1815, 375},   {"Command5", 3960, 7080, 1815, 375},
                          {"Command4", 6360, 7080, 1815, 375}};
  for (const Place& p : places) {
    QCOMPARE(control<QWidget>(p.name)->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15));
  }

  QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("ファイル"));
  QCOMPARE(control<QPushButton>("Command1")->text(), QStringLiteral("Browse"));
  QCOMPARE(control<QLabel>("Label3")->text(), QStringLiteral("画像"));
  QCOMPARE(control<QCheckBox>("Check1")->text(), QStringLiteral("デフォルト表示を指定します"));
  QCOMPARE(control<QLabel>("Label2")->text(), QStringLiteral("挿入する行にカーソルを置いてからクリックします"));
  QCOMPARE(control<QPushButton>("Command2")->text(), QStringLiteral("↓"));
  QCOMPARE(control<QPushButton>("Command3")->text(), QStringLiteral("保存"));
  QCOMPARE(control<QPushButton>("Command5")->text(), QStringLiteral("実行"));
  QCOMPARE(control<QPushButton>("Command4")->text(), QStringLiteral("終了"));

  // Nothing a caption holds is cut off.
  for (const char* name : {"Label1", "Label2", "Label3"}) {
    auto* label = control<QLabel>(name);
    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), name);
  }
  for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5", "Check1"}) {
    auto* button = control<QAbstractButton>(name);
    QVERIFY2(button->sizeHint().width() <= button->width() + 8, name);
  }

  auto* combo = control<QComboBox>("Combo1");
  QCOMPARE(combo->count(), 3);
  QCOMPARE(combo->itemText(0), QStringLiteral("郵便屋さん"));
  QCOMPARE(combo->itemText(1), QStringLiteral("書くの？"));
  QCOMPARE(combo->itemText(2), QStringLiteral("読む？"));
  QCOMPARE(combo->currentIndex(), -1);
  QVERIFY(!combo->isEditable());
  QVERIFY(!control<QLineEdit>("Text1")->isEnabled());
  QVERIFY(!control<QCheckBox>("Check1")->isChecked());
  QCOMPARE(control<QCalendarWidget>("MonthView1")->selectedDate(), QDate(2026, 12, 24));
  auto* list = control<QPlainTextEdit>("Text2");
  QCOMPARE(list->lineWrapMode(), QPlainTextEdit::NoWrap);
  QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void EditorWindowTest::tabOrderStartsAtTheKindDropDown() {
  openOn("A\r\n");
  window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window.get()));
  QCOMPARE(QApplication::focusWidget(), control<QWidget>("Combo1"));

  // Text1 is disabled, so Tab skips it.
  const QStringList expected = {"Command1", "Text2", "Command2", "Command3", "Command4",
                                "Check1", "MonthView1", "Command5"};
  QStringList order;
  for (int i = 0; i < expected.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* w = QApplication::focusWidget();
    while (w && w->parentWidget() != window.get()) w = w->parentWidget();  // the calendar's inner view
    order << (w ? w->objectName() : QStringLiteral("(none)"));
  }
  QCOMPARE(order, expected);
}

void EditorWindowTest::saveAskedAndAnswered() {
  openOn("A\r\nB\r\n");
  auto* list = control<QPlainTextEdit>("Text2");
  QTest::keyClicks(list, "x");
  QVERIFY(controller->hasUnsavedChanges());

  answerNextBox(QMessageBox::No);
  QTest::mouseClick(control<QPushButton>("Command3"), Qt::LeftButton);
  QCOMPARE(seen.size(), 1);
  QCOMPARE(seen[0].title, QStringLiteral("保存"));
  QCOMPARE(seen[0].text, QStringLiteral("保存しますが、よろしいですか？"));
  QCOMPARE(seen[0].icon, QMessageBox::Information);
  QCOMPARE(readFile(schedulePath), QByteArray("A\r\nB\r\n"));

  answerNextBox(QMessageBox::Yes);
  QTest::mouseClick(control<QPushButton>("Command3"), Qt::LeftButton);
  QCOMPARE(readFile(schedulePath), QByteArray("xA\r\nB\r\n\r\n"));
  QVERIFY(!controller->hasUnsavedChanges());
}

void EditorWindowTest::exitAndCloseBoxGuardUnsavedChanges() {
  openOn("A\r\n");
  QTest::keyClicks(control<QPlainTextEdit>("Text2"), "y");

  answerNextBox(QMessageBox::No);
  QVERIFY(!window->close());  // the close box
  QVERIFY(window->isVisible());
  QCOMPARE(seen.last().title, QStringLiteral("終了"));
  QCOMPARE(seen.last().text, QStringLiteral("保存しないで終了しますが、よろしいですか？"));

  answerNextBox(QMessageBox::No);
  QTest::mouseClick(control<QPushButton>("Command4"), Qt::LeftButton);
  QVERIFY(window->isVisible());
  QCOMPARE(control<QPlainTextEdit>("Text2")->toPlainText(), QStringLiteral("yA\n"));

  answerNextBox(QMessageBox::Yes);
  QTest::mouseClick(control<QPushButton>("Command4"), Qt::LeftButton);
  QVERIFY(!window->isVisible());
  QCOMPARE(seen.size(), 3);  // the ending close asked nothing more
  QCOMPARE(readFile(schedulePath), QByteArray("A\r\n"));
}

void EditorWindowTest::runSavesAndStartsTheScheduler() {
  openOn("A\r\n");
  QTest::keyClicks(control<QPlainTextEdit>("Text2"), "z");
  answerNextBox(QMessageBox::Yes);
  QTest::mouseClick(control<QPushButton>("Command5"), Qt::LeftButton);
  QCOMPARE(seen.size(), 1);
  QCOMPARE(seen[0].text, QStringLiteral("実行前には保存する必要があります。保存しますか？"));
  QCOMPARE(readFile(schedulePath), QByteArray("zA\r\n\r\n"));
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(markerPath), 10000);
  QVERIFY(window->isVisible());

  // A clean list runs at once, with no question.
  QFile::remove(markerPath);
  QTest::mouseClick(control<QPushButton>("Command5"), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(markerPath), 10000);
  QCOMPARE(seen.size(), 1);
}

void EditorWindowTest::browseFillsTheFileBoxFromTheDialog() {
  openOn("");
  const QString bitmap = dir->filePath("郵便 屋.bmp");
  writeFile(bitmap, "BM");
  QStringList filters;
  handleNextFileDialog([&](QFileDialog* dialog) {
    filters = dialog->nameFilters();
    dialog->selectFile(bitmap);
    static_cast<QDialog*>(dialog)->accept();  // as the Open button does
  });
  QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
  QCOMPARE(filters, QStringList{QStringLiteral("BMPファイル(*.bmp)")});
  QCOMPARE(control<QLineEdit>("Text1")->text(), bitmap);

  handleNextFileDialog([](QFileDialog* dialog) { dialog->reject(); });
  QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
  QCOMPARE(control<QLineEdit>("Text1")->text(), bitmap);
}

void EditorWindowTest::addInsertsAtTheCaretLeftInTheList() {
  openOn("first\r\nsecond\r\n");
  auto* list = control<QPlainTextEdit>("Text2");
  QTextCursor cursor = list->textCursor();
  cursor.setPosition(6);  // the start of the second line
  list->setTextCursor(cursor);

  // Choosing the kind and the date moves the focus away from the list.
  auto* combo = control<QComboBox>("Combo1");
  combo->setFocus();
  combo->setCurrentIndex(combo->findText(QStringLiteral("書くの？")));
  control<QCalendarWidget>("MonthView1")->setSelectedDate(QDate(2026, 3, 3));
  control<QLineEdit>("Text1")->setText(QStringLiteral("/pics/a.bmp"));
  QTest::mouseClick(control<QPushButton>("Command2"), Qt::LeftButton);
  control<QLineEdit>("Text1")->setText(QStringLiteral("/pics/b.bmp"));
  QTest::mouseClick(control<QCheckBox>("Check1"), Qt::LeftButton);
  QTest::mouseClick(control<QPushButton>("Command2"), Qt::LeftButton);

  QCOMPARE(list->toPlainText(),
           QStringLiteral("first\n03/03 W /pics/a.bmp\n00/00 W /pics/b.bmp\nsecond\n"));
  QVERIFY(control<QLineEdit>("Text1")->text().isEmpty());
  QVERIFY(controller->hasUnsavedChanges());

  // Without a file the message comes, and nothing is inserted.
  answerNextBox(QMessageBox::Ok);
  QTest::mouseClick(control<QPushButton>("Command2"), Qt::LeftButton);
  QCOMPARE(seen.size(), 1);
  QCOMPARE(seen[0].title, QStringLiteral("ファイル名エラー"));
  QCOMPARE(seen[0].icon, QMessageBox::Warning);
}

QTEST_MAIN(EditorWindowTest)
#include "qt_editor_test.moc"
