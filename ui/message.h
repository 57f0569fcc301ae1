#pragma once

#include "schedule/text.h"

namespace velkorn {

// A modal message box: a title, a text, one icon, and OK or Yes and No.
struct Message {
  enum class Icon { Information, Exclamation, Critical };
  enum class Buttons { Ok, YesNo };

  Text title;
  Text text;
  Icon icon = Icon::Information;
  Buttons buttons = Buttons::Ok;
};

enum class Answer { Ok, Yes, No };

// Shows the scheduler's messages (a message box, where there is a desktop)
// and waits for the answer. (Not "MessageBox": windows.h makes that name a
// macro.)
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Shows the message and waits for the user's answer.
  virtual Answer show(const Message& message) = 0;
};

}  // namespace velkorn
