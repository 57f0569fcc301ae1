#pragma once

#include <QString>

#include "ui/message.h"

class QWidget;

namespace velkorn::qt {

// A modal QMessageBox with the message's title, text, icon and buttons; the
// answer for Yes/No questions. Shared by the editor's window and the
// scheduler's on-demand GUI module.
Answer execMessageBox(QWidget* parent, const QString& title, const QString& text, Message::Icon icon,
                      Message::Buttons buttons);

}  // namespace velkorn::qt
