#pragma once

#include <QString>

#include "schedule/text.h"

namespace velkorn::qt {

// UTF-16 to and from Text. Lone surrogates (the codec's escapes) pass through
// as single units, so nothing the codec produced is lost on the way.
// `dropCrBeforeLf` turns CR LF line ends into the LF a text widget holds;
// `addCrBeforeLf` turns them back, in the same pass.
QString toQString(TextView text, bool dropCrBeforeLf = false);
Text fromQString(const QString& text, bool addCrBeforeLf = false);

}  // namespace velkorn::qt
