#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "config/errno_text.h"

namespace kr450 {
namespace {

// A holder that leaves removes the file while it still holds the lock. Whoever locked that
// removed file in the meantime sees that the path no longer leads to it, and tries again.
constexpr int MAX_ATTEMPTS = 16;

bool StillAtPath(int fd, const std::string& path) {
  struct stat opened {
  }, named{};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

InstanceLock::Attempt Failure(const std::string& what, const std::string& path) {
  return {InstanceLock::Outcome::Failed, nullptr, what + " " + path + ": " + ErrnoText(errno)};
}

}  // namespace

InstanceLock::Attempt InstanceLock::TryTake(const std::string& path) {
  for (int attempt = 0; attempt < MAX_ATTEMPTS; ++attempt) {
    // Close-on-exec: a program the driver starts must not keep the lock after the driver ends.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Failure("cannot open", path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) return {Outcome::Held, nullptr, {}};
      errno = error;
      return Failure("cannot lock", path);
    }
    if (StillAtPath(fd, path)) {
      return {Outcome::Taken, std::unique_ptr<InstanceLock>(new InstanceLock(path, fd)), {}};
    }
    ::close(fd);
  }
  return {Outcome::Failed, nullptr, "the lock file " + path + " keeps being replaced"};
}

InstanceLock::~InstanceLock() {
  ::unlink(path_.c_str());
  ::close(fd_);
}

}  // namespace kr450
