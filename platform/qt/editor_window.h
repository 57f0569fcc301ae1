#pragma once

#include <QWidget>
#include <filesystem>

#include "editor/editor_controller.h"
#include "editor/editor_view.h"
#include "editor/form_layout.h"

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace velkorn::qt {

// The editor's one window. It renders and forwards: each event is one call
// into the EditorController, which makes every decision.
class Form2 final : public QWidget, public EditorView {
  Q_OBJECT

 public:
  // `scheduler` is the scheduler's executable, started by its full path.
  explicit Form2(std::filesystem::path scheduler, QWidget* parent = nullptr);
  void setController(EditorController* controller);

  // EditorView
  Text listText() const override;
  void setListText(TextView text) override;
  void insertAtCaret(TextView text) override;
  Date calendarDate() const override;
  void setCalendarDate(const Date& date) override;
  Text kindText() const override;
  bool everyDayChecked() const override;
  Text fileBoxText() const override;
  void setFileBoxText(TextView text) override;
  void restartIdleTimer(int milliseconds) override;
  void refreshCalendar() override;
  bool setFilePreview(const FilePreview& preview) override;
  Answer showMessage(const Message& message) override;
  std::optional<Text> pickFile(TextView filterDescription, TextView filterPattern) override;
  void setBusy(bool busy) override;
  bool startScheduler() override;
  void endProgram() override;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void placeControls();
  void applyFonts();
  void connectControls();
  void applyTabOrder();
  QWidget* control(form::Control id) const;
  void markShownDays();

  std::filesystem::path scheduler_;
  EditorController* controller_ = nullptr;
  QTimer* idleTimer_ = nullptr;
  QString fileTip_;  // rich text; empty: none

  QCalendarWidget* MonthView1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Text1 = nullptr;
  QPushButton* Command1 = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* Combo1 = nullptr;
  QCheckBox* Check1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* Command2 = nullptr;
  QPlainTextEdit* Text2 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command5 = nullptr;
  QPushButton* Command4 = nullptr;
};

}  // namespace velkorn::qt
