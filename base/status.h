#pragma once
// Status and Result<T>: the one way the low-level helpers (text parsing, file
// writing, the formats' readers) say that something failed. A Status is ok, or
// carries the message of what went wrong and, where callers tell failures
// apart, a code; a Result<T> holds either a T or a failed Status. Both must be
// looked at ([[nodiscard]]). They never throw; turning a failure into the
// program's PlovexError is the caller's business, at the failure points that
// show messages to the user.
#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace plovex {

class [[nodiscard]] Status {
 public:
  Status() = default;  // ok
  static Status Ok() { return Status(); }
  static Status Error(std::string message, int code = 1) {
    return Status(std::move(message), code == 0 ? 1 : code);
  }

  // No conversion to bool: `if (status)` would read either way.
  bool ok() const { return code_ == 0; }
  // Empty when ok.
  const std::string& message() const { return message_; }
  // 0 when ok; otherwise what the failing helper documents (1 by default).
  int code() const { return code_; }

  bool operator==(const Status&) const = default;

 private:
  Status(std::string message, int code) : message_(std::move(message)), code_(code) {}
  std::string message_;
  int code_ = 0;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}  // NOLINT: a value is a success
  Result(Status failure) : v_(std::move(failure)) {  // NOLINT: a failed status is a failure
    assert(!std::get<Status>(v_).ok());
  }

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<T>(v_); }
  const T& value() const& { return std::get<T>(v_); }
  T&& value() && { return std::get<T>(std::move(v_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  template <typename U>
  T value_or(U&& fallback) const& {
    return ok() ? value() : static_cast<T>(std::forward<U>(fallback));
  }

  // True for a success holding `v`.
  friend bool operator==(const Result& r, const T& v) { return r.ok() && r.value() == v; }

  // The failure; an ok Status when there is a value.
  Status status() const { return ok() ? Status::Ok() : std::get<Status>(v_); }

 private:
  std::variant<T, Status> v_;
};

}  // namespace plovex
