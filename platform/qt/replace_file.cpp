#include "platform/qt/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace velkorn::qt {

namespace {

// Closes the descriptor when the scope ends.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// errno, never 0: a call that failed without setting it still failed.
int lastError() {
  return errno ? errno : EIO;
}

bool writeAll(int fd, BytesView bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Names the unnamed file `fd` beside `target`; the name, or nothing.
std::string nameBeside(int fd, const std::string& target) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  std::random_device random;
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::string name = target + ".saving-" + std::to_string(random());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

}  // namespace

int replaceFile(const std::filesystem::path& file, BytesView bytes) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::weakly_canonical(file, error);
  if (error) return error.value();
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : EINVAL;

  const Descriptor directory{::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  const Descriptor out{::open(target.parent_path().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)};
  if (directory.fd < 0 || out.fd < 0) return lastError();
  if ((existed && ::fchmod(out.fd, old.st_mode & 07777) != 0) || !writeAll(out.fd, bytes) || ::fsync(out.fd) != 0) {
    return lastError();
  }
  const std::string name = nameBeside(out.fd, target.string());
  if (name.empty()) return lastError();
  if (::rename(name.c_str(), target.c_str()) != 0) {
    const int renameError = lastError();
    ::unlink(name.c_str());
    return renameError;
  }
  // The rename itself made lasting.
  return ::fsync(directory.fd) == 0 ? 0 : lastError();
}

}  // namespace velkorn::qt
