#include "config/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "config/errno_text.h"
#include "config/regular_file.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;

constexpr size_t MKSTEMP_SUFFIX_LENGTH = 6;

std::string LastErrorText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + ErrnoText(errno);
}

bool IsMkstempSuffix(std::string_view text) {
  if (text.size() != MKSTEMP_SUFFIX_LENGTH) return false;
  for (char c : text) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

// Permissions of a new file: what the process's umask leaves of rw-rw-rw-. Read from the
// kernel, since setting and restoring the umask would race with other threads.
mode_t NewFileMode() {
  mode_t mask = 022;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("Umask:")) {
      mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
      break;
    }
  }
  return 0666 & ~mask;
}

// A process killed between creating its temporary file and the rename leaves the temporary
// behind. Ones older than a minute belong to no write in progress. Files of other names, a
// user's ".config.ini.backup" among them, are never touched.
void RemoveStaleTemporaries(const fs::path& folder, const std::string& fileName) {
  std::error_code ec;
  const auto cutoff = fs::file_time_type::clock::now() - std::chrono::minutes(1);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsAtomicTempOf(it->path().filename().string(), fileName)) continue;
    std::error_code timeError;
    if (it->symlink_status(timeError).type() == fs::file_type::regular &&
        it->last_write_time(timeError) < cutoff && !timeError) {
      fs::remove(it->path(), timeError);
    }
  }
}

// The file a write to `requestedPath` replaces: through a symbolic link, the file it points to.
std::string ResolvedTarget(const std::string& requestedPath) {
  std::error_code ec;
  if (fs::is_symlink(requestedPath, ec)) {
    fs::path target = fs::canonical(requestedPath, ec);
    if (!ec) return target.string();
  }
  return requestedPath;
}

Status WriteAll(int fd, std::string_view bytes, const std::string& path) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Status::Error(LastErrorText("cannot write", path));
    written += static_cast<size_t>(n);
  }
  return Status::Ok();
}

// The rename itself is durable only once the folder is flushed.
void FlushFolder(const fs::path& folder) {
  int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

}  // namespace

std::string AtomicTempPattern(std::string_view fileName) {
  return "." + std::string(fileName) + std::string(ATOMIC_TEMP_INFIX) + "XXXXXX";
}

bool IsAtomicTempOf(std::string_view name, std::string_view fileName) {
  const std::string prefix = "." + std::string(fileName) + std::string(ATOMIC_TEMP_INFIX);
  return name.starts_with(prefix) && IsMkstempSuffix(name.substr(prefix.size()));
}

Status ReplaceFileAtomically(const std::string& requestedPath, std::string_view bytes) {
  const std::string path = ResolvedTarget(requestedPath);
  // A device, a pipe or a folder would be replaced by the rename: /dev/null must stay.
  if (Status target = CheckWriteTarget(path); !target) return target;
  mode_t mode = NewFileMode();
  struct stat info {};
  const bool existed = ::stat(path.c_str(), &info) == 0;
  if (existed) {
    // A read-only file stays as it is, for root too: the rename would otherwise replace it.
    if ((info.st_mode & 0222) == 0) {
      errno = EACCES;
      return Status::Error(LastErrorText("cannot write", path));
    }
    if (::access(path.c_str(), W_OK) != 0)
      return Status::Error(LastErrorText("cannot write", path));
    mode = info.st_mode & 07777;
  }
  fs::path parent = fs::path(path).parent_path();
  if (parent.empty()) parent = ".";
  const std::string fileName = fs::path(path).filename().string();
  std::string temp = (parent / AtomicTempPattern(fileName)).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return Status::Error(LastErrorText("cannot write", path));
  // Root writing a user's file leaves it the user's.
  if (existed && ::geteuid() == 0) (void)::fchown(fd, info.st_uid, info.st_gid);
  auto fail = [&](Status status) {
    ::close(fd);
    ::unlink(temp.c_str());
    return status;
  };
  if (Status written = WriteAll(fd, bytes, path); !written) return fail(written);
  if (::fchmod(fd, mode) != 0)
    return fail(Status::Error(LastErrorText("cannot set the permissions of", path)));
  if (::fsync(fd) != 0) return fail(Status::Error(LastErrorText("cannot flush", path)));
  if (::close(fd) != 0) {
    Status status = Status::Error(LastErrorText("cannot write", path));
    ::unlink(temp.c_str());
    return status;
  }
  // Once more just before the rename: something else may have been put there meanwhile.
  Status target = CheckWriteTarget(path);
  if (target && ::rename(temp.c_str(), path.c_str()) != 0) {
    target = Status::Error(LastErrorText("cannot replace", path));
  }
  if (!target) {
    ::unlink(temp.c_str());
    return target;
  }
  FlushFolder(parent);
  RemoveStaleTemporaries(parent, fileName);
  return Status::Ok();
}

}  // namespace kr450
