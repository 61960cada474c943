#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace nuv::platform {

// Why an operation failed, as a sentence for the user.
struct Failure {
  std::string message;
};

// What an operation that can fail gives back: its value, or why there is
// none. A function returns either as it is (`return path;`, `return
// Failure{"..."};`). `Why` is Failure, or a type that adds to its `message`
// what a caller needs to tell failures apart.
template <typename T, typename Why = Failure>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Why failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }

  // Only when ok().
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }

  // Only when !ok().
  const Why& failure() const { return std::get<1>(state_); }
  const std::string& error() const { return failure().message; }

 private:
  std::variant<T, Why> state_;
};

// Success, or why not.
template <typename Why>
class [[nodiscard]] Result<void, Why> {
 public:
  Result() = default;
  Result(Why failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }

  // Only when !ok().
  const Why& failure() const { return failure_.value(); }
  const std::string& error() const { return failure().message; }

 private:
  std::optional<Why> failure_;
};

}  // namespace nuv::platform
