#pragma once

#include <optional>
#include <string>
#include <utility>

namespace kr450 {

// Result of an operation that can fail for a reason the caller may show (a file that cannot
// be written, ...). Nothing in the driver throws.
class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(Code::Failed, std::move(message)); }
  // Nothing is at the path: callers that read a missing file as empty tell it from a failure.
  static Status NotFound(std::string message) { return Status(Code::NotFound, std::move(message)); }

  bool ok() const { return code_ == Code::Ok; }
  bool notFound() const { return code_ == Code::NotFound; }
  explicit operator bool() const { return ok(); }
  const std::string& message() const { return message_; }

 private:
  enum class Code { Ok, NotFound, Failed };
  Status() = default;
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}
  Code code_ = Code::Ok;
  std::string message_;
};

// A value, or the Status that says why there is none.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  // `error` must not be ok: a result without a value has a reason.
  Result(Status error) : status_(std::move(error)) {  // NOLINT(google-explicit-constructor)
    if (status_.ok()) status_ = Status::Error("no value");
  }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Status& status() const { return status_; }
  const std::string& message() const { return status_.message(); }

  // Only on a result that is ok.
  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T& operator*() const& { return *value_; }
  T& operator*() & { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }

  T ValueOr(T fallback) && { return value_ ? std::move(*value_) : std::move(fallback); }

 private:
  std::optional<T> value_;
  Status status_ = Status::Ok();
};

}  // namespace kr450
