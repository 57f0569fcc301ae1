#include "platform/qt/editor_window.h"

#include <QApplication>
#include <QBuffer>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QTableView>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>

#include "platform/qt/message_dialog.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/start_detached.h"
#include "schedule/kinds.h"
#include "ui/texts.h"

namespace velkorn::qt {

namespace {

// Positions are laid out in twips; Qt's device-independent pixels are 1/96
// inch, and Qt scales them to the screen's DPI.
constexpr int kTwipsPerPixel = form::kTwipsPerInch / 96;
QRect fromTwips(int left, int top, int width, int height) {
  return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

// Linux has no "Terminal": the fixed-pitch face with Japanese glyphs nearest
// to it, at the window's size.
constexpr const char* kControlFontFamily = "IPAGothic";

QString q(TextView text) { return toQString(text); }

// The list holds CR LF between lines; a text widget holds LF.
QString toWidgetLines(TextView text) {
  return toQString(text, true);
}

// A tooltip's rich text of plain lines, kept as they are.
QString tipLines(TextView text) {
  return QStringLiteral("<p style='white-space:pre'>") + q(text).toHtmlEscaped() + QStringLiteral("</p>");
}

// The picture scaled to its preview size, as rich text inlines it; nothing
// when Qt cannot read it.
QString inlinePicture(const FilePreview& preview) {
  QImageReader reader(QFile::decodeName(QByteArray::fromStdString(preview.file.native())));
  const QImage image = reader.read();
  if (image.isNull()) return {};
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.scaled(preview.shownWidth, preview.shownHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
      .save(&buffer, "PNG");
  return QStringLiteral("<img src='data:image/png;base64,%1'>").arg(QString::fromLatin1(png.toBase64()));
}

// A log-off as the desktop's session manager asks it: the user may be asked
// once it grants the interaction, which keeps the log-off waiting until
// released.
class QtSessionEnd final : public SessionEnd {
 public:
  explicit QtSessionEnd(QSessionManager& manager) : manager_(manager) {}
  bool mayAsk() override { return manager_.allowsInteraction(); }
  void hold(TextView) override {}
  void release() override { manager_.release(); }

 private:
  QSessionManager& manager_;
};

}  // namespace

Form2::Form2(std::filesystem::path scheduler, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      scheduler_(std::move(scheduler)) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(q(texts::kEditorCaption));
  setWindowIcon(QIcon(QStringLiteral(":/velkorn-32.png")));
  setFixedSize(form::kClientWidth / kTwipsPerPixel, form::kClientHeight / kTwipsPerPixel);
  createControls();
  placeControls();
  applyFonts();
  applyTabOrder();
  Combo1->setFocus();
}

void Form2::setController(EditorController* controller) {
  controller_ = controller;
  connectControls();
}

void Form2::createControls() {
  MonthView1 = new QCalendarWidget(this);
  MonthView1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
  MonthView1->setFirstDayOfWeek(Qt::Sunday);
  MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  MonthView1->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
  // Weekends in the Japanese colours: Sunday red, Saturday blue.
  QTextCharFormat saturday;
  saturday.setForeground(QColor(0x1a, 0x4f, 0xc4));
  MonthView1->setWeekdayTextFormat(Qt::Saturday, saturday);

  Label1 = new QLabel(q(texts::kFileLabel), this);
  Text1 = new QLineEdit(this);
  Text1->setEnabled(false);
  Command1 = new QPushButton(q(texts::kBrowseButton), this);
  Label3 = new QLabel(q(texts::kKindLabel), this);
  Combo1 = new QComboBox(this);
  for (const ImageKind kind : form::kComboKinds) {
    Combo1->addItem(q(texts::of(kind).label));
  }
  Combo1->setCurrentIndex(-1);
  Check1 = new QCheckBox(q(texts::kEveryDayCheck), this);
  Label2 = new QLabel(q(texts::kInsertHint), this);
  Command2 = new QPushButton(q(texts::kAddButton), this);
  Text2 = new QPlainTextEdit(this);
  Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
  Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text2->setTabChangesFocus(true);
  Command3 = new QPushButton(q(texts::kSaveButton), this);
  Command5 = new QPushButton(q(texts::kRunButton), this);
  Command4 = new QPushButton(q(texts::kExitButton), this);
  idleTimer_ = new QTimer(this);
  idleTimer_->setSingleShot(true);

  for (const form::Place& place : form::kPlaces) {
    control(place.control)->setObjectName(QLatin1String(place.name.data(), static_cast<qsizetype>(place.name.size())));
  }
}

QWidget* Form2::control(form::Control id) const {
  switch (id) {
    case form::Control::MonthView1: return MonthView1;
    case form::Control::Label1: return Label1;
    case form::Control::Text1: return Text1;
    case form::Control::Command1: return Command1;
    case form::Control::Label3: return Label3;
    case form::Control::Combo1: return Combo1;
    case form::Control::Check1: return Check1;
    case form::Control::Label2: return Label2;
    case form::Control::Command2: return Command2;
    case form::Control::Text2: return Text2;
    case form::Control::Command3: return Command3;
    case form::Control::Command5: return Command5;
    case form::Control::Command4: return Command4;
  }
  return nullptr;
}

void Form2::placeControls() {
  for (const form::Place& p : form::kPlaces) {
    control(p.control)->setGeometry(fromTwips(p.left, p.top, p.width, p.height));
  }
}

void Form2::applyFonts() {
  QFont font(QString::fromLatin1(kControlFontFamily));
  font.setPointSizeF(form::kFontPoints);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  for (QWidget* w : std::initializer_list<QWidget*>{Label1, Text1, Command1, Label3, Combo1, Check1, Label2,
                                                    Command2, Text2, Command3, Command5, Command4}) {
    w->setFont(font);
  }
  // The hint is longer than its label at this size in a full-width font:
  // shrink it until it fits rather than cut it off.
  for (QLabel* label : {Label2}) {
    QFont fitted = font;
    while (fitted.pointSizeF() > 8 &&
           QFontMetrics(fitted).horizontalAdvance(label->text()) > label->width()) {
      fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
    }
    label->setFont(fitted);
  }
  // The calendar keeps the system font, small enough for its fixed size, and
  // its day columns may be narrower than Qt's default minimum so that all
  // seven fit.
  QFont calendarFont = MonthView1->font();
  calendarFont.setPointSizeF(7.5);
  MonthView1->setFont(calendarFont);
  if (auto* days = MonthView1->findChild<QTableView*>()) {
    days->horizontalHeader()->setMinimumSectionSize(1);
    days->verticalHeader()->setMinimumSectionSize(1);
    days->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    days->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  }
}

void Form2::applyTabOrder() {
  for (std::size_t i = 0; i + 1 < form::kTabOrder.size(); ++i) {
    QWidget::setTabOrder(control(form::kTabOrder[i]), control(form::kTabOrder[i + 1]));
  }
}

void Form2::connectControls() {
  EditorController* c = controller_;
  connect(Text2, &QPlainTextEdit::textChanged, this, [c] { c->handleListChanged(); });
  connect(Command1, &QPushButton::clicked, this, [c] { c->handleBrowse(); });
  connect(Command2, &QPushButton::clicked, this, [c] { c->handleAdd(); });
  connect(Command3, &QPushButton::clicked, this, [c] { c->handleSave(); });
  connect(Command4, &QPushButton::clicked, this, [c] { c->handleExit(); });
  connect(Command5, &QPushButton::clicked, this, [c] { c->handleRun(); });
  connect(idleTimer_, &QTimer::timeout, this, [c] { c->handleIdle(); });
  connect(MonthView1, &QCalendarWidget::currentPageChanged, this, &Form2::markShownDays);
  connect(qApp, &QGuiApplication::commitDataRequest, this, [c](QSessionManager& manager) {
    QtSessionEnd session(manager);
    if (!c->handleSessionEndQuery(session)) manager.cancel();
  }, Qt::DirectConnection);
}

// Bold, with what applies as its tooltip, each marked day of the page's
// month and of the neighbouring months' days it shows.
void Form2::markShownDays() {
  MonthView1->setDateTextFormat(QDate(), QTextCharFormat());  // every day's cleared
  const QDate page(MonthView1->yearShown(), MonthView1->monthShown(), 1);
  for (const QDate month : {page.addMonths(-1), page, page.addMonths(1)}) {
    const DaySet days = controller_->datedDays(month.year(), month.month());
    for (int day = 1; day <= month.daysInMonth(); ++day) {
      if (!days[static_cast<std::size_t>(day)]) continue;
      QTextCharFormat marked;
      marked.setFontWeight(QFont::Bold);
      marked.setToolTip(tipLines(controller_->dayTip({month.year(), month.month(), day})));
      MonthView1->setDateTextFormat(QDate(month.year(), month.month(), day), marked);
    }
  }
}

// Text1 is disabled, so the mouse over it is the window's, and so is the
// tooltip asked for there.
bool Form2::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && !fileTip_.isEmpty()) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (Text1->geometry().contains(help->pos())) {
      QToolTip::showText(help->globalPos(), fileTip_, this, Text1->geometry());
      return true;
    }
  }
  return QWidget::event(event);
}

