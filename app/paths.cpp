#include "app/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "config/atomic_file.h"
#include "config/regular_file.h"

namespace kr450 {
namespace fs = std::filesystem;
namespace {

bool Writable(const fs::path& folder) {
  return ::access(folder.c_str(), W_OK) == 0;
}

fs::path UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && *xdg == '/') return fs::path(xdg) / "kr450";
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : ".") / ".config" / "kr450";
}

// An installed program finds its skins and defaults here, relative to its bin folder.
fs::path InstalledShippedFolder(const fs::path& program) {
  return program.parent_path() / "share" / "kr450";
}

bool HasSkins(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder / "skins", ec);
}

bool IsInstalled(const fs::path& program) {
  return !HasSkins(program) && HasSkins(InstalledShippedFolder(program));
}

// Where the pristine files shipped with the program lie.
fs::path DefaultsFolder(const fs::path& program) {
  return fs::path(ShippedDirectoryFor(program.string())) / "defaults";
}

// A copy by the same atomic replace as every other write: a kill halfway leaves no torn file
// that a later start would take for the user's.
Status CopyIfMissing(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(to, ec)) return Status::Ok();
  Result<std::string> bytes = ReadRegularFile(from.string());
  if (!bytes) return Status::Error("cannot read " + from.string());
  return ReplaceFileAtomically(to.string(), *bytes);
}

}  // namespace

std::string ProgramDirectory() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec).string();
  return exe.parent_path().string();
}

std::string ShippedDirectoryFor(const std::string& programDirectory) {
  const fs::path program = programDirectory;
  return (IsInstalled(program) ? InstalledShippedFolder(program) : program).string();
}

std::string DataDirectory() {
  return DataDirectoryFor(ProgramDirectory());
}

std::string DataDirectoryFor(const std::string& programDirectory) {
  const fs::path program = programDirectory;
  const bool installed = IsInstalled(program);
  if (!installed && Writable(program)) return program.string();
  const fs::path user = UserConfigFolder();
  std::error_code ec;
  fs::create_directories(user, ec);
  for (const char* name : {"config.ini", "Macro.dat"}) {
    // A copy of the program's folder that cannot be written brings its own files along.
    fs::path shipped = program / name;
    if (installed || !fs::exists(shipped, ec)) shipped = DefaultsFolder(program) / name;
    (void)CopyIfMissing(shipped, user / name);  // a missing Macro.dat is reported when read
  }
  return user.string();
}

std::string SkinDirectory() {
  return (fs::path(ShippedDirectoryFor(ProgramDirectory())) / "skins").string();
}

Status EnsureConfigFile(const std::string& dataDirectory) {
  const fs::path target = fs::path(dataDirectory) / "config.ini";
  std::error_code ec;
  // A pipe or a device in its place would be read as an empty configuration.
  if (fs::exists(target, ec)) return CheckWriteTarget(target.string());
  const fs::path shipped = DefaultsFolder(ProgramDirectory()) / "config.ini";
  if (!fs::exists(shipped, ec)) {
    return Status::Error("no config.ini in " + dataDirectory + " and no default at " +
                         shipped.string());
  }
  if (!fs::is_directory(dataDirectory, ec)) return Status::Error("no folder " + dataDirectory);
  return CopyIfMissing(shipped, target);
}

}  // namespace kr450
