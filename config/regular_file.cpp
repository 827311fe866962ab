#include "config/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "config/errno_text.h"

namespace kr450 {
namespace {

Status OsError(const char* what, const std::string& path, int error) {
  std::string message = std::string(what) + " " + path + ": " + ErrnoText(error);
  if (error == ENOENT || error == ENOTDIR) return Status::NotFound(std::move(message));
  return Status::Error(std::move(message));
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "something";
}

std::string LimitText(size_t maxBytes) {
  if (maxBytes % (size_t{1} << 20) == 0) return std::to_string(maxBytes >> 20) + " MiB";
  return std::to_string(maxBytes) + " bytes";
}

Status TooLarge(const std::string& path, size_t maxBytes) {
  return Status::Error(path + ": larger than " + LimitText(maxBytes));
}

// Ok for a regular file of at most `maxBytes`, else why it is refused.
Status RefuseUnlessRegular(const std::string& path, const struct stat& info, size_t maxBytes) {
  if (!S_ISREG(info.st_mode)) {
    return Status::Error(path + ": " + KindOf(info.st_mode) + ", not a regular file");
  }
  if (static_cast<uintmax_t>(info.st_size) > maxBytes) return TooLarge(path, maxBytes);
  return Status::Ok();
}

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() { ::close(fd_); }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

}  // namespace

Result<std::string> ReadRegularFile(const std::string& path, size_t maxBytes) {
  constexpr const char* WHAT = "cannot read";
  // The type is checked before the open, so that no device is ever opened ...
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return OsError(WHAT, path, errno);
  if (Status refused = RefuseUnlessRegular(path, info, maxBytes); !refused) return refused;
  // ... and again on what was opened, since the path may have changed in between. A named
  // pipe put there meanwhile opens at once without a writer when O_NONBLOCK is given.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return OsError(WHAT, path, errno);
  FdCloser closer(fd);
  if (::fstat(fd, &info) != 0) return OsError(WHAT, path, errno);
  if (Status refused = RefuseUnlessRegular(path, info, maxBytes); !refused) return refused;

  std::string bytes(static_cast<size_t>(info.st_size), '\0');
  size_t size = 0;
  for (;;) {
    // A file that grows while it is read may not pass the limit either.
    if (size == bytes.size()) bytes.resize(std::min(maxBytes + 1, size + 4096));
    const ssize_t n = ::read(fd, bytes.data() + size, bytes.size() - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return OsError(WHAT, path, errno);
    if (n == 0) break;
    size += static_cast<size_t>(n);
    if (size > maxBytes) return TooLarge(path, maxBytes);
  }
  bytes.resize(size);
  return bytes;
}

Status CheckWriteTarget(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return errno == ENOENT ? Status::Ok() : OsError("cannot write", path, errno);
  }
  // Only the type matters here: the size of a file about to be replaced does not.
  return RefuseUnlessRegular(path, info, static_cast<size_t>(-1));
}

}  // namespace kr450
