#pragma once

#include <optional>

#include "schedule/text.h"

namespace velkorn::win32 {

// The daily task's definition as Task Scheduler reads it: velkorn.exe in
// `folder` (a path as Windows gives it, without a backslash at its end
// unless it is a drive's root), run as `userId`, one minute after the user
// logs on and every day at 0:01, and as soon as possible after a start that
// was missed. Nothing where the folder's name holds a character that XML
// cannot (a lone surrogate, which NTFS allows in a name).
std::optional<Text> taskDefinition(TextView folder, TextView userId);

// The bytes of a task definition's file: UTF-16LE after a byte-order mark,
// which is how Task Scheduler reads every character; without the mark it
// would read the ANSI code page.
Bytes utf16FileBytes(TextView text);

}  // namespace velkorn::win32
