#pragma once
// A value or the reason there is none. Core functions return these instead of showing anything;
// the windows turn the error text into their message boxes. Neither can be dropped unnoticed: a
// caller that means to ignore one says so with (void).

#include <optional>
#include <string>
#include <utility>

namespace lumafex {

template <class T>
class [[nodiscard]] Result {
 public:
  static Result ok(T value) { return Result(std::move(value), {}); }
  static Result fail(std::string error) { return Result(std::nullopt, std::move(error)); }

  explicit operator bool() const { return value_.has_value(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const std::string& error() const { return error_; }

 private:
  Result(std::optional<T> v, std::string e) : value_(std::move(v)), error_(std::move(e)) {}
  std::optional<T> value_;
  std::string error_;
};

// For operations that only succeed or fail.
struct Done {};
using Status = Result<Done>;
inline Status success() {
  return Status::ok(Done{});
}

}  // namespace lumafex
