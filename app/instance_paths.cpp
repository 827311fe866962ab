#include "app/instance_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "config/errno_text.h"

namespace kr450 {
namespace {

// FNV-1a, 64 bits: stable across builds and runs, unlike std::hash.
uint64_t Fnv1a(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

// The runtime folder the session names, if it is a folder of this user.
std::string UserRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] != '/') return {};
  struct stat info {};
  if (::stat(runtime, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
    return {};
  }
  return runtime;
}

}  // namespace

std::string SimulatedInstanceKey(const std::string& dataDirectory) {
  std::error_code ec;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(dataDirectory, ec);
  if (ec) canonical = std::filesystem::absolute(dataDirectory, ec).lexically_normal();
  char key[32];
  std::snprintf(key, sizeof key, "sim-%016llx",
                static_cast<unsigned long long>(Fnv1a(canonical.string())));
  return key;
}

std::string InstanceKey(bool simulate, const std::string& dataDirectory) {
  return simulate ? SimulatedInstanceKey(dataDirectory) : std::string(DRIVER_INSTANCE_KEY);
}

Status InstanceFolder(std::string* folder) {
  const std::string runtime = UserRuntimeFolder();
  *folder = !runtime.empty() ? runtime + "/kr450" : "/tmp/kr450-" + std::to_string(::getuid());
  return PreparePrivateFolder(*folder);
}

std::string InstanceLockPath(const std::string& folder, std::string_view key) {
  return folder + "/" + std::string(key) + ".lock";
}

std::string InstanceSocketPath(const std::string& folder, std::string_view key) {
  return folder + "/" + std::string(key) + ".sock";
}

Status PreparePrivateFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return Status::Error("cannot create " + folder + ": " + ErrnoText(errno));
  }
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) {
    return Status::Error("cannot read " + folder + ": " + ErrnoText(errno));
  }
  if (!S_ISDIR(info.st_mode)) return Status::Error(folder + " is not a folder");
  if (info.st_uid != ::getuid()) return Status::Error(folder + " belongs to another user");
  if ((info.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%03o", info.st_mode & 0777);
    return Status::Error(folder + " is open to other users (mode " + mode + ")");
  }
  return Status::Ok();
}

}  // namespace kr450
