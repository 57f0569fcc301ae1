#include "platform/qt/start_detached.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace velkorn::qt {

bool startDetached(const std::filesystem::path& program) {
  const std::filesystem::path directory = program.parent_path();
  // The grandchild reports a failed exec through the pipe; a successful one
  // closes it.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    // Only async-signal-safe calls until exec. The middle process ends at
    // once, so the program is nobody's child to wait for.
    ::setsid();
    if (::fork() != 0) ::_exit(0);
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    if (::chdir(directory.c_str()) == 0) ::execv(program.c_str(), argv);
    const int failure = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(report[1], &failure, sizeof failure);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int failure = 0;
  ssize_t got;
  while ((got = ::read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  return child > 0 && got == 0;
}

}  // namespace velkorn::qt
