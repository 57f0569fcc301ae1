#include "platform/qt/message_dialog.h"

#include <QMessageBox>

namespace velkorn::qt {

namespace {

QMessageBox::Icon iconOf(Message::Icon icon) {
  switch (icon) {
    case Message::Icon::Exclamation: return QMessageBox::Warning;
    case Message::Icon::Critical: return QMessageBox::Critical;
    case Message::Icon::Information: break;
  }
  return QMessageBox::Information;
}

}  // namespace

Answer execMessageBox(QWidget* parent, const QString& title, const QString& text, Message::Icon icon,
                      Message::Buttons buttons) {
  QMessageBox box(iconOf(icon), title, text, QMessageBox::NoButton, parent);
  if (buttons == Message::Buttons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int result = box.exec();
  if (buttons == Message::Buttons::Ok) return Answer::Ok;
  return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace velkorn::qt
