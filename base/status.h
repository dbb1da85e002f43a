#pragma once
// Status and Result<T>: the one way a fallible operation of base/, snmp/,
// image/, core/ and settings/ says that it failed. A Status is ok, or carries a
// code that callers may branch on, a message that a person can read (with the
// context of what was being done, "registry.reg: line 5: unrecognised line"),
// and, where the system refused, its errno. A Result<T> holds either a T or a
// failed Status. Both must be looked at ([[nodiscard]]). They never throw;
// turning a failure into the program's PlovexError is the caller's business,
// at the failure points that show messages to the user.
#include <cassert>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace plovex {

// What kind of failure, for the callers that tell failures apart.
enum class StatusCode : std::uint8_t {
  kOk = 0,
  kInvalidArgument,  // input the operation cannot use: not a number, an unusable user
  kCorruption,       // bytes that do not decode as their format
  kNotFound,         // what was asked for is not there
  kCannotCreate,     // a file could not be created or opened
  kWriteFailed,      // bytes could not all be stored or flushed
  kIoError,          // another system call failed (rename, sync, socket)
  kTimedOut,         // nothing answered in time
  kRefused,          // the peer answered, and said no
};

class [[nodiscard]] Status {
 public:
  Status() = default;  // ok
  static Status Ok() { return Status(); }
  static Status InvalidArgument(std::string message) {
    return {StatusCode::kInvalidArgument, std::move(message)};
  }
  static Status Corruption(std::string message) {
    return {StatusCode::kCorruption, std::move(message)};
  }
  static Status NotFound(std::string message) {
    return {StatusCode::kNotFound, std::move(message)};
  }
  static Status CannotCreate(std::string message, int sys_errno = 0) {
    return {StatusCode::kCannotCreate, std::move(message), sys_errno};
  }
  static Status WriteFailed(std::string message, int sys_errno = 0) {
    return {StatusCode::kWriteFailed, std::move(message), sys_errno};
  }
  static Status IoError(std::string message, int sys_errno = 0) {
    return {StatusCode::kIoError, std::move(message), sys_errno};
  }
  static Status TimedOut(std::string message) {
    return {StatusCode::kTimedOut, std::move(message)};
  }
  static Status Refused(std::string message) { return {StatusCode::kRefused, std::move(message)}; }

  // No conversion to bool: `if (status)` would read either way.
  bool ok() const { return code_ == StatusCode::kOk; }
  StatusCode code() const { return code_; }
  // Empty when ok.
  const std::string& message() const { return message_; }
  // The system's error number behind the failure; 0 when none was involved.
  int sys_errno() const { return errno_; }

  // The same failure with what was being done in front: "context: message".
  // An ok status stays ok.
  Status WithContext(const std::string& context) const {
    if (ok()) return *this;
    return {code_, context + ": " + message_, errno_};
  }

  bool operator==(const Status&) const = default;

 private:
  Status(StatusCode code, std::string message, int sys_errno = 0)
      : code_(code), message_(std::move(message)), errno_(sys_errno) {}
  StatusCode code_ = StatusCode::kOk;
  std::string message_;
  int errno_ = 0;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}          // NOLINT: a value is a success
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