void Form2::closeEvent(QCloseEvent* event) {
  if (!controller_ || controller_->handleCloseRequest()) {
    event->accept();
  } else {
    event->ignore();
  }
}

Text Form2::listText() const {
  return fromQString(Text2->toPlainText(), true);
}

void Form2::setListText(TextView text) {
  Text2->setPlainText(toWidgetLines(text));
  Text2->moveCursor(QTextCursor::Start);
}

void Form2::insertAtCaret(TextView text) {
  QTextCursor cursor = Text2->textCursor();
  cursor.insertText(toWidgetLines(text));
  Text2->setTextCursor(cursor);
}

Date Form2::calendarDate() const {
  const QDate date = MonthView1->selectedDate();
  return {date.year(), date.month(), date.day()};
}

void Form2::setCalendarDate(const Date& date) {
  MonthView1->setSelectedDate(QDate(date.year, date.month, date.day));
}

Text Form2::kindText() const {
  return fromQString(Combo1->currentText());
}

bool Form2::everyDayChecked() const {
  return Check1->isChecked();
}

Text Form2::fileBoxText() const {
  return fromQString(Text1->text());
}

void Form2::setFileBoxText(TextView text) {
  Text1->setText(toQString(text));
}

void Form2::restartIdleTimer(int milliseconds) {
  idleTimer_->start(milliseconds);
}

