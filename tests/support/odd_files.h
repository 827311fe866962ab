#pragma once

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace kr450::test {

// Things at a path that are not regular files, made in a scratch folder: what a user may
// name by mistake (or on purpose) where the driver expects a profile or macro file.
struct SpecialFile {
  std::string label;
  std::string path;
  std::filesystem::file_type type;
};

// The file type of `path` as it is now, links not followed.
inline std::filesystem::file_type TypeOf(const std::string& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type();
}

// A named pipe, a folder, a socket and, for root, a character device like /dev/null (made
// here so that a fault could never replace the system's own), each under `dir`.
inline std::vector<SpecialFile> MakeSpecialFiles(const ScratchDir& dir) {
  namespace fs = std::filesystem;
  std::vector<SpecialFile> made;
  const std::string fifo = dir.File("pipe.ini");
  if (::mkfifo(fifo.c_str(), 0644) == 0) made.push_back({"named pipe", fifo, fs::file_type::fifo});
  const std::string folder = dir.File("folder.ini");
  fs::create_directory(folder);
  made.push_back({"folder", folder, fs::file_type::directory});
  const std::string socketPath = dir.File("socket.ini");
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() < sizeof(address.sun_path)) {
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own cast
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
      made.push_back({"socket", socketPath, fs::file_type::socket});
    }
    ::close(fd);
  }
  const std::string device = dir.File("null.ini");
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    made.push_back({"character device", device, fs::file_type::character});
  }
  return made;
}

// Ends the test program if a read or write waits on a pipe for ever, instead of hanging it.
class HangGuard {
 public:
  explicit HangGuard(unsigned seconds = 60) { ::alarm(seconds); }
  ~HangGuard() { ::alarm(0); }
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;
};

// A file of `size` bytes that takes no room on the disk.
inline void MakeSparseFile(const std::string& path, uintmax_t size) {
  WriteFileBytes(path, "[Config7]\nK1=1\n");
  std::filesystem::resize_file(path, size);
}

}  // namespace kr450::test
