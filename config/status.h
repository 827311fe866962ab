#pragma once

#include <string>
#include <utility>

namespace kr450 {

// Result of an operation that can fail for a reason the caller may show (a file that cannot
// be written, ...). Nothing in the driver throws.
class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}
  bool failed_ = false;
  std::string message_;
};

}  // namespace kr450
