#pragma once

#include <QIcon>

namespace velkorn::qt {

// The programs' icon: a smiling face, drawn at 32 by 32.
QIcon smileyIcon();

}  // namespace velkorn::qt
