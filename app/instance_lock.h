#pragma once

#include <memory>
#include <string>

#include "config/status.h"

namespace kr450 {

// An exclusive lock on a file, held as long as the object lives. The kernel drops the lock
// when the process ends by any way, so a crashed driver never blocks the next start.
class InstanceLock {
 public:
  enum class Outcome { Taken, Held, Failed };
  struct Attempt {
    Outcome outcome;
    std::unique_ptr<InstanceLock> lock;  // when Taken
    std::string message;                 // when Failed
  };

  // Takes the lock on `path` (created with mode 0600) without waiting. Held: another process
  // holds it.
  static Attempt TryTake(const std::string& path);

  // Removes the file, then lets go of the lock.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  InstanceLock(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  std::string path_;
  int fd_;
};

}  // namespace kr450
