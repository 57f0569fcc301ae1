#pragma once

#include <filesystem>

namespace velkorn::qt {

// Starts `program` in its own directory, without arguments, as a process of
// its own that is not waited for; false if it could not be started. The path
// stays bytes: a folder's name need not be UTF-8, which QProcess cannot run.
bool startDetached(const std::filesystem::path& program);

}  // namespace velkorn::qt
