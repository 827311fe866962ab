#pragma once

#include <stdlib.h>  // mkdtemp

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace kr450::test {

// The whole file as it is on disk; empty when it cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder of its own under the system's temporary folder, removed with everything in
// it when the test is done.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kr450-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    path_ = pattern;
  }
  ~ScratchDir() {
    GiveBackOwnerRights(path_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(std::string_view name) const { return (path_ / name).string(); }
  void Write(std::string_view name, std::string_view bytes) const {
    WriteFileBytes(path_ / name, bytes);
  }

 private:
  // Tests of write failures take rights away from folders; without them the folder cannot be
  // emptied. Symbolic links are not followed: they may point outside. A folder's rights come
  // back before it is listed, so the walk keeps its own list of folders still to open.
  static void GiveBackOwnerRights(const std::filesystem::path& top) {
    namespace fs = std::filesystem;
    std::vector<fs::path> pending{top};
    while (!pending.empty()) {
      const fs::path folder = std::move(pending.back());
      pending.pop_back();
      std::error_code ec;
      fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
      for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->symlink_status(typeError).type() == fs::file_type::directory) {
          pending.push_back(it->path());
        }
      }
    }
  }

  std::filesystem::path path_;
};

#ifdef KR450_SOURCE_DIR
// Copies files of the shipped data folder (config.ini, Macro.dat, ...) into the folder.
inline void CopyShippedData(const ScratchDir& dir, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    std::filesystem::copy_file(std::filesystem::path(KR450_SOURCE_DIR) / "data" / name,
                               dir.path() / name);
  }
}
#endif

}  // namespace kr450::test
