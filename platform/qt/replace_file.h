#pragma once

#include <filesystem>

#include "schedule/text.h"

namespace velkorn::qt {

// Replaces a file's contents atomically: the bytes go to a new unnamed file
// in the same directory, flushed to disk, which is then named and renamed
// over the old one, with the old one's permissions. A failed or interrupted
// write leaves the old file whole, and (but for a kill between the naming and
// the rename) no temporary file. A symbolic link stays a link; its target is
// replaced. Paths stay bytes: a folder's name need not be UTF-8, which Qt's
// file classes cannot open. Every write is checked: Qt's QSaveFile, on a
// full disk, puts half a file in place and reports success. 0, or the error
// (an errno value) that stopped it.
int replaceFile(const std::filesystem::path& file, BytesView bytes);

}  // namespace velkorn::qt