void Form2::refreshCalendar() {
  markShownDays();
}

bool Form2::setFilePreview(const FilePreview& preview) {
  fileTip_.clear();
  if (preview.caption.empty()) return true;
  const QString picture = preview.shownWidth ? inlinePicture(preview) : QString();
  if (preview.shownWidth && picture.isEmpty()) return false;
  fileTip_ = picture + tipLines(preview.caption);
  return true;
}

Answer Form2::showMessage(const Message& message) {
  return execMessageBox(this, q(message.title), q(message.text), message.icon, message.buttons);
}

std::optional<Text> Form2::pickFile(TextView filterDescription, TextView filterPattern) {
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  // Qt's own dialog: the same on every desktop, and reachable by tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt reads the patterns from the parentheses of the description.
  QString filter = q(filterDescription);
  if (!filter.contains(q(filterPattern))) filter += QStringLiteral(" (") + q(filterPattern) + QLatin1Char(')');
  dialog.setNameFilter(filter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return fromQString(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

// The save here waits for nothing and lets no event in: the cursor alone.
void Form2::setBusy(bool busy) {
  busy ? QApplication::setOverrideCursor(Qt::WaitCursor) : QApplication::restoreOverrideCursor();
}

bool Form2::startScheduler() {
  // By its full path: never looked up in PATH or the working directory.
  return startDetached(scheduler_);
}

void Form2::endProgram() {
  close();
}

}  // namespace velkorn::qt
